#include "designer/qt/lookup_form.h"

#include "designer/host_fields.h"
#include "designer/qt/designer_forms.h"
#include "designer/qt/dialog_parts.h"
#include "designer/qt/edit_dd_form.h"
#include "designer/qt/edit_disp_form.h"
#include "designer/qt/field_tile.h"
#include "designer/qt/get_desc_form.h"
#include "designer/qt/make_cli_form.h"
#include "entry/qt/entry_form.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/qt/exception_reporter.h"
#include "platform/qt/focus_model.h"
#include "platform/qt/form_timer.h"
#include "platform/qt/widget_text.h"
#include "platform/text.h"
#include "templates/store_constants.h"

#include <QAction>
#include <QCheckBox>
#include <QCursor>
#include <QDrag>
#include <QDropEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QShowEvent>
#include <QVBoxLayout>

#include <memory>

namespace {

constexpr int TileWidth = 130;
constexpr int TileHeight = 14;
constexpr int ColumnPitch = 134;
constexpr int RowPitch = 16;
constexpr int TileColumns = 3;
constexpr int ArrowReach = 200;  // pixels a Left or Right may jump
constexpr int MainWindowGap = 20;
constexpr int SmallFontDpi = 120;
constexpr int SmallFontPoints = 8;
constexpr int DropdownPadding = 5;  // blanks behind each name the dropdown editor gets

const char* const PreviewCaption = "Corvenstead Matterdesk Lookup Preview Screen";
const std::string LookupLockedMsg = DropdownLockedMsg + ContactMsg;

QScrollArea* TileBox(QWidget* Parent, const char* Name, int Rows) {
  auto* box = new QScrollArea(Parent);
  box->setObjectName(Name);
  box->setWidgetResizable(false);
  box->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  auto* content = new QWidget(box);
  box->setWidget(content);
  box->setFixedSize(TileColumns * ColumnPitch + box->verticalScrollBar()->sizeHint().width() + 4,
                    Rows * RowPitch + 6);
  return box;
}

QListWidget* NameList(QWidget* Parent, const char* Name, int Rows) {
  auto* list = new QListWidget(Parent);
  list->setObjectName(Name);
  list->setFixedHeight(Rows * list->fontMetrics().height() + 8);
  list->viewport()->setAcceptDrops(true);
  // One line of text per name: the list measures one row, not every row
  // again on each name added.
  list->setUniformItemSizes(true);
  return list;
}

// A designer form made at start, or a form of the moment when none was
// made (a lookup form used on its own).
template <class F>
F& StartFormOr(F* Global, std::unique_ptr<F>& Own, QWidget* Parent) {
  if (Global) return *Global;
  Own = std::make_unique<F>(Parent);
  return *Own;
}

// Restores the field count and clears the preview slot however the preview ends.
class TPreviewSlot {
public:
  TPreviewSlot() : count_(Store.FldCount) { InitFieldSlot(PreviewSlot); }
  ~TPreviewSlot() {
    Store.FldCount = count_;
    InitFieldSlot(PreviewSlot);
  }
  TPreviewSlot(const TPreviewSlot&) = delete;
  TPreviewSlot& operator=(const TPreviewSlot&) = delete;

private:
  int count_;
};

}  // namespace

TLKUPF::TLKUPF(QWidget* MainWindow) : QDialog(MainWindow ? MainWindow->window() : nullptr) {
  setObjectName("LKUPF");
  setWindowTitle("Corvenstead Matterdesk Lookup Maintenance");
  setModal(true);
  FormCreate(MainWindow);
}

TLKUPF::~TLKUPF() {
  delete gridFilter_;
  delete editFilter_;
  ForgetStartForm(this);
}

