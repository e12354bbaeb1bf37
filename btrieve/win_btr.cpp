#include "btrieve/win_btr.h"

#include "btrieve/binding.h"
#include "btrieve/engine_errors.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

namespace {

bool allocationFails = false;

constexpr size_t PositionSize = 4;
// GotoPosition clears this much of the own buffer before the position goes
// into its first bytes.
constexpr size_t GotoClearedBytes = 12;
constexpr int16_t InvalidFileName = 11;

// Puts a value back when the scope ends, also by an exception.
template <class T>
class Restorer {
public:
  explicit Restorer(T& ref) : ref_(ref), saved_(ref) {}
  ~Restorer() { ref_ = saved_; }
  Restorer(const Restorer&) = delete;
  Restorer& operator=(const Restorer&) = delete;

private:
  T& ref_;
  T saved_;
};

std::string_view UpToZero(std::string_view s) { return s.substr(0, s.find('\0')); }

// A single-record no-wait lock asked for within the operation code.
bool CarriesLockBias(uint16_t op) {
  return op >= BtrOp::SingleNoWaitLock && op < BtrOp::SingleNoWaitLock + 100;
}

// The operations that return a record into the data buffer.
bool ReturnsRecord(uint16_t op) {
  if (CarriesLockBias(op)) op = uint16_t(op - BtrOp::SingleNoWaitLock);
  return (op >= BtrOp::GetEqual && op <= BtrOp::GetLast) || op == BtrOp::GetDirect || op == BtrOp::StepNext ||
         op == BtrOp::StepFirst || op == BtrOp::StepLast || op == BtrOp::StepPrevious ||
         op == BtrOp::GetByPercentage;
}

}  // namespace

void SetRecordBufferAllocationFails(bool Fails) { allocationFails = Fails; }

TWinBtr::TWinBtr(const uint8_t* ClientId) : hasClientId_(ClientId != nullptr) {
  if (ClientId) std::memcpy(clientId_.data(), ClientId, ClientIdSize);
}

TWinBtr::~TWinBtr() {
  if (!isOpen_) return;
  try {
    Close();
  } catch (...) {
    // Nothing can be reported from here; the engine lets go of the file
    // when it stops or the process ends.
  }
}

// ---- buffers ----

void TWinBtr::SetBufferSize(uint16_t Size) {
  status_ = BtrStatus::Success;
  if (Size != bufSize_) {
    FreeBuffer();
    if (!allocationFails) recBuffer_.reset(new (std::nothrow) uint8_t[Size]());
    if (!recBuffer_) {
      nextDataLen_ = 0;
      status_ = BtrStatus::DataBufferTooShort;
      return;
    }
  }
  bufSize_ = Size;
  nextDataLen_ = Size;
  UseOwnBuffer();
}

void TWinBtr::FreeBuffer() {
  recBuffer_.reset();
  dataPtr_ = nullptr;
  dataRoom_ = 0;
  bufSize_ = 0;
}

void TWinBtr::SetDataPointer(void* P, size_t Size) {
  if (!P) return;
  dataPtr_ = static_cast<uint8_t*>(P);
  dataRoom_ = Size;
}

uint16_t TWinBtr::TakeDataLength() {
  const uint16_t n = nextDataLen_;
  nextDataLen_ = bufSize_;
  return n;
}

void TWinBtr::UseOwnBuffer() {
  dataPtr_ = recBuffer_.get();
  dataRoom_ = recBuffer_ ? bufSize_ : 0;
}

int16_t TWinBtr::Status() const {
  return ignore22_ && status_ == BtrStatus::DataBufferTooShort ? BtrStatus::Success : status_;
}

// ---- calls ----

int16_t TWinBtr::CallEngine(uint16_t Op, void* Data, uint32_t Len, void* Key, int8_t KeyNo) {
  TakeDataLength();
  dataLen_ = Data ? Len : 0;
  status_ = hasClientId_
                ? BTRCALLID(Op, posBlock_.data(), Data, &dataLen_, Key, CallKeyLength, KeyNo, clientId_.data())
                : BTRCALL(Op, posBlock_.data(), Data, &dataLen_, Key, CallKeyLength, KeyNo);
  return status_;
}

void TWinBtr::Check() const {
  if (!Ok()) RaiseBtrieveError(status_);
}

