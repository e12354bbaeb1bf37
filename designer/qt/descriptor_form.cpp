#include "designer/qt/descriptor_form.h"

#include "designer/qt/designer_forms.h"
#include "designer/qt/lookup_form.h"
#include "designer/qt/min_max_form.h"
#include "entry/qt/entry_form.h"
#include "platform/dialogs.h"
#include "platform/qt/app_hooks.h"
#include "platform/qt/cursor.h"
#include "platform/qt/exception_reporter.h"
#include "platform/qt/application.h"
#include "platform/qt/focus_model.h"
#include "platform/qt/status_bar.h"
#include "platform/qt/widget_text.h"
#include "platform/text.h"
#include "templates/store_constants.h"
#include "templates/store_utils.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>



namespace {

const std::string DatePlaceholder = "<Enter 0 to default to blank date>";
const std::string DataLimitsMsg =
    "Because you've already entered some data under this template\rand we want to preserve the integrity of those "
    "data,\rwe're going to limit the kinds of changes you can make to the template.";
const std::string TypeWithDataMsg =
    "There is data in your template.  You may not change the data type\rfor an existing field.  However, you may "
    "delete this field\rand add a new field of the desired data type.";
const std::string TypeInIndexMsg =
    "This field is part of an index.  You may not change the data type\rwithout first modifying the index structure "
    "to exclude this field.";
const std::string IndexNameStatus =
    "Assign a name to this index that helps you remember what sort result it will produce.  For example, 'Last Name "
    "Index'";
const std::string UniqueStatus = "Check this box to prevent the index from having duplicate values.";

QLineEdit* Edit(QWidget* Parent, const char* Name, int MaxLength) {
  auto* e = new QLineEdit(Parent);
  e->setObjectName(Name);
  e->setMaxLength(MaxLength);
  return e;
}

QCheckBox* Check(QWidget* Parent, const char* Name, const std::string& Caption) {
  auto* c = new QCheckBox(WidgetText(Caption), Parent);
  c->setObjectName(Name);
  return c;
}

// A caption whose "&" gives the focus to Buddy.
QLabel* BuddyLabel(const std::string& Caption, QWidget* Buddy, QWidget* Parent) {
  auto* l = new QLabel(WidgetText(Caption), Parent);
  l->setBuddy(Buddy);
  return l;
}

bool Asked(const std::string& Question) { return MessageDlg(Question, mtConfirmation, mbYesNo) == mrYes; }

std::string Text(const QLineEdit* E) { return StoredText(E->text()); }

}  // namespace

TDescriptorF::TDescriptorF(QWidget* Parent) : TDesignerDialog(Parent, "DescriptorF", "DescriptorF") {
  Focus = new TFocusModel(this);
  BuildFieldPanel();
  BuildIndexPanel();
  StatusBar1 = new TStatusBar(this);
  StatusBar1->setObjectName("StatusBar1");
  auto* column = new QVBoxLayout(this);
  column->addWidget(PanelMain);
  column->addWidget(PanelSelectKeys);
  column->addWidget(StatusBar1);
  PanelSelectKeys->hide();
  DesignDefaultWidth = EditDefault->sizeHint().width();
  SetModifyCaptions(false);
  SetDesignerLink(this);
}

TDescriptorF::~TDescriptorF() {
  RemoveHooks();
  SetDesignerLink(nullptr);
  ForgetStartForm(this);
}

void TDescriptorF::Tag(QWidget* Control, int Value) {
  tags_[Control] = Value;
  Focus->BindEnter(Control, [this](QWidget* Sender) { RadioGroup1Enter(Sender); });
}