void TLKUPF::FormCreate(QWidget* MainWindow) {
  // On a screen of ordinary density the form's texts are small (the tiles
  // 7 points, everything else 8), so that the whole catalogue fits.
  if (logicalDpiY() < SmallFontDpi) {
    QFont small = font();
    small.setPointSize(SmallFontPoints);
    setFont(small);
  }
  Focus = new TFocusModel(this);
  RadioGroup1 = new TRadioGroup(
      "Lookup type", {"Fields in a Corvenstead file", "Fields in another template", "User-created list"}, this);
  RadioGroup1->setObjectName("RadioGroup1");
  RadioGroup1->OnClick([this] { RadioGroup1Click(); });

  PanelTiles = new QFrame(this);
  PanelTiles->setObjectName("PanelTiles");
  ScrollBoxClient = TileBox(PanelTiles, "ScrollBoxClient", 7);
  ScrollBoxCase = TileBox(PanelTiles, "ScrollBoxCase", 8);
  ScrollBoxEmp = TileBox(PanelTiles, "ScrollBoxEmp", 2);
  ListBoxTables = NameList(PanelTiles, "ListBoxTables", 6);
  ListBoxTables->viewport()->setAcceptDrops(false);
  ListBoxTables->hide();
  connect(ListBoxTables, &QListWidget::currentRowChanged, this, [this] {
    if (!fillingTables_) GuardEvent([this] { ListBoxTablesClick(); });
  });
  LabelTables = new QLabel(WidgetText("Templates"), PanelTiles);
  LabelTables->hide();
  LabelClientBox = new QLabel(WidgetText("Client file"), PanelTiles);
  auto* caseLabel = new QLabel(WidgetText("Case file"), PanelTiles);
  auto* empLabel = new QLabel(WidgetText("Employee file"), PanelTiles);
  // Kind M shows the template list and one tall box of the target's fields.
  for (QWidget* w : std::initializer_list<QWidget*>{ScrollBoxCase, ScrollBoxEmp, caseLabel, empLabel})
    familyOnly_.push_back(w);
  auto* tiles = new QVBoxLayout(PanelTiles);
  tiles->setContentsMargins(0, 0, 0, 0);
  tiles->addWidget(LabelTables);
  tiles->addWidget(ListBoxTables);
  tiles->addWidget(LabelClientBox);
  tiles->addWidget(ScrollBoxClient);
  tiles->addWidget(caseLabel);
  tiles->addWidget(ScrollBoxCase);
  tiles->addWidget(empLabel);
  tiles->addWidget(ScrollBoxEmp);
  tiles->addStretch();
  clientBoxHeight_ = ScrollBoxClient->height();

  PanelLists = new QFrame(this);
  PanelLists->setObjectName("PanelLists");
  LabelFieldName2 = new QLabel(PanelLists);
  LabelFieldName2->setObjectName("LabelFieldName2");
  QFont bold = LabelFieldName2->font();
  bold.setBold(true);
  LabelFieldName2->setFont(bold);
  LabelInstruction = new QLabel(WidgetText(LookupInstruction).replace('\r', '\n'), PanelLists);
  LabelInstruction->setObjectName("LabelInstruction");
  LabelInstruction->setWordWrap(true);
  ListBoxDropdown = NameList(PanelLists, "ListBoxDropdown", 4);
  ListBoxDisplayed = NameList(PanelLists, "ListBoxDisplayed", 8);
  BitBtnDropDown = DialogButton(PanelLists, "BitBtnDropDown", "Add to Dropdown &List");
  BitBtnEditL = DialogButton(PanelLists, "BitBtnEditL", "&Edit");
  BitBtnDisplayed = DialogButton(PanelLists, "BitBtnDisplayed", "Add to Dis&play");
  BitBtnEditD = DialogButton(PanelLists, "BitBtnEditD", "Edi&t Order");
  BitBtnPreview = DialogButton(PanelLists, "BitBtnPreview", "Pre&view");
  CBAltLookup = new QCheckBox(PanelLists);
  CBAltLookup->setObjectName("CBAltLookup");
  LabelAltLookup = new QLabel(PanelLists);
  LabelAltLookup->setObjectName("LabelAltLookup");
  LabelAltLookup->setWordWrap(true);
  CBForced = new QCheckBox(WidgetText("&Forced lookup"), PanelLists);
  CBForced->setObjectName("CBForced");
  LabelIndexName = new QLabel(PanelLists);
  LabelIndexName->setObjectName("LabelIndexName");
  LabelIndexName->hide();
  auto* lists = new QVBoxLayout(PanelLists);
  lists->setContentsMargins(0, 0, 0, 0);
  auto* field = new QHBoxLayout;
  field->addWidget(new QLabel(WidgetText("Field :"), PanelLists));
  field->addWidget(LabelFieldName2, 1);
  lists->addLayout(field);
  lists->addWidget(new QLabel(WidgetText("Dropdown list"), PanelLists));
  lists->addWidget(ListBoxDropdown);
  lists->addLayout(CentredRow({BitBtnDropDown, BitBtnEditL}));
  lists->addWidget(LabelIndexName);
  lists->addWidget(new QLabel(WidgetText("Display fields"), PanelLists));
  lists->addWidget(ListBoxDisplayed);
  lists->addLayout(CentredRow({BitBtnDisplayed, BitBtnEditD}));
  auto* alt = new QHBoxLayout;
  alt->addWidget(CBAltLookup, 0, Qt::AlignTop);
  alt->addWidget(LabelAltLookup, 1);
  lists->addLayout(alt);
  lists->addWidget(LabelInstruction);
  lists->addWidget(CBForced);
  lists->addStretch();
  lists->addLayout(CentredRow({BitBtnPreview}));
  PanelLists->setFixedWidth(ScrollBoxClient->width());

  PanelUserList = new QFrame(this);
  PanelUserList->setObjectName("PanelUserList");
  PanelUserList->hide();
  BuildUserListPanel();

  BitBtnSave = DialogButton(this, "BitBtnSave", "&OK");
  CloseBitBtn = DialogButton(this, "CloseBitBtn", "&Cancel");

  auto* body = new QHBoxLayout;
  body->addWidget(PanelTiles);
  body->addWidget(PanelUserList);
  body->addWidget(PanelLists);
  auto* column = new QVBoxLayout(this);
  column->addWidget(RadioGroup1);
  column->addLayout(body);
  column->addLayout(CentredRow({BitBtnSave, CloseBitBtn}));
  column->setSizeConstraint(QLayout::SetFixedSize);
  // The form keeps its width in both stages: only its height grows.
  RadioGroup1->setMinimumWidth(ScrollBoxClient->width() + std::max(body->spacing(), 0) + PanelLists->width());

  PopupMenu1 = new QMenu(this);
  PopupMenu1->setObjectName("PopupMenu1");
  SelectForDropdown = PopupMenu1->addAction(WidgetText("Select for Dropdown &List"));
  SelectForDisplay = PopupMenu1->addAction(WidgetText("Select for &Display"));
  connect(SelectForDropdown, &QAction::triggered, this, [this] { GuardEvent([this] { BitBtnDropDownClick(); }); });
  connect(SelectForDisplay, &QAction::triggered, this, [this] { GuardEvent([this] { BitBtnDisplayedClick(); }); });

  Timer1 = new TFormTimer(Timer1Interval, [this] { GuardEvent([this] { Timer1Timer(); }); }, this);
  Timer2 = new TFormTimer(Timer2Interval, [this] { GuardEvent([this] { Timer2Timer(); }); }, this);
  connect(this, &QDialog::finished, this, [this] {
    Timer1->stop();
    Timer2->stop();
    GuardEvent([this] { FormClose(); });
  });
  for (int k = 0; k < RadioGroup1->Count(); ++k)
    Focus->BindEnter(RadioGroup1->Item(k), [this](QWidget* Now) { KindButtonEnter(Now); });

  OnClicked(BitBtnSave, [this] { BitBtnSaveClick(); });
  OnClicked(CloseBitBtn, [this] { CloseBitBtnClick(); });
  OnClicked(BitBtnDropDown, [this] { BitBtnDropDownClick(); });
  OnClicked(BitBtnDisplayed, [this] { BitBtnDisplayedClick(); });
  OnClicked(BitBtnEditL, [this] { BitBtnEditLClick(); });
  OnClicked(BitBtnEditD, [this] { BitBtnEditDClick(); });
  OnClicked(BitBtnPreview, [this] { BitBtnPreviewClick(); });
  OnClicked(CBAltLookup, [this] { CBAltLookupClick(); });
  for (QListWidget* list : {ListBoxDropdown, ListBoxDisplayed}) list->viewport()->installEventFilter(this);

  BuildFieldTiles();
  ResetForField();
  if (MainWindow) {
    const QRect main = MainWindow->window()->frameGeometry();
    move(main.x() + (main.width() - width()) / 2, main.y() + MainWindowGap);
  }
}

