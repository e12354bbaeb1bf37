#include "btrieve/numbered_files.h"

#include "btrieve/binding.h"
#include "btrieve/call_status.h"
#include "btrieve/status_text.h"
#include "btrieve/str_utils.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/log.h"
#include "platform/text.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <utility>

namespace {

// Open answers this when another workstation holds the file in a mode
// that excludes ours; retried as a file lock.
constexpr int16_t IncompatibleMode = 88;
// End or Abort without a transaction at the engine.
constexpr int16_t NoTransaction = 39;
constexpr size_t PrefixSize = 4;

const char* const DefaultLibraryName = "wbtrv32.dll";
const char* const DefaultRecLockAbortMsg = "A record lock was encountered.";

TBtrAsker asker;
TBtrTickSource tickSource;
std::string libraryName = DefaultLibraryName;

bool Ask(const std::string& question) {
  if (asker) return asker(question);
  return MessageDlg(question, mtConfirmation, mbYesNo, 0) == mrYes;
}

uint64_t Ticks() { return tickSource ? tickSource() : GetTickCount64(); }

uint64_t RetryDeadline() { return Ticks() + uint64_t(std::max(LockRetryMs, 0)); }

bool IsRecordLock(int16_t status) { return status == BtrStatus::RecordLocked || status == BtrStatus::FileLocked; }

bool IsFileLockAtOpen(int16_t status) { return status == BtrStatus::FileLocked || status == IncompatibleMode; }

[[noreturn]] void Fail(std::string text, int status) { throw EBtrAbort(std::move(text), status); }

std::string Number(unsigned n) { return IntToStr(n); }

TWinBtr& EngineOf(uint8_t FileNo) { return *FileSlots[FileNo].Engine; }

// The lock rule: Redo (which answers its status) runs again at once while
// it meets a lock and the deadline has not passed; past it the user is
// asked, and Yes gives a new period. Answers the last status; Declined
// tells that the user stopped it.
template <class F>
int16_t RetryOnLock(const std::string& Question, bool (*Locking)(int16_t), F&& Redo, bool& Declined) {
  Declined = false;
  uint64_t deadline = RetryDeadline();
  for (;;) {
    const int16_t status = Redo();
    if (!Locking(status)) return status;
    if (Ticks() <= deadline) continue;
    if (!Ask(Question)) {
      Declined = true;
      return status;
    }
    deadline = RetryDeadline();
  }
}

// ---- reads ----

std::string ReadFailure(int16_t status) {
  return "A record could not be read from the file.\r\r" + BtrStatusTail(status);
}

int16_t ReadStatus(TWinBtr& e, uint16_t op, TDynCharArr& Rec) {
  return CallStatus(e, [&] {
    e.SetDataPointer(Rec.data(), Rec.size());
    e.Execute(op);
  });
}

// End of file sets AtEnd; a failure other than a lock raises.
void TakeReadStatus(int16_t status, bool& AtEnd) {
  if (status == BtrStatus::EndOfFile)
    AtEnd = true;
  else if (status != BtrStatus::Success && !IsRecordLock(status))
    Fail(ReadFailure(status), status);
}

void BtrReadRecord(uint8_t FileNo, TDynCharArr& Rec, bool& AtEnd, bool Lock, uint16_t Op) {
  BtrCheckFileNo(FileNo);
  BtrCheckBuffer(FileNo, Rec);
  AtEnd = false;
  TWinBtr& e = EngineOf(FileNo);
  const auto op = uint16_t(Op + (Lock ? BtrOp::SingleNoWaitLock : 0));
  int16_t status = ReadStatus(e, op, Rec);
  TakeReadStatus(status, AtEnd);
  if (!IsRecordLock(status)) return;

  bool declined;
  status = RetryOnLock(RecLockMsg, IsRecordLock, [&] { return ReadStatus(e, op, Rec); }, declined);
  // Declined without AbortOnLockNo: the read returns as if it had read.
  if (declined && AbortOnLockNo) Fail(RecLockAbortMsg, status);
  if (!declined) TakeReadStatus(status, AtEnd);
}

// The key text, cut at 256 bytes, with zeros behind it: never a remnant of
// the key the engine returned last.
int16_t KeyedStatus(TWinBtr& e, const std::string& Key, TDynCharArr& Rec, uint16_t Op) {
  if (!e.IsOpen()) return BtrStatus::FileNotOpen;
  const size_t n = std::min(Key.size(), KeyBufferSize);
  e.KeyBuffer.fill(0);
  std::memcpy(e.KeyBuffer.data(), Key.data(), n);
  e.KeyLen = uint8_t(std::min<size_t>(n, CallKeyLength));
  return CallStatus(e, [&] {
    if (!Rec.empty()) e.SetDataPointer(Rec.data(), Rec.size());
    e.Execute(Op);
  });
}

// Result, Locked and AtEnd of a keyed call's status; other failures raise.
bool TakeKeyedStatus(int16_t status, uint8_t FileNo, const std::string& Key, uint16_t Op, bool& Locked,
                     bool& AtEnd) {
  switch (status) {
    case BtrStatus::Success:
      return true;
    case BtrStatus::RecordLocked:
    case BtrStatus::FileLocked:
      Locked = true;
      return false;
    case BtrStatus::KeyNotFound:
      return false;
    case BtrStatus::EndOfFile:
      AtEnd = true;
      return false;
    default:
      Fail("A record could not be located in the file. (filenum = " + Number(FileNo) + ")\r\rOperation code is " +
               Number(Op) + ". \r\rKeybuffer is " + Key + ". \r\r" + BtrStatusTail(status),
           status);
  }
}

// The keyed twin of the read retry: the same op and key again.
bool BtrRetryOnLock(uint8_t FileNo, const std::string& Key, TDynCharArr& Rec, uint16_t Op) {
  TWinBtr& e = EngineOf(FileNo);
  bool declined;
  const int16_t status = RetryOnLock(RecLockMsg, IsRecordLock, [&] { return KeyedStatus(e, Key, Rec, Op); }, declined);
  if (declined) {
    if (AbortOnLockNo) Fail(RecLockAbortMsg, status);
    return false;  // the last call met the lock
  }
  bool locked = false, atEnd = false;
  return TakeKeyedStatus(status, FileNo, Key, Op, locked, atEnd);
}

// ---- writes ----

// The write is redone under the lock rule. A declined retry always raises:
// returning would report a write that never happened.
template <class F>
void WriteWithRetry(F&& Write, const std::string& FailureHead) {
  int16_t status = Write();
  if (IsRecordLock(status)) {
    bool declined;
    status = RetryOnLock(RecLockMsg, IsRecordLock, Write, declined);
    if (declined) Fail(RecLockAbortMsg, status);
  }
  if (status != BtrStatus::Success) Fail(FailureHead + BtrStatusTail(status), status);
}

// Prefix and text as one data buffer.
std::string WithPrefix(const uint8_t* prefix, const std::string& Rec) {
  std::string data(PrefixSize, '\0');
  if (prefix) std::memcpy(data.data(), prefix, PrefixSize);
  return data + Rec;
}

// ---- transactions ----

// A Begin went through and no End or Abort has since. An End the engine
// refused (85: another workstation read too long) leaves the transaction
// open, and its locks held, though TransFileNo says none: a later End or
// Abort still reaches it.
bool transactionOpen = false;

// End or Abort: the workstation's transaction, reached through the slot
// that began it or, when that slot was closed since, through a position
// block of no file (the engine ties transactions to the workstation).
template <class F>
void FinishTransaction(const std::string& Head, F&& Finish) {
  const uint16_t fileNo = std::exchange(TransFileNo, NoTransFile);
  if (fileNo == NoTransFile && !transactionOpen) Fail(Head + "\r\rNo active transaction!", 0);
  TWinBtr unopened;
  TWinBtr& e = fileNo < FileSlotCount && FileSlots[fileNo].Engine ? *FileSlots[fileNo].Engine : unopened;
  const int16_t status = CallStatus(e, [&] { Finish(e); });
  if (status == BtrStatus::Success || status == NoTransaction) transactionOpen = false;
  if (status != BtrStatus::Success) Fail(Head + "\rBtrieve status " + IntToStr(status) + ".", status);
}

}  // namespace