void TDescriptorF::BuildFieldPanel() {
  PanelMain = new QWidget(this);
  PanelMain->setObjectName("PanelMain");
  ListBox1 = new QListWidget(PanelMain);
  ListBox1->setObjectName("ListBox1");
  ButtonUp = DialogButton(PanelMain, "ButtonUp", "Move &Up");
  ButtonDown = DialogButton(PanelMain, "ButtonDown", "Move D&own");
  ButtonEdit = DialogButton(PanelMain, "ButtonEdit", "&Edit");
  ButtonDel = DialogButton(PanelMain, "ButtonDel", "&Delete");
  EditName = Edit(PanelMain, "EditName", 26);
  RadioGroup1 = new TRadioGroup("Field Type", {"Character", "Date", "Numeric", "Document", "Check Box"}, PanelMain);
  RadioGroup1->setObjectName("RadioGroup1");
  RadioGroup1->SetItemIndex(0);
  CBUpperCase = Check(PanelMain, "CBUpperCase", "&Upper Case");
  CBRequired = Check(PanelMain, "CBRequired", "&Required");
  CBLookup = Check(PanelMain, "CBLookup", "Lookup Field");
  CBRightJustify = Check(PanelMain, "CBRightJustify", "Right &Justify");
  BitBtnLookupField = DialogButton(PanelMain, "BitBtnLookupField", "Edit &Lookup");
  BitBtnLookupField->hide();
  SpinEditWidth = new QSpinBox(PanelMain);
  SpinEditWidth->setObjectName("SpinEditWidth");
  SpinEditWidth->setRange(1, 500);
  SpinEditWidth->setValue(20);
  EditDefault = Edit(PanelMain, "EditDefault", 50);
  BitBtnMinMax = DialogButton(PanelMain, "BitBtnMinMax", "Ra&nge");
  BitBtnMinMax->hide();
  EditHint = Edit(PanelMain, "EditHint", 50);
  AddFieldBitBtn = DialogButton(PanelMain, "AddFieldBitBtn", "&Add field to template");
  ViewBitBtn = DialogButton(PanelMain, "ViewBitBtn", "&View");
  CreateTableBitBtn = DialogButton(PanelMain, "CreateTableBitBtn", "Create &Template");
  CloseBitBtn = DialogButton(PanelMain, "CloseBitBtn", "&Close");
  HelpBitBtn = DialogButton(PanelMain, "HelpBitBtn", "&Help");
  LabelHint = new QLabel(PanelMain);
  LabelHint->setObjectName("LabelHint");

  auto* listColumn = new QVBoxLayout;
  listColumn->addWidget(new QLabel(WidgetText("Field List"), PanelMain));
  listColumn->addWidget(ListBox1);
  auto* moves = new QGridLayout;
  moves->addWidget(ButtonUp, 0, 0);
  moves->addWidget(ButtonDown, 0, 1);
  moves->addWidget(ButtonEdit, 1, 0);
  moves->addWidget(ButtonDel, 1, 1);
  listColumn->addLayout(moves);

  auto* entry = new QGridLayout;
  int row = 0;
  entry->addWidget(BuddyLabel("Field &Name", EditName, PanelMain), row, 0);
  entry->addWidget(EditName, row++, 1, 1, 2);
  entry->addWidget(RadioGroup1, row, 0, 5, 1);
  entry->addWidget(CBUpperCase, row++, 1);
  entry->addWidget(CBRequired, row++, 1);
  entry->addWidget(CBLookup, row, 1);
  entry->addWidget(BitBtnLookupField, row++, 2);
  entry->addWidget(CBRightJustify, row++, 1);
  auto* width = new QHBoxLayout;
  width->addWidget(BuddyLabel("&Width", SpinEditWidth, PanelMain));
  width->addWidget(SpinEditWidth);
  entry->addLayout(width, row++, 1);
  entry->addWidget(BuddyLabel("De&fault", EditDefault, PanelMain), row, 0);
  auto* def = new QHBoxLayout;
  def->addWidget(EditDefault);
  def->addWidget(BitBtnMinMax);
  entry->addLayout(def, row++, 1, 1, 2);
  entry->addWidget(BuddyLabel("H&int", EditHint, PanelMain), row, 0);
  entry->addWidget(EditHint, row++, 1, 1, 2);
  entry->addWidget(AddFieldBitBtn, row++, 0, 1, 3);
  auto* buttons = new QHBoxLayout;
  // Help lies between View and Close: tabbing onto it from either asks for
  // the general help.
  for (QPushButton* b : {CreateTableBitBtn, ViewBitBtn, HelpBitBtn, CloseBitBtn}) buttons->addWidget(b);
  setTabOrder(CreateTableBitBtn, ViewBitBtn);
  setTabOrder(ViewBitBtn, HelpBitBtn);
  setTabOrder(HelpBitBtn, CloseBitBtn);
  entry->addLayout(buttons, row++, 0, 1, 3);
  entry->addWidget(LabelHint, row++, 0, 1, 3);
  entry->setRowStretch(row, 1);

  auto* panel = new QHBoxLayout(PanelMain);
  panel->addLayout(listColumn);
  panel->addLayout(entry, 1);

  Tag(EditName, 1);
  Tag(RadioGroup1, 2);
  for (int k = 0; k < RadioGroup1->Count(); ++k) Tag(RadioGroup1->Item(k), 2);
  Tag(CBUpperCase, 3);
  Tag(CBRequired, 4);
  Tag(CBLookup, 5);
  Tag(BitBtnLookupField, 5);
  Tag(SpinEditWidth, 7);
  Tag(EditDefault, 8);
  Tag(BitBtnMinMax, 9);
  Tag(ListBox1, 11);
  Tag(AddFieldBitBtn, 14);
  Tag(ViewBitBtn, 15);
  Tag(CreateTableBitBtn, 16);
  Tag(CloseBitBtn, 18);
  Tag(EditHint, 19);
  Tag(ButtonUp, 20);
  Tag(ButtonDown, 21);
  Tag(ButtonEdit, 22);
  Tag(ButtonDel, 23);
  Tag(CBRightJustify, 0);
  Tag(HelpBitBtn, 0);

  RadioGroup1->OnClick([this] { RadioGroup1Click(); });
  OnClicked(CBLookup, [this] { CBLookupClick(); });
  OnClicked(BitBtnLookupField, [this] { CBLookupClick(); });
  OnClicked(CBRequired, [this] { CBRequiredClick(); });
  OnClicked(CBRightJustify, [this] { CBRightJustifyClick(); });
  OnClicked(BitBtnMinMax, [this] { BitBtnMinMaxClick(); });
  OnClicked(AddFieldBitBtn, [this] { AddFieldBitBtnClick(); });
  OnClicked(ButtonEdit, [this] { ButtonEditClick(); });
  OnClicked(ButtonDel, [this] { ButtonDelClick(); });
  OnClicked(ButtonUp, [this] { ButtonUpClick(); });
  OnClicked(ButtonDown, [this] { ButtonDownClick(); });
  OnClicked(ViewBitBtn, [this] { ViewBitBtnClick(); });
  OnClicked(CreateTableBitBtn, [this] { CreateTableBitBtnClick(); });
  CreateTableBitBtn->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(CreateTableBitBtn, &QWidget::customContextMenuRequested, this,
          [this] { GuardEvent([this] { CreateTableBitBtnMouseDown(Qt::RightButton); }); });
  OnClicked(CloseBitBtn, [this] { CloseBitBtnClick(); });
  OnClicked(HelpBitBtn, [this] { HelpBitBtnClick(); });
  // Dragging an entry to another place moves the field there.
  ListBox1->setDragDropMode(QAbstractItemView::InternalMove);
  connect(ListBox1->model(), &QAbstractItemModel::rowsMoved, this,
          [this](const QModelIndex&, int Start, int, const QModelIndex&, int Row) {
            GuardEvent([=, this] { ListBox1DragDrop(Start, Row > Start ? Row - 1 : Row); });
          });
  connect(ListBox1, &QListWidget::itemDoubleClicked, this, [this] { GuardEvent([this] { ButtonEditClick(); }); });
  connect(EditDefault, &QLineEdit::textEdited, this, [this] {
    // Typing over the date placeholder starts a real text.
    EditDefault->setPlaceholderText(QString());
  });
}