TFieldTile* TLKUPF::MakeTile(int Tag, const QString& Name, QScrollArea* Box) {
  auto* t = new TFieldTile(Tag, Box->widget());
  t->setObjectName(Name);
  QFont f(QStringLiteral("Arial"));
  f.setPointSize(7);
  t->setFont(f);
  t->setFixedSize(TileWidth, TileHeight);
  BindTile(t);
  return t;
}

void TLKUPF::BuildFieldTiles() {
  for (int code = 0; code < TileCount; ++code) {
    QScrollArea* box = code <= HostCode::LastClientTile ? ScrollBoxClient
                       : code <= HostCode::LastCaseTile ? ScrollBoxCase
                                                        : ScrollBoxEmp;
    TFieldTile* t = MakeTile(code, QString("StatText%1").arg(code), box);
    const std::string name = HostNameOfCode(code);
    t->setText(WidgetText(name));
    t->setToolTip(WidgetText(name));
    // A code without a name has no field to offer.
    t->setVisible(!name.empty());
    t->SetBold(code == HostCode::ClientCode || code == HostCode::CaseSuffix || code == HostCode::EmpCode);
    Tiles[size_t(code)] = t;
  }
  for (int k = 0; k < TemplateTileCount; ++k) {
    TemplateTiles[size_t(k)] = MakeTile(k + 1, QString("TemplateTile%1").arg(k + 1), ScrollBoxClient);
    TemplateTiles[size_t(k)]->hide();
  }
  for (QScrollArea* box : {ScrollBoxClient, ScrollBoxCase, ScrollBoxEmp}) PlaceTiles(box);
}

