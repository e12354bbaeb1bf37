#include "entry/batch_files.h"

#include "entry/batch_journal_file.h"
#include "entry/batch_lock.h"
#include "entry/batch_recovery.h"
#include "platform/datetime_value.h"
#include "platform/dialogs.h"
#include "platform/files.h"
#include "platform/text.h"
#include "templates/batch_codec.h"
#include "templates/product_dates.h"
#include "templates/store_constants.h"

TDynCharArr TrinRec;
TDynCharArr DescRec;
bool EditingBatchEntry = false;
TBtrPosition EditingBatchPos{};

namespace {

constexpr int GetGreaterOrEqual = 3;
constexpr double MaxHours = 99999.99;
constexpr int MaxHourDecimals = 2;

const std::string EditGoneText =
    "The entry being edited is no longer in the batch as it was read.  Nothing was saved.";
const std::string DeleteGoneText = "The entry is no longer in the batch as it was read.";

std::string_view View(const TDynCharArr& Rec) { return {reinterpret_cast<const char*>(Rec.data()), Rec.size()}; }

void OpenOne(uint8_t FileNo, const std::string& Name, TDynCharArr& Buf, uint16_t RecLen,
             std::vector<std::string>& Failures) {
  try {
    if (!BtrIsFileOpen(FileNo)) BtrOpenFile(FileNo, Name, 0);
    if (Buf.size() < RecLen) Buf.resize(RecLen);
  } catch (const EAbort& e) {
    Failures.push_back("Unable to open the matterdesk batch file " + Name + "." + "\r\r" + e.Message + ContactMsg);
  }
}

bool OpenBoth(std::vector<std::string>& Failures) {
  const size_t before = Failures.size();
  OpenOne(TrinFileNo, TrinFileName(), TrinRec, TrinRecLen, Failures);
  OpenOne(DescFileNo, DescFileName(), DescRec, DescRecLen, Failures);
  return Failures.size() == before;
}

void ShowErrors(const std::vector<std::string>& Texts) {
  for (const std::string& text : Texts) MessageDlg(text, mtError, mbOKOnly);
}

// Under the exclusive lock: Work's failure text, or the open's.
template <class Work>
std::vector<std::string> WriteUnderLock(Work&& work) {
  std::vector<std::string> failures;
  try {
    TBatchLock lock(TBatchLockMode::Exclusive);
    if (OpenBatchFilesHeld(failures)) {
      const std::string failure = work();
      if (!failure.empty()) failures.push_back(failure);
    }
  } catch (const EAbort& e) {
    failures.push_back(e.Message);
  }
  return failures;
}

// Runs Body in one transaction: "" when it committed; else the body's or
// the layer's text, the transaction rolled back.
template <class Body>
std::string InTransaction(Body&& body) {
  try {
    BtrBeginTransaction();
  } catch (const EAbort& e) {
    return e.Message;
  }
  try {
    const std::string refused = body();
    if (refused.empty()) {
      BtrEndTransaction();
      return "";
    }
    BtrAbortTransaction();
    return refused;
  } catch (const Exception& e) {
    try {
      BtrAbortTransaction();
    } catch (const EAbort&) {
      // The engine ends a transaction its client leaves open; the
      // write's own failure is what the user needs to read.
    }
    return e.Message;
  }
}

int NextLink() {
  BtrSetKeyNumber(TrinFileNo, 0);
  bool atEnd = false;
  BtrGetLast(TrinFileNo, TrinRec, atEnd, false);
  return atEnd ? 1 : ParseBatchLink(FieldText(TrinRec, TrinField::Link)) + 1;
}

// The record at Pos into TrinRec, current; false when it is gone or is no
// longer the entry with Link.
bool ReadEntryAt(const TBtrPosition& Pos, const std::string& Link) {
  try {
    BtrGetDirect(TrinFileNo, TrinRec, Pos);
  } catch (const EBtrAbort&) {
    return false;
  }
  return FieldText(TrinRec, TrinField::Link) == Link;
}

// The first line of the entry at or after LinkText into DescRec; false
// when the entry has none left.
bool FirstDescLine(const std::string& LinkText) {
  BtrSetKeyNumber(DescFileNo, 0);
  bool atEnd = false;
  return BtrGetGreaterLess(DescFileNo, DescFirstLineKey(LinkText), DescRec, atEnd, GetGreaterOrEqual) && !atEnd &&
         DescLinkOf(View(DescRec)) == LinkText;
}

void DeleteDescLines(const std::string& LinkText) {
  while (FirstDescLine(LinkText)) BtrDeleteRecord(DescFileNo);
}

std::string WriteEntry(const TBatchEntry& Entry) {
  TBatchEntryFields fields{Entry.Client, Entry.CaseSuffix, "", Entry.Group, Entry.Employee, Entry.Hours};
  DateToFileDate(true, fields.FileDate, Entry.Date);
  return InTransaction([&]() -> std::string {
    int link = 0;
    if (Entry.Editing) {
      if (!ReadEntryAt(Entry.EditPos, Entry.EditLink)) return EditGoneText;
      link = ParseBatchLink(Entry.EditLink);
      BtrUpdateRecord(TrinFileNo, FormatTrinRecord(fields, link), TrinRec);
      DeleteDescLines(FormatBatchLink(link));
    } else {
      link = NextLink();
      BtrInsertRecord(TrinFileNo, FormatTrinRecord(fields, link));
    }
    for (const std::string& line : FormatDescLines(link, Entry.Description)) BtrInsertRecord(DescFileNo, line);
    return "";
  });
}

int DecimalsOf(const std::string& Number) {
  const size_t point = Number.find('.');
  return point == std::string::npos ? 0 : int(Number.size() - point - 1);
}

}  // namespace