void TDescriptorF::BuildIndexPanel() {
  PanelSelectKeys = new QWidget(this);
  PanelSelectKeys->setObjectName("PanelSelectKeys");
  LabelIndexHeading = new QLabel(PanelSelectKeys);
  LabelIndexHeading->setObjectName("LabelIndexHeading");
  LabelIndexHeading->setWordWrap(true);
  auto* grid = new QGridLayout;
  const char* heads[] = {"Index Name", "1st Sort Field", "2nd Sort Field", "3rd Sort Field", "Unique"};
  for (int c = 0; c < 5; ++c) grid->addWidget(new QLabel(WidgetText(heads[c]), PanelSelectKeys), 0, c);
  for (int n = 0; n < MaxIndexes; ++n) {
    const std::string nameName = "EditK" + std::to_string(n + 1) + "Name";
    EditKName[size_t(n)] = Edit(PanelSelectKeys, nameName.c_str(), 26);
    grid->addWidget(EditKName[size_t(n)], n + 1, 0);
    Focus->BindEnter(EditKName[size_t(n)], [this](QWidget* S) { EditK2NameEnter(S); });
    Focus->BindExit(EditKName[size_t(n)], [this](QWidget* S) { EditK1NameExit(S); });
    for (int c = 0; c < MaxSortFields; ++c) {
      auto* box = new QComboBox(PanelSelectKeys);
      box->setObjectName(QString("ComboBox%1").arg(n * MaxSortFields + c + 1));
      box->setEditable(true);
      box->setInsertPolicy(QComboBox::NoInsert);
      box->setMinimumContentsLength(16);
      ComboBox[size_t(n * MaxSortFields + c)] = box;
      grid->addWidget(box, n + 1, c + 1);
      Focus->BindEnter(box, [this](QWidget* S) { RadioGroup1Enter(S); });
      Focus->BindExit(box, [this](QWidget* S) { ComboBox1Exit(S); });
    }
    const std::string checkName = "CheckBox" + std::to_string(n + 1);
    CheckBox[size_t(n)] = Check(PanelSelectKeys, checkName.c_str(), "");
    grid->addWidget(CheckBox[size_t(n)], n + 1, 4);
    Focus->BindEnter(CheckBox[size_t(n)], [this](QWidget* S) { RadioGroup1Enter(S); });
  }
  BitBtnSave = DialogButton(PanelSelectKeys, "BitBtnSave", "Continue &Template Creation");
  BitBtnIndexCancel = DialogButton(PanelSelectKeys, "BitBtnIndexCancel", "&Cancel");
  BitBtnIndexClear = DialogButton(PanelSelectKeys, "BitBtnIndexClear", "Clea&r All");
  BitBtn2 = DialogButton(PanelSelectKeys, "BitBtn2", "&Help");
  BitBtnDetails = DialogButton(PanelSelectKeys, "BitBtnDetails", "&More info");
  LabelNoModify = new QLabel(PanelSelectKeys);
  LabelNoModify->setObjectName("LabelNoModify");
  LabelNoModify->setWordWrap(true);
  for (QWidget* w : {static_cast<QWidget*>(BitBtnSave), static_cast<QWidget*>(BitBtnIndexCancel),
                     static_cast<QWidget*>(BitBtnIndexClear), static_cast<QWidget*>(BitBtn2)}) {
    Focus->BindEnter(w, [this](QWidget* S) { RadioGroup1Enter(S); });
  }
  auto* column = new QVBoxLayout(PanelSelectKeys);
  column->addWidget(LabelIndexHeading);
  column->addLayout(grid);
  auto* locked = new QHBoxLayout;
  locked->addWidget(LabelNoModify, 1);
  locked->addWidget(BitBtnDetails);
  column->addLayout(locked);
  column->addLayout(CentredRow({BitBtnSave, BitBtnIndexClear, BitBtnIndexCancel, BitBtn2}));
  column->addStretch(1);
  OnClicked(BitBtnSave, [this] { BitBtnSaveClick(); });
  OnClicked(BitBtnIndexCancel, [this] { BitBtnIndexCancelClick(); });
  OnClicked(BitBtnIndexClear, [this] { BitBtnIndexClearClick(); });
  OnClicked(BitBtnDetails, [this] { BitBtnDetailsClick(); });
  OnClicked(BitBtn2, [] {
    ShowMessage("Press this button to get more detailed help in creating indexes for your template.");
  });
}

// The designer link.

void TDescriptorF::ResetForm() {
  SettingUp = true;
  EditName->clear();
  Store.FldCount = 0;
  RadioGroup1->SetItemIndex(0);
  PreviousType = -1;
  RadioGroup1Click();
  EditDefault->clear();
  CBRequired->setChecked(false);
  CBLookup->setChecked(false);
  ListBox1->clear();
  Fields = TFieldModel();
  SettingUp = false;
}

void TDescriptorF::SetCaption(const std::string& Caption) { setWindowTitle(WidgetText(Caption)); }

void TDescriptorF::AddFieldName(const std::string& Name) { ListBox1->addItem(WidgetText(Name)); }

void TDescriptorF::SetDecimals(int Decimals) {
  if (MinMaxF) MinMaxF->SetDecimals(Decimals);
}

void TDescriptorF::SetModifyCaptions(bool Modifying) {
  CreateTableBitBtn->setText(WidgetText(Modifying ? "Modify &Template" : "Create &Template"));
  BitBtnSave->setText(WidgetText(Modifying ? "Continue &Template Modification" : "Continue &Template Creation"));
  LabelHint->setText(WidgetText(Modifying
                                    ? "Make any desired changes                select Modify Template when done"
                                    : "Add up to 50 fields to your template             select Create Template when done"));
}

// Hooks.

void TDescriptorF::RemoveHooks() {
  ClearHooksOf(this);
  if (qApp) qApp->removeEventFilter(this);
}

void TDescriptorF::done(int Result) {
  RemoveHooks();
  PanelSelectKeys->hide();
  PanelMain->show();
  if (LKUPF) LKUPF->ResetForField();
  TDesignerDialog::done(Result);
}

void TDescriptorF::closeEvent(QCloseEvent* Event) {
  // The window's close button asks as Cancel does.
  Event->ignore();
  GuardEvent([this] { CloseBitBtnClick(); });
}