void TLKUPF::PlaceTiles(QScrollArea* Box) {
  int n = 0;
  for (QObject* child : Box->widget()->children()) {
    auto* t = dynamic_cast<TFieldTile*>(child);
    if (!t || t->isHidden()) continue;
    t->move((n % TileColumns) * ColumnPitch + 2, (n / TileColumns) * RowPitch + 2);
    ++n;
  }
  const int rows = (n + TileColumns - 1) / TileColumns;
  Box->widget()->resize(TileColumns * ColumnPitch, rows * RowPitch + 4);
}

void TLKUPF::BindTile(TFieldTile* Tile) {
  Tile->OnMouseDown = [this](TFieldTile* t, Qt::MouseButton b) { StaticText1MouseDown(t, b); };
  Tile->OnMouseMove = [this](TFieldTile* t) { StaticText1MouseMove(t); };
  Tile->OnClick = [this](TFieldTile* t) { StaticText1Click(t); };
  Tile->OnKeyDown = [this](TFieldTile* t, int Key, Qt::KeyboardModifiers Shift) { return FormKeyDown(t, Key, Shift); };
  Tile->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(Tile, &QWidget::customContextMenuRequested, this, [this, Tile](const QPoint& At) {
    GuardEvent([&] {
      // The menu acts on the tile it was opened on.
      FocusTile(Tile);
      PopupMenu1->popup(Tile->mapToGlobal(At));
    });
  });
  Focus->BindEnter(Tile, [this](QWidget* Now) { ActiveControlChange(Now); });
}

void TLKUPF::showEvent(QShowEvent* Event) {
  QDialog::showEvent(Event);
  if (!Event->spontaneous()) GuardEvent([this] { FormShow(); });
}

void TLKUPF::FormShow() {
  DraggingTile = false;
  HandOver.AutoClientLookup = false;
  HandOver.LookupAccepted = false;
  LookupLocked = HandOver.LookupLocked;
  LabelFieldName2->setText(WidgetText(HandOver.FieldName));
  const bool familyKind = Kind() == KindL;
  CBForced->setEnabled(!familyKind);
  if (familyKind) CBForced->setChecked(true);
  for (int k = 0; k < RadioGroup1->Count(); ++k) RadioGroup1->Item(k)->setFocusPolicy(Qt::ClickFocus);
  RadioGroup1->setEnabled(!LookupLocked);
  if (LookupLocked && LookupKindStage) PassFirstStage();
}

int TLKUPF::Kind() const { return RadioGroup1->ItemIndex(); }
void TLKUPF::SetKind(int Kind) { RadioGroup1->SetItemIndex(Kind); }

TFieldTile* TLKUPF::Tile(int Code) const {
  return Code >= 0 && Code < TileCount ? Tiles[size_t(Code)] : nullptr;
}

TCorvensteadLookup TLKUPF::Lists() const {
  TCorvensteadLookup lookup;
  lookup.Dropdown = ListTexts(ListBoxDropdown);
  lookup.Displayed = ListTexts(ListBoxDisplayed);
  return lookup;
}

void TLKUPF::ShowLists(const TCorvensteadLookup& Lookup) {
  SetListTexts(ListBoxDropdown, Lookup.Dropdown);
  SetListTexts(ListBoxDisplayed, Lookup.Displayed);
}

void TLKUPF::ShowCompact(bool Compact) {
  PanelTiles->setVisible(!Compact);
  PanelLists->setVisible(!Compact);
  if (Compact) PanelUserList->hide();
  layout()->activate();
  adjustSize();
}

void TLKUPF::ResetForField() {
  LookupKindStage = true;
  ResetTiles();
  BitBtnSave->setEnabled(false);
  ShowCompact(true);
  UserList = TUserListState();
  SetKind(NoKind);
  LabelIndexName->clear();
  LabelIndexName->setProperty("tag", 0);
  CBForced->setChecked(false);
}

void TLKUPF::ResetTiles() {
  ListBoxDropdown->clear();
  ListBoxDisplayed->clear();
  ApplyTileStates(ResetTileStates());
  for (QScrollArea* box : {ScrollBoxClient, ScrollBoxCase, ScrollBoxEmp}) box->verticalScrollBar()->setValue(0);
  ResetListGrid();
  LabelInstruction->setVisible(Kind() != KindM);
  // A tick left from the lookup before would otherwise be stored unseen.
  CBAltLookup->setChecked(false);
  CBAltLookup->hide();
  LabelAltLookup->hide();
  SetHighlight(nullptr);
  HoverTile = nullptr;
}

