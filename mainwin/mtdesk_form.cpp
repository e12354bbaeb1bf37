#include "mainwin/mtdesk_form.h"

#include "btrieve/numbered_files.h"
#include "mainwin/glyph_button.h"
#include "mainwin/mtdesk_menus.h"
#include "mainwin/template_list_box.h"
#include "platform/qt/status_bar.h"
#include "templates/template_number.h"
#include "platform/dialogs.h"
#include "platform/qt/application.h"
#include "platform/qt/widget_text.h"
#include "platform/text.h"
#include "templates/descriptor_loader.h"
#include "templates/email_setup.h"
#include "templates/master_file.h"
#include "templates/startup_globals.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QTimer>
#include <QVBoxLayout>

TMtdeskF* MtdeskF = nullptr;

namespace {

constexpr std::array<int, 2> StatusPanelWidths = {385, 40};
constexpr int PanelButtonsWidth = 155;
constexpr QSize ButtonSize(153, 46);
constexpr QSize InitialSize(644, 316);
constexpr int BarHeight = 3;
constexpr int PlainMargin = 6;
constexpr int HighlightMargin = 5;
constexpr int Timer1Interval = 175;
constexpr int TextIndent = 2;
const char* const MarginProperty = "Margin";

QFont FormFont(int PixelSize, bool Bold) {
  QFont font(QStringLiteral("Arial"));
  font.setPixelSize(PixelSize);
  font.setBold(Bold);
  return font;
}

void Paint(QWidget* Widget, Qt::GlobalColor Colour) {
  QPalette palette = Widget->palette();
  palette.setColor(QPalette::Window, Colour);
  Widget->setPalette(palette);
  Widget->setAutoFillBackground(true);
}

QWidget* Bar(QWidget* Parent) {
  auto* bar = new QWidget(Parent);
  bar->setFixedHeight(BarHeight);
  Paint(bar, Qt::green);
  return bar;
}

void SetHighlighted(QPushButton* Button, bool On) {
  Button->setProperty(MarginProperty, On ? HighlightMargin : PlainMargin);
  QFont font = Button->font();
  font.setBold(On);
  Button->setFont(font);
}

}  // namespace

int ButtonMargin(const QPushButton& Button) { return Button.property(MarginProperty).toInt(); }

TMtdeskF::TMtdeskF(QWidget* parent)
    : QMainWindow(parent),
      MainMenu1(new QMenuBar(this)),
      PanelButtons(new QWidget(this)),
      ListBox1(new TColumnListBox(this)),
      StatusBar1(new TStatusBar(this)),
      Shape3(Bar(this)),
      Shape1(Bar(this)),
      Timer1(new QTimer(this)),
      Panel6(new QWidget(PanelButtons)),
      Image1(new QLabel(Panel6)),
      BitBtnAdd(new TGlyphButton(PanelButtons)),
      Label1(new QLabel(QStringLiteral("Matterdesk"), Panel6)),
      Label2(new QLabel(QStringLiteral("Module"), Panel6)),
      BitBtnModify(new TGlyphButton(PanelButtons)),
      BitBtnAccess(new TGlyphButton(PanelButtons)),
      BitBtnExit(new TGlyphButton(PanelButtons)),
      screens_(std::make_unique<TMtdeskScreens>(*this)),
      commands_(std::make_unique<TemplateCommands>(screens_->Screens())) {
  setWindowTitle(QStringLiteral("Corvenstead Matterdesk"));
  setMenuBar(MainMenu1);
  setStatusBar(StatusBar1);
  for (size_t i = 0; i < statusPanels_.size(); ++i) {
    statusPanels_[i] = new QLabel(StatusBar1);
    statusPanels_[i]->setMinimumWidth(StatusPanelWidths[i]);
    // The first panel takes what room is left, the second keeps its width.
    StatusBar1->addWidget(statusPanels_[i], i == 0 ? 1 : 0);
  }
  BuildLayout();
  BuildMtdeskCommands(*this);
  commands_->PrintLayout = [this] { Printlayoutfor1Click(); };
  ResetButtonStyles();

  Timer1->setSingleShot(true);
  Timer1->setInterval(Timer1Interval);
  connect(Timer1, &QTimer::timeout, this, [this] { Timer1Timer(); });
  connect(ListBox1, &QListWidget::itemSelectionChanged, this, [this] { ListBox1Click(); });
  // The exit button is the form's Cancel button.
  auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
  connect(escape, &QShortcut::activated, BitBtnExit, &QPushButton::click);
  InstallInstanceHandler();
}

TMtdeskF::~TMtdeskF() { FormDestroy(); }