void TDescriptorF::keyPressEvent(QKeyEvent* Event) {
  if (Event->key() != Qt::Key_Escape) return TDesignerDialog::keyPressEvent(Event);
  GuardEvent([this] { CloseBitBtnClick(); });
}

bool TDescriptorF::eventFilter(QObject* Watched, QEvent* Event) {
  DesignerAppMessage(Watched, Event);
  return TDesignerDialog::eventFilter(Watched, Event);
}

void TDescriptorF::DesignerAppMessage(QObject* Watched, QEvent* Event) {
  if (Event->type() == QEvent::KeyPress) {
    const auto* key = static_cast<QKeyEvent*>(Event);
    if ((Watched == ViewBitBtn && key->key() == Qt::Key_Tab && !(key->modifiers() & Qt::ShiftModifier)) ||
        (Watched == CloseBitBtn && key->key() == Qt::Key_Backtab)) {
      HelpIndex = true;
    }
  }
}

void TDescriptorF::DesignerActiveControlChange(QWidget* Now) {
  if (!Now) return;
  if (qobject_cast<QRadioButton*>(Now)) {
    HelpTag = 2;
    return;
  }
  const auto it = tags_.find(Now);
  if (it != tags_.end() && it->second != 0) HelpTag = it->second;
}

std::string TDescriptorF::StatusText() const { return StoredText(StatusBar1->currentMessage()); }

void TDescriptorF::RadioGroup1Enter(QWidget* Sender) {
  std::string text;
  for (int n = 0; n < MaxIndexes; ++n) {
    if (Sender == EditKName[size_t(n)]) text = IndexNameStatus;
    if (Sender == CheckBox[size_t(n)]) text = UniqueStatus;
    for (int c = 0; c < MaxSortFields; ++c) {
      if (Sender == ComboBox[size_t(n * MaxSortFields + c)]) text = SortFieldStatus(c);
    }
  }
  if (Sender == BitBtnIndexClear)
    text = "Clear removes any information entered on this screen and allows you to start over.";
  if (Sender == BitBtnIndexCancel)
    text = "Cancel removes all indexes from your template.  You may return to this screen any time before creating "
           "your template.";
  if (Sender == BitBtn2) text = "Press this button to get more detailed help in creating indexes for your template.";
  if (Sender == BitBtnSave)
    text = "Once you have set your index(es), click this button to continue with creating the template.";
  if (const auto it = tags_.find(Sender); it != tags_.end()) {
    text = DesignerStatusText(it->second);
    if (it->second > 0) HelpIndex = false;
  }
  StatusBar1->showMessage(WidgetText(text));
}

void TDescriptorF::HelpBitBtnClick() {
  QWidget* back = Focus->Current();
  const std::string text = DesignerHelpText(HelpIndex ? 0 : HelpTag);
  if (!text.empty()) ShowMessage(text);
  if (back) Focus->FocusControl(back);
}

// Field panel.

void TDescriptorF::FormShow() {
  SetOnActiveControlChange(this, [this](QWidget* Now) { DesignerActiveControlChange(Now); });
  qApp->installEventFilter(this);
  SettingUp = true;
  PanelSelectKeys->hide();
  PanelMain->show();
  CBLookup->setText(WidgetText("Lookup Field"));
  Fields.List = ListTexts(ListBox1);
  Fields.Start();
  if (!Fields.List.empty()) {
    PreviousType = -1;
    RadioGroup1Click();
    if (Store.HasData) ShowMessage(DataLimitsMsg);
  }
  PreviousType = RadioGroup1->ItemIndex();
  SelUserList = -1;
  SettingUp = false;
  Focus->FocusControl(EditName);
}

void TDescriptorF::RadioGroup1Click() {
  const int index = RadioGroup1->ItemIndex();
  if (!isVisible() && !SettingUp) return;
  if (index == PreviousType) return;
  if (Fields.EditingFld && !SettingUp) {
    const int id = Store.FldTable[Store.FldCount].FldId;
    if (id < 1 || id > MaxFields || Store.NewFldIds[id] != 1) {
      const std::string refusal = Store.HasData ? TypeWithDataMsg : FieldInIndex() ? TypeInIndexMsg : "";
      if (!refusal.empty()) {
        ShowMessage(refusal);
        RadioGroup1->SetItemIndex(PreviousType);
        return;
      }
    }
  } else if (!SettingUp && IsBlank(Text(EditName))) {
    ShowMessage(NoFieldNameMsg);
    RadioGroup1->SetItemIndex(PreviousType < 0 ? 0 : PreviousType);
    Focus->FocusControl(EditName);
    return;
  }
  for (QCheckBox* c : {CBUpperCase, CBLookup, CBRightJustify}) {
    c->setChecked(false);
    c->setEnabled(false);
  }
  SpinEditWidth->setEnabled(false);
  BitBtnMinMax->hide();
  SpinEditWidth->setValue(DefaultTypeWidth(index));
  SetupTypeControls();
  PreviousType = index;
}

void TDescriptorF::SetupTypeControls() {
  const int index = RadioGroup1->ItemIndex();
  const char type = FieldTypeLetters[index];
  const TFld& slot = Store.FldTable[std::max(1, Store.FldCount)];
  const bool isNew = slot.FldId >= 1 && slot.FldId <= MaxFields && Store.NewFldIds[slot.FldId] == 1;
  const bool locked = Store.HasData && Fields.EditingFld && !isNew;
  const bool textual = type == 'C' || type == 'N';
  EditDefault->setPlaceholderText(QString());
  EditDefault->setEnabled(type != 'd' && type != 'B');
  EditHint->setEnabled(type != 'd' && type != 'B');
  if (type == 'd' || type == 'B') {
    EditDefault->clear();
    EditHint->clear();
  }
  if (textual) {
    SpinEditWidth->setEnabled(!locked);
    int width = Fields.ProposedWidth(index);
    if (Fields.EditingFld) width = slot.Width == 0 ? DefaultTypeWidth(index) : slot.Width;
    SpinEditWidth->setValue(width);
    if (PreviousType != index) EditDefault->clear();
    EditHint->clear();
    CBUpperCase->setEnabled(type == 'C');
    CBRightJustify->setEnabled(true);
    CBLookup->setEnabled(type == 'C' && !locked);
    BitBtnMinMax->setVisible(type == 'N');
  } else if (type == 'D') {
    SpinEditWidth->setValue(8);
    EditDefault->clear();
    if (PreviousType == index) EditDefault->setPlaceholderText(WidgetText(DatePlaceholder));
    EditHint->clear();
  } else {
    SpinEditWidth->setValue(DefaultTypeWidth(index));
  }
}

