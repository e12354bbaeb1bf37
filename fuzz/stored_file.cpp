#include "fuzz/stored_file.h"

#include "engine/file_spec.h"
#include "engine/key_codec.h"

#include <sqlite3.h>

#include <cstdio>
#include <cstring>

namespace {

StoredValue ReadValue(FuzzInput& in) {
  StoredValue v;
  const uint8_t kind = in.Byte();
  v.kind = kind <= StoredValue::Real ? StoredValue::Kind(kind) : StoredValue::Blob;
  switch (v.kind) {
    case StoredValue::Blob:
    case StoredValue::Text:
      v.bytes = in.Sized();
      break;
    case StoredValue::Integer:
    case StoredValue::Real:
      v.number = uint64_t(in.U32()) | (uint64_t(in.U32()) << 32);
      break;
    case StoredValue::Null:
      break;
  }
  return v;
}

void WriteValue(FuzzOutput& out, const StoredValue& v) {
  out.Byte(v.kind);
  if (v.kind == StoredValue::Blob || v.kind == StoredValue::Text) out.Sized(v.bytes);
  if (v.kind == StoredValue::Integer || v.kind == StoredValue::Real) out.U32(uint32_t(v.number)).U32(uint32_t(v.number >> 32));
}

void Bind(sqlite3_stmt* stmt, int index, const StoredValue& v) {
  switch (v.kind) {
    case StoredValue::Blob:
      sqlite3_bind_blob(stmt, index, v.bytes.data() ? v.bytes.data() : "", int(v.bytes.size()), SQLITE_STATIC);
      break;
    case StoredValue::Text:
      sqlite3_bind_text(stmt, index, v.bytes.data(), int(v.bytes.size()), SQLITE_STATIC);
      break;
    case StoredValue::Integer:
      sqlite3_bind_int64(stmt, index, sqlite3_int64(v.number));
      break;
    case StoredValue::Real: {
      double d;
      std::memcpy(&d, &v.number, sizeof d);
      sqlite3_bind_double(stmt, index, d);
      break;
    }
    case StoredValue::Null:
      sqlite3_bind_null(stmt, index);
      break;
  }
}

}  // namespace

std::string ReadStoredSpec(FuzzInput& in) { return in.Sized(); }

std::vector<StoredRow> ReadStoredRows(FuzzInput& in, size_t keyCount) {
  std::vector<StoredRow> rows;
  while (!in.Empty()) {
    StoredRow row;
    const uint8_t form = in.Byte();
    row.keysFromRecord = form & 1;
    if (form & 2) row.id = in.U32();
    row.record = ReadValue(in);
    if (!row.keysFromRecord)
      for (size_t k = 0; k < keyCount; ++k) row.keys.push_back(ReadValue(in));
    rows.push_back(std::move(row));
  }
  return rows;
}

StoredFile ReadStoredFile(FuzzInput& in, size_t keyCount) {
  StoredFile file;
  file.spec = ReadStoredSpec(in);
  file.rows = ReadStoredRows(in, keyCount);
  return file;
}

void WriteStoredFile(FuzzOutput& out, const StoredFile& file) {
  out.Sized(file.spec);
  for (const StoredRow& row : file.rows) {
    out.Byte(uint8_t((row.keysFromRecord ? 1 : 0) | (row.id ? 2 : 0)));
    if (row.id) out.U32(*row.id);
    WriteValue(out, row.record);
    if (!row.keysFromRecord)
      for (const StoredValue& key : row.keys) WriteValue(out, key);
  }
}

StoredRow SoundRow(std::string record) {
  StoredRow row;
  row.record.bytes = std::move(record);
  return row;
}

int16_t CreateStoredFile(StoredBtrCall call, const std::string& path, const std::string& spec) {
  uint8_t posBlock[128] = {};
  std::string data = spec;
  std::string key = path + '\0';
  uint32_t length = uint32_t(data.size());
  if (key.size() > 255) return 11;
  const int16_t status = call(14, posBlock, data.data(), &length, key.data(), uint8_t(key.size()), 0);
  if (status != 0) return status;
  sqlite3* db = nullptr;
  if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK)
    sqlite3_exec(db,
                 "PRAGMA writable_schema = ON;"
                 "UPDATE sqlite_schema SET sql = replace(sql, ' NOT NULL', '') WHERE name = 'records';"
                 "PRAGMA writable_schema = OFF",
                 nullptr, nullptr, nullptr);
  sqlite3_close(db);
  return status;
}