void TMtdeskF::BuildLayout() {
  Paint(this, Qt::yellow);
  QPalette palette = this->palette();
  palette.setColor(QPalette::WindowText, Qt::darkBlue);
  setPalette(palette);
  setFont(FormFont(13, false));
  setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                 Qt::WindowCloseButtonHint);
  resize(InitialSize);
  if (const QScreen* desktop = screen()) move(desktop->availableGeometry().center() - rect().center());

  Paint(Panel6, Qt::green);
  Image1->setPixmap(style()->standardIcon(QStyle::SP_DesktopIcon).pixmap(32, 32));
  auto* logo = new QHBoxLayout(Panel6);
  auto* labels = new QVBoxLayout;
  labels->addWidget(Label1);
  labels->addWidget(Label2);
  logo->addWidget(Image1);
  logo->addLayout(labels);

  PanelButtons->setFixedWidth(PanelButtonsWidth);
  auto* column = new QVBoxLayout(PanelButtons);
  column->setContentsMargins(1, 1, 1, 1);
  column->setSpacing(0);
  column->addWidget(Panel6, 1);
  const std::array<const char*, 4> glyphs = {":/mainwin/create.png", ":/mainwin/modify.png", ":/mainwin/entry.png",
                                             ":/mainwin/exit.png"};
  for (size_t i = 0; i < glyphs.size(); ++i) {
    HighlightButtons()[i]->setIcon(QIcon(QString::fromLatin1(glyphs[i])));
    HighlightButtons()[i]->setIconSize(QSize(TGlyphButton::GlyphSize, TGlyphButton::GlyphSize));
  }
  for (QPushButton* button : HighlightButtons()) {
    button->setFixedSize(ButtonSize);
    // A move over a button is the button's alone: the panel behind it would
    // take the highlight away again.
    button->setAttribute(Qt::WA_NoMousePropagation);
    column->addWidget(button);
  }

  ListBox1->setFont(FormFont(12, true));
  ListBox1->setToolTip(QStringLiteral("Double click for entry/maintenance"));
  ListBox1->setItemDelegate(new TListItemDrawer(
      [this](QPainter& canvas, int index, const QRect& rect, QStyle::State state) {
        ListBox1DrawItem(canvas, index, rect, state);
      },
      ListBox1));
  ListBox1->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(ListBox1, &QWidget::customContextMenuRequested, this,
          [this](const QPoint& pos) { PopupMenu1->popup(ListBox1->viewport()->mapToGlobal(pos)); });

  auto* body = new QHBoxLayout;
  body->setContentsMargins(0, 0, 0, 0);
  body->addWidget(PanelButtons);
  body->addWidget(ListBox1, 1);
  auto* central = new QWidget(this);
  auto* rows = new QVBoxLayout(central);
  rows->setContentsMargins(0, 0, 0, 0);
  rows->setSpacing(0);
  rows->addWidget(Shape3);
  rows->addLayout(body, 1);
  rows->addWidget(Shape1);
  setCentralWidget(central);

  // The buttons' look follows the mouse over any part of the form.
  for (QWidget* w : std::initializer_list<QWidget*>{this, central, Shape3, Shape1, PanelButtons, Panel6, ListBox1,
                                                    ListBox1->viewport(), BitBtnAdd, BitBtnModify, BitBtnAccess,
                                                    BitBtnExit}) {
    w->setMouseTracking(true);
    w->installEventFilter(this);
  }
  Image1->installEventFilter(this);
}

std::array<QPushButton*, 4> TMtdeskF::HighlightButtons() const {
  return {BitBtnAdd, BitBtnModify, BitBtnAccess, BitBtnExit};
}

bool TMtdeskF::FormCreate() { return MtdeskFormCreate(*this); }

TListOutcome TMtdeskF::FormShow() {
  TTemplateListing listing;
  const TListOutcome outcome = LoadTemplateList(listing, InstallRequested());
  if (outcome != TListOutcome::Listed) {
    Terminate();
    return outcome;
  }
  FillList(listing);
  // Only ever enabled here: the setup command disables it once it made them.
  if (listing.OfferEmailSetup) Setupclientandcaseemailtemplates1->setEnabled(true);
  ListBox1Click();
  return outcome;
}

void TMtdeskF::FillList(const TTemplateListing& Listing) {
  const QSignalBlocker quiet(ListBox1);
  ListBox1->clear();
  for (const std::string& item : Listing.Items) ListBox1->addItem(WidgetText(item));
  int row = Listing.Selected;
  if (row < 0 && !Startup.DirectMode && !TplSaved && ListBox1->count() > 0) row = 0;
  ListBox1->setCurrentRow(row);
}

std::string TMtdeskF::SelectedItem() const {
  const QListWidgetItem* item = ListBox1->currentItem();
  return item && item->isSelected() ? StoredText(item->text()) : std::string();
}