std::array<TBtrFile, FileSlotCount>& FileSlots = *new std::array<TBtrFile, FileSlotCount>;
bool BtrLoaded = false;
uint16_t TransFileNo = NoTransFile;
int LockRetryMs = DefaultLockRetryMs;
bool AbortOnLockNo = true;
const std::string DefaultRecLockMsg = "A record lock was encountered.  Retry?";
const std::string DefaultFileLockMsg = "A file lock was encountered.  Retry?";
std::string RecLockMsg = DefaultRecLockMsg;
std::string FileLockMsg = DefaultFileLockMsg;
std::string RecLockAbortMsg = DefaultRecLockAbortMsg;
TDynCharArr DscLookupBuf;

TLockMsgScope::TLockMsgScope(std::string& Msg, const std::string& Default, std::string Text)
    : msg_(Msg), default_(Default) {
  msg_ = std::move(Text);
}
TLockMsgScope::~TLockMsgScope() { msg_ = default_; }

TRecLockMsgScope::TRecLockMsgScope(std::string Text)
    : TLockMsgScope(RecLockMsg, DefaultRecLockMsg, std::move(Text)) {}
TFileLockMsgScope::TFileLockMsgScope(std::string Text)
    : TLockMsgScope(FileLockMsg, DefaultFileLockMsg, std::move(Text)) {}

