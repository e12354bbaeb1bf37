// One record-manager file as the engine sees it: its position block, a key
// buffer, its own record buffer sized to the file's record length, the key
// number of the next calls, a pending lock bias and an optional client id.
// One method per engine operation; a call answering a non-zero status
// raises EBtrieveEngineError with it (EOrrinEOFError for end of file).
//
// Buffers: a call writes into DataPtr, the own buffer unless SetDataPointer
// named a caller's buffer for the next call. The engine is never given a
// data length above the size of the buffer it writes into. After a read
// that returns a shorter record, the rest of the record (up to the record
// length, within that buffer) is zeroed, so it never shows an earlier one.
// Position, Stat, Unlock, Find Percentage and Close use buffers of their
// own and leave every record buffer as it was.
//
// Locks: LockNoWait makes the next Execute a single-record no-wait locked
// read (an op passed with +200 counts the same); its record's position is
// remembered, and Update or Unlock releases it.
//
// Not copyable and not movable: the position block is the engine's handle
// of the open file and must never exist twice.
#pragma once

#include "btrieve/stat_layout.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

constexpr size_t KeyBufferSize = 256;
constexpr size_t PosBlockSize = 128;
constexpr size_t ClientIdSize = 16;
// The key length passed with every call.
constexpr uint8_t CallKeyLength = 255;
// The key number a new object and a freshly opened file use.
constexpr int8_t DefaultKeyNumber = 0;
// Key number of the calls that go in physical order.
constexpr int8_t PhysicalKeyNumber = -1;

using TFileSpecBuffer = std::array<uint8_t, StatBufferSize>;
using TCollatingSequence = std::array<uint8_t, CollatingSequenceSize>;

class TWinBtr {
public:
  // ClientId: 16 bytes, copied; null makes the calls as the process.
  explicit TWinBtr(const uint8_t* ClientId = nullptr);
  // Closes an open file; a failing Close is swallowed (the engine releases
  // the file when it stops or the process ends).
  ~TWinBtr();
  TWinBtr(const TWinBtr&) = delete;
  TWinBtr& operator=(const TWinBtr&) = delete;
  TWinBtr(TWinBtr&&) = delete;
  TWinBtr& operator=(TWinBtr&&) = delete;

  // Caller-set state of the next calls.
  int8_t KeyNum = DefaultKeyNumber;
  uint8_t KeyLen = 0;
  std::array<uint8_t, KeyBufferSize> KeyBuffer{};

  // Buffers.
  // A record buffer of Size bytes, zero-filled. Status 0; when it cannot be
  // had, status 22 without raising and no buffer at all.
  void SetBufferSize(uint16_t Size);
  void FreeBuffer();
  // The data buffer of the next call and its size in bytes; null is ignored.
  void SetDataPointer(void* P, size_t Size);
  // The data length of the next call only (any call takes it).
  void SetDataLength(uint16_t N) { nextDataLen_ = N; }
  uint16_t TakeDataLength();

  // The last status, with 22 read as 0 while Ignore22 is set.
  int16_t Status() const;
  bool Ok() const { return Status() == 0; }

  // Calls; each takes KeyNum as key number unless it says otherwise.
  // The general call: DataPtr with the taken data length.
  void Execute(uint16_t Op);
  // A call with the caller's buffer of Len bytes: no lock bias, no zeroing.
  void ExecuteBuffer(uint16_t Op, void* Buf, uint32_t Len);

  // Name and Owner end at their first zero byte; an empty Owner is none.
  // Mode: 0 normal, -2 read-only, -4 exclusive. A name longer than 254
  // bytes raises 11 without a call. On success the record buffer has the
  // file's record length and KeyNum is 0; a failure raises with the name
  // as the exception's key and leaves the file closed at the engine.
  void Open(std::string_view Name, std::string_view Owner, int8_t Mode);
  // Raises 3 (from the engine) when the file is not open. A refused Close
  // leaves the file open.
  void Close();
  // Forgets an open file without a call: for a file the engine would not
  // close, left to the engine to let go of when it stops.
  void Abandon() { ForgetFile(); }

  // Get First/Last/Next/Previous, or the Step operations on a file without keys.
  void GetFirst();
  void GetLast();
  void GetNext();
  void GetPrev();

  // Zeroes the first N bytes of KeyBuffer when 1 <= N <= 256.
  void ClearKeyBuffer(int N);
  void GetEqual(const void* Key, int8_t KeyNo, uint8_t KeyLength);
  // Null Key raises 44 without a call. Copies KeyLength bytes into KeyBuffer
  // and leaves the rest of it as it is.
  void KeyedCall(uint16_t Op, const void* Key, int8_t KeyNo, uint8_t KeyLength);

  void Insert();
  // Update, then Unlock.
  void Update();
  void Delete();

  void NoLock() { lockBias_ = 0; }
  void LockNoWait();
  // Releases the record of the last locked read; no call when none is held.
  void Unlock();