void TLKUPF::ApplyTileStates(const TTileStates& States) {
  for (int code = 0; code < TileCount; ++code) Tiles[size_t(code)]->setEnabled(States[size_t(code)]);
}

void TLKUPF::RadioGroup1Click() {
  const int kind = Kind();
  BitBtnSave->setEnabled(kind != NoKind);
  if (kind != NoKind) ShowKindPanels(kind);
  switch (kind) {
    case KindL:
      CBForced->setEnabled(false);
      CBForced->setChecked(true);
      if (!LookupKindStage) ResetTiles();
      break;
    case KindM:
      CBForced->setEnabled(true);
      LabelInstruction->hide();
      LoadTemplateList();
      ListBoxTablesClick();
      if (!LookupKindStage) ResetTiles();
      break;
    case KindU:
      if (!LookupKindStage) {
        ResetTiles();
        OpenUserListPanel();
      }
      break;
    default: break;
  }
}

void TLKUPF::ShowKindPanels(int Kind) {
  const bool family = Kind == KindL;
  const bool list = Kind == KindU && !LookupKindStage;
  if (!LookupKindStage) {
    PanelTiles->setVisible(!list);
    PanelLists->setVisible(!list);
    PanelUserList->setVisible(list);
  }
  if (Kind == KindU) {
    layout()->activate();
    adjustSize();
    return;
  }
  for (int code = 0; code < TileCount; ++code) Tiles[size_t(code)]->setVisible(family && !HostNameOfCode(code).empty());
  if (family) {
    for (TFieldTile* t : TemplateTiles) t->hide();
  }
  for (QWidget* w : familyOnly_) w->setVisible(family);
  ListBoxTables->setVisible(!family);
  LabelTables->setVisible(!family);
  LabelIndexName->setVisible(!family);
  LabelClientBox->setText(WidgetText(family ? "Client file" : "Fields"));
  // One box of a target's fields reaches down where the family's boxes end.
  ScrollBoxClient->setFixedHeight(family ? clientBoxHeight_
                                         : (TemplateTileCount + TileColumns - 1) / TileColumns * RowPitch + 6);
  if (!family) {
    CBAltLookup->hide();
    LabelAltLookup->hide();
  }
  PlaceTiles(ScrollBoxClient);
  layout()->activate();
  adjustSize();
}

void TLKUPF::PassFirstStage() {
  ShowCompact(false);
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect area = screen->availableGeometry();
    move(x(), area.y() + std::max(0, (area.height() - frameGeometry().height()) / 2));
  }
  // Near the top of the form, where the kind and the tiles begin; where the
  // window system refuses, the pointer stays.
  QCursor::setPos(mapToGlobal(QPoint(width() / 2, RadioGroup1->height() / 2)));
  LookupKindStage = false;
  if (Kind() == KindM) ListBoxTables->setFocus();
  if (Kind() == KindU) OpenUserListPanel();
  if (Kind() != NoKind) ShowKindPanels(Kind());
}

void TLKUPF::BitBtnSaveClick() {
  if (LookupKindStage) {
    if (Kind() == NoKind) return;
    PassFirstStage();
    return;
  }
  if (Kind() == KindU && !SaveUserList()) return;
  if (Kind() == KindL || Kind() == KindM) HandOver.LookupAccepted = ListBoxDropdown->count() > 0;
  if (Kind() == KindL && HandOver.LookupAccepted) {
    if (const TKeyFieldRow* row = KeyFieldRow(Lists().FirstCode())) HandOver.Width = row->Width;
  }
  Timer1->stop();
  Timer2->stop();
  accept();
}

void TLKUPF::CloseBitBtnClick() {
  Timer1->stop();
  Timer2->stop();
  if (PanelUserList->isVisible()) {
    ResetListGrid();
    ResetForField();
  }
  reject();
}

std::string TLKUPF::NameToAdd(const TFieldTile* Tile) {
  if (Tile != this->Tile(HostCode::CaseDescInfo)) return StoredText(Tile->text());
  std::unique_ptr<TGetDescF> own;
  TGetDescF& ask = StartFormOr(GetDescF, own, this);
  ask.exec();
  return ask.Cancelled ? "" : ask.SelectedLine();
}

void TLKUPF::AddDropdownName(const std::string& Name) { ListBoxDropdown->addItem(WidgetText(Name)); }

