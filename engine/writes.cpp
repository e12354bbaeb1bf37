// The writing operations: Insert, Update and Delete of the current record.
//
// Update and Delete write only the record this block last read or wrote,
// as it was then: a record changed since (by another client or another
// block) answers 80 and nothing is written, so no update is lost silently.
// A record another client holds locked answers 84. While they write, no
// other client can lock the record; inside a transaction it stays locked
// until End or Abort. The block's own lock on the record goes with its
// Update or Delete. Inserts are never blocked by record locks. A block
// opened read-only answers 46 to every write.
//
// Autoincrement: a key of type 15 whose field is zero on Insert takes the
// highest value in the file plus one (at least 1), read and written in one
// write transaction so two clients never draw the same value; the value is
// written back into the caller's record. A non-zero value is kept, and one
// that exists already is refused with 5 like any unique key.
#include "engine/operations.h"

#include "engine/key_codec.h"
#include "engine/status.h"

#include <cstring>
#include <optional>
#include <utility>

namespace engine {
namespace {

// The autoincrement field of a key within a record.
uint8_t* AutoField(const KeySpec& key, std::string& record) {
  return reinterpret_cast<uint8_t*>(record.data()) + key.Segments.front().Position - 1;
}

bool HasZeroAutoIncrement(const FileSpec& spec, std::string& record) {
  for (const KeySpec& key : spec.Keys) {
    if (key.AutoIncrement && DecodeSignedLE(AutoField(key, record), key.Segments.front().Length) == 0) return true;
  }
  return false;
}

// Draws the next value of every zero autoincrement key; false when a key
// has run out of values.
bool AssignAutoIncrements(DataFile& file, std::string& record, std::vector<int>& assigned) {
  const FileSpec& spec = file.Spec();
  for (size_t k = 0; k < spec.Keys.size(); ++k) {
    const KeySpec& key = spec.Keys[k];
    if (!key.AutoIncrement) continue;
    const size_t length = key.Segments.front().Length;
    if (DecodeSignedLE(AutoField(key, record), length) != 0) continue;
    int64_t highest = 0;
    file.HighestKey(int(k), highest);
    const int64_t next = std::max<int64_t>(highest, 0) + 1;
    if (next > (int64_t(1) << (8 * length - 1)) - 1) return false;
    EncodeSignedLE(AutoField(key, record), length, next);
    assigned.push_back(int(k));
  }
  return true;
}

// The store a write of this block goes to and, for Update and Delete, the
// record's hold for the write (inside a transaction its lock, kept until
// the end); the status refusing the write otherwise.
class WriteAccess {
public:
  explicit WriteAccess(OpenFile& open) : open_(open) {}
  ~WriteAccess() {
    if (!position_) return;
    if (locked_)
      open_.File->Release(position_);
    else
      open_.File->EndWrite(position_);
  }
  int16_t Begin(DataFile*& store, uint32_t position = 0) {
    // The record first: a refused write must not draw the file into the
    // client's transaction.
    if (position) {
      locked_ = open_.Owner->InTransaction();
      if (!(locked_ ? open_.File->Acquire(position) : open_.File->ShareForWrite(position)))
        return status::RecordLocked;
      position_ = position;
    }
    return open_.Owner->WriteStore(*open_.File, store);
  }
  // After the written record's write: the transaction keeps it locked, and
  // the block's own lock on it is released.
  void Written() {
    open_.Owner->KeepWritten(*open_.File, position_);
    if (open_.Locked == position_) open_.File->Release(std::exchange(open_.Locked, 0));
  }

private:
  OpenFile& open_;
  uint32_t position_ = 0;
  bool locked_ = false;
};

int16_t CheckWritable(const OpenFile& open) {
  return open.Mode == open_mode::ReadOnly ? status::ReadOnlyOpen : status::Success;
}

// 80 unless the record is still what the block last saw.
int16_t CheckUnchanged(DataFile& file, const Position& pos, Row& current) {
  if (!file.ReadById(Physical, pos.Id, current) || current.Record != pos.Record) return status::Conflict;
  return status::Success;
}

}  // namespace

int16_t Insert(OpenFile& open, Call& call) {
  if (int16_t s = CheckWritable(open)) return s;
  const FileSpec& spec = open.Store().Spec();
  if (call.DataSize() != spec.RecordLength) return status::DataBufferTooShort;
  const bool keyed = IsKeyNumber(spec, call.KeyNum);
  if (keyed) {
    if (int16_t s = CheckKeyRoom(call, spec.Keys[size_t(call.KeyNum)])) return s;
  }
  WriteAccess access(open);
  DataFile* store = nullptr;
  if (int16_t s = access.Begin(store)) return s;
  DataFile& file = *store;
  std::string record(reinterpret_cast<const char*>(call.Data), spec.RecordLength);

  // The highest value and the insert that uses it form one transaction;
  // a plain insert is a transaction by itself.
  std::optional<DataFile::WriteScope> scope;
  std::vector<int> assigned;
  if (HasZeroAutoIncrement(spec, record)) {
    scope.emplace(file);
    if (!AssignAutoIncrements(file, record, assigned)) return status::DuplicateKey;
  }
  std::vector<std::string> keys = EncodeKeys(spec, record);
  const int64_t id = file.Insert(record, keys);
  if (scope) scope->Commit();

  for (int k : assigned) {
    const KeySpec& key = spec.Keys[size_t(k)];
    std::memcpy(call.Data + key.Segments.front().Position - 1, AutoField(key, record), key.Segments.front().Length);
  }
  if (keyed) ReturnKey(call, spec.Keys[size_t(call.KeyNum)], record);
  // A negative key number keeps the position where it was.
  if (call.KeyNum >= 0) {
    Row row{id, std::move(record), keyed ? std::move(keys[size_t(call.KeyNum)]) : std::string()};
    open.Pos.MoveTo(keyed ? call.KeyNum : Physical, std::move(row));
    open.Pos.DropAhead();
  }
  return status::Success;
}

int16_t Update(OpenFile& open, Call& call) {
  const FileSpec& spec = open.Store().Spec();
  Position& pos = open.Pos;
  if (int16_t s = CheckWritable(open)) return s;
  if (!pos.OnRecord) return status::InvalidPositioning;
  if (call.DataSize() != spec.RecordLength) return status::DataBufferTooShort;
  const bool keyed = IsKeyNumber(spec, call.KeyNum);
  if (keyed) {
    if (int16_t s = CheckKeyRoom(call, spec.Keys[size_t(call.KeyNum)])) return s;
  }
  WriteAccess access(open);
  DataFile* store = nullptr;
  if (int16_t s = access.Begin(store, uint32_t(pos.Id))) return s;
  DataFile& file = *store;
  std::string record(reinterpret_cast<const char*>(call.Data), spec.RecordLength);

  DataFile::WriteScope scope(file);
  Row old;
  if (int16_t s = CheckUnchanged(file, pos, old)) return s;
  const auto* before = reinterpret_cast<const uint8_t*>(old.Record.data());
  const auto* after = reinterpret_cast<const uint8_t*>(record.data());
  for (const KeySpec& key : spec.Keys) {
    if (!key.Modifiable && RawKey(key, before) != RawKey(key, after)) return status::KeyNotModifiable;
  }
  const std::vector<std::string> keys = EncodeKeys(spec, record);
  if (!file.Update(pos.Id, record, keys)) return status::Conflict;
  scope.Commit();
  access.Written();

  if (pos.Ordering != Physical) pos.Key = keys[size_t(pos.Ordering)];
  pos.DropAhead();
  if (keyed) ReturnKey(call, spec.Keys[size_t(call.KeyNum)], record);
  pos.Record = std::move(record);
  return status::Success;
}

int16_t Delete(OpenFile& open, Call&) {
  Position& pos = open.Pos;
  if (int16_t s = CheckWritable(open)) return s;
  if (!pos.OnRecord) return status::InvalidPositioning;
  WriteAccess access(open);
  DataFile* store = nullptr;
  if (int16_t s = access.Begin(store, uint32_t(pos.Id))) return s;
  DataFile& file = *store;

  DataFile::WriteScope scope(file);
  Row old;
  if (int16_t s = CheckUnchanged(file, pos, old)) return s;
  if (!file.Delete(pos.Id)) return status::Conflict;
  scope.Commit();
  access.Written();
  // The key value and position stay, so Next and Previous go on from here.
  pos.OnRecord = false;
  pos.DropAhead();
  return status::Success;
}

}  // namespace engine