std::string BtrStatusTail(int Status) {
  return "Btrieve status " + IntToStr(Status) + ".\r" + BtrieveStatusText(Status);
}

void SetBtrAsker(TBtrAsker Asker) { asker = std::move(Asker); }
void SetBtrTickSource(TBtrTickSource Ticks) { tickSource = std::move(Ticks); }
void SetBtrLibraryName(std::string Name) { libraryName = Name.empty() ? DefaultLibraryName : std::move(Name); }

bool BtrLoadEngine(std::string& Msg, size_t MaxLen) {
  // One reference is all the layer ever holds.
  if (BtrLoaded) return true;
  const int16_t status = LoadBtrieveDll("", libraryName);
  if (status == BtrStatus::Success || status == BtrStatus::AlreadyStarted) {
    BtrLoaded = true;
    return true;
  }
  Msg = BtrieveStatusText(status).substr(0, MaxLen);
  return false;
}

// ---- files ----

namespace {

[[noreturn]] void FailOpen(const std::string& Name, int status) {
  Fail("The file " + Name + " could not be opened.\r\r" + BtrStatusTail(status) + ".", status);
}

int16_t CloseStatus(TWinBtr& e) {
  return CallStatus(e, [&] { e.Close(); });
}

[[noreturn]] void FailClose(const TBtrFile& slot, int status) {
  Fail("The file " + slot.FileName + " could not be closed.\r\r" + BtrStatusTail(status), status);
}

// A close the engine refused before is tried again; the slot is free once
// it went through. Failing again, it raises the close's failure and stays
// pending.
void RetryPendingClose(TBtrFile& slot) {
  if (!slot.PendingClose) return;
  const int16_t status = CloseStatus(*slot.PendingClose);
  if (status != BtrStatus::Success) FailClose(slot, status);
  slot = TBtrFile{};
}

// The open's lock rule over Open; any other status than a file lock ends
// it, success or failure. Raises the open failure for Name unless it
// succeeded.
template <class F>
void OpenWithRetry(const std::string& Name, const std::string& LockMsg, F&& Open) {
  bool declined;
  const int16_t status = RetryOnLock("File:  " + Name + "\r\r" + LockMsg, IsFileLockAtOpen, Open, declined);
  if (status != BtrStatus::Success) FailOpen(Name, status);
}

}  // namespace

void BtrWaitAsLockedOpen(const std::string& Name, const std::string& LockMsg, const std::function<int16_t()>& Take) {
  OpenWithRetry(Name, LockMsg, Take);
}

void BtrOpenFile(uint8_t FileNo, const std::string& Name, int8_t Mode) {
  std::string reason;
  if (!BtrLoadEngine(reason, MaxShortText)) FailOpen(Name, BtrStatus::NotLoaded);
  TBtrFile& slot = FileSlots[FileNo];
  if (slot.Engine) Fail("File already opened as number " + Number(FileNo) + ":\r" + slot.FileName, 0);
  RetryPendingClose(slot);

  auto engine = std::make_unique<TWinBtr>();
  OpenWithRetry(Name, FileLockMsg, [&] { return CallStatus(*engine, [&] { engine->Open(Name, {}, Mode); }); });
  slot.Engine = std::move(engine);
  slot.FileName = Name;
  slot.SavedPos = {};
}

void BtrCloseFile(uint8_t FileNo) {
  TBtrFile& slot = FileSlots[FileNo];
  RetryPendingClose(slot);
  if (!slot.Engine || !slot.Engine->IsOpen()) return;
  const int16_t status = CloseStatus(*slot.Engine);
  if (status != BtrStatus::Success) {
    slot.PendingClose = std::move(slot.Engine);
    FailClose(slot, status);
  }
  slot = TBtrFile{};
}