TFieldEntry TDescriptorF::ReadEntry() const {
  TFieldEntry e;
  e.Name = Text(EditName);
  e.TypeIndex = RadioGroup1->ItemIndex();
  e.Width = SpinEditWidth->value();
  e.Default = Text(EditDefault);
  e.Hint = Text(EditHint);
  e.UpperCase = CBUpperCase->isChecked();
  e.Required = CBRequired->isChecked();
  e.IsLookup = CBLookup->isChecked();
  e.RightJustify = CBRightJustify->isChecked();
  if (MinMaxF) {
    e.RangeOff = MinMaxF->CheckBox1->isChecked();
    e.MinText = Text(MinMaxF->EditMin);
    e.MaxText = Text(MinMaxF->EditMax);
    e.Decimals = std::max(0, MinMaxF->Decimals());
  }
  return e;
}

void TDescriptorF::FocusEntry(TEntryControl Control) {
  switch (Control) {
    case TEntryControl::Name: return Focus->FocusControl(EditName);
    case TEntryControl::Width: return Focus->FocusControl(SpinEditWidth);
    case TEntryControl::Default: return Focus->FocusControl(EditDefault);
    case TEntryControl::UpperCase: return Focus->FocusControl(CBUpperCase);
    case TEntryControl::Required: return Focus->FocusControl(CBRequired);
    case TEntryControl::None: return;
  }
}

void TDescriptorF::AddFieldBitBtnClick() {
  if (!isVisible()) return;
  TFieldEntry entry = ReadEntry();
  const bool editing = Fields.EditingFld;
  const TLookupStorer storer = [this](int Slot) {
    if (!LKUPF) return;
    TFld& f = Store.FldTable[Slot];
    switch (LKUPF->Kind()) {
      case TLKUPF::KindL:
        f.LkpKind = "L";
        LKUPF->StoreCorvensteadLookup(Slot);
        if (LKUPF->CBAltLookup->isChecked() && AltLookupHost(f) > 0) f.LkpKind = "l";
        f.Forced = LKUPF->CBForced->isChecked();
        break;
      case TLKUPF::KindM:
        f.LkpKind = "M";
        LKUPF->StoreTemplateLookup(Slot);
        f.Forced = LKUPF->CBForced->isChecked();
        break;
      default:
        f.LkpKind = "U";
        f.Width = f.KeyWidth = SpinEditWidth->value();
        f.LkpTarget = IntToStr(SelUserList) + ".lst";
        f.LkpSpec = ListCol2Width > 0 ? "2 " + IntToStr(ListCol2Width) : "1";
        break;
    }
  };
  const TEntryVerdict verdict = Fields.AddField(entry, storer);
  CBUpperCase->setChecked(entry.UpperCase);
  CBRequired->setChecked(entry.Required);
  CBRightJustify->setChecked(entry.RightJustify);
  if (!verdict.Ok) return FocusEntry(verdict.Focus);
  SyncList();
  if (editing) {
    EndFieldEdit();
  } else {
    ResetFieldEntry();
  }
}

void TDescriptorF::SyncList() {
  // Items changed in place and appended: refilling the whole list on every
  // add would make a long list slow to build.
  const int n = int(Fields.List.size());
  if (ListBox1->count() > n) return SetListTexts(ListBox1, Fields.List);
  for (int k = 0; k < n; ++k) {
    const QString text = WidgetText(Fields.List[size_t(k)]);
    if (k >= ListBox1->count()) {
      ListBox1->addItem(text);
    } else if (ListBox1->item(k)->text() != text) {
      ListBox1->item(k)->setText(text);
    }
  }
}

void TDescriptorF::ResetFieldEntry() {
  SettingUp = true;
  for (QCheckBox* c : {CBRequired, CBLookup, CBRightJustify}) c->setChecked(false);
  EditName->clear();
  EditDefault->clear();
  EditHint->clear();
  if (MinMaxF) {
    MinMaxF->CheckBox1->setChecked(true);
    MinMaxF->SetDecimals(0);
  }
  CBLookup->setText(WidgetText("Lookup Field"));
  BitBtnLookupField->hide();
  SetupTypeControls();
  LookupAccepted = false;
  // The next field starts its lookup from the kind choice, not from the
  // lookup of the field just added or edited.
  if (LKUPF) LKUPF->ResetForField();
  SettingUp = false;
  Focus->FocusControl(EditName);
}

void TDescriptorF::EndFieldEdit() {
  Fields.EndFieldEdit();
  AddFieldBitBtn->setText(WidgetText("&Add field to template"));
  ListBox1->setEnabled(true);
  CreateTableBitBtn->setEnabled(true);
  ResetFieldEntry();
}