void TWinBtr::Execute(uint16_t Op) {
  const bool biased = lockBias_ != 0 || CarriesLockBias(Op);
  Op = uint16_t(Op + lockBias_);
  lockBias_ = 0;
  const auto len = uint32_t(std::min<size_t>(TakeDataLength(), dataRoom_));
  CallEngine(Op, dataPtr_, len, KeyBuffer.data(), KeyNum);
  Check();
  if (ReturnsRecord(Op)) {
    // Only the record's own bytes, and only those the buffer has.
    const size_t end = std::min<size_t>(bufSize_, dataRoom_);
    if (dataLen_ < end) std::memset(dataPtr_ + dataLen_, 0, end - dataLen_);
  }
  UseOwnBuffer();
  if (biased) lockedPos_ = GetPosition();
}

void TWinBtr::ExecuteBuffer(uint16_t Op, void* Buf, uint32_t Len) {
  CallEngine(Op, Buf, Len, KeyBuffer.data(), KeyNum);
  Check();
}

void TWinBtr::PutName(std::string_view Name, uint8_t* Key) {
  if (Name.size() >= CallKeyLength) {
    status_ = InvalidFileName;
    RaiseBtrieveErrorKey(status_, Name);
  }
  std::memcpy(Key, Name.data(), Name.size());
  Key[Name.size()] = 0;
}

void TWinBtr::ForgetFile() {
  isOpen_ = false;
  FreeBuffer();
  fileSpec_.fill(0);
  specLen_ = 0;
  lockedPos_ = 0;
}

void TWinBtr::AbandonOpen() {
  const int16_t status = status_;
  std::array<uint8_t, PositionSize> scratch{};
  CallEngine(BtrOp::Close, scratch.data(), scratch.size(), KeyBuffer.data(), KeyNum);
  ForgetFile();
  status_ = status;
}

void TWinBtr::Open(std::string_view Name, std::string_view Owner, int8_t Mode) {
  Name = UpToZero(Name);
  // The engine reads the name from a buffer of ours, never the caller's; a
  // name refused here leaves an open file open.
  std::array<uint8_t, KeyBufferSize> nameKey{};
  PutName(Name, nameKey.data());
  if (isOpen_) Close();
  KeyLen = uint8_t(Name.size());
  std::string owner(UpToZero(Owner));
  const auto ownerLen = uint32_t(owner.empty() ? 0 : owner.size() + 1);
  owner.push_back('\0');
  if (CallEngine(BtrOp::Open, owner.data(), ownerLen, nameKey.data(), Mode) != BtrStatus::Success)
    RaiseBtrieveErrorKey(status_, Name);

  isOpen_ = true;
  KeyNum = DefaultKeyNumber;
  // From here a failure closes the file again: Open raises only with the
  // file closed, and always with its name.
  try {
    SetBufferSize(GetRecordLength());
    if (!Ok()) {
      AbandonOpen();
      RaiseBtrieveErrorKey(status_, Name);
    }
    useStep_ = KeyCount() == 0;
  } catch (const EBtrieveEngineError& e) {
    if (!isOpen_) throw;
    AbandonOpen();
    RaiseBtrieveErrorKey(e.NativeError, Name);
  } catch (...) {
    if (isOpen_) AbandonOpen();
    throw;
  }
}

void TWinBtr::Close() {
  std::array<uint8_t, PositionSize> scratch{};
  ExecuteBuffer(BtrOp::Close, scratch.data(), scratch.size());
  ForgetFile();
}

void TWinBtr::GetFirst() { Execute(useStep_ ? BtrOp::StepFirst : BtrOp::GetFirst); }
void TWinBtr::GetLast() { Execute(useStep_ ? BtrOp::StepLast : BtrOp::GetLast); }
void TWinBtr::GetNext() { Execute(useStep_ ? BtrOp::StepNext : BtrOp::GetNext); }
void TWinBtr::GetPrev() { Execute(useStep_ ? BtrOp::StepPrevious : BtrOp::GetPrevious); }

void TWinBtr::ClearKeyBuffer(int N) {
  if (N >= 1 && size_t(N) <= KeyBufferSize) std::memset(KeyBuffer.data(), 0, size_t(N));
}

void TWinBtr::GetEqual(const void* Key, int8_t KeyNo, uint8_t KeyLength) {
  KeyedCall(BtrOp::GetEqual, Key, KeyNo, KeyLength);
}

