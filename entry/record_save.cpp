#include "entry/record_save.h"

#include "btrieve/binding.h"
#include "btrieve/numbered_files.h"
#include "entry/dropdown_list.h"
#include "entry/grid_layout_seam.h"
#include "platform/errors.h"
#include "templates/data_file_open.h"
#include "templates/grid_position.h"
#include "templates/product_dates.h"
#include "templates/record_codec.h"
#include "templates/startup_globals.h"
#include "templates/store_constants.h"
#include "templates/template_number.h"
#include "templates/template_recovery.h"
#include "templates/template_state.h"

#include <utility>
#include <vector>

namespace {

const std::string WalkFailedHead = "The following error was encountered while attempting to save this record:\r";
const std::string SavedText = "This record has been successfully saved.";

// The boxes of one save, shown once file 52 is closed and the lock gone.
struct TSaveMessages {
  std::vector<std::pair<std::string, TMsgDlgType>> Boxes;
  int FocusSlot = 0;
  bool Reload = false;
  void Add(std::string Text, TMsgDlgType Type) { Boxes.emplace_back(std::move(Text), Type); }
};

class TBusy {
public:
  explicit TBusy(TSaveScreen& S) : s_(S) { s_.ShowBusy(true); }
  ~TBusy() { s_.ShowBusy(false); }
  TBusy(const TBusy&) = delete;
  TBusy& operator=(const TBusy&) = delete;

private:
  TSaveScreen& s_;
};

// Closes file 52 however the save ends; a refused close is told after the
// save's own outcome (the layer tries the close again later).
class TDataFileClose {
public:
  explicit TDataFileClose(TSaveMessages& M) : m_(M) {}
  ~TDataFileClose() {
    try {
      BtrCloseFile(OwnDataFileNo);
    } catch (const Exception& e) {
      m_.Add(e.Message, mtError);
    }
  }
  TDataFileClose(const TDataFileClose&) = delete;
  TDataFileClose& operator=(const TDataFileClose&) = delete;

private:
  TSaveMessages& m_;
};

std::string RecordBytes(const TRecordBuffer& Rec) { return std::string(Rec.begin(), Rec.end()); }

// Step 3: the lock, the layout and file 52. False after the failure's
// message (none when recovery showed its own).
bool OpenUnderLock(TSaveLock& Lock, TSaveMessages& M, TSaveOutcome& Outcome) {
  Outcome = TSaveOutcome::Failed;
  try {
    const TTemplateNumber number = TTemplateNumber::Parse(Store.OpenTplNumber);
    if (!AcquireSharedAfterRecovery(Store.DataDir, number.Value(), DataFileName(number), FileLockMsg, Lock))
      return false;
    if (!GridLayoutStillCurrent()) {
      M.Add(LayoutChangedText, mtError);
      Outcome = TSaveOutcome::Refused;
      return false;
    }
    if (!BtrIsFileOpen(OwnDataFileNo)) OpenTemplateDataFile(OwnDataFileNo);
  } catch (const EBtrAbort& e) {
    M.Add(e.Message, mtError);
    return false;
  } catch (const EAbort&) {
    return false;
  } catch (const Exception& e) {
    M.Add(e.Message, mtError);
    return false;
  }
  return BtrIsFileOpen(OwnDataFileNo);
}

// Steps 4-6: the record text, or the refusal or failure shown.
bool RecordText(TSaveScreen& S, const std::map<int, TFieldControl>& Lookups, TSaveMessages& M,
                TSaveOutcome& Outcome, std::string& Text) {
  Text.assign(size_t(TplTextLen), ' ');
  try {
    if (const auto refusal = WalkFields(S, Lookups, Text)) {
      M.Add(refusal->Text, refusal->Type);
      M.FocusSlot = refusal->FocusSlot;
      Outcome = TSaveOutcome::Refused;
      return false;
    }
    std::string stamp;
    DateToYYYYMMDD(stamp, Startup.WorkDate);
    PutStamp(Text, stamp);
  } catch (const std::exception& e) {
    M.Add(WalkFailedHead + ExceptionText(e) + "\r\r" + "The record has not been saved." + ContactMsg, mtError);
    Outcome = TSaveOutcome::Failed;
    return false;
  }
  return true;
}

// The grid row's record read again into Store.TplRec; false after the
// failure's message.
bool ReadEditedRecord(TSaveScreen& S, TSaveMessages& M) {
  std::string why;
  if (GetGridRowRecord(S.EditedRowPosition(), why)) return true;
  M.Add(RereadFailureText(why), mtError);
  return false;
}

// Step 7 in editing mode: the update of a record nobody changed since the
// screen loaded it.
TSaveOutcome UpdateEdited(TSaveScreen& S, const std::string& Text, TSaveMessages& M) {
  if (!ReadEditedRecord(S, M)) return TSaveOutcome::Failed;
  const std::string loaded = S.LoadedRecord();
  bool changed = !loaded.empty() && RecordBytes(Store.TplRec) != loaded;
  if (!changed) {
    try {
      BtrUpdateRecord(OwnDataFileNo, Text, Store.TplRec);
    } catch (const EBtrAbort& e) {
      if (e.Status != BtrStatus::Conflict) throw;
      if (!ReadEditedRecord(S, M)) return TSaveOutcome::Failed;
      changed = true;
    }
  }
  if (!changed) return TSaveOutcome::Done;
  M.Reload = true;
  M.Add(RecordChangedText, mtInformation);
  return TSaveOutcome::Refused;
}

// Step 7 with step 10's messages.
TSaveOutcome Write(TSaveScreen& S, const std::string& Text, TSaveMessages& M) {
  try {
    // The record's length is the file's, whatever the walk did.
    if (Text.size() != size_t(TplTextLen) || size_t(BtrRecordLength(OwnDataFileNo)) != Text.size() + 4) {
      throw Exception("The record made for this template does not fit its data file.");
    }
    if (!S.Editing()) {
      BtrInsertRecord(OwnDataFileNo, Text);
      return TSaveOutcome::Done;
    }
    return UpdateEdited(S, Text, M);
  } catch (const EBtrAbort& e) {
    M.Add(WriteFailureText(e.Message, e.Status), mtError);
  } catch (const Exception& e) {
    M.Add(WriteFailureText(e.Message, 0), mtError);
  }
  return TSaveOutcome::Failed;
}

// Steps 3-11: everything under the save lock; file 52 closed before the
// lock goes.
TSaveOutcome SaveUnderLock(TSaveScreen& S, const std::map<int, TFieldControl>& Lookups, TSaveMessages& M) {
  TSaveLock lock;
  const TDataFileClose close(M);
  TSaveOutcome outcome = TSaveOutcome::Failed;
  std::string text;
  if (!OpenUnderLock(lock, M, outcome) || !RecordText(S, Lookups, M, outcome, text)) return outcome;
  outcome = Write(S, text, M);
  if (outcome == TSaveOutcome::Done && Startup.ConfirmSave) M.Add(SavedText, mtInformation);
  return outcome;
}

void AfterDone(TSaveScreen& S) {
  const bool editing = S.Editing();
  if (!editing) {
    for (int slot = 1; slot <= MaxFields; ++slot) Store.FldTable[slot].PrevValue = Store.FldTable[slot].CurValue;
  }
  switch (AfterSave(editing, Startup.AutoClear, Startup.ReturnToGridAfterEdit, S.FindPending())) {
    case TAfterSave::Clear:
      S.Clear();
      break;
    case TAfterSave::Find:
      S.Find();
      break;
    case TAfterSave::Nothing:
      break;
  }
}

}  // namespace