void TDescriptorF::ButtonEditClick() {
  if (!Fields.StartEdit(ListBox1->currentRow())) return;
  ListBox1->setEnabled(false);
  CreateTableBitBtn->setEnabled(false);
  AddFieldBitBtn->setText(WidgetText("&Apply changes to field"));
  const TFld f = Store.FldTable[Store.FldCount];
  SettingUp = true;
  EditName->setText(WidgetText(f.Name));
  const int index = TypeIndexOf(f.FldType);
  if (f.FldType == 'N' && MinMaxF) {
    const bool range = !f.MinVal.empty();
    MinMaxF->CheckBox1->setChecked(!range);
    MinMaxF->EditMin->setText(WidgetText(range ? f.MinVal : "1"));
    MinMaxF->EditMax->setText(WidgetText(range ? f.MaxVal : "99999999"));
    const int point = Pos(".", f.MaxVal);
    MinMaxF->SetDecimals(point > 0 ? int(f.MaxVal.size()) - point : 0);
  }
  RadioGroup1->SetItemIndex(index);
  PreviousType = -1;
  RadioGroup1Click();
  CBUpperCase->setChecked(f.UpperCase);
  CBRequired->setChecked(f.Required);
  CBLookup->setChecked(f.IsLookup);
  CBRightJustify->setChecked(f.RightJustify);
  if (f.IsLookup && !CBLookup->isEnabled()) CBRightJustify->setEnabled(false);
  SpinEditWidth->setValue(f.Width);
  EditDefault->setText(WidgetText(f.Default));
  if (f.FldType == 'D' && IsBlank(f.Default)) EditDefault->setPlaceholderText(WidgetText(DatePlaceholder));
  EditHint->setText(WidgetText(f.Hint));
  if (f.IsLookup) {
    SpinEditWidth->setEnabled(false);
    BitBtnLookupField->show();
    if (f.LkpKind == "M") {
      LoadTemplateLookup(f);
    } else if (f.LkpKind == "U") {
      if (!LoadUserListLookup(f)) {
        SettingUp = false;
        return EndFieldEdit();
      }
    } else {
      LoadCorvensteadLookup(f);
    }
  }
  SettingUp = false;
  Focus->FocusControl(EditName);
}

void TDescriptorF::LoadCorvensteadLookup(const TFld& Fld) {
  if (LKUPF) LKUPF->LoadCorvensteadLookup(Fld, Store.AltLookupOn);
  if (LKUPF) LKUPF->CBForced->setChecked(Fld.Forced);
  CBLookup->setText(WidgetText("Lookup Field  (Corvenstead)"));
}

void TDescriptorF::LoadTemplateLookup(const TFld& Fld) {
  if (!LKUPF) return;
  FillLookupHandOver();
  LKUPF->LoadTemplateLookup();
  LKUPF->CBForced->setChecked(Fld.Forced);
  CBLookup->setText(WidgetText("Lookup Field  (" + LKUPF->SelectedTemplateName() + ")"));
}

bool TDescriptorF::LoadUserListLookup(const TFld& Fld) {
  SelUserList = -1;
  if (!LKUPF) return false;
  FillLookupHandOver();
  if (!LKUPF->LoadUserListLookup(Fld)) return false;
  SelUserList = LKUPF->HandOver.SelUserList;
  // The second column's width stays as stored until the list is saved again.
  ListCol2Width = 0;
  if (Fld.LkpSpec.rfind("2", 0) == 0) TryStrToInt(Trim(Fld.LkpSpec.substr(1)), ListCol2Width);
  CBLookup->setText(WidgetText("User List  (" + Trim(StoredText(LKUPF->ComboBoxListNames->currentText())) + ")"));
  return true;
}

void TDescriptorF::ButtonDelClick() {
  const bool editing = Fields.EditingFld;
  if (!Fields.DeleteField(ListBox1->currentRow())) return;
  SyncList();
  if (editing) EndFieldEdit();
}

void TDescriptorF::MoveField(int From, int To) {
  if (!Fields.MoveField(From, To)) {
    if (Fields.EditingFld) ListBox1->setCurrentRow(Store.FldCount - 1);
    return;
  }
  SyncList();
  ListBox1->setCurrentRow(To);
}

void TDescriptorF::ListBox1DragDrop(int From, int To) {
  // The list has moved the item already; the model follows, or the list is
  // put back when it refuses.
  MoveField(From, To);
  SyncList();
}

void TDescriptorF::ButtonUpClick() {
  const int row = ListBox1->currentRow();
  if (row < 0) return ShowMessage("You must highlight a field before this button can move it.");
  if (row > 0) MoveField(row, row - 1);
}

void TDescriptorF::ButtonDownClick() {
  const int row = ListBox1->currentRow();
  if (row < 0) return ShowMessage("You must highlight a field before this button can move it.");
  if (row < ListBox1->count() - 1) MoveField(row, row + 1);
}

void TDescriptorF::FillLookupHandOver() {
  LookupHandOver& h = LKUPF->HandOver;
  const int selUserList = h.SelUserList;
  h = LookupHandOver();
  h.FieldName = Trim(Text(EditName));
  h.Width = SpinEditWidth->value();
  h.ListCount = ListBox1->count();
  h.Adding = !Fields.EditingFld;
  h.Hint = Text(EditHint);
  h.Default = Text(EditDefault);
  h.UpperCase = CBUpperCase->isChecked();
  h.RightJustify = CBRightJustify->isChecked();
  const TFld& slot = Store.FldTable[std::max(1, Store.FldCount)];
  h.LookupLocked = Store.HasData && Fields.EditingFld && !(slot.FldId >= 1 && slot.FldId <= MaxFields &&
                                                            Store.NewFldIds[slot.FldId] == 1);
  for (int k = 1; k <= ListBox1->count(); ++k) h.ListedFields.push_back(Store.FldTable[k]);
  h.EditedField = Fields.EditingFld ? Store.FldCount - 1 : -1;
  // A list lookup being edited keeps its list for the form's next showing.
  if (Fields.EditingFld) h.SelUserList = selUserList;
}