bool BtrIsFileOpen(uint8_t FileNo) {
  const TBtrFile& slot = FileSlots[FileNo];
  return slot.Engine && slot.Engine->IsOpen();
}

void BtrCloseAllFiles() {
  std::string leftOpen;
  for (TBtrFile& slot : FileSlots) {
    TWinBtr* open = slot.Engine ? slot.Engine.get() : slot.PendingClose.get();
    if (open && open->IsOpen()) {
      const int16_t status = CloseStatus(*open);
      if (status != BtrStatus::Success) {
        leftOpen += (leftOpen.empty() ? "" : ", ") + slot.FileName + " (status " + IntToStr(status) + ")";
        open->Abandon();
      }
    }
    slot = TBtrFile{};
  }
  if (!leftOpen.empty()) LogWarning("files the record manager would not close: " + leftOpen);
}

// ---- reads ----

void BtrGetFirst(uint8_t FileNo, TDynCharArr& Rec, bool& AtEnd, bool Lock) {
  BtrReadRecord(FileNo, Rec, AtEnd, Lock, BtrOp::GetFirst);
}
void BtrGetNext(uint8_t FileNo, TDynCharArr& Rec, bool& AtEnd, bool Lock) {
  BtrReadRecord(FileNo, Rec, AtEnd, Lock, BtrOp::GetNext);
}
void BtrGetPrev(uint8_t FileNo, TDynCharArr& Rec, bool& AtEnd, bool Lock) {
  BtrReadRecord(FileNo, Rec, AtEnd, Lock, BtrOp::GetPrevious);
}
void BtrGetLast(uint8_t FileNo, TDynCharArr& Rec, bool& AtEnd, bool Lock) {
  BtrReadRecord(FileNo, Rec, AtEnd, Lock, BtrOp::GetLast);
}

bool BtrKeyedOperation(uint8_t FileNo, const std::string& Key, TDynCharArr& Rec, bool& Locked, bool& AtEnd,
                       uint16_t Op) {
  Locked = false;
  AtEnd = false;
  BtrCheckFileNo(FileNo);
  if (Op != BtrOp::GetEqualKeyOnly) BtrCheckBuffer(FileNo, Rec);
  return TakeKeyedStatus(KeyedStatus(EngineOf(FileNo), Key, Rec, Op), FileNo, Key, Op, Locked, AtEnd);
}

bool BtrGetEqual(uint8_t FileNo, const std::string& Key, TDynCharArr& Rec, bool Lock) {
  const auto op = uint16_t(BtrOp::GetEqual + (Lock ? BtrOp::SingleNoWaitLock : 0));
  bool locked, atEnd;
  const bool found = BtrKeyedOperation(FileNo, Key, Rec, locked, atEnd, op);
  if (!found && locked) return BtrRetryOnLock(FileNo, Key, Rec, op);
  return found;
}

bool BtrGetGreaterLess(uint8_t FileNo, const std::string& Key, TDynCharArr& Rec, bool& AtEnd, int Selector) {
  static constexpr uint16_t ops[] = {BtrOp::GetGreater, BtrOp::GetLessThan, BtrOp::GetGreaterOrEqual,
                                     BtrOp::GetLessThanOrEqual};
  AtEnd = false;
  BtrCheckFileNo(FileNo);
  BtrCheckBuffer(FileNo, Rec);
  if (Selector < 1 || Selector > 4) return false;
  bool locked;
  return BtrKeyedOperation(FileNo, Key, Rec, locked, AtEnd, ops[Selector - 1]);
}

// ---- writes ----

namespace {

// Data is the whole record, prefix first.
void InsertWholeRecord(uint8_t FileNo, std::string Data) {
  BtrCheckFileNo(FileNo);
  TWinBtr& e = EngineOf(FileNo);
  const int16_t status = CallStatus(e, [&] { e.ExecuteBuffer(BtrOp::Insert, Data.data(), uint32_t(Data.size())); });
  if (status != BtrStatus::Success) Fail("This record could not be written.\r" + BtrStatusTail(status), status);
}

}  // namespace

void BtrInsertRecord(uint8_t FileNo, const std::string& Rec) {
  // Four zero bytes: the engine numbers the record.
  InsertWholeRecord(FileNo, WithPrefix(nullptr, Rec));
}

