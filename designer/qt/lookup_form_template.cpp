// Kind M of the lookup form: a lookup into the records of another template.
// The target is read by templates/template_target.h; the form shows its
// fields as tiles (a first sort field bold), keeps the indexes that can key
// a lookup, asks which one when the first dropdown field begins several,
// and writes the result into a field slot.
#include "designer/corvenstead_lookup.h"
#include "designer/qt/field_tile.h"
#include "designer/qt/key_sel_form.h"
#include "designer/qt/lookup_form.h"
#include "platform/dialogs.h"
#include "platform/format.h"
#include "platform/qt/cursor.h"
#include "platform/qt/widget_text.h"
#include "platform/text.h"

#include <QCheckBox>
#include <algorithm>
#include <QLabel>
#include <QListWidget>

namespace {

constexpr size_t NumberWidth = 3;
constexpr size_t IndexNameWidth = 26;
constexpr int MaxDropdown = 4;

const std::string TargetGoneMsg =
    "Unable to locate the Matterdesk template this lookup is based on!\r\r"
    "It may have been deleted or a file may be corrupted.";

std::string NotIndexFieldMsg(const std::string& Name) {
  return "The first field in the dropdown list must be an index field.\r\r(If you believe that '" + Name +
         "' is an index field, then it may have been" + "\r" +
         "disqualified because it is both a non-unique index and it is right-justified.)";
}

}  // namespace

const TFld* TLKUPF::EditedTemplateLookup() const {
  const int k = HandOver.EditedField;
  if (k < 0 || size_t(k) >= HandOver.ListedFields.size()) return nullptr;
  const TFld& f = HandOver.ListedFields[size_t(k)];
  return f.IsLookup && f.LkpKind == "M" && !Trim(f.LkpTarget).empty() ? &f : nullptr;
}

void TLKUPF::LoadTemplateList() {
  fillingTables_ = true;
  ListBoxTables->clear();
  TplNumbers.clear();
  std::vector<TMasterRecord> templates;
  ReadTemplateList(templates);
  // One insertion for the whole list: a master holds up to 999 templates.
  QStringList names;
  names.reserve(qsizetype(templates.size()));
  TplNumbers.reserve(templates.size() * NumberWidth);
  for (const TMasterRecord& t : templates) {
    names.append(WidgetText(t.Name));
    TplNumbers += t.Number.Stored();
  }
  ListBoxTables->addItems(names);
  int row = 0;
  if (const TFld* edited = EditedTemplateLookup()) {
    // Numbers compare as numbers: template 000 is found as any other.
    const std::optional<TTemplateNumber> number = LookupTargetNumber(edited->LkpTarget);
    const int entry = number ? TemplateListEntryOf(TplNumbers, *number) : -1;
    if (entry < 0 && !templates.empty()) MessageDlg(TargetGoneMsg, mtError, mbOKOnly);
    row = std::max(entry, 0);
  }
  if (ListBoxTables->count() > 0) ListBoxTables->setCurrentRow(row);
  fillingTables_ = false;
}

std::string TLKUPF::SelectedTemplateName() const {
  const QListWidgetItem* item = ListBoxTables->currentItem();
  return item ? StoredText(item->text()) : "";
}

void TLKUPF::ClearTemplateFields() {
  for (TFieldTile* t : TemplateTiles) {
    t->clear();
    t->setToolTip(QString());
    t->SetBold(false);
    t->hide();
  }
  if (std::find(TemplateTiles.begin(), TemplateTiles.end(), HighlightTile) != TemplateTiles.end())
    SetHighlight(nullptr);
  MFlds.clear();
  TplIdxEntries.clear();
  target_ = TTemplateTarget();
}

void TLKUPF::ListBoxTablesClick() {
  const int row = ListBoxTables->currentRow();
  if (row < 0) return;
  const THourglass hourglass;
  ClearTemplateFields();
  TTemplateNumber number;
  if (size_t(row + 1) * NumberWidth > TplNumbers.size() ||
      !TTemplateNumber::TryParse(std::string_view(TplNumbers).substr(size_t(row) * NumberWidth, NumberWidth), number))
    return;
  TTemplateTarget target;
  const TTargetRead read = ReadTemplateTarget(number, SelectedTemplateName(), LookupKindStage, target);
  if (read == TTargetRead::Read || read == TTargetRead::NoUsableKey) ShowTemplateTarget(target);
  ListBoxDropdown->clear();
  ListBoxDisplayed->clear();
  LabelIndexName->clear();
  LabelIndexName->setProperty("tag", 0);
  CBForced->setChecked(false);
  const TFld* edited = EditedTemplateLookup();
  const std::optional<TTemplateNumber> editedNumber = edited ? LookupTargetNumber(edited->LkpTarget) : std::nullopt;
  if (edited && editedNumber && *editedNumber == number) RestoreTemplateLookup(*edited);
}

void TLKUPF::ShowTemplateTarget(const TTemplateTarget& Target) {
  target_ = Target;
  MFlds = Target.Fields;
  for (size_t i = 0; i < MFlds.size() && i < TemplateTiles.size(); ++i) {
    TFieldTile* t = TemplateTiles[i];
    t->setText(WidgetText(MFlds[i].Name));
    t->setToolTip(WidgetText(MFlds[i].Name));
    t->SetBold(MFlds[i].FirstSort);
    t->setEnabled(true);
    t->show();
  }
  for (const TTargetIndex& index : Target.Indexes) {
    if (!index.Usable) continue;
    // Each index's own flag, not that of its first field's first index.
    TplIdxEntries.push_back({index.Name, index.SortFldText, index.Unique ? "Y" : "N", index.Digit});
  }
  PlaceTiles(ScrollBoxClient);
}

