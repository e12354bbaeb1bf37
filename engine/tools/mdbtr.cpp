// mdbtr: a look into record-manager files, for people who keep an office
// running.
//
//   mdbtr stat FILE              the file's specification, its keys, the record count
//   mdbtr dump FILE [--key N]    every record in the order of key N (0 unless
//                                given; a file without keys in physical
//                                order), one line each: its position, then
//                                its bytes as text
//   mdbtr check FILE...          SQLite's integrity check of each file, then
//                                every stored record and key against the
//                                file's specification
//
// Records print as text: Windows-1252 characters as UTF-8, "\" doubled, and
// every other byte (control bytes, the five bytes Windows-1252 leaves
// unassigned) as \xNN.
//
// The files are read through the record manager, loaded from the program
// folder like everywhere else and opened read-only, so the tool takes its
// turn with the workstations using them. Only check reads a file with SQLite
// itself, read-only, and only once the record manager has opened it (which
// settles what a killed writer left behind) and closed it again, so no
// connection of this process has it open meanwhile.
//
// Exit status: 0 done (for check: every file sound), 1 check found a fault,
// 2 bad arguments or a file that cannot be read; each failure is one line on
// standard error.
#include "btrieve/binding.h"
#include "btrieve/status_text.h"
#include "engine/file_spec.h"
#include "engine/key_codec.h"
#include "engine/status.h"
#include "platform/codepage.h"

#include <sqlite3.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr int Done = 0;
constexpr int Faulty = 1;
constexpr int Failed = 2;

// Faults listed per file before the rest are only counted.
constexpr int ListedFaults = 20;
// Room for the longest Stat answer: every segment and sequence a file may have.
constexpr uint32_t StatRoom = engine::SpecHeaderSize + engine::MaxSegments * engine::SegmentSpecSize +
                              256 * engine::CollatingSequenceSize;

constexpr const char* Usage = "usage: mdbtr stat FILE | mdbtr dump FILE [--key N] | mdbtr check FILE...";

void Out(const std::string& line) {
  const std::string text = line + "\n";
  std::fwrite(text.data(), 1, text.size(), stdout);
}

int Fail(const std::string& line) {
  std::fprintf(stderr, "mdbtr: %s\n", line.c_str());
  return Failed;
}

int FailStatus(const std::string& file, int status) {
  return Fail(file + ": " + BtrieveStatusText(status) + " (status " + std::to_string(status) + ")");
}

std::string Hex2(uint8_t byte) {
  static const char digits[] = "0123456789ABCDEF";
  return std::string{'\\', 'x', digits[byte >> 4], digits[byte & 15]};
}

// Unassigned in Windows-1252: shown in hex like the control bytes.
bool Unassigned(uint8_t byte) { return byte == 0x81 || byte == 0x8D || byte == 0x8F || byte == 0x90 || byte == 0x9D; }

std::string AsText(const std::string& bytes) {
  std::string out;
  for (char c : bytes) {
    const auto byte = static_cast<uint8_t>(c);
    if (byte == '\\')
      out += "\\\\";
    else if (byte < 0x20 || byte == 0x7F || Unassigned(byte))
      out += Hex2(byte);
    else
      out += Win1252ToUtf8(std::string(1, c));
  }
  return out;
}

// One file opened read-only through the record manager, closed on leaving.
class EngineFile {
public:
  ~EngineFile() {
    if (open_) Call(engine::op::Close);
  }