void BtrInsertRecordKeepPrefix(uint8_t FileNo, const std::string& Rec) { InsertWholeRecord(FileNo, Rec); }

void BtrUpdateRecord(uint8_t FileNo, const std::string& Rec, TDynCharArr& Buf) {
  BtrCheckFileNo(FileNo);
  BtrCheckBuffer(FileNo, Buf);
  TWinBtr& e = EngineOf(FileNo);
  std::string data = WithPrefix(Buf.size() >= PrefixSize ? Buf.data() : nullptr, Rec);
  WriteWithRetry(
      [&] {
        return CallStatus(e, [&] {
          e.ExecuteBuffer(BtrOp::Update, data.data(), uint32_t(data.size()));
          e.Unlock();
        });
      },
      "This record could not be updated.\r");
}

void BtrDeleteRecord(uint8_t FileNo) {
  BtrCheckFileNo(FileNo);
  TWinBtr& e = EngineOf(FileNo);
  WriteWithRetry([&] { return CallStatus(e, [&] { e.Delete(); }); }, "This record could not be deleted.\r");
}

// ---- positions ----

TBtrPosition BtrSavePosition(uint8_t FileNo, TDynCharArr& Rec) {
  BtrCheckFileNo(FileNo);
  BtrCheckBuffer(FileNo, Rec);
  TBtrFile& slot = FileSlots[FileNo];
  TWinBtr& e = *slot.Engine;
  if (e.IsOpen()) {
    uint32_t position = 0;
    const int16_t status = CallStatus(e, [&] { position = e.GetPosition(); });
    if (status != BtrStatus::Success) Fail("A bookmark could not be established.\r" + BtrStatusTail(status), status);
    PutLE32(slot.SavedPos.data(), position);
  }
  return slot.SavedPos;
}

namespace {

int16_t DirectStatus(uint8_t FileNo, TDynCharArr& Rec, const TBtrPosition& Pos) {
  BtrCheckFileNo(FileNo);
  BtrCheckBuffer(FileNo, Rec);
  TWinBtr& e = EngineOf(FileNo);
  return CallStatus(e, [&] {
    e.SetDataPointer(Rec.data(), Rec.size());
    e.GetDirect(GetLE32(Pos.data()));
  });
}

}  // namespace

void BtrGetDirect(uint8_t FileNo, TDynCharArr& Rec, const TBtrPosition& Pos) {
  const int16_t status = DirectStatus(FileNo, Rec, Pos);
  if (status != BtrStatus::Success) Fail("Physical location invalid.\r" + BtrStatusTail(status), status);
}

void BtrRestorePosition(uint8_t FileNo, TDynCharArr& Rec) {
  BtrCheckFileNo(FileNo);
  const TBtrPosition saved = FileSlots[FileNo].SavedPos;
  const int16_t status = DirectStatus(FileNo, Rec, saved);
  if (status == BtrStatus::Success) return;
  if (IsAllZero(saved.data(), saved.size())) Fail("No bookmark was set for this file.", status);
  Fail("Unable to return to bookmark.\r" + BtrStatusTail(status), status);
}

// ---- layout and key numbers ----

int BtrRecordCount(uint8_t FileNo) {
  BtrCheckFileNo(FileNo);
  TWinBtr& e = EngineOf(FileNo);
  uint32_t count = 0;
  const int16_t status = CallStatus(e, [&] { count = e.RecordCount(); });
  if (status != BtrStatus::Success) Fail(BtrStatusTail(status), status);
  return int(std::min<uint32_t>(count, INT_MAX));
}

uint16_t BtrRecordLength(uint8_t FileNo) {
  BtrCheckFileNo(FileNo);
  TWinBtr& e = EngineOf(FileNo);
  uint16_t length = 0;
  const int16_t status = CallStatus(e, [&] { length = e.GetRecordLength(); });
  if (status != BtrStatus::Success) Fail("Unable to retrieve record length.\r\r" + BtrStatusTail(status), status);
  return length;
}

