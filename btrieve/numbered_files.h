// The numbered-file layer: every screen reads and writes its record-manager
// files here, addressing each by a file number 0-255 of its own choosing
// (1 the master file, 11-17 the validation files, 52 the open template's
// data file, 127 and 128 the workstation's batch files, ...). One TWinBtr per
// busy number; the interface is loaded by the first open of the run.
//
// Records: reads fill the caller's TDynCharArr in place with the record as
// stored, its 4-byte auto-increment prefix first; a buffer shorter than the
// record is grown to the record length first (never shrunk). Writes take the
// record text without the prefix: Insert sends four zero bytes in front, so
// the engine numbers the record; Update sends the prefix of the record last
// read into the caller's buffer.
//
// Keyed calls send the whole 256-byte key buffer: the key text, cut at 256
// bytes, and zeros behind it, with key length 255. Get Equal therefore
// finds only a full key (nothing is padded); Get Greater or Equal finds a
// prefix.
//
// Locks: a read, update or delete that meets a lock held by another
// workstation (84, 85) is redone at once, spinning, until LockRetryMs have
// passed, then the user is asked whether to go on trying. Opens do the same
// for 85 and 88. Deadlines are 64-bit milliseconds and never wrap.
//
// Failures: everything but end of file (AtEnd), a missing key (False) and a
// lock the user retries raises EBtrAbort, silent to the default handler,
// whose text names the operation and ends with the status tail
// "Btrieve status <n>." CR <status text>; callers show the text and test the
// status. The layer shows nothing itself but the two retry questions.
//
// UI thread only. Transactions belong to the workstation, not to a file:
// one Begin covers every file the program has open.
#pragma once

#include "btrieve/win_btr.h"
#include "platform/errors.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

// A record buffer.
using TDynCharArr = std::vector<uint8_t>;
// A record's physical position as the engine gives it: 4 raw bytes.
using TBtrPosition = std::array<uint8_t, 4>;

struct TBtrFile {
  std::string FileName;  // as passed to BtrOpenFile; empty while free and no close is pending
  TBtrPosition SavedPos{};
  std::unique_ptr<TWinBtr> Engine;  // busy exactly while assigned
  // The file whose engine Close failed, still open at the engine. The
  // number is free to the program meanwhile; the next BtrCloseFile or
  // BtrOpenFile on it retries the Close first.
  std::unique_ptr<TWinBtr> PendingClose;
};

constexpr size_t FileSlotCount = 256;
// TransFileNo while no transaction runs.
constexpr uint16_t NoTransFile = 65535;
constexpr int DefaultLockRetryMs = 3000;

// The slot table. Never destroyed by the runtime: FinalizeBtrLayer closes
// the files while the engine is still there.
extern std::array<TBtrFile, FileSlotCount>& FileSlots;
// The layer holds a reference on the interface (btrieve/binding.h).
extern bool BtrLoaded;
// The file number whose Begin started the running transaction.
extern uint16_t TransFileNo;
extern int LockRetryMs;
// A declined record-lock retry of a read raises RecLockAbortMsg; when False
// the read returns its last result instead.
extern bool AbortOnLockNo;
extern std::string RecLockMsg;       // the question when a record stays locked
extern std::string FileLockMsg;      // last paragraph of the question at an open
extern std::string RecLockAbortMsg;  // the text of a declined record-lock retry
// The texts' own values: RecLockMsg's "A record lock was encountered.
// Retry?", FileLockMsg's "A file lock was encountered.  Retry?".
extern const std::string DefaultRecLockMsg;
extern const std::string DefaultFileLockMsg;

// A question text that holds Text while the scope lives and its default
// after it, however it ends.
class TLockMsgScope {
public:
  TLockMsgScope(const TLockMsgScope&) = delete;
  TLockMsgScope& operator=(const TLockMsgScope&) = delete;

protected:
  TLockMsgScope(std::string& Msg, const std::string& Default, std::string Text);
  ~TLockMsgScope();

private:
  std::string& msg_;
  const std::string& default_;
};

// RecLockMsg for a scope.
class TRecLockMsgScope : public TLockMsgScope {
public:
  explicit TRecLockMsgScope(std::string Text);
};

// FileLockMsg for a scope.
class TFileLockMsgScope : public TLockMsgScope {
public:
  explicit TFileLockMsgScope(std::string Text);
};
// The entry screen's buffer for file 32; the layer only frees it.
extern TDynCharArr DscLookupBuf;

// Every failure of the layer. Status is the engine's status, 0 when the
// failure has none.
class EBtrAbort : public EAbort {
public:
  EBtrAbort(std::string message, int status) : EAbort(std::move(message)), Status(status) {}
  int Status;
};

// "Btrieve status <n>." CR <status text>.
std::string BtrStatusTail(int Status);

// What the layer asks the user, and how it tells time and finds the engine.
// An empty function (or name) restores the default: a confirmation box with
// Yes and No through the dialog seam, GetTickCount64, "wbtrv32.dll".
using TBtrAsker = std::function<bool(const std::string& Question)>;
using TBtrTickSource = std::function<uint64_t()>;
void SetBtrAsker(TBtrAsker Asker);
void SetBtrTickSource(TBtrTickSource Ticks);
void SetBtrLibraryName(std::string Name);

// Loads and starts the interface. False with the status text of the
// refusal in Msg (cut to MaxLen bytes).
bool BtrLoadEngine(std::string& Msg, size_t MaxLen);