  // The physical position of the current record.
  uint32_t GetPosition();
  // Pos into DataPtr's first 4 bytes, then Get Direct into DataPtr.
  void GetDirect(uint32_t Pos);
  // Get Direct into the own buffer, its first 12 bytes cleared first.
  void GotoPosition(uint32_t Pos);

  // Stat into FileSpec; status 22 (the file's layout did not fit) reads as 0.
  void Stat();
  void GetFileSpec(TFileSpecBuffer& Spec);
  // 0 when the file is not open.
  uint16_t GetRecordLength();
  uint16_t GetPageSize();
  void GetRecordCount(uint32_t& Count);
  void GetKeyCount(uint16_t& Count);
  uint32_t RecordCount();
  uint16_t KeyCount();
  // Key KeyNum has an alternate collating sequence, by the last Stat; false
  // for a key that answer does not hold.
  bool KeyHasACS() const;
  // Key KeyNum's collating sequence, from a fresh Stat. Raises 0x2702 when
  // the answer holds no such key or no sequence of the key's number.
  void GetKeyACS(TCollatingSequence& ACS);

  void BeginTransaction(bool Concurrent);
  void EndTransaction();
  void AbortTransaction();

  // SegCount 16-byte key specifications; KeyNo 0 lets the engine choose.
  // Leaves KeyNum at KeyNo + 128 (or as it was for KeyNo 0).
  void CreateIndex(const uint8_t* Specs, uint8_t SegCount, int8_t KeyNo);
  // Leaves KeyNum at KeyNo.
  void DropIndex(int8_t KeyNo);

  // Pct receives the current record's place in the file on KeyNum
  // (ByKey), else in physical order; KeyNum and the position are kept.
  void FindPercentage(bool ByKey, uint32_t& Pct);
  // Reads the record at Pct into DataPtr; KeyNum is kept.
  void GetByPercentage(bool ByKey, uint32_t Pct);

  // Creates Name (replacing a file of that name) with this file's layout.
  void CreateFileLike(std::string_view Name);

  // Ends this client's use of the engine; never raises.
  void Stop();

  // Path ends at its first zero byte; longer than 254 bytes raises 11
  // without a call.
  void SetDirectory(std::string_view Path);
  // Drive is not passed on. The path arrives in KeyBuffer; returned up to
  // its zero byte.
  std::string GetDirectory(uint8_t Drive, int Len);

  // Read-only state.
  uint16_t BufSize() const { return bufSize_; }
  uint16_t NextDataLen() const { return nextDataLen_; }
  // The data length passed to and returned by the last call.
  uint32_t DataLen() const { return dataLen_; }
  uint8_t* RecBuffer() const { return recBuffer_.get(); }
  uint8_t* DataPtr() const { return dataPtr_; }
  bool IsOpen() const { return isOpen_; }
  const TFileSpecBuffer& FileSpec() const { return fileSpec_; }
  uint16_t LockBias() const { return lockBias_; }
  uint32_t LockedPos() const { return lockedPos_; }
  bool UseStep() const { return useStep_; }
  bool Ignore22() const { return ignore22_; }
  bool HasClientId() const { return hasClientId_; }

private:
  // The one place the engine is called; every call takes the data length.
  int16_t CallEngine(uint16_t Op, void* Data, uint32_t Len, void* Key, int8_t KeyNo);
  // Raises the last status unless it reads as success.
  void Check() const;
  // Stat into Buf with 22 read as 0; the number of bytes returned.
  uint32_t StatInto(uint8_t* Buf, uint32_t Len);
  // Name and its terminator into Key; 11 raised, and nothing copied, for a
  // name that key length 255 cannot carry with its terminator.
  void PutName(std::string_view Name, uint8_t* Key);
  // Closes at the engine after a failed open, keeping the status.
  void AbandonOpen();
  // Closed, no buffer, no layout, no lock.
  void ForgetFile();
  // 4 bytes at the start of DataPtr, refused with 22 when it has no room.
  void PutPositionIntoData(uint32_t Pos);
  void UseOwnBuffer();
  TStatLayout Layout() const { return TStatLayout(fileSpec_.data(), specLen_); }

  int16_t status_ = 0;
  uint16_t bufSize_ = 0;
  uint16_t nextDataLen_ = 0;
  uint32_t dataLen_ = 0;
  std::unique_ptr<uint8_t[]> recBuffer_;
  uint8_t* dataPtr_ = nullptr;
  size_t dataRoom_ = 0;  // bytes at dataPtr_
  bool isOpen_ = false;
  std::array<uint8_t, PosBlockSize> posBlock_{};
  TFileSpecBuffer fileSpec_{};
  uint32_t specLen_ = 0;  // bytes the last Stat returned into fileSpec_
  uint16_t lockBias_ = 0;
  uint32_t lockedPos_ = 0;
  bool useStep_ = false;
  bool ignore22_ = false;
  std::array<uint8_t, ClientIdSize> clientId_{};
  bool hasClientId_ = false;
};

// Test seam: while set, every record buffer allocation fails as if memory
// had run out.
void SetRecordBufferAllocationFails(bool Fails);