StoredRowWriter::StoredRowWriter(const std::string& path, const engine::FileSpec& spec) : spec_(spec) {
  if (sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) return;
  // Nothing here needs to outlive a crash: the file is thrown away.
  sqlite3_exec(db_, "PRAGMA synchronous = OFF; PRAGMA journal_mode = MEMORY", nullptr, nullptr, nullptr);
  std::string sql = "INSERT OR IGNORE INTO records(id, record";
  std::string values = ") VALUES (?1, ?2";
  for (size_t k = 0; k < spec.Keys.size(); ++k) {
    sql += ", k" + std::to_string(k);
    values += ", ?" + std::to_string(k + 3);
  }
  sqlite3_prepare_v2(db_, (sql + values + ")").c_str(), -1, &insert_, nullptr);
}

StoredRowWriter::~StoredRowWriter() {
  sqlite3_finalize(insert_);
  sqlite3_close(db_);
}

bool StoredRowWriter::Replace(const std::vector<StoredRow>& rows) {
  if (!insert_ || sqlite3_exec(db_, "BEGIN; DELETE FROM records", nullptr, nullptr, nullptr) != SQLITE_OK) return false;
  bool ok = true;
  for (size_t r = 0; ok && r < rows.size(); ++r) {
    const StoredRow& row = rows[r];
    sqlite3_reset(insert_);
    sqlite3_clear_bindings(insert_);
    if (row.id) sqlite3_bind_int64(insert_, 1, *row.id);
    Bind(insert_, 2, row.record);
    std::vector<StoredValue> encoded;
    if (row.keysFromRecord) {
      const bool fits = row.record.kind == StoredValue::Blob && row.record.bytes.size() == spec_.RecordLength;
      for (std::string& key : fits ? engine::EncodeKeys(spec_, row.record.bytes) : std::vector<std::string>(spec_.Keys.size()))
        encoded.push_back(StoredValue{StoredValue::Blob, std::move(key), 0});
    }
    const std::vector<StoredValue>& keys = row.keysFromRecord ? encoded : row.keys;
    for (size_t k = 0; k < spec_.Keys.size() && k < keys.size(); ++k) Bind(insert_, int(k + 3), keys[k]);
    const int rc = sqlite3_step(insert_);
    ok = rc == SQLITE_DONE || (rc & 0xFF) == SQLITE_CONSTRAINT;
  }
  sqlite3_reset(insert_);
  if (ok) ok = sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr) == SQLITE_OK;
  if (!ok) sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
  return ok;
}

StoredFileSlot::StoredFileSlot(StoredBtrCall call, std::string path)
    : call_(call), path_(std::move(path)), decoded_(std::make_unique<engine::FileSpec>()) {}

StoredFileSlot::~StoredFileSlot() { Drop(); }

bool StoredFileSlot::Take(const std::string& spec) {
  if (writer_ && spec == spec_) return true;
  Drop();
  if (engine::DecodeCreateBuffer(reinterpret_cast<const uint8_t*>(spec.data()), spec.size(), *decoded_) != 0)
    return false;
  if (CreateStoredFile(call_, path_, spec) != 0) return false;
  std::string name = path_ + '\0';
  uint32_t none = 0;
  if (call_(0, holder_, nullptr, &none, name.data(), uint8_t(name.size()), 0) != 0) return false;
  spec_ = spec;
  writer_ = std::make_unique<StoredRowWriter>(path_, *decoded_);
  return true;
}

void StoredFileSlot::Drop() {
  uint32_t none = 0;
  call_(1, holder_, nullptr, &none, nullptr, 0, 0);
  writer_.reset();
  for (const char* suffix : {"", ".lck", "-journal"}) std::remove((path_ + suffix).c_str());
}
