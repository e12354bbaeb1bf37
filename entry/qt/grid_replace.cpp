// The grid view's search and replace (PanelGlobalChange): the field chosen
// in CBFieldNames, old and new values from the edits, check boxes or date
// pickers its type shows, checked before anything is written; then, under
// the template's shared save lock and after the layout check, the walk over
// the whole data file.
#include "entry/grid_layout_seam.h"
#include "entry/grid_replace.h"
#include "entry/qt/dup_sel_form.h"
#include "entry/qt/grid_form.h"

#include "datetime/qt/date_time_picker.h"
#include "platform/dialogs.h"
#include "platform/qt/widget_text.h"
#include "platform/text.h"
#include "templates/data_file_open.h"
#include "templates/record_codec.h"
#include "templates/save_lock.h"
#include "templates/template_recovery.h"
#include "templates/template_state.h"
#include "templates/user_list_codec.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>

#include <algorithm>
#include <memory>

namespace {

constexpr uint8_t TplFile = 52;
constexpr uint8_t ReplaceTargetFileNo = 202;

// A value as the user gave it and as the messages show it.
struct TReplaceValue {
  std::string Stored;
  std::string Shown;
};

bool InList(const std::vector<std::string>& Items, const std::string& Value) {
  return std::any_of(Items.begin(), Items.end(), [&](const std::string& item) {
    return Trim(item) == Trim(Value) || Trim(SplitListItem(item).Col1) == Trim(Value);
  });
}

}  // namespace

void TEGridF::BitBtn1Click() {
  const int i = CBFieldNames->currentIndex();
  const int slot = i >= 0 && size_t(i) < fieldNameSlots_.size() ? fieldNameSlots_[size_t(i)] : -1;
  if (slot < 1) {
    MessageDlg("Please select a field to change!", mtInformation, mbOKOnly);
    return;
  }
  const TFld& f = Store.FldTable[slot];
  const std::string field = Trim(f.Name);
  auto valueOf = [&](QLineEdit* Edit, QCheckBox* Box, TdwDBCustomDateTimePicker* Date) -> TReplaceValue {
    if (f.FldType == 'B') return Box->isChecked() ? TReplaceValue{"Y", "<checked>"} : TReplaceValue{"N", "<unchecked>"};
    if (f.FldType == 'D') return {DateToSearchText(Date->Date()), StoredText(Date->text())};
    const std::string text = StoredText(Edit->text());
    return {text, text};
  };
  const TReplaceValue from = valueOf(EditFrom, CBFrom, DateFrom);
  const TReplaceValue to = valueOf(EditTo, CBTo, DateTo);

  std::vector<std::string> items;
  if (ForcedListItems(slot, items) && !InList(items, to.Stored)) {
    MessageDlg("'" + field + "' is a user-defined lookup list.  The replacement " + "value you have specified, '" +
                   to.Shown + "', does not appear in the user list." + "\r\r" + "This is not allowed.",
               mtError, mbOKOnly);
    return;
  }
  TReplaceRequest request{slot, from.Stored, to.Stored, {}};
  try {
    CheckReplaceValues(request);
  } catch (const ERecordCodec& e) {
    MessageDlg(e.Message, mtError, mbOKOnly);
    return;
  }
  if (f.LkpKind == "M" && FieldFormOf(f) != TFieldForm::Plain) {
    const std::vector<std::string> targets = LookupTargetRecords(slot, to.Stored, ReplaceTargetFileNo);
    if (targets.empty()) {
      MessageDlg("'" + field + "' is a template lookup.  The replacement value you have specified, '" + to.Shown +
                     "', does not appear in the template it looks up.\r\rThis is not allowed.",
                 mtError, mbOKOnly);
      return;
    }
    size_t chosen = 0;
    if (targets.size() > 1) {
      std::unique_ptr<TDupSelF> own;
      TDupSelF* chooser = DupSelF ? DupSelF : (own = std::make_unique<TDupSelF>(this)).get();
      chooser->ListBox1->clear();
      for (const std::string& t : targets) chooser->ListBox1->addItem(WidgetText(TrimRight(t.substr(RecordPrefixLength))));
      chooser->exec();
      if (!chooser->Selected || chooser->ListBox1->currentRow() < 0) return;
      chosen = size_t(chooser->ListBox1->currentRow());
    }
    request.NewKey = targets[chosen].substr(0, LookupKeyLength);
  }
  const std::string tpl = StoredText(LabelTableName2->text());
  if (MessageDlg("About to search the field '" + field + "' in the template '" + tpl + "' " +
                     "and change each occurrence of '" + from.Shown + "' to '" + to.Shown + "'." + "\r\r" +
                     "Continue?",
                 mtConfirmation, mbYesNo) != mrYes)
    return;

  OpenTemplateDataFile(TplFile);
  const TTemplateNumber number = TTemplateNumber::Parse(Store.OpenTplNumber);
  TSaveLock lock;
  if (!AcquireSharedAfterRecovery(Store.DataDir, number.Value(), DataFileName(number), FileLockMsg, lock)) return;
  if (!GridLayoutStillCurrent()) {
    MessageDlg(LayoutChangedText, mtError, mbOKOnly);
    return;
  }
  const TReplaceResult result = ReplaceFieldValues(request, [this](int Done, int Total) {
    ProgressBar1->setMaximum(std::max(1, Total));
    ProgressBar1->setValue(std::min(Done, std::max(1, Total)));
  });
  lock.Release();
  ProgressBar1->setValue(0);
  const std::string count = IntToStr(result.Changed) + " records were changed.";
  if (!result.Failure.empty()) {
    MessageDlg(result.Failure + "\r\r" + count, mtError, mbOKOnly);
    return;
  }
  MessageDlg("Search and replace has completed.\r\r" + count, mtInformation, mbOKOnly);
}