void TMtdeskF::ListBox1Click() {
  const std::string item = SelectedItem();
  const std::string name = item.empty() ? std::string() : QuotedItemName(item);
  SetCaption(*Modify1, "&Modify " + name);
  SetCaption(*Delete1, "&Delete " + name);
  SetCaption(*Rename1, "&Rename " + name);
  SetCaption(*Importdata1, "&Write data to " + name + " from ...");
  SetCaption(*Copy1, "&Copy " + name);
  SetCaption(*EntryMaintenancefor1, "&Entry/Maintenance for " + name);
  SetCaption(*Printlayoutfor1, "&Print layout for " + name);
  SetCaption(*ExportTemplate1, "&Export template " + name);
  SetCaption(*Reports1, "&Create/Modify or Print QUAP report for " + name);
}

void TMtdeskF::ListBox1MouseDown(Qt::MouseButton Button, const QPoint& Pos) {
  if (Button != Qt::RightButton) return;
  QListWidgetItem* item = ListBox1->itemAt(Pos);
  if (!item) return;
  ListBox1->setCurrentItem(item);
  ListBox1Click();
}

void TMtdeskF::ListBox1DrawItem(QPainter& Canvas, int Index, const QRect& Rect, QStyle::State State) const {
  const bool selected = State & QStyle::State_Selected;
  const QPalette& palette = ListBox1->palette();
  Canvas.fillRect(Rect, selected ? palette.highlight() : palette.base());
  Canvas.setFont(ListBox1->font());
  Canvas.setPen(selected ? palette.highlightedText().color() : QColor(Qt::darkBlue));
  const QListWidgetItem* item = ListBox1->item(Index);
  if (!item) return;
  Canvas.drawText(QRect(Rect.left() + TextIndent, Rect.top(), Rect.width() - TextIndent, Rect.height()),
                  Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, item->text());
}

void TMtdeskF::Image1MouseDown(Qt::MouseButton Button) {
  const std::string item = SelectedItem();
  if (Button != Qt::RightButton || item.empty()) return;
  const std::string name = TrimRight(item);
  MessageDlg("The internal index for " + name + " is " + TemplateNumberOf(name), mtInformation, mbOKOnly);
}

void TMtdeskF::ResetButtonStyles() {
  for (QPushButton* button : HighlightButtons()) SetHighlighted(button, false);
}

void TMtdeskF::BitBtnAddEnter(QPushButton* Sender) {
  ResetButtonStyles();
  SetHighlighted(Sender, true);
}

void TMtdeskF::BitBtnAddExit() { ResetButtonStyles(); }

void TMtdeskF::Shape3MouseMove(QObject* Sender) {
  ResetButtonStyles();
  for (QPushButton* button : HighlightButtons()) {
    if (button != Sender) continue;
    SetHighlighted(button, true);
    button->update();
  }
}

bool TMtdeskF::eventFilter(QObject* Watched, QEvent* Event) {
  auto* button = qobject_cast<QPushButton*>(Watched);
  switch (Event->type()) {
    case QEvent::MouseMove:
      if (Watched != Image1) Shape3MouseMove(Watched);
      break;
    case QEvent::MouseButtonPress: {
      const auto* mouse = static_cast<QMouseEvent*>(Event);
      if (Watched == Image1) Image1MouseDown(mouse->button());
      if (Watched == ListBox1->viewport()) ListBox1MouseDown(mouse->button(), mouse->position().toPoint());
      break;
    }
    case QEvent::FocusIn:
      if (button) BitBtnAddEnter(button);
      break;
    case QEvent::FocusOut:
      if (button) BitBtnAddExit();
      break;
    default:
      break;
  }
  return QMainWindow::eventFilter(Watched, Event);
}

void TMtdeskF::BitBtnExitClick() { close(); }

void TMtdeskF::Timer1Timer() {
  Timer1->stop();
  QCoreApplication::exit(0);
}

void TMtdeskF::FormDestroy() {
  RemoveAppHooks();
  try {
    if (BtrIsFileOpen(MasterFileNo)) BtrCloseFile(MasterFileNo);
  } catch (const Exception&) {
    // The program is ending; the layer's finalization closes what is left.
  }
}

void TMtdeskF::Setupclientandcaseemailtemplates1Click() {
  switch (SetupEmailTemplates(Startup.WSID)) {
    case TEmailSetup::Created:
      Setupclientandcaseemailtemplates1->setEnabled(false);
      FormShow();
      break;
    case TEmailSetup::Terminate:
      Terminate();
      break;
    case TEmailSetup::NotCreated:
      break;
  }
}

std::string TMtdeskF::StatusPanelText(int I) const { return StoredText(statusPanels_.at(size_t(I))->text()); }

void TMtdeskF::SetStatusPanels(const std::string& DataLocation, const std::string& WorkStation) {
  statusPanels_[0]->setText(WidgetText(DataLocation));
  statusPanels_[1]->setText(WidgetText(WorkStation));
}
