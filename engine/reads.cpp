// The reading operations: gets by key value, Next and Previous, the steps
// in physical order, Get Direct and Get Position.
//
// A walk (Next, Previous, the steps) reads a few rows ahead and serves the
// following calls from them while the file's change stamp stays put, so a
// long walk costs one cheap stamp check per call and no read lock is held
// between calls. Any commit by another client or write through this one
// moves the stamp and the rows are read again. The batch starts small (a
// single Next after a Get reads little) and grows while the walk goes on.
//
// Each read first finds its row without moving the position, then lands on
// it. A locked read (the operation plus 200) takes the row's record lock
// between the two and finds the row again once the lock is held, so the
// record returned is never one read before the lock; refused (84), it
// leaves the position, the read-ahead and the caller's buffers as they were.
// Plain reads never look at record locks.
//
// A damaged row (engine/row_check.h) answers 2 to the read that would land
// on it, leaving the position and the caller's buffers as they were; a walk
// serves the rows before it and stops there.
#include "engine/operations.h"

#include "engine/key_codec.h"
#include "engine/status.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace engine {
namespace {

constexpr int FirstBatch = 2;
constexpr int MaxBatch = 64;
// Bytes of records one open may hold read ahead.
constexpr int MaxAheadBytes = 256 * 1024;
// A record that keeps changing under a locked read between finding it and
// locking it is given up on as locked.
constexpr int LockAttempts = 8;

// Moves the position to a row and returns it. A get starts afresh; a walk
// keeps what it read ahead.
void Land(OpenFile& open, Call& call, int ordering, Row&& row, bool withData, bool walking) {
  if (!walking) open.Pos.DropAhead();
  if (withData) ReturnRecord(call, row.Record);
  if (ordering != Physical) ReturnKey(call, open.File->Store().Spec().Keys[size_t(ordering)], row.Record);
  open.Pos.MoveTo(ordering, std::move(row));
}

// A record lock taken during one call, given back unless kept.
class PendingLock {
public:
  explicit PendingLock(ClientFile& file) : file_(file) {}
  ~PendingLock() { Drop(); }
  bool Take(uint32_t position) {
    Drop();
    if (!file_.Acquire(position)) return false;
    position_ = position;
    return true;
  }
  void Drop() {
    if (position_) file_.Release(position_);
    position_ = 0;
  }
  uint32_t Position() const { return position_; }
  uint32_t Keep() { return std::exchange(position_, 0); }

private:
  ClientFile& file_;
  uint32_t position_ = 0;
};

// find(row) finds the row a read returns without moving the position.
template <typename Finder>
int16_t FindLocked(OpenFile& open, const Finder& find, Row& row) {
  PendingLock lock(*open.File);
  for (int attempt = 0; attempt < LockAttempts; ++attempt) {
    open.Pos.DropAhead();
    if (int16_t s = find(row)) {
      open.Pos.DropAhead();
      return s;
    }
    if (lock.Position() == uint32_t(row.Id)) {
      // The block's lock moves to this record.
      if (open.Locked) open.File->Release(open.Locked);
      open.Locked = lock.Keep();
      return status::Success;
    }
    if (!lock.Take(uint32_t(row.Id))) break;
  }
  open.Pos.DropAhead();
  return status::RecordLocked;
}

// Finds (locking when asked) and lands.
template <typename Finder>
int16_t Read(OpenFile& open, Call& call, int ordering, bool withData, bool walking, const Finder& find) {
  Row row;
  if (int16_t s = call.Lock ? FindLocked(open, find, row) : find(row)) return s;
  Land(open, call, ordering, std::move(row), withData, walking);
  return status::Success;
}

// The first row of a seek; none answers `none`, a damaged one 2.
int16_t FirstOf(DataFile& file, int ordering, Seek seek, const std::string& key, int16_t none, Row& row) {
  std::vector<Row> rows;
  if (!file.Find(ordering, seek, key, 0, 1, rows)) return status::IoError;
  if (rows.empty()) return none;
  row = std::move(rows.front());
  return status::Success;
}

// The row after (direction +1) or before (-1) the position on ordering.
int16_t Advance(OpenFile& open, int ordering, int direction, Row& row) {
  Position& pos = open.Pos;
  DataFile& file = open.Store();
  const ChangeStamp stamp = file.Stamp();
  const bool continuing = pos.Direction == direction && pos.Ordering == ordering && pos.Stamp == stamp;
  if (continuing && !pos.Ahead.empty()) {
    row = std::move(pos.Ahead.front());
    pos.Ahead.pop_front();
    return status::Success;
  }
  const int most = std::clamp(MaxAheadBytes / std::max<int>(1, file.Spec().RecordLength), FirstBatch, MaxBatch);
  const int batch = continuing ? std::min(pos.Batch * 4, most) : FirstBatch;
  // After a step the position has no key on a key ordering and vice versa.
  const std::string key = pos.Ordering == ordering ? pos.Key : std::string();
  std::vector<Row> rows;
  rows.reserve(size_t(batch));
  // Two seeks, not one over (key, id): this SQLite does not seek on a
  // row-value comparison and would scan every duplicate of the key.
  // A damaged row ends the batch: the rows before it are served, and the
  // call that reaches it answers 2 and leaves the position where it was.
  const bool sound = direction > 0
                         ? file.Find(ordering, Seek::SameKeyAfter, key, pos.Id, batch, rows) &&
                               file.Find(ordering, Seek::Greater, key, 0, batch - int(rows.size()), rows)
                         : file.Find(ordering, Seek::SameKeyBefore, key, pos.Id, batch, rows) &&
                               file.Find(ordering, Seek::Less, key, 0, batch - int(rows.size()), rows);
  if (!sound && rows.empty()) return status::IoError;
  pos.Ahead.clear();
  if (rows.empty()) return status::EndOfFile;
  pos.Direction = direction;
  pos.Batch = batch;
  pos.Stamp = stamp;
  row = std::move(rows.front());
  std::move(rows.begin() + 1, rows.end(), std::back_inserter(pos.Ahead));
  return status::Success;
}

}  // namespace

