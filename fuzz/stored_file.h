// A record-manager file described by a fuzz input: its create buffer and
// the rows of its records table as SQLite holds them, each value any of the
// types a damaged or foreign file could hold there.
//
// Input shape (fuzz/fuzz_input.h fields):
//   spec      16-bit length, then the create buffer (engine/file_spec.h)
//   then rows until the input ends, each:
//     form    byte: bit 0 the keys are encoded from the record by the
//             engine's own codec (no key values follow), bit 1 an explicit
//             row id follows (32 bits)
//     id      when bit 1
//     record  a value
//     keys    one value per key of the file specification, unless bit 0
//   a value: a kind byte (0 blob, 1 NULL, 2 integer, 3 text, 4 real; any
//   other is a blob), then for blob and text a 16-bit length and the
//   bytes, for integer and real 8 bytes.
// Rows SQLite refuses (a repeated unique key, an id out of range) are left
// out, as they could never be stored.
#pragma once

#include "fuzz/fuzz_input.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace engine {
struct FileSpec;
}
struct sqlite3;
struct sqlite3_stmt;

struct StoredValue {
  enum Kind : uint8_t { Blob, Null, Integer, Text, Real };
  Kind kind = Blob;
  std::string bytes;    // Blob and Text
  uint64_t number = 0;  // Integer, and the bits of Real
};

struct StoredRow {
  bool keysFromRecord = true;
  std::optional<uint32_t> id;
  StoredValue record;
  std::vector<StoredValue> keys;
};

struct StoredFile {
  std::string spec;
  std::vector<StoredRow> rows;
};

// keyCount: how many key values a row without bit 0 carries.
StoredFile ReadStoredFile(FuzzInput& in, size_t keyCount);
// Reads only the file specification part; the rows follow in `in`.
std::string ReadStoredSpec(FuzzInput& in);
std::vector<StoredRow> ReadStoredRows(FuzzInput& in, size_t keyCount);
void WriteStoredFile(FuzzOutput& out, const StoredFile& file);

// A row of a sound record: the keys encoded from it.
StoredRow SoundRow(std::string record);

// The engine's entry point, whichever copy of it the target calls: its own
// or the one the program's binding loads.
using StoredBtrCall = int16_t (*)(uint16_t op, void* posBlock, void* data, uint32_t* dataLen, void* key,
                                  uint8_t keyLen, int8_t keyNum);

// Creates the file at path from a create buffer through the engine's own
// Create (replacing what is there), then lets its records table hold NULLs
// as a file written by another program could: the engine's status.
int16_t CreateStoredFile(StoredBtrCall call, const std::string& path, const std::string& spec);

// Rewrites the records of one file of spec, which nobody else writes
// meanwhile, through a connection of its own kept open between rewrites
// (it holds no lock between them).
class StoredRowWriter {
public:
  StoredRowWriter(const std::string& path, const engine::FileSpec& spec);
  ~StoredRowWriter();
  StoredRowWriter(const StoredRowWriter&) = delete;
  StoredRowWriter& operator=(const StoredRowWriter&) = delete;

  // The records replaced by rows; false when SQLite cannot write them.
  bool Replace(const std::vector<StoredRow>& rows);

private:
  const engine::FileSpec& spec_;
  sqlite3* db_ = nullptr;
  sqlite3_stmt* insert_ = nullptr;
};

// The file of the last file specification a target was given, kept while that
// repeats and held open by one position block of its own, so the engine
// keeps its connection and statements between inputs.
class StoredFileSlot {
public:
  StoredFileSlot(StoredBtrCall call, std::string path);
  ~StoredFileSlot();
  StoredFileSlot(const StoredFileSlot&) = delete;
  StoredFileSlot& operator=(const StoredFileSlot&) = delete;

  // Makes the file of spec unless it is the current one; false when the
  // engine refuses the file specification.
  bool Take(const std::string& spec);
  const std::string& Path() const { return path_; }
  const engine::FileSpec& Spec() const { return *decoded_; }
  StoredRowWriter& Writer() { return *writer_; }

private:
  void Drop();

  StoredBtrCall call_;
  std::string path_;
  std::string spec_;
  std::unique_ptr<engine::FileSpec> decoded_;
  std::unique_ptr<StoredRowWriter> writer_;
  uint8_t holder_[128] = {};
};