void TDescriptorF::CBLookupClick() {
  if (SettingUp) return;
  const bool fromButton = sender() == BitBtnLookupField || !CBLookup->isChecked() == false;
  (void)fromButton;
  if (!CBLookup->isChecked()) {
    if (CBRequired->isChecked() && Asked("Do you want to remove the Required setting for this field as well?"))
      CBRequired->setChecked(false);
    if (LKUPF) LKUPF->ResetForField();
    BitBtnLookupField->hide();
    CBLookup->setText(WidgetText("Lookup Field"));
    SpinEditWidth->setEnabled(true);
    return;
  }
  if (IsBlank(Text(EditName)) && Focus->Current() != EditName) {
    ShowMessage(NoFieldNameMsg);
    CBLookup->setChecked(false);
    return;
  }
  const bool wasRequired = CBRequired->isChecked();
  CBRequired->setChecked(true);
  if (!LKUPF) return;
  FillLookupHandOver();
  LookupHandOver& h = LKUPF->HandOver;
  ExecOver(*LKUPF, this);
  LookupAccepted = h.LookupAccepted;
  if (LookupAccepted) {
    if (h.AutoClientLookup) {
      Fields.AutoClientLookup = true;
      ListBox1->addItem(WidgetText("Client Lookup"));
      Fields.List = ListTexts(ListBox1);
    }
    BitBtnLookupField->show();
    SpinEditWidth->setValue(h.Width);
    SpinEditWidth->setEnabled(false);
    const int kind = LKUPF->Kind();
    if (kind == TLKUPF::KindU) {
      SelUserList = h.SelUserList;
      ListCol2Width = h.ListCol2Width;
    }
    const std::string target = kind == TLKUPF::KindL   ? "Corvenstead"
                               : kind == TLKUPF::KindM ? LKUPF->SelectedTemplateName()
                                                       : Trim(LKUPF->UserList.ListName);
    CBLookup->setText(WidgetText("Lookup Field  (" + target + ")"));
  } else {
    BitBtnLookupField->hide();
    CBLookup->setText(WidgetText("Lookup Field"));
    CBLookup->setChecked(false);
    if (!wasRequired) CBRequired->setChecked(false);
    SpinEditWidth->setEnabled(true);
    SelUserList = -1;
  }
}

void TDescriptorF::CBRequiredClick() {
  if (SettingUp || CBRequired->isChecked() || !CBLookup->isChecked()) return;
  ShowMessage("You may not specify that a lookup field can be left blank.\rThis is not allowed." + ContactMsg);
  CBRequired->setChecked(true);
}

void TDescriptorF::CBRightJustifyClick() {
  if (SettingUp) return;
  const TFld& f = Store.FldTable[std::max(1, Store.FldCount)];
  if (CBRightJustify->isChecked() && Fields.EditingFld && f.LkpKind == "U") {
    ShowMessage("User lists may not be right justified.  This setting will be removed.");
    CBRightJustify->setChecked(false);
    return;
  }
  if (Fields.EditingFld && Store.HasData && FieldInIndex()) {
    ShowMessage(
        "This field is part of an index and your template contains data.\rYou may not change this value directly.  "
        "However, you may remove this\rfield as an index (you will be prompted as to whether you want to "
        "modify\rany indexes).  Once you have accomplished that, you may then modify your\rtemplate a second time and "
        "change the justification value for this field." +
        ContactMsg);
    CBRightJustify->setChecked(!CBRightJustify->isChecked());
    return;
  }
  Store.JustifyChanged = true;
}

void TDescriptorF::BitBtnMinMaxClick() {
  if (IsBlank(Text(EditName)) && Focus->Current() != EditName) return ShowMessage(NoFieldNameMsg);
  if (!MinMaxF) return;
  if (!Fields.EditingFld) MinMaxF->SetDecimals(0);
  const int before = MinMaxF->Decimals();
  ExecOver(*MinMaxF, this);
  if (Fields.EditingFld && MinMaxF->Decimals() != before) Store.MinMaxChanged = true;
}

void TDescriptorF::ViewBitBtnClick() {
  TEntryF preview(this);
  preview.SetBuildRange(1, MaxFields);
  preview.setWindowTitle(WidgetText("Corvenstead Matterdesk - Preview Template Screen"));
  preview.LabelTableName->setText(WidgetText(Store.TplName));
  for (QWidget* b : {static_cast<QWidget*>(preview.BitBtnSave), static_cast<QWidget*>(preview.BitBtnFind),
                     static_cast<QWidget*>(preview.BitBtnClear), static_cast<QWidget*>(preview.CalBitBtn),
                     static_cast<QWidget*>(preview.BitBtnFilter), static_cast<QWidget*>(preview.BitBtnQuickEntry)}) {
    b->hide();
  }
  preview.exec();
}

void TDescriptorF::CloseBitBtnClick() {
  if (Fields.EditingFld) {
    int answer = mrNo;
    if (Store.Modifying) {
      answer = MessageDlg("Cancel changes to this field?\r\r(Select ALL to cancel template modification)",
                          mtConfirmation, mbYesNoAll);
    } else {
      answer = MessageDlg("Cancel changes to this field?", mtConfirmation, mbYesNo);
    }
    if (answer == mrNo) return Focus->FocusControl(EditName);
    EndFieldEdit();
    if (answer == mrAll) done(Rejected);
    return;
  }
  if (Asked(Store.Modifying ? "Cancel template modification?" : "Cancel template creation?")) return done(Rejected);
  Focus->FocusControl(EditName);
}

// Index panel.

TIndexScreen TDescriptorF::ReadScreen() const {
  TIndexScreen s;
  for (int n = 0; n < MaxIndexes; ++n) {
    TIndexRow& row = s[size_t(n)];
    row.Name = Text(EditKName[size_t(n)]);
    for (int c = 0; c < MaxSortFields; ++c) row.Boxes[size_t(c)] = StoredText(ComboBox[size_t(n * 3 + c)]->currentText());
    row.Unique = CheckBox[size_t(n)]->isChecked();
    row.Locked = !EditKName[size_t(n)]->isEnabled();
  }
  return s;
}

void TDescriptorF::WriteScreen(const TIndexScreen& Screen) {
  for (int n = 0; n < MaxIndexes; ++n) {
    const TIndexRow& row = Screen[size_t(n)];
    EditKName[size_t(n)]->setText(WidgetText(row.Name));
    for (int c = 0; c < MaxSortFields; ++c) ComboBox[size_t(n * 3 + c)]->setEditText(WidgetText(row.Boxes[size_t(c)]));
    CheckBox[size_t(n)]->setChecked(row.Unique);
  }
}