  // The record manager's status; 0 once open.
  int16_t Open(const std::string& path) {
    if (path.empty() || path.size() >= engine::MaxKeyBufferSize) return engine::status::InvalidFileName;
    key_.fill(0);
    std::memcpy(key_.data(), path.data(), path.size());
    const int16_t status = Call(engine::op::Open, 0, engine::open_mode::ReadOnly);
    open_ = status == engine::status::Success;
    return status;
  }
  int16_t Close() {
    open_ = false;
    return Call(engine::op::Close);
  }
  // The whole Stat answer.
  int16_t Stat(std::string& answer) {
    const int16_t status = Call(engine::op::Stat, StatRoom);
    answer = Data();
    return status;
  }
  // A call with a data buffer of room bytes; Data() is what came back.
  int16_t Call(uint16_t op, uint32_t room = 0, int8_t keyNum = 0) {
    data_.assign(room, '\0');
    length_ = room;
    return BTRCALL(op, pos_.data(), data_.data(), &length_, key_.data(), uint8_t(engine::MaxKeyBufferSize), keyNum);
  }
  std::string Data() const { return data_.substr(0, length_); }

private:
  std::array<uint8_t, engine::PositionBlockSize> pos_{};
  std::array<uint8_t, engine::MaxKeyBufferSize> key_{};
  std::string data_;
  uint32_t length_ = 0;
  bool open_ = false;
};

// Opens the file and reads its specification; a status line on failure.
int OpenWithSpec(const std::string& path, EngineFile& file, engine::FileSpec& spec, uint32_t& records) {
  if (int16_t s = file.Open(path)) return FailStatus(path, s);
  std::string answer;
  if (int16_t s = file.Stat(answer)) return FailStatus(path, s);
  const auto* bytes = reinterpret_cast<const uint8_t*>(answer.data());
  if (answer.size() < engine::SpecHeaderSize || engine::DecodeCreateBuffer(bytes, answer.size(), spec) != 0)
    return FailStatus(path, engine::status::NotRecordManagerFile);
  records = engine::DecodeFixed32(bytes + 6);
  return Done;
}

std::string TypeName(const engine::SegmentSpec& seg) {
  switch (seg.Type) {
    case engine::key_type::String:
      return "string";
    case engine::key_type::Integer:
      return "integer";
    case engine::key_type::UnsignedBinary:
      return "unsigned binary";
    case engine::key_type::AutoIncrement:
      return "autoincrement";
  }
  return "type " + std::to_string(seg.Type);
}

int Stat(const std::string& path) {
  EngineFile file;
  engine::FileSpec spec;
  uint32_t records = 0;
  if (int r = OpenWithSpec(path, file, spec, records)) return r;
  Out("record length: " + std::to_string(spec.RecordLength));
  Out("page size: " + std::to_string(spec.PageSize));
  Out("records: " + std::to_string(records));
  Out("keys: " + std::to_string(spec.Keys.size()));
  for (size_t k = 0; k < spec.Keys.size(); ++k) {
    const engine::KeySpec& key = spec.Keys[k];
    Out("key " + std::to_string(k) + ": length " + std::to_string(key.Length) +
        (key.Duplicates ? ", duplicates" : ", unique") + (key.Modifiable ? ", modifiable" : ""));
    for (const engine::SegmentSpec& seg : key.Segments) {
      std::string line = "  at " + std::to_string(seg.Position) + ", length " + std::to_string(seg.Length) + ", " +
                         TypeName(seg);
      if (seg.Flags & engine::key_flag::Descending) line += ", descending";
      if (seg.Flags & engine::key_flag::CaseInsensitive) line += ", case-insensitive";
      if (seg.Flags & engine::key_flag::AlternateCollating) {
        // The sequence's name: bytes 1-8 of its header.
        std::string name = spec.Sequences.at(seg.Sequence).substr(1, 8);
        name.erase(name.find_last_not_of(std::string(" \0", 2)) + 1);
        line += ", collating sequence " + std::to_string(seg.Sequence) + " \"" + AsText(name) + "\"";
      }
      Out(line);
    }
  }
  return Done;
}