std::string TLKUPF::FieldNameWithId(int FldId) const {
  const TMFld* f = target_.FieldWithId(FldId);
  return f ? f->Name : "";
}

int TLKUPF::MFldWithName(const std::string& Name) const {
  const std::string name = Trim(Name);
  for (size_t i = 0; i < MFlds.size(); ++i)
    if (MFlds[i].Name == name) return int(i);
  return -1;
}

void TLKUPF::RestoreTemplateLookup(const TFld& Fld) {
  const int digit = Fld.LkpSpec.empty() ? 0 : StrToIntDef(Fld.LkpSpec.substr(0, 1), 0);
  if (const TTargetIndex* index = target_.IndexWithDigit(digit)) {
    LabelIndexName->setText(WidgetText(Trim(index->Name)));
    LabelIndexName->setProperty("tag", digit);
  }
  CBForced->setChecked(Fld.Forced);
  std::vector<std::string> dropdown;
  for (size_t at = 1; at + NumberWidth <= Fld.LkpSpec.size() && dropdown.size() < size_t(MaxDropdown);
       at += NumberWidth) {
    const int id = StrToIntDef(Trim(Fld.LkpSpec.substr(at, NumberWidth)), 0);
    const std::string name = FieldNameWithId(id);
    if (!name.empty()) dropdown.push_back(name);
  }
  std::vector<std::string> displayed;
  for (int k = 1; k <= MaxDispCols && Fld.DispCols[k] != DispColsEnd; ++k) {
    const std::string name = FieldNameWithId(Fld.DispCols[k]);
    if (!name.empty()) displayed.push_back(name);
  }
  SetListTexts(ListBoxDropdown, dropdown);
  SetListTexts(ListBoxDisplayed, displayed);
}

void TLKUPF::LoadTemplateLookup() {
  SetKind(KindM);
  RadioGroup1Click();
}

void TLKUPF::AddDropdownField() {
  if (!HighlightTile) return;
  const std::string name = StoredText(HighlightTile->text());
  if (ListBoxDropdown->count() > 0) {
    if (ListBoxDropdown->count() >= MaxDropdown) return ShowMessage(DropdownFullMsg);
    return AddDropdownName(name);
  }
  const auto tile = std::find(TemplateTiles.begin(), TemplateTiles.end(), HighlightTile);
  const size_t at = size_t(tile - TemplateTiles.begin());
  if (tile == TemplateTiles.end() || at >= MFlds.size()) return;
  // By the field's own id: a name that prefixes another field's name does
  // not take that field's indexes.
  const std::vector<const TTargetIndex*> indexes = target_.IndexesBegunBy(target_.FieldIds[at]);
  if (indexes.empty()) return ShowMessage(NotIndexFieldMsg(name));
  const TTargetIndex* chosen = indexes.front();
  if (indexes.size() > 1) {
    TKeySelF ask(this);
    ask.SetPrompt("The field you have selected is associated with " + IntToStr(int(indexes.size())) + " indexes." +
                  "\r" + "Please select the index you want below.");
    for (const TTargetIndex* index : indexes) ask.AddChoice(index->Name + "  " + index->SortFldText, index->Digit);
    ask.exec();
    if (!ask.OK) return;
    chosen = target_.IndexWithDigit(ask.ChosenIndexNo());
    if (!chosen) return;
  }
  AddDropdownName(name);
  LabelIndexName->setText(WidgetText(Trim(chosen->Name.substr(0, std::min(chosen->Name.size(), IndexNameWidth)))));
  LabelIndexName->setProperty("tag", chosen->Digit);
  HandOver.Width = StrToIntDef(Trim(MFlds[at].Width), HandOver.Width);
}

void TLKUPF::StoreTemplateLookup(int Slot) {
  TFld& f = Store.FldTable[Slot];
  const int row = ListBoxTables->currentRow();
  TTemplateNumber number;
  if (row < 0 || size_t(row + 1) * NumberWidth > TplNumbers.size() ||
      !TTemplateNumber::TryParse(std::string_view(TplNumbers).substr(size_t(row) * NumberWidth, NumberWidth), number))
    return;
  const int digit = LabelIndexName->property("tag").toInt();
  f.LkpTarget = "MNGR" + number.ZeroFilled() + ".DSC";
  f.LkpSpec = IntToStr(digit);
  bool first = true;
  for (const std::string& name : ListTexts(ListBoxDropdown)) {
    const int k = MFldWithName(name);
    if (k < 0) continue;
    const TMFld& m = MFlds[size_t(k)];
    f.LkpSpec += Format("%3s", Trim(m.FldId));
    if (!first) continue;
    first = false;
    // The index the lookup reads by decides whether its keys are unique.
    const TTargetIndex* index = target_.IndexWithDigit(digit);
    f.Unique = index ? index->Unique : m.IndexUnique;
    const int width = StrToIntDef(Trim(m.Width), 0);
    f.Width = width + 4;
    f.KeyWidth = width;
  }
  for (int k = 1; k <= MaxDispCols; ++k) f.DispCols[k] = DispColsEnd;
  int col = 1;
  for (const std::string& name : ListTexts(ListBoxDisplayed)) {
    const int k = MFldWithName(name);
    if (k >= 0 && col <= MaxDispCols) f.DispCols[col++] = target_.FieldIds[size_t(k)];
  }
}