// Mode: 0 normal, -4 exclusive. A close pending on the number is retried
// first; when it fails again the open raises the close's failure and
// nothing else happens. Raises, leaving the slot free, when the interface
// cannot be loaded (status 20), the number is busy, or the engine refuses
// (after the file-lock question for 85 and 88).
void BtrOpenFile(uint8_t FileNo, const std::string& Name, int8_t Mode);
// The open's lock rule for a lock held outside the engine. Take answers a
// status as an open would: 85 (held elsewhere) runs it again at once until
// LockRetryMs have passed, then the user is asked "File:  " + Name + "\r\r"
// + LockMsg; Yes gives a new period. No, or any status but 0 and 85, raises
// the open failure for Name with that status.
void BtrWaitAsLockedOpen(const std::string& Name, const std::string& LockMsg, const std::function<int16_t()>& Take);
// A free slot, or one whose file is not open, is left alone. A close the
// engine refuses raises "The file <name> could not be closed." CR CR and
// the status tail, and frees the number with the close pending: the next
// BtrCloseFile or BtrOpenFile on it retries the close, and raises the same
// way only when the retry fails too (the close then stays pending).
void BtrCloseFile(uint8_t FileNo);
// False for a free number, also while its close is pending.
bool BtrIsFileOpen(uint8_t FileNo);
// Closes every open file and retries every pending close; every number is
// free afterwards. The files the engine would not close are reported once,
// in one warning of the log (platform/log.h), and left to the engine, which
// lets go of them when it stops.
void BtrCloseAllFiles();

// Non-keyed reads on the current key: Get First, Next, Previous, Last,
// locked when Lock. End of file sets AtEnd and leaves Rec as it was.
void BtrGetFirst(uint8_t FileNo, TDynCharArr& Rec, bool& AtEnd, bool Lock);
void BtrGetNext(uint8_t FileNo, TDynCharArr& Rec, bool& AtEnd, bool Lock);
void BtrGetPrev(uint8_t FileNo, TDynCharArr& Rec, bool& AtEnd, bool Lock);
void BtrGetLast(uint8_t FileNo, TDynCharArr& Rec, bool& AtEnd, bool Lock);

// False, silently, when the key is missing.
bool BtrGetEqual(uint8_t FileNo, const std::string& Key, TDynCharArr& Rec, bool Lock);
// Selector 1 Get Greater, 2 Get Less Than, 3 Get Greater or Equal, 4 Get
// Less Than or Equal; any other False without a call. No lock retry.
bool BtrGetGreaterLess(uint8_t FileNo, const std::string& Key, TDynCharArr& Rec, bool& AtEnd, int Selector);
// Any keyed operation (plus 200 for a lock). Locked and AtEnd report 84/85
// and 9; op 55 (key only) takes any buffer, even none.
bool BtrKeyedOperation(uint8_t FileNo, const std::string& Key, TDynCharArr& Rec, bool& Locked, bool& AtEnd,
                       uint16_t Op);

void BtrInsertRecord(uint8_t FileNo, const std::string& Rec);
// Rec is the whole record INCLUDING its 4-byte key-0 prefix, which is sent
// as it is: a non-zero prefix is kept (status 5 when another record has
// it), a zero one is numbered by the engine. Fails as BtrInsertRecord.
void BtrInsertRecordKeepPrefix(uint8_t FileNo, const std::string& Rec);
// Updates the current record; the prefix comes from Buf's first 4 bytes.
void BtrUpdateRecord(uint8_t FileNo, const std::string& Rec, TDynCharArr& Buf);
void BtrDeleteRecord(uint8_t FileNo);

// Remembers the current record's position (as SavedPos) and returns it;
// Rec stays as it was.
TBtrPosition BtrSavePosition(uint8_t FileNo, TDynCharArr& Rec);
// Reads the record at Pos into Rec and makes it current.
void BtrGetDirect(uint8_t FileNo, TDynCharArr& Rec, const TBtrPosition& Pos);
// BtrGetDirect with SavedPos.
void BtrRestorePosition(uint8_t FileNo, TDynCharArr& Rec);

// 0 for a file that is not open.
int BtrRecordCount(uint8_t FileNo);
uint16_t BtrRecordLength(uint8_t FileNo);
// The segments of every key of FileNo by a fresh Stat, key 0 first, each key
// its segments in order; only keys the answer holds whole.
std::vector<std::vector<TStatSegment>> BtrKeySegments(uint8_t FileNo);
// Key numbers up to the file's key count are taken (the count itself
// fails at the next call, with 6).
void BtrSetKeyNumber(uint8_t FileNo, int8_t KeyNo);
int8_t BtrGetKeyNumber(uint8_t FileNo);

// Begin (concurrent) on the first busy slot; End and Abort reach the
// workstation's transaction even when that slot has been closed since.
void BtrBeginTransaction();
void BtrEndTransaction();
void BtrAbortTransaction();

// True, or raises: "Filenumber <n> is not valid!" for a free slot,
// "WBTRV32.DLL is not loaded!" (status 20) before any load.
bool BtrCheckFileNo(uint8_t FileNo);
// Grows Rec to the record length of busy slot FileNo; an empty buffer
// raises "Databuffer is invalid!".
bool BtrCheckBuffer(uint8_t FileNo, TDynCharArr& Rec);

// At program exit: closes every file (BtrCloseAllFiles), gives back the
// layer's reference on the interface, frees DscLookupBuf.
void FinalizeBtrLayer();
// For tests: FinalizeBtrLayer, then every variable and hook as at start.
void ResetBtrLayer();
