#include "designer/qt/edit_dd_form.h"

#include "designer/qt/field_tile.h"
#include "platform/dialogs.h"
#include "platform/qt/focus_model.h"
#include "platform/qt/widget_text.h"
#include "templates/store_constants.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

constexpr int TileGap = 2;

}  // namespace

TEditDDF::TEditDDF(std::vector<std::string> Names, bool Locked, QWidget* Parent)
    : TDesignerDialog(Parent, "EditDDF", "Dropdown List Editor"), order_(std::move(Names), Locked) {
  Memo1 = new QLabel(WidgetText(DropdownEditorMemo), this);
  Memo1->setObjectName("Memo1");
  Memo1->setWordWrap(true);
  auto* tiles = new QHBoxLayout;
  tiles->setSpacing(TileGap);
  Focus = new TFocusModel(this);
  for (int k = 0; k < MaxTiles; ++k) {
    auto* t = new TFieldTile(k + 1, this);
    t->setObjectName(QString("StaticText%1").arg(k + 1));
    t->setFrameShape(QFrame::Panel);
    t->setFrameShadow(QFrame::Raised);
    t->OnClick = [this](TFieldTile* Sender) { StaticText1Click(Sender); };
    // The tile reached by the keyboard is selected as one clicked.
    Focus->BindEnter(t, [this, k](QWidget*) {
      order_.Select(k);
      RefreshTiles();
    });
    StaticText[size_t(k)] = t;
    tiles->addWidget(t);
  }
  tiles->addStretch();
  BitBtnLeft = DialogButton(this, "BitBtnLeft", "Move &Left");
  BitBtnRight = DialogButton(this, "BitBtnRight", "Move &Right");
  BitBtnDelete = DialogButton(this, "BitBtnDelete", "&Delete");
  BitBtnSave = DialogButton(this, "BitBtnSave", "&OK");
  BitBtnCancel = DialogButton(this, "BitBtnCancel", "&Cancel");
  auto* column = new QVBoxLayout(this);
  column->addWidget(Memo1);
  column->addLayout(tiles);
  column->addLayout(CentredRow({BitBtnLeft, BitBtnRight, BitBtnDelete}));
  column->addLayout(CentredRow({BitBtnSave, BitBtnCancel}));
  column->setSizeConstraint(QLayout::SetFixedSize);
  OnClicked(BitBtnLeft, [this] { BitBtnLeftClick(BitBtnLeft); });
  OnClicked(BitBtnRight, [this] { BitBtnLeftClick(BitBtnRight); });
  OnClicked(BitBtnDelete, [this] { BitBtnDeleteClick(); });
  OnClicked(BitBtnSave, [this] { BitBtnSaveClick(); });
  OnClicked(BitBtnCancel, [this] { reject(); });
  DDNames = order_.Names();
  DDCount = order_.Count();
  RefreshTiles();
}

void TEditDDF::FormShow() {
  OK = false;
  RefreshTiles();
  // The memo wraps to the width of the tiles shown.
  int width = 0;
  for (const TFieldTile* t : StaticText)
    if (!t->isHidden()) width += t->sizeHint().width() + TileGap;
  Memo1->setFixedWidth(std::max(width, 200));
  if (order_.Count() > 0) Focus->FocusControl(StaticText[size_t(order_.Selected())]);
}

void TEditDDF::RefreshTiles() {
  for (int k = 0; k < MaxTiles; ++k) {
    TFieldTile* t = StaticText[size_t(k)];
    const bool shown = k < order_.Count();
    t->setVisible(shown);
    if (!shown) continue;
    t->setText(WidgetText(order_.Names()[size_t(k)]));
    t->SetBold(order_.Keys()[size_t(k)]);
    t->SetHighlighted(k == order_.Selected());
  }
}

int TEditDDF::FindSelectedTile() const {
  for (int k = 0; k < MaxTiles; ++k)
    if (StaticText[size_t(k)]->isVisible() && StaticText[size_t(k)]->Highlighted()) return k;
  return order_.Selected();
}

void TEditDDF::StaticText1Click(TFieldTile* Sender) { Focus->FocusControl(Sender); }

void TEditDDF::ShowRefusal(const std::string& Text) {
  ShowMessage(Text == DropdownLockedMsg ? Text + ContactMsg : Text);
}

void TEditDDF::BitBtnLeftClick(QObject* Sender) {
  order_.Select(FindSelectedTile());
  const bool left = Sender && Sender->objectName() == "BitBtnLeft";
  const std::string refusal = left ? order_.MoveLeft() : order_.MoveRight();
  if (!refusal.empty()) ShowRefusal(refusal);
  RefreshTiles();
  Focus->FocusControl(StaticText[size_t(order_.Selected())]);
}

void TEditDDF::BitBtnDeleteClick() {
  order_.Select(FindSelectedTile());
  switch (order_.Delete()) {
    case TDropdownDelete::Refused: ShowRefusal(DropdownLockedMsg); return;
    case TDropdownDelete::AskRemoveAll:
      if (MessageDlg(RemoveKeyFieldQuestion, mtConfirmation, mbYesNo) != mrYes) return;
      order_.RemoveAll();
      return CloseWithOk();
    case TDropdownDelete::Removed:
      if (order_.Count() == 0) return CloseWithOk();
      RefreshTiles();
      Focus->FocusControl(StaticText[size_t(order_.Selected())]);
      return;
  }
}

void TEditDDF::BitBtnSaveClick() { CloseWithOk(); }

void TEditDDF::CloseWithOk() {
  DDNames = order_.Names();
  DDCount = order_.Count();
  OK = true;
  accept();
}