void TLKUPF::BitBtnDropDownClick() {
  if (!HighlightTile) return;
  if (Kind() == KindM) return AddDropdownField();
  if (Kind() != KindL) return;
  const int code = HighlightTile->Tag();
  if (ListBoxDropdown->count() > 0) {
    if (ListBoxDropdown->count() >= int(MaxDropdownFields)) return ShowMessage(DropdownFullMsg);
    const std::string name = NameToAdd(HighlightTile);
    if (name.empty()) return;
    if (Lists().InDropdown(name)) return ShowMessage(DropdownListedMsg(name));
    return AddDropdownName(name);
  }
  if (!IsDropdownKeyCode(code)) return ShowMessage(FirstNotIndexMsg);
  if (code == HostCode::CaseSuffix && !HasClientLookup(HandOver)) {
    int option = TMakeCliF::BackOut;
    {
      TMakeCliF ask(this);
      ask.exec();
      option = ask.ItemIndex();
    }
    const TClientLookupStep step = ClientLookupStep(option, HandOver);
    if (!step.Message.empty()) ShowMessage(step.Message);
    if (step.CancelForm) return CloseBitBtnClick();
    if (step.AutoClientLookup) HandOver.AutoClientLookup = true;
  }
  AddDropdownName(HostNameOfCode(code));
  EnableHostTiles(code);
}

void TLKUPF::EnableHostTiles(int Code) {
  ApplyTileStates(HostTileStates(Code));
  ShowAltLookup(Code);
}

void TLKUPF::ShowAltLookup(int FirstCode) {
  LabelAltLookup->setText(WidgetText(AltLookupCaption(FirstCode)));
  LabelAltLookup->show();
  CBAltLookup->show();
  LabelInstruction->hide();
}

void TLKUPF::BitBtnDisplayedClick() {
  if (HighlightTile) AddDisplayField(HighlightTile, false);
}

void TLKUPF::AddDisplayField(TFieldTile* Tile, bool AtTop) {
  if (ListBoxDropdown->count() == 0) return ShowMessage(KeyFirstMsg);
  const std::string name = NameToAdd(Tile);
  if (name.empty()) return;
  if (Lists().InDisplayed(name)) return ShowMessage(DisplayListedMsg(name));
  const int row = AtTop ? 0 : ListBoxDisplayed->count();
  ListBoxDisplayed->insertItem(row, WidgetText(name));
  ListBoxDisplayed->setCurrentRow(row);
}

void TLKUPF::CBAltLookupClick() {
  if (!CBAltLookup->isChecked()) return;
  TFieldTile* tile = Tile(AltNameFieldOfHost(HostOfCode(Lists().FirstCode())));
  if (!tile) return;
  // The name tile stays disabled while a stored lookup is edited: it is
  // highlighted, not focused.
  if (tile->isEnabled()) FocusTile(tile);
  SetHighlight(tile);
  AddDisplayField(tile, true);
}

void TLKUPF::BitBtnEditLClick() {
  if (PanelUserList->isVisible()) return;
  const std::vector<std::string> names = ListTexts(ListBoxDropdown);
  if (names.empty()) return ShowMessage(NothingToDoMsg);
  if (names.size() == 1) {
    if (LookupLocked) return ShowMessage(LookupLockedMsg);
    if (MessageDlg("Do you wish to remove the field " + names[0] + "?", mtConfirmation, mbYesNo) == mrYes)
      ResetTiles();
    return;
  }
  std::vector<std::string> padded;
  for (const std::string& n : names) padded.push_back(n + std::string(DropdownPadding, ' '));
  std::vector<std::string> edited;
  {
    TEditDDF editor(padded, LookupLocked, this);
    editor.exec();
    if (!editor.OK) return;
    edited = editor.DDNames;
  }
  if (edited.empty()) return ResetTiles();
  for (std::string& n : edited) n = TrimRight(n);
  SetListTexts(ListBoxDropdown, edited);
}

void TLKUPF::BitBtnEditDClick() {
  std::unique_ptr<TEditDispF> own;
  TEditDispF& editor = StartFormOr(EditDispF, own, this);
  editor.SetNames(ListTexts(ListBoxDisplayed));
  editor.exec();
  if (!editor.Cancelled) SetListTexts(ListBoxDisplayed, editor.Names());
}