const std::string RecordChangedText =
    "Please note that the record you are about to edit has been changed since it was displayed in the grid.  The "
    "screen shows the latest values for this record.";

std::string RereadFailureText(const std::string& Why) {
  const std::string notSaved = "The record has not been saved; the values on the screen are kept.";
  if (Why.empty()) return "The record being edited could not be read again.\r\r" + notSaved;
  return Why + "\r\r" + notSaved;
}

std::string WriteFailureText(const std::string& Message, int Status) {
  if (Status == BtrStatus::DuplicateKey) {
    return "Unable to save this entry.  A record already exists that matches the index values you have specified." +
           ContactMsg;
  }
  return Message + "\r\r" + "Unable to save this record." + "\r\r" + ContactMsg;
}

TAfterSave AfterSave(bool Editing, bool AutoClear, bool ReturnToGridAfterEdit, bool FindPending) {
  if (!Editing) return AutoClear ? TAfterSave::Clear : TAfterSave::Nothing;
  return !FindPending && ReturnToGridAfterEdit ? TAfterSave::Find : TAfterSave::Clear;
}

TSaveOutcome SaveRecord(TSaveScreen& Screen, const std::map<int, TFieldControl>& Lookups) {
  if (Screen.SkipNextSave()) {
    Screen.SkipNextSave() = false;
    if (!Screen.Editing()) return TSaveOutcome::Skipped;
  }
  TSaveMessages messages;
  TSaveOutcome outcome;
  {
    const TBusy busy(Screen);
    outcome = SaveUnderLock(Screen, Lookups, messages);
  }
  if (messages.Reload) Screen.ReloadChangedRecord();
  for (const auto& [text, type] : messages.Boxes) MessageDlg(text, type, mbOKOnly, 0);
  if (messages.FocusSlot > 0) Screen.FocusField(messages.FocusSlot);
  if (outcome == TSaveOutcome::Done) AfterDone(Screen);
  return outcome;
}
