// The writing operations: Insert, Update and Delete of the current record.
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

namespace engine {
namespace {

std::vector<std::string> EncodeKeys(const FileSpec& spec, const std::string& record) {
  std::vector<std::string> keys;
  keys.reserve(spec.Keys.size());
  std::string raw;
  const auto* bytes = reinterpret_cast<const uint8_t*>(record.data());
  for (const KeySpec& key : spec.Keys) {
    raw.clear();
    AppendRawKey(key, bytes, raw);
    keys.push_back(EncodedKey(spec, key, reinterpret_cast<const uint8_t*>(raw.data())));
  }
  return keys;
}

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

}  // namespace

int16_t Insert(OpenFile& open, Call& call) {
  DataFile& file = *open.File;
  const FileSpec& spec = file.Spec();
  if (call.DataSize() != spec.RecordLength) return status::DataBufferTooShort;
  const bool keyed = IsKeyNumber(spec, call.KeyNum);
  if (keyed) {
    if (int16_t s = CheckKeyRoom(call, spec.Keys[size_t(call.KeyNum)])) return s;
  }
  std::string record(reinterpret_cast<const char*>(call.Data), spec.RecordLength);

  // The highest value and the insert that uses it form one transaction;
  // a plain insert is a transaction by itself.
  std::optional<DataFile::WriteScope> scope;
  std::vector<int> assigned;
  if (HasZeroAutoIncrement(spec, record)) {
    scope.emplace(file);
    if (!AssignAutoIncrements(file, record, assigned)) return status::DuplicateKey;
  }
  const std::vector<std::string> keys = EncodeKeys(spec, record);
  const int64_t id = file.Insert(record, keys);
  if (scope) scope->Commit();

  for (int k : assigned) {
    const KeySpec& key = spec.Keys[size_t(k)];
    std::memcpy(call.Data + key.Segments.front().Position - 1, AutoField(key, record), key.Segments.front().Length);
  }
  // A negative key number keeps the position where it was.
  if (call.KeyNum >= 0) {
    Row row{id, {}, keyed ? keys[size_t(call.KeyNum)] : std::string()};
    open.Pos.MoveTo(keyed ? call.KeyNum : Physical, row);
    open.Pos.DropAhead();
  }
  if (keyed) ReturnKey(call, spec.Keys[size_t(call.KeyNum)], record);
  return status::Success;
}

int16_t Update(OpenFile& open, Call& call) {
  DataFile& file = *open.File;
  const FileSpec& spec = file.Spec();
  Position& pos = open.Pos;
  if (!pos.OnRecord) return status::InvalidPositioning;
  if (call.DataSize() != spec.RecordLength) return status::DataBufferTooShort;
  const bool keyed = IsKeyNumber(spec, call.KeyNum);
  if (keyed) {
    if (int16_t s = CheckKeyRoom(call, spec.Keys[size_t(call.KeyNum)])) return s;
  }
  const std::string record(reinterpret_cast<const char*>(call.Data), spec.RecordLength);

  DataFile::WriteScope scope(file);
  Row old;
  if (!file.ReadById(Physical, pos.Id, old)) return status::Conflict;
  const auto* before = reinterpret_cast<const uint8_t*>(old.Record.data());
  const auto* after = reinterpret_cast<const uint8_t*>(record.data());
  for (const KeySpec& key : spec.Keys) {
    if (!key.Modifiable && RawKey(key, before) != RawKey(key, after)) return status::KeyNotModifiable;
  }
  const std::vector<std::string> keys = EncodeKeys(spec, record);
  if (!file.Update(pos.Id, record, keys)) return status::Conflict;
  scope.Commit();

  if (pos.Ordering != Physical) pos.Key = keys[size_t(pos.Ordering)];
  pos.DropAhead();
  if (keyed) ReturnKey(call, spec.Keys[size_t(call.KeyNum)], record);
  return status::Success;
}

int16_t Delete(OpenFile& open, Call&) {
  Position& pos = open.Pos;
  if (!pos.OnRecord) return status::InvalidPositioning;
  if (!open.File->Delete(pos.Id)) return status::Conflict;
  // The key value and position stay, so Next and Previous go on from here.
  pos.OnRecord = false;
  pos.DropAhead();
  return status::Success;
}

}  // namespace engine