void TLKUPF::BitBtnPreviewClick() {
  if (Kind() != KindL && Kind() != KindM) return;
  const TPreviewSlot slot;
  TFld& f = Store.FldTable[PreviewSlot];
  f.Name = HandOver.FieldName;
  f.SeqNo = PreviewSlot;
  f.FldType = 'C';
  f.UpperCase = HandOver.UpperCase;
  f.RightJustify = HandOver.RightJustify;
  f.Default = HandOver.Default;
  f.Hint = HandOver.Hint;
  f.IsLookup = true;
  f.Forced = CBForced->isChecked();
  f.Width = f.KeyWidth = std::max(HandOver.Width, 1);
  f.LkpKind = Kind() == KindL ? "L" : "M";
  if (Kind() == KindL) {
    StoreCorvensteadLookup(PreviewSlot);
  } else {
    StoreTemplateLookup(PreviewSlot);
  }
  Store.FldCount = PreviewSlot;
  TEntryF entry(this);
  entry.setWindowTitle(PreviewCaption);
  entry.SetBuildRange(PreviewSlot, PreviewSlot);
  for (QWidget* w : std::initializer_list<QWidget*>{entry.BitBtnSave, entry.BitBtnFind, entry.BitBtnClear,
                                                    entry.BitBtnFilter, entry.CalBitBtn, entry.BitBtnQuickEntry})
    w->hide();
  if (auto* bar = qobject_cast<QHBoxLayout*>(entry.Panel1->layout())) {
    bar->insertStretch(0);
    bar->addStretch();
  }
  entry.exec();
}

void TLKUPF::StoreCorvensteadLookup(int Slot) { Lists().StoreInto(Store.FldTable[Slot]); }

void TLKUPF::AddClientLookupField() { ::AddClientLookupField(); }

void TLKUPF::LoadCorvensteadLookup(const TFld& Fld, const decltype(TTemplateStore::AltLookupOn)& AltLookupOn) {
  SetKind(KindL);
  RadioGroup1Click();
  const TCorvensteadLookup lookup = TCorvensteadLookup::LoadFrom(Fld);
  ShowLists(lookup);
  const int first = lookup.FirstCode();
  const int host = HostOfCode(first);
  CBAltLookup->setChecked(host > 0 && AltLookupOn[host]);
  EnableKeyTiles(first);
}

void TLKUPF::EnableKeyTiles(int FirstCode) {
  ApplyTileStates(KeyTileStates(FirstCode));
  if (HostOfCode(FirstCode) > 0) ShowAltLookup(FirstCode);
}

// Tiles, highlight and drag.

void TLKUPF::SetHighlight(TFieldTile* Tile) {
  if (HighlightTile && HighlightTile != Tile) HighlightTile->SetHighlighted(false);
  HighlightTile = Tile;
  if (Tile) Tile->SetHighlighted(true);
}

void TLKUPF::FocusTile(TFieldTile* Tile) {
  Focus->FocusControl(Tile);
  SetHighlight(Tile);
}

void TLKUPF::ActiveControlChange(QWidget* Now) {
  auto* tile = dynamic_cast<TFieldTile*>(Now);
  if (!tile) return;
  SetHighlight(tile);
  HoverTile = nullptr;
}

void TLKUPF::StaticText1MouseMove(TFieldTile* Sender) {
  if (!HighlightTile || HighlightTile->isHidden()) return FocusTile(Sender);
  if (Sender == HighlightTile || Sender == HoverTile) return;
  HoverTile = Sender;
  Timer2->start(Timer2Interval);
}

void TLKUPF::Timer2Timer() {
  Timer2->stop();
  TFieldTile* hover = HoverTile;
  if (!hover || hover->isHidden() || !hover->isEnabled()) return;
  if (hover->rect().contains(hover->mapFromGlobal(QCursor::pos()))) FocusTile(hover);
}

void TLKUPF::StaticText1MouseDown(TFieldTile* Sender, Qt::MouseButton Button) {
  if (Button == Qt::RightButton || Timer1->isActive()) return;
  const uint64_t now = GetTickCount64();
  if (pressSeen_ && now - lastPress_ < PressGuardMs) return;
  pressSeen_ = true;
  lastPress_ = now;
  // A drag the window system ended without giving the tile its click.
  DraggingTile = false;
  FocusTile(Sender);
  Timer1->start(Timer1Interval);
}

void TLKUPF::StaticText1Click(TFieldTile*) {
  if (DraggingTile) {
    DraggingTile = false;
    return;
  }
  Timer1->stop();
}

void TLKUPF::Timer1Timer() {
  Timer1->stop();
  auto* tile = dynamic_cast<TFieldTile*>(Focus->Current());
  if (!tile || tile->isHidden() || !tile->isEnabled()) return;
  DraggingTile = true;
  tile->SetHighlighted(true);
  auto* drag = new QDrag(tile);
  drag->setMimeData(TileMimeData(tile));
  drag->exec(Qt::CopyAction);
  StaticText1EndDrag(tile);
}

void TLKUPF::StaticText1EndDrag(TFieldTile* Sender) { Sender->SetHighlighted(Sender == HighlightTile); }