void ResetBatchFileState() {
  TrinRec.clear();
  DescRec.clear();
  EditingBatchEntry = false;
  EditingBatchPos = {};
}

bool OpenBatchFilesHeld(std::vector<std::string>& Failures) {
  const std::string unresolved = RecoverBatchHeld();
  if (!unresolved.empty()) {
    Failures.push_back(unresolved);
    return false;
  }
  return OpenBoth(Failures);
}

bool OpenBatchFiles() {
  std::vector<std::string> failures;
  bool opened = false;
  try {
    // Nothing to recover when nothing is left over under the shared lock:
    // an export or erase holds the exclusive one from before its clone to
    // after its journal is gone. Else recovery first, exclusively.
    bool recover = BatchLockHeldExclusive();
    if (!recover) {
      TBatchLock lock(TBatchLockMode::Shared);
      recover = BatchJournalExists() || FileExists(TrinCloneFileName());
      if (!recover) opened = OpenBoth(failures);
    }
    if (recover) {
      TBatchLock lock(TBatchLockMode::Exclusive);
      opened = OpenBatchFilesHeld(failures);
    }
  } catch (const EAbort& e) {
    failures.push_back(e.Message);
  }
  ShowErrors(failures);
  return opened;
}

bool CloseBatchFiles() {
  bool closed = true;
  for (uint8_t fileNo : {TrinFileNo, DescFileNo}) {
    try {
      BtrCloseFile(fileNo);
    } catch (const EAbort&) {
      closed = false;
    }
  }
  return closed;
}

TBatchEntryCheck CheckBatchEntry(TDateTime Date, const std::string& Hours) {
  if (Date < EncodeDate(1981, 1, 1)) return {TBatchEntryField::Date, "Invalid date!"};
  const std::string hours = Trim(Hours);
  double value = 0;
  const TBatchEntryCheck range{TBatchEntryField::Hours, "Hours must be between 0 and 99999.99"};
  if (!TryStrToFloat(hours, value) || value < 0 || value > MaxHours) return range;
  if (DecimalsOf(hours) > MaxHourDecimals)
    return {TBatchEntryField::Hours, "Hours can have maximum of two decimal places."};
  try {
    PackHours(hours);
  } catch (const EConvertError&) {
    return range;
  }
  return {};
}

bool SaveBatchEntry(const TBatchEntry& Entry) {
  const std::vector<std::string> failures = WriteUnderLock([&] { return WriteEntry(Entry); });
  ShowErrors(failures);
  return failures.empty();
}

std::string DeleteBatchEntry(const TBtrPosition& Pos, const std::string& Link) {
  const std::vector<std::string> failures = WriteUnderLock([&] {
    return InTransaction([&]() -> std::string {
      if (!ReadEntryAt(Pos, Link)) return DeleteGoneText;
      DeleteDescLines(Link);
      BtrDeleteRecord(TrinFileNo);
      return "";
    });
  });
  std::string text;
  for (const std::string& failure : failures) text += (text.empty() ? "" : "\r") + failure;
  return text;
}

std::vector<std::string> ReadDescPieces(const std::string& LinkText) {
  std::vector<std::string> pieces;
  bool atEnd = false;
  for (bool more = FirstDescLine(LinkText); more;) {
    pieces.push_back(DescPieceOf(View(DescRec)));
    BtrGetNext(DescFileNo, DescRec, atEnd, false);
    more = !atEnd && DescLinkOf(View(DescRec)) == LinkText;
  }
  return pieces;
}