int Dump(const std::string& path, int keyNumber, bool keyGiven) {
  EngineFile file;
  engine::FileSpec spec;
  uint32_t records = 0;
  if (int r = OpenWithSpec(path, file, spec, records)) return r;
  if (keyNumber < 0 || (keyGiven && size_t(keyNumber) >= spec.Keys.size()))
    return Fail(path + ": has no key " + std::to_string(keyNumber));
  const bool physical = spec.Keys.empty();
  const int8_t key = int8_t(keyNumber);
  int16_t s = file.Call(physical ? engine::op::StepFirst : engine::op::GetFirst, spec.RecordLength, key);
  while (s == engine::status::Success) {
    const std::string record = file.Data();
    if (file.Call(engine::op::GetPosition, engine::PhysicalPositionSize) != 0) break;
    const std::string position = file.Data();
    Out("#" + std::to_string(engine::DecodeFixed32(reinterpret_cast<const uint8_t*>(position.data()))) + " " +
        AsText(record));
    s = file.Call(physical ? engine::op::StepNext : engine::op::GetNext, spec.RecordLength, key);
  }
  if (s != engine::status::EndOfFile) return FailStatus(path, s);
  return Done;
}

// The faults of one file as SQLite sees it, read in one read transaction.
class Checker {
public:
  Checker(const std::string& path, const engine::FileSpec& spec) : path_(path), spec_(spec) {}
  ~Checker() {
    sqlite3_finalize(stmt_);
    sqlite3_close(db_);
  }