void TDescriptorF::FocusIndex(const TIndexVerdict& Verdict) {
  QWidget* target = Verdict.Col < 0 ? static_cast<QWidget*>(EditKName[size_t(Verdict.Row)])
                                    : static_cast<QWidget*>(ComboBox[size_t(Verdict.Row * 3 + Verdict.Col)]);
  Focus->FocusControl(target);
}

void TDescriptorF::CreateTableBitBtnClick() {
  BitBtnDetails->hide();
  const std::string typed = Trim(Text(EditName));
  if (!Store.Modifying && !typed.empty() &&
      std::find(Fields.List.begin(), Fields.List.end(), typed) == Fields.List.end() &&
      Asked("Save changes to '" + typed + "'" + " before creating template?")) {
    AddFieldBitBtnClick();
  }
  if (Fields.List.empty()) return ShowMessage("You must add at least one field to your template before you can create it.");
  // Modifying reads every template's lookups for the index locks.
  const THourglass hourglass;
  for (int n = 0; n < MaxIndexes; ++n) {
    EditKName[size_t(n)]->setEnabled(true);
    CheckBox[size_t(n)]->setEnabled(true);
    for (int c = 0; c < MaxSortFields; ++c) {
      QComboBox* box = ComboBox[size_t(n * 3 + c)];
      box->setEnabled(true);
      box->clear();
      for (const std::string& name : Fields.List) box->addItem(WidgetText(name));
      box->setEditText(QString());
    }
  }
  const TIndexScreen screen = Store.Modifying ? LoadIndexScreen() : TIndexScreen();
  WriteScreen(screen);
  Remembered = screen;
  for (int n = 1; n <= MaxIndexes; ++n) Store.IndexUnique[n] = screen[size_t(n - 1)].Unique;
  PanelMain->hide();
  PanelSelectKeys->show();
  LabelIndexHeading->setText(WidgetText(
      Store.Modifying ? "Make any desired modifications to the index{es} for your template          Press \"Continue "
                        "Template Creation\" when done"
                      : "Index Selection"));
  Locks = TIndexLocks();
  bool rowsEnabled = true;
  if (Store.Modifying) {
    Locks = FindIndexLocks(screen);
    rowsEnabled = Locks.Complete;
  }
  std::vector<std::string> lockedNames;
  for (int n = 1; n <= MaxIndexes; ++n) {
    const bool locked = !rowsEnabled || Locks.Locked[n];
    EditKName[size_t(n - 1)]->setEnabled(!locked);
    CheckBox[size_t(n - 1)]->setEnabled(!locked);
    for (int c = 0; c < MaxSortFields; ++c) ComboBox[size_t((n - 1) * 3 + c)]->setEnabled(!locked);
    if (rowsEnabled && Locks.Locked[n]) lockedNames.push_back(Trim(Store.IndexRecs.Names[n]));
  }
  const bool anyLocked = !lockedNames.empty();
  LabelNoModify->setVisible(anyLocked);
  BitBtnDetails->setVisible(anyLocked);
  LabelNoModify->setText(anyLocked ? WidgetText(LockedIndexText(lockedNames)) : QString());
  Focus->FocusControl(EditKName[0]->isEnabled() ? static_cast<QWidget*>(EditKName[0])
                                                : static_cast<QWidget*>(BitBtnIndexCancel));
}

void TDescriptorF::BitBtnIndexCancelClick() {
  PanelSelectKeys->hide();
  PanelMain->show();
  Focus->FocusControl(EditName);
}

void TDescriptorF::BitBtnIndexClearClick() {
  for (int n = 0; n < MaxIndexes; ++n) {
    if (EditKName[size_t(n)]->isEnabled()) EditKName[size_t(n)]->clear();
    if (CheckBox[size_t(n)]->isEnabled()) CheckBox[size_t(n)]->setChecked(false);
    for (int c = 0; c < MaxSortFields; ++c) {
      if (ComboBox[size_t(n * 3 + c)]->isEnabled()) ComboBox[size_t(n * 3 + c)]->setEditText(QString());
    }
  }
}

void TDescriptorF::BitBtnSaveClick() {
  TIndexScreen screen = ReadScreen();
  TIndexVerdict refusal;
  bool close = false;
  {
    const THourglass hourglass;
    close = SaveTemplate(screen, Remembered, refusal);
  }
  WriteScreen(screen);
  if (!close) return FocusIndex(refusal);
  if (TplSaved) {
    accept();
  } else {
    reject();
  }
}

void TDescriptorF::ComboBox1Exit(QWidget* Sender) {
  if (Focus->IsLeavingTo(BitBtnIndexCancel)) return;
  for (int k = 0; k < MaxIndexes * MaxSortFields; ++k) {
    if (ComboBox[size_t(k)] != Sender) continue;
    TIndexScreen screen = ReadScreen();
    if (IsBlank(screen[size_t(k / 3)].Boxes[size_t(k % 3)])) return;
    const TIndexVerdict v = CheckSortFieldBox(screen, k / 3, k % 3);
    ComboBox[size_t(k)]->setEditText(WidgetText(screen[size_t(k / 3)].Boxes[size_t(k % 3)]));
    if (!v.Ok) Focus->FocusControl(Sender);
    return;
  }
}

void TDescriptorF::EditK1NameExit(QWidget* Sender) {
  if (Focus->IsLeavingTo(BitBtnIndexCancel)) return;
  for (int n = 0; n < MaxIndexes; ++n) {
    if (EditKName[size_t(n)] == Sender && !CheckIndexName(ReadScreen(), n).Ok) return Focus->FocusControl(Sender);
  }
}

void TDescriptorF::EditK2NameEnter(QWidget* Sender) {
  RadioGroup1Enter(Sender);
  for (int n = 0; n < MaxIndexes; ++n) {
    QLineEdit* e = EditKName[size_t(n)];
    if (e != Sender) continue;
    if (!e->isEnabled()) return Focus->FocusControl(BitBtnIndexCancel);
    if (e->text().isEmpty()) e->setText(QString("Index%1").arg(n + 1));
    e->selectAll();
  }
}