QMimeData* TLKUPF::TileMimeData(const TFieldTile* Tile) {
  auto* data = new QMimeData;
  data->setData(TileMime, Tile->objectName().toUtf8());
  return data;
}

TFieldTile* TLKUPF::TileOf(const QMimeData* Data) const {
  if (!Data || !Data->hasFormat(TileMime)) return nullptr;
  auto* tile = findChild<TFieldTile*>(QString::fromUtf8(Data->data(TileMime)));
  return tile && !tile->isHidden() && tile->isEnabled() ? tile : nullptr;
}

bool TLKUPF::ListBoxDropdownDragOver(const QMimeData* Data) { return TileOf(Data) != nullptr; }

void TLKUPF::ListBoxDropdownDragDrop(const QMimeData* Data) {
  if (TFieldTile* tile = TileOf(Data)) {
    SetHighlight(tile);
    BitBtnDropDownClick();
  }
}

void TLKUPF::ListBoxDisplayedDragDrop(const QMimeData* Data) {
  if (TFieldTile* tile = TileOf(Data)) {
    SetHighlight(tile);
    BitBtnDisplayedClick();
  }
}

bool TLKUPF::eventFilter(QObject* Watched, QEvent* Event) {
  const bool dropdown = Watched == ListBoxDropdown->viewport();
  if (!dropdown && Watched != ListBoxDisplayed->viewport()) return QDialog::eventFilter(Watched, Event);
  switch (Event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
      auto* drag = static_cast<QDragMoveEvent*>(Event);
      bool take = false;
      GuardEvent([&] { take = ListBoxDropdownDragOver(drag->mimeData()); });
      if (take) {
        drag->acceptProposedAction();
      } else {
        drag->ignore();
      }
      return true;
    }
    case QEvent::Drop: {
      auto* drop = static_cast<QDropEvent*>(Event);
      GuardEvent([&] {
        if (dropdown) {
          ListBoxDropdownDragDrop(drop->mimeData());
        } else {
          ListBoxDisplayedDragDrop(drop->mimeData());
        }
      });
      drop->acceptProposedAction();
      return true;
    }
    default: return QDialog::eventFilter(Watched, Event);
  }
}

// Keys.

bool TLKUPF::FormKeyDown(TFieldTile* Sender, int Key, Qt::KeyboardModifiers Shift) {
  if (Key == Qt::Key_Tab && !(Shift & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier)))
    return TileTab(Sender);
  if ((Key == Qt::Key_Left || Key == Qt::Key_Right) && HighlightTile) return ArrowKeyToTile(Key);
  return false;
}

bool TLKUPF::ArrowKeyToTile(int Key) {
  if (!HighlightTile) return false;
  const QWidget* parent = HighlightTile->parentWidget();
  const QPoint at = HighlightTile->pos();
  std::vector<TFieldTile*> all(Tiles.begin(), Tiles.end());
  all.insert(all.end(), TemplateTiles.begin(), TemplateTiles.end());
  for (TFieldTile* t : all) {
    if (t == HighlightTile || t->parentWidget() != parent || t->isHidden() || !t->isEnabled() || t->y() != at.y())
      continue;
    const int dx = t->x() - at.x();
    const bool near = Key == Qt::Key_Left ? dx < 0 && -dx < ArrowReach : dx > 0 && dx < ArrowReach;
    if (!near) continue;
    FocusTile(t);
    return true;
  }
  return false;
}

QScrollArea* TLKUPF::BoxOf(const TFieldTile* Tile) const {
  for (QScrollArea* box : {ScrollBoxClient, ScrollBoxCase, ScrollBoxEmp})
    if (Tile->parentWidget() == box->widget()) return box;
  return nullptr;
}

TFieldTile* TLKUPF::FirstTileIn(QScrollArea* Box) const {
  for (QObject* child : Box->widget()->children()) {
    auto* t = dynamic_cast<TFieldTile*>(child);
    if (t && !t->isHidden() && t->isEnabled()) return t;
  }
  return nullptr;
}

bool TLKUPF::TileTab(TFieldTile* Sender) {
  QScrollArea* box = BoxOf(Sender);
  if (!box) return false;
  // The boxes in Tab order from the one left, ending at the dropdown button.
  std::vector<QScrollArea*> next;
  if (box == ScrollBoxClient && Kind() == KindL) next = {ScrollBoxCase, ScrollBoxEmp};
  if (box == ScrollBoxCase) next = {ScrollBoxEmp};
  for (QScrollArea* b : next) {
    if (TFieldTile* tile = FirstTileIn(b)) {
      FocusTile(tile);
      return true;
    }
  }
  Focus->FocusControl(BitBtnDropDown);
  return true;
}