void TWinBtr::KeyedCall(uint16_t Op, const void* Key, int8_t KeyNo, uint8_t KeyLength) {
  if (!Key) {
    status_ = BtrStatus::InvalidKeyPath;
    RaiseBtrieveError(status_);
  }
  KeyNum = KeyNo;
  KeyLen = KeyLength;
  std::memcpy(KeyBuffer.data(), Key, KeyLength);
  Execute(Op);
}

void TWinBtr::Insert() { Execute(BtrOp::Insert); }

void TWinBtr::Update() {
  Execute(BtrOp::Update);
  Unlock();
}

void TWinBtr::Delete() { Execute(BtrOp::Delete); }

void TWinBtr::LockNoWait() { lockBias_ = BtrOp::SingleNoWaitLock; }

void TWinBtr::Unlock() {
  if (lockedPos_ == 0) return;
  std::array<uint8_t, PositionSize> pos;
  PutLE32(pos.data(), lockedPos_);
  ExecuteBuffer(BtrOp::Unlock, pos.data(), pos.size());
  lockedPos_ = 0;
}

// ---- positions ----

uint32_t TWinBtr::GetPosition() {
  std::array<uint8_t, PositionSize> pos{};
  ExecuteBuffer(BtrOp::GetPosition, pos.data(), pos.size());
  UseOwnBuffer();
  return GetLE32(pos.data());
}

void TWinBtr::PutPositionIntoData(uint32_t Pos) {
  if (!dataPtr_ || dataRoom_ < PositionSize) {
    status_ = BtrStatus::DataBufferTooShort;
    RaiseBtrieveError(status_);
  }
  PutLE32(dataPtr_, Pos);
}

void TWinBtr::GetDirect(uint32_t Pos) {
  PutPositionIntoData(Pos);
  Execute(BtrOp::GetDirect);
}

void TWinBtr::GotoPosition(uint32_t Pos) {
  if (recBuffer_) std::memset(recBuffer_.get(), 0, std::min<size_t>(GotoClearedBytes, bufSize_));
  UseOwnBuffer();
  GetDirect(Pos);
}

// ---- file and key layout ----

uint32_t TWinBtr::StatInto(uint8_t* Buf, uint32_t Len) {
  Restorer<bool> keep(ignore22_);
  ignore22_ = true;
  ExecuteBuffer(BtrOp::Stat, Buf, Len);
  return std::min(dataLen_, Len);
}

void TWinBtr::Stat() {
  specLen_ = StatInto(fileSpec_.data(), uint32_t(fileSpec_.size()));
  std::fill(fileSpec_.begin() + specLen_, fileSpec_.end(), 0);
}

void TWinBtr::GetFileSpec(TFileSpecBuffer& Spec) {
  Stat();
  Spec = fileSpec_;
}

uint16_t TWinBtr::GetRecordLength() {
  if (!isOpen_) return 0;
  if (Layout().RecordLength() == 0) Stat();
  return Layout().RecordLength();
}

uint16_t TWinBtr::GetPageSize() {
  if (!isOpen_) return 0;
  if (Layout().RecordLength() == 0) Stat();
  return Layout().PageSize();
}

void TWinBtr::GetRecordCount(uint32_t& Count) {
  Count = 0;
  if (!isOpen_) return;
  Stat();
  Count = Layout().RecordCount();
}

void TWinBtr::GetKeyCount(uint16_t& Count) {
  Count = 0;
  if (!isOpen_) return;
  Stat();
  Count = Layout().KeyCount();
}

uint32_t TWinBtr::RecordCount() {
  uint32_t n;
  GetRecordCount(n);
  return n;
}

uint16_t TWinBtr::KeyCount() {
  uint16_t n;
  GetKeyCount(n);
  return n;
}

bool TWinBtr::KeyHasACS() const {
  const TStatLayout layout = Layout();
  const auto first = layout.KeySegment(KeyNum);
  return first && (layout.Segment(*first).Flags & StatKeyFlag::AlternateCollating);
}

