// The entry screen's side of the grid view: the grid form made at start-up
// (or at first need), set up from every showing's build with its format
// file, laid out before a find shows it, and handed back when the screen
// goes.
#include "entry/qt/entry_form.h"
#include "entry/qt/grid_form.h"
#include "entry/qt/grid_model.h"

#include "platform/files.h"
#include "platform/qt/work_area.h"
#include "templates/startup_globals.h"
#include "templates/template_state.h"

#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTableView>

namespace {

constexpr int PickRowHeight = 18;
constexpr int PickRows = 8;
constexpr int PickPanel2Height = 2;

}  // namespace

TEGridF* TEntryF::GridView() {
  if (!EGridF) EGridF = new TEGridF;
  if (EGridF->parentWidget() != this) EGridF->setParent(this, EGridF->windowFlags() | Qt::Window);
  return EGridF;
}

void TEntryF::ReleaseGridView() {
  if (EGridF && EGridF->parentWidget() == this) {
    EGridF->Sink = nullptr;
    EGridF->hide();
    EGridF->setParent(nullptr, EGridF->windowFlags() | Qt::Window);
  }
}

void TEntryF::PrepareGridView() {
  TEGridF* grid = GridView();
  grid->CloseByProgram();
  grid->PickMode = false;
  grid->SetUp(plan_);
  grid->LabelTableName2->setText(LabelTableName->text());
  grid->EntryEditing = [this] { return Editing; };
  grid->Sink = this;
  const std::string format = grid->FormatFileName();
  grid->LoadGridFormat(format);
  GridHeaderRowHeight = grid->Table.HeaderHeight;
}

void TEntryF::CloseGridView() {
  if (EGridF && EGridF->isVisible()) EGridF->CloseByProgram();
}

void TEntryF::ShowGridView(bool PickMode, QLineEdit* PickEdit, int PickColumn) {
  TEGridF* grid = GridView();
  grid->PickMode = PickMode;
  QTableView* view = grid->StringGridFind;
  grid->Table.SetWidth(0, PickMode ? 0 : TGridTable::IndicatorWidth);
  // The compact list is the grid alone.
  grid->PanelTop->setVisible(!PickMode);
  grid->PanelGlobalChange->setVisible(!PickMode);
  // Panel2 is a 2-pixel strip in the compact list: its buttons would show
  // as slivers.
  for (QWidget* b : std::initializer_list<QWidget*>{grid->BitBtnDelete, grid->BitBtnEdit, grid->BitBtnGridOK})
    b->setVisible(!PickMode);
  if (PickMode && PickEdit) {
    grid->setMinimumWidth(0);
    grid->setWindowFlags(Qt::Window | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    const int pickWidth = PickEdit->width() + 15;
    view->setColumnWidth(PickColumn, pickWidth);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setShowGrid(false);
    view->verticalHeader()->setDefaultSectionSize(PickRowHeight);
    view->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    const int panelWidth = pickWidth + 5;
    int gridHeight = PickRows * PickRowHeight;
    if (gridHeight >= height()) gridHeight = height() - 10;
    const QPoint editAt = PickEdit->mapTo(this, QPoint(0, 0));
    const int formHeight = gridHeight + 4 + 30;
    const int left = editAt.x() + x() + PickEdit->width() + 35;
    const int top = formHeight < height() ? editAt.y() + PanelTop->height() + y() + 35 : y() + 5;
    grid->Panel2->setFixedHeight(PickPanel2Height);
    grid->setGeometry(left, top, panelWidth + 5, formHeight);
  } else {
    grid->setWindowTitle(GridViewCaption);
    grid->setWindowFlags(Qt::Window | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint |
                         Qt::WindowCloseButtonHint);
    view->setShowGrid(true);
    view->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    view->verticalHeader()->setDefaultSectionSize(grid->Table.DefaultRowHeight);
    if (Startup.MaximizeGrid) {
      FitFormToWorkArea(*grid);
    } else {
      const QRect screen = QGuiApplication::primaryScreen()->geometry();
      if (Startup.MaximizeEntry) {
        // The maximized screen's own size would cover it: the size it was
        // made at instead.
        const QSize kept = DesignedSize.isValid() ? DesignedSize : size();
        grid->resize(kept);
        grid->move(screen.width() / 2 - kept.width() / 2, screen.height() / 2 - kept.height() / 2);
      } else {
        grid->setGeometry(screen.width() / 2 - width() / 2 + 15, y() + 20, width(), height());
      }
    }
    grid->Panel2->setFixedHeight(Panel1->height());
    grid->setMinimumWidth(grid->width() / 4 * 3);
  }
  grid->RowsChanged();
  if (PickColumn > 0) view->scrollTo(grid->Model->index(0, PickColumn));
}