  // Done, Faulty, or Failed when the file cannot be read.
  int Run() {
    if (sqlite3_open_v2(path_.c_str(), &db_, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK)
      return Fail(path_ + ": " + sqlite3_errmsg(db_));
    sqlite3_busy_timeout(db_, 5000);
    if (!Exec("BEGIN") || !Prepare("PRAGMA integrity_check")) return Fail(path_ + ": " + sqlite3_errmsg(db_));
    while (Step()) {
      const std::string answer = Text(0);
      if (answer != "ok") Fault("integrity: " + answer);
    }
    if (!CheckColumns() || !CheckIndexes() || !CheckRecords()) return Fail(path_ + ": " + sqlite3_errmsg(db_));
    if (faults_ > ListedFaults) Out(path_ + ": " + std::to_string(faults_ - ListedFaults) + " more faults");
    if (faults_ > 0) return Faulty;
    Out(path_ + ": sound, " + std::to_string(records_) + " records");
    return Done;
  }

private:
  bool Exec(const char* sql) { return sqlite3_exec(db_, sql, nullptr, nullptr, nullptr) == SQLITE_OK; }
  bool Prepare(const std::string& sql) {
    sqlite3_finalize(stmt_);
    stmt_ = nullptr;
    return sqlite3_prepare_v2(db_, sql.c_str(), -1, &stmt_, nullptr) == SQLITE_OK;
  }
  // True while there is a row; a failure is kept for Failed().
  bool Step() {
    const int rc = sqlite3_step(stmt_);
    if (rc != SQLITE_ROW && rc != SQLITE_DONE) failed_ = true;
    return rc == SQLITE_ROW;
  }
  std::string Text(int column) {
    const auto* p = sqlite3_column_text(stmt_, column);
    return p ? std::string(reinterpret_cast<const char*>(p), size_t(sqlite3_column_bytes(stmt_, column))) : "";
  }
  std::string Blob(int column) {
    const void* p = sqlite3_column_blob(stmt_, column);
    return p ? std::string(static_cast<const char*>(p), size_t(sqlite3_column_bytes(stmt_, column))) : "";
  }
  void Fault(const std::string& what) {
    if (++faults_ <= ListedFaults) Out(path_ + ": " + what);
  }
  std::string KeyColumn(size_t k) const { return "k" + std::to_string(k); }

  // The record table holds the position, the record and one column per key.
  bool CheckColumns() {
    std::vector<std::string> expected = {"id", "record"};
    for (size_t k = 0; k < spec_.Keys.size(); ++k) expected.push_back(KeyColumn(k));
    std::vector<std::string> found;
    if (!Prepare("PRAGMA table_info(records)")) return false;
    while (Step()) found.push_back(Text(1));
    if (found != expected) Fault("the record table's columns do not match the file's key definitions");
    return !failed_;
  }

  // Each key has its index, unique unless the key allows duplicates.
  bool CheckIndexes() {
    for (size_t k = 0; k < spec_.Keys.size(); ++k) {
      if (!Prepare("SELECT \"unique\" FROM pragma_index_list('records') WHERE name = 'records_" + KeyColumn(k) + "'"))
        return false;
      if (!Step())
        Fault("key " + std::to_string(k) + " has no index");
      else if ((sqlite3_column_int(stmt_, 0) != 0) == spec_.Keys[k].Duplicates)
        Fault("key " + std::to_string(k) + "'s index does not match whether the key allows duplicates");
    }
    return !failed_;
  }

  // Every record has the record length and a position of 1 to 2^32 - 1, and
  // its stored keys are the keys of its bytes.
  bool CheckRecords() {
    std::string sql = "SELECT id, record";
    for (size_t k = 0; k < spec_.Keys.size(); ++k) sql += ", " + KeyColumn(k);
    if (!Prepare(sql + " FROM records ORDER BY id")) return false;
    while (Step()) {
      ++records_;
      const int64_t id = sqlite3_column_int64(stmt_, 0);
      const std::string at = "record at position " + std::to_string(id);
      const std::string record = Blob(1);
      if (id < 1 || id > int64_t(UINT32_MAX)) Fault(at + ": the position is out of range");
      if (sqlite3_column_type(stmt_, 1) != SQLITE_BLOB || record.size() != spec_.RecordLength) {
        Fault(at + ": " + std::to_string(record.size()) + " bytes, not the record length");
        continue;
      }
      const std::vector<std::string> keys = engine::EncodeKeys(spec_, record);
      for (size_t k = 0; k < keys.size(); ++k) {
        if (Blob(int(k) + 2) != keys[k]) Fault(at + ": key " + std::to_string(k) + " does not match the record");
      }
    }
    return !failed_;
  }

  std::string path_;
  const engine::FileSpec& spec_;
  sqlite3* db_ = nullptr;
  sqlite3_stmt* stmt_ = nullptr;
  bool failed_ = false;
  int faults_ = 0;
  uint32_t records_ = 0;
};

int Check(const std::string& path) {
  engine::FileSpec spec;
  {
    EngineFile file;
    uint32_t records = 0;
    if (int r = OpenWithSpec(path, file, spec, records)) return r;
    if (int16_t s = file.Close()) return FailStatus(path, s);
  }
  return Checker(path, spec).Run();
}

// What the command line asks for; Command empty when it makes no sense.
struct Request {
  std::string Command;
  std::vector<std::string> Files;
  int Key = 0;
  bool KeyGiven = false;
};

Request Parse(const std::vector<std::string>& args) {
  Request r;
  if (args.size() < 2) return r;
  const std::string& command = args[0];
  if (command == "check") {
    r.Files.assign(args.begin() + 1, args.end());
  } else if ((command == "stat" || command == "dump") && args.size() == 2) {
    r.Files = {args[1]};
  } else if (command == "dump" && args.size() == 4 && args[2] == "--key") {
    const std::string& n = args[3];
    if (n.empty() || n.size() > 3 || n.find_first_not_of("0123456789") != std::string::npos) return r;
    r.Files = {args[1]};
    r.Key = std::stoi(n);
    r.KeyGiven = true;
  } else {
    return r;
  }
  r.Command = command;
  return r;
}

int Run(const Request& r) {
  if (r.Command == "stat") return Stat(r.Files[0]);
  if (r.Command == "dump") return Dump(r.Files[0], r.Key, r.KeyGiven);
  int worst = Done;
  for (const std::string& file : r.Files) worst = std::max(worst, Check(file));
  return worst;
}

}  // namespace

int main(int argc, char** argv) {
  const Request request = Parse(std::vector<std::string>(argv + 1, argv + argc));
  if (request.Command.empty()) return Fail(Usage);
  const int16_t loaded = LoadBtrieveDll("", "wbtrv32.dll");
  if (loaded != engine::status::Success && loaded != engine::status::AlreadyInitialized)
    return Fail("the record manager cannot be loaded from the program folder (status " + std::to_string(loaded) + ")");
  int result = Failed;
  try {
    result = Run(request);
  } catch (const std::exception& e) {
    result = Fail(e.what());
  }
  UnloadBtrieveDll();
  return result;
}