std::vector<std::vector<TStatSegment>> BtrKeySegments(uint8_t FileNo) {
  BtrCheckFileNo(FileNo);
  TWinBtr& e = EngineOf(FileNo);
  std::vector<std::vector<TStatSegment>> keys;
  const int16_t status = CallStatus(e, [&] {
    e.Stat();
    const TStatLayout layout(e.FileSpec().data(), e.FileSpec().size());
    bool open = false;
    for (size_t i = 0; i < layout.SegmentCount(); ++i) {
      const TStatSegment seg = layout.Segment(i);
      if (!open) keys.emplace_back();
      keys.back().push_back(seg);
      open = (seg.Flags & StatKeyFlag::Segmented) != 0;
    }
    // A key whose last entry the answer lacks is not whole.
    if (open) keys.pop_back();
  });
  if (status != BtrStatus::Success) Fail("Unable to retrieve the keys of the file.\r\r" + BtrStatusTail(status), status);
  return keys;
}

void BtrSetKeyNumber(uint8_t FileNo, int8_t KeyNo) {
  BtrCheckFileNo(FileNo);
  TWinBtr& e = EngineOf(FileNo);
  uint16_t keys = 0;
  int16_t status = CallStatus(e, [&] { keys = e.KeyCount(); });
  if (status == BtrStatus::Success && KeyNo > int(keys)) status = BtrStatus::InvalidKeyNumber;
  if (status != BtrStatus::Success)
    Fail("Unable to set an index for file #" + Number(FileNo) + ".\r\r" + BtrStatusTail(status) + ".", status);
  e.KeyNum = KeyNo;
}

int8_t BtrGetKeyNumber(uint8_t FileNo) {
  BtrCheckFileNo(FileNo);
  TWinBtr& e = EngineOf(FileNo);
  if (!e.IsOpen())
    Fail("Unable to vefify an index for file #" + Number(FileNo) + ".\r\r" + BtrStatusTail(BtrStatus::FileNotOpen) +
             ".",
         BtrStatus::FileNotOpen);
  return e.KeyNum;
}

// ---- transactions ----

void BtrBeginTransaction() {
  const std::string failure = "Unable to start a transaction.";
  TransFileNo = NoTransFile;
  try {
    const auto busy =
        std::find_if(FileSlots.begin(), FileSlots.end(), [](const TBtrFile& s) { return bool(s.Engine); });
    if (busy == FileSlots.end())
      Fail("No files are currently opened.\r\rYou must have a file open to begin a transaction.", 0);
    TransFileNo = uint16_t(busy - FileSlots.begin());
    TWinBtr& e = *busy->Engine;
    const int16_t status = CallStatus(e, [&] { e.BeginTransaction(true); });
    if (status != BtrStatus::Success) Fail(failure + "\r" + BtrStatusTail(status), status);
    transactionOpen = true;
  } catch (const EAbort&) {
    throw;
  } catch (const std::exception& other) {
    Fail(failure + "\r\r" + other.what(), 0);
  }
}

void BtrEndTransaction() {
  FinishTransaction("Unable to commit a transaction.", [](TWinBtr& e) { e.EndTransaction(); });
}

void BtrAbortTransaction() {
  FinishTransaction("Unable to roll back a transaction.", [](TWinBtr& e) { e.AbortTransaction(); });
}

// ---- checks ----

bool BtrCheckFileNo(uint8_t FileNo) {
  if (BtrLoaded && FileSlots[FileNo].Engine) return true;
  if (BtrLoaded) Fail("Filenumber " + Number(FileNo) + " is not valid!", 0);
  Fail("WBTRV32.DLL is not loaded!", BtrStatus::NotLoaded);
}

bool BtrCheckBuffer(uint8_t FileNo, TDynCharArr& Rec) {
  if (Rec.empty()) Fail("Databuffer is invalid!", 0);
  // A shorter buffer would be overrun by the read.
  const size_t length = EngineOf(FileNo).BufSize();
  if (Rec.size() < length) Rec.resize(length);
  return true;
}

// ---- life of the layer ----

void FinalizeBtrLayer() {
  BtrCloseAllFiles();
  if (BtrLoaded) UnloadBtrieveDll();
  BtrLoaded = false;
  transactionOpen = false;
  TDynCharArr().swap(DscLookupBuf);
}

void ResetBtrLayer() {
  FinalizeBtrLayer();
  TransFileNo = NoTransFile;
  LockRetryMs = DefaultLockRetryMs;
  AbortOnLockNo = true;
  RecLockMsg = DefaultRecLockMsg;
  FileLockMsg = DefaultFileLockMsg;
  RecLockAbortMsg = DefaultRecLockAbortMsg;
  asker = nullptr;
  tickSource = nullptr;
  libraryName = DefaultLibraryName;
}
