// The reading operations: gets by key value, Next and Previous, the steps
// in physical order, Get Direct and Get Position.
//
// A walk (Next, Previous, the steps) reads a few rows ahead and serves the
// following calls from them while the file's change stamp stays put, so a
// long walk costs one cheap stamp check per call and no read lock is held
// between calls. Any commit by another client or write through this one
// moves the stamp and the rows are read again. The batch starts small (a
// single Next after a Get reads little) and grows while the walk goes on.
#include "engine/operations.h"

#include "engine/key_codec.h"
#include "engine/status.h"

#include <algorithm>
#include <cstring>

namespace engine {
namespace {

constexpr int FirstBatch = 2;
constexpr int MaxBatch = 64;
// Bytes of records one open may hold read ahead.
constexpr int MaxAheadBytes = 256 * 1024;

// Moves the position to a row found by a get, dropping what was read ahead.
void Land(OpenFile& open, Call& call, int ordering, const Row& row, bool withData) {
  open.Pos.MoveTo(ordering, row);
  open.Pos.DropAhead();
  if (withData) ReturnRecord(call, row.Record);
  if (ordering != Physical) ReturnKey(call, open.File->Spec().Keys[size_t(ordering)], row.Record);
}

// The row after (direction +1) or before (-1) the position on ordering.
int16_t Advance(OpenFile& open, int ordering, int direction, Row& row) {
  Position& pos = open.Pos;
  DataFile& file = *open.File;
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
  if (direction > 0) {
    file.Find(ordering, Seek::SameKeyAfter, key, pos.Id, batch, rows);
    file.Find(ordering, Seek::Greater, key, 0, batch - int(rows.size()), rows);
  } else {
    file.Find(ordering, Seek::SameKeyBefore, key, pos.Id, batch, rows);
    file.Find(ordering, Seek::Less, key, 0, batch - int(rows.size()), rows);
  }
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
  const FileSpec& spec = open.File->Spec();
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
  std::vector<Row> rows;
  open.File->Find(call.KeyNum, seek, wanted, 0, 1, rows);
  if (rows.empty()) return seek == Seek::SameKeyAfter ? status::KeyNotFound : status::EndOfFile;
  Land(open, call, call.KeyNum, rows.front(), withData);
  return status::Success;
}

int16_t GetAdjacent(OpenFile& open, Call& call, int direction) {
  const FileSpec& spec = open.File->Spec();
  Position& pos = open.Pos;
  if (!pos.Placed || pos.Ordering == Physical) return status::InvalidPositioning;
  const KeySpec& key = spec.Keys[size_t(pos.Ordering)];
  if (int16_t s = CheckKeyRoom(call, key)) return s;
  if (call.DataSize() < spec.RecordLength) return status::DataBufferTooShort;
  Row row;
  if (int16_t s = Advance(open, pos.Ordering, direction, row)) return s;
  pos.MoveTo(pos.Ordering, row);
  ReturnRecord(call, row.Record);
  ReturnKey(call, key, row.Record);
  return status::Success;
}

int16_t Step(OpenFile& open, Call& call) {
  Position& pos = open.Pos;
  if (call.DataSize() < open.File->Spec().RecordLength) return status::DataBufferTooShort;
  Row row;
  if (call.Op == op::StepFirst || call.Op == op::StepLast) {
    std::vector<Row> rows;
    open.File->Find(Physical, call.Op == op::StepFirst ? Seek::First : Seek::Last, "", 0, 1, rows);
    if (rows.empty()) return status::EndOfFile;
    Land(open, call, Physical, rows.front(), true);
    return status::Success;
  }
  if (!pos.Placed) return status::InvalidPositioning;
  if (int16_t s = Advance(open, Physical, call.Op == op::StepNext ? 1 : -1, row)) return s;
  pos.MoveTo(Physical, row);
  ReturnRecord(call, row.Record);
  return status::Success;
}

int16_t GetDirect(OpenFile& open, Call& call) {
  const FileSpec& spec = open.File->Spec();
  // Without a key of that number the record becomes current in physical
  // order only (a file without keys is read this way).
  const int ordering = IsKeyNumber(spec, call.KeyNum) ? call.KeyNum : Physical;
  if (ordering != Physical) {
    if (int16_t s = CheckKeyRoom(call, spec.Keys[size_t(ordering)])) return s;
  }
  if (call.DataSize() < std::max<uint32_t>(PhysicalPositionSize, spec.RecordLength))
    return status::DataBufferTooShort;
  const uint32_t id = DecodeFixed32(call.Data);
  Row row;
  if (id == 0 || !open.File->ReadById(ordering, id, row)) return status::InvalidRecordAddress;
  Land(open, call, ordering, row, true);
  return status::Success;
}

int16_t GetPosition(OpenFile& open, Call& call) {
  if (!open.Pos.OnRecord) return status::InvalidPositioning;
  if (call.DataSize() < PhysicalPositionSize) return status::DataBufferTooShort;
  EncodeFixed32(call.Data, uint32_t(open.Pos.Id));
  *call.DataLen = PhysicalPositionSize;
  return status::Success;
}

}  // namespace engine