int16_t GetByKey(OpenFile& open, Call& call) {
  DataFile& file = open.Store();
  const FileSpec& spec = file.Spec();
  if (!IsKeyNumber(spec, call.KeyNum)) return status::InvalidKeyNumber;
  const KeySpec& key = spec.Keys[size_t(call.KeyNum)];
  if (int16_t s = CheckKeyRoom(call, key)) return s;
  const bool withData = call.Op != op::GetEqualKeyOnly;
  if (withData && call.DataSize() < spec.RecordLength) return status::DataBufferTooShort;

  std::string wanted;
  if (call.Op != op::GetFirst && call.Op != op::GetLast) wanted = EncodedKey(spec, key, call.Key);
  Seek seek = Seek::SameKeyAfter;
  switch (call.Op) {
    case op::GetGreater: seek = Seek::Greater; break;
    case op::GetGreaterOrEqual: seek = Seek::GreaterOrEqual; break;
    case op::GetLessThan: seek = Seek::Less; break;
    case op::GetLessThanOrEqual: seek = Seek::LessOrEqual; break;
    case op::GetFirst: seek = Seek::First; break;
    case op::GetLast: seek = Seek::Last; break;
    default: break;  // Get Equal: the first of the key's duplicates
  }
  const int ordering = call.KeyNum;
  return Read(open, call, ordering, withData, false, [&](Row& row) {
    return FirstOf(file, ordering, seek, wanted, seek == Seek::SameKeyAfter ? status::KeyNotFound : status::EndOfFile,
                   row);
  });
}

int16_t GetAdjacent(OpenFile& open, Call& call, int direction) {
  const FileSpec& spec = open.Store().Spec();
  Position& pos = open.Pos;
  if (!pos.Placed || pos.Ordering == Physical) return status::InvalidPositioning;
  const KeySpec& key = spec.Keys[size_t(pos.Ordering)];
  if (int16_t s = CheckKeyRoom(call, key)) return s;
  if (call.DataSize() < spec.RecordLength) return status::DataBufferTooShort;
  const int ordering = pos.Ordering;
  return Read(open, call, ordering, true, true, [&](Row& row) { return Advance(open, ordering, direction, row); });
}

int16_t Step(OpenFile& open, Call& call) {
  DataFile& file = open.Store();
  if (call.DataSize() < file.Spec().RecordLength) return status::DataBufferTooShort;
  if (call.Op == op::StepFirst || call.Op == op::StepLast) {
    const Seek seek = call.Op == op::StepFirst ? Seek::First : Seek::Last;
    return Read(open, call, Physical, true, false,
                [&](Row& row) { return FirstOf(file, Physical, seek, "", status::EndOfFile, row); });
  }
  if (!open.Pos.Placed) return status::InvalidPositioning;
  const int direction = call.Op == op::StepNext ? 1 : -1;
  return Read(open, call, Physical, true, true, [&](Row& row) { return Advance(open, Physical, direction, row); });
}

int16_t GetDirect(OpenFile& open, Call& call) {
  DataFile& file = open.Store();
  const FileSpec& spec = file.Spec();
  // Without a key of that number the record becomes current in physical
  // order only (a file without keys is read this way).
  const int ordering = IsKeyNumber(spec, call.KeyNum) ? call.KeyNum : Physical;
  if (ordering != Physical) {
    if (int16_t s = CheckKeyRoom(call, spec.Keys[size_t(ordering)])) return s;
  }
  if (call.DataSize() < std::max<uint32_t>(PhysicalPositionSize, spec.RecordLength))
    return status::DataBufferTooShort;
  const uint32_t id = DecodeFixed32(call.Data);
  return Read(open, call, ordering, true, false, [&](Row& row) {
    return id != 0 && file.ReadById(ordering, id, row) ? status::Success : status::InvalidRecordAddress;
  });
}

int16_t GetPosition(OpenFile& open, Call& call) {
  if (!open.Pos.OnRecord) return status::InvalidPositioning;
  if (call.DataSize() < PhysicalPositionSize) return status::DataBufferTooShort;
  EncodeFixed32(call.Data, uint32_t(open.Pos.Id));
  *call.DataLen = PhysicalPositionSize;
  return status::Success;
}

}  // namespace engine