void TWinBtr::GetKeyACS(TCollatingSequence& ACS) {
  // Room for a sequence per key; no answer holds more sequences than segments.
  const size_t keys = std::min<size_t>(Layout().KeyCount(), MaxStatSegments);
  std::vector<uint8_t> answer(StatBufferSize + CollatingSequenceSize * keys);
  const uint32_t n = StatInto(answer.data(), uint32_t(answer.size()));
  const TStatLayout layout(answer.data(), n);
  const auto first = layout.KeySegment(KeyNum);
  if (!first) RaiseEngineError(ecInvalidParam);
  const std::string_view sequence = layout.Sequence(layout.Segment(*first).Sequence);
  if (sequence.empty()) RaiseEngineError(ecInvalidParam);
  std::memcpy(ACS.data(), sequence.data(), ACS.size());
}

// ---- transactions, indexes, percentages ----

void TWinBtr::BeginTransaction(bool Concurrent) {
  ExecuteBuffer(Concurrent ? BtrOp::BeginConcurrentTransaction : BtrOp::BeginTransaction, nullptr, 0);
}

void TWinBtr::EndTransaction() { ExecuteBuffer(BtrOp::EndTransaction, nullptr, 0); }

void TWinBtr::AbortTransaction() { ExecuteBuffer(BtrOp::AbortTransaction, nullptr, 0); }

void TWinBtr::CreateIndex(const uint8_t* Specs, uint8_t SegCount, int8_t KeyNo) {
  CheckParam(Specs);
  // The engine's marker of a key number chosen by the caller.
  if (KeyNo != 0) KeyNum = int8_t(uint8_t(KeyNo + 128));
  std::vector<uint8_t> specs(Specs, Specs + StatSegmentSize * SegCount);
  ExecuteBuffer(BtrOp::CreateSupplementalIndex, specs.data(), uint32_t(specs.size()));
  Stat();
}

void TWinBtr::DropIndex(int8_t KeyNo) {
  KeyNum = KeyNo;
  ExecuteBuffer(BtrOp::DropSupplementalIndex, nullptr, 0);
  Stat();
}

void TWinBtr::FindPercentage(bool ByKey, uint32_t& Pct) {
  const uint32_t pos = GetPosition();
  std::array<uint8_t, PositionSize> pct{};
  {
    Restorer<int8_t> keep(KeyNum);
    if (!ByKey) {
      // In physical order the engine takes the record's position as input.
      PutLE32(pct.data(), pos);
      KeyNum = PhysicalKeyNumber;
    }
    ExecuteBuffer(BtrOp::FindPercentage, pct.data(), pct.size());
  }
  Pct = GetLE32(pct.data());
  // Back to the record on KeyNum, read into a buffer of our own.
  std::vector<uint8_t> record(std::max<size_t>(PositionSize, bufSize_));
  PutLE32(record.data(), pos);
  ExecuteBuffer(BtrOp::GetDirect, record.data(), uint32_t(record.size()));
}

void TWinBtr::GetByPercentage(bool ByKey, uint32_t Pct) {
  Restorer<int8_t> keep(KeyNum);
  if (!ByKey) KeyNum = PhysicalKeyNumber;
  PutPositionIntoData(Pct);
  Execute(BtrOp::GetByPercentage);
}

// ---- files and the engine ----

void TWinBtr::CreateFileLike(std::string_view Name) {
  Name = UpToZero(Name);
  std::array<uint8_t, KeyBufferSize> nameKey{};
  PutName(Name, nameKey.data());
  Stat();
  TFileSpecBuffer spec = fileSpec_;
  CallEngine(BtrOp::Create, spec.data(), uint32_t(spec.size()), nameKey.data(), 0);
  Check();
}

void TWinBtr::Stop() { CallEngine(BtrOp::Stop, nullptr, 0, KeyBuffer.data(), KeyNum); }

void TWinBtr::SetDirectory(std::string_view Path) {
  Path = UpToZero(Path);
  PutName(Path, KeyBuffer.data());
  KeyLen = uint8_t(Path.size() + 1);
  ExecuteBuffer(BtrOp::SetDirectory, nullptr, 0);
}

std::string TWinBtr::GetDirectory(uint8_t, int Len) {
  KeyNum = 0;
  ClearKeyBuffer(Len);
  ExecuteBuffer(BtrOp::GetDirectory, nullptr, 0);
  const auto* key = reinterpret_cast<const char*>(KeyBuffer.data());
  return std::string(UpToZero(std::string_view(key, KeyBufferSize)));
}
