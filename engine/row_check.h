// The rules a row read from a record-manager file must pass before any of
// its bytes are used (engine/store.h names the tables). Stored bytes are
// never trusted: another workstation, a bad disk or a hand with the sqlite3
// shell may have left anything in a column, of any storage class.
// A record row:
//   position  an INTEGER from 1 to 2^32 - 1
//   record    a BLOB of exactly the record length
//   key n     a BLOB of exactly key n's length
// The metadata: every name TEXT; exactly one 'format' row, its value the
// marker as TEXT; exactly one 'spec' row, its value a BLOB (the layout,
// decoded by engine/file_spec.h). Rows of other names are passed over.
// The record manager answers 2 for a call that meets a record row breaking
// a rule, and 30 at open for metadata that does; mdbtr check names the row
// and the rule.
#pragma once

#include "engine/file_spec.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace engine {

enum class RowFault : uint8_t { None, Position, RecordNotBlob, RecordLength, KeyNotBlob, KeyLength };

// What a column holds, as SQLite reports it before converting anything:
// its storage class (SQLITE_INTEGER 1 ... SQLITE_NULL 5) and, for a BLOB,
// its size.
struct StoredColumn {
  int Type = 0;
  size_t Bytes = 0;
};

// SQLite's storage classes, kept here so the rules need no SQLite header.
inline constexpr int StoredInteger = 1;
inline constexpr int StoredText = 3;
inline constexpr int StoredBlob = 4;

inline RowFault CheckPosition(int type, int64_t id) {
  return type == StoredInteger && id >= 1 && id <= int64_t(UINT32_MAX) ? RowFault::None : RowFault::Position;
}
inline RowFault CheckRecord(const FileSpec& spec, const StoredColumn& record) {
  if (record.Type != StoredBlob) return RowFault::RecordNotBlob;
  return record.Bytes == spec.RecordLength ? RowFault::None : RowFault::RecordLength;
}
inline RowFault CheckKey(size_t keyLength, const StoredColumn& key) {
  if (key.Type != StoredBlob) return RowFault::KeyNotBlob;
  return key.Bytes == keyLength ? RowFault::None : RowFault::KeyLength;
}

// The rule a fault breaks, in words; key names the key of a key fault.
std::string RowFaultText(RowFault fault, size_t key = 0);

// "MDRM" in the database header's application id field (offset 68,
// big-endian): the first sign that a file is one of ours.
inline constexpr uint32_t ApplicationId = 0x4D44524D;
inline constexpr const char* FormatMarker = "Corvenstead record manager file 1";

enum class MetadataFault : uint8_t { None, NameNotText, FormatNotMarker, SpecNotBlob, FormatCount, SpecCount };

// The metadata, read row by row.
class MetadataRows {
public:
  // The fault of one row; None for a sound row or one of another name.
  // name and value are a TEXT's text or a BLOB's bytes, empty otherwise.
  MetadataFault Add(int nameType, const std::string& name, int valueType, const std::string& value);
  // Once every row was added: whether there was one row of each name.
  MetadataFault Complete() const;
  const std::string& Layout() const { return layout_; }

private:
  int formats_ = 0;
  int specs_ = 0;
  std::string layout_;
};

std::string MetadataFaultText(MetadataFault fault);

}  // namespace engine
