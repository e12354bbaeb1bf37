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
//                                file's specification, each fault named by
//                                the record's position and the rule it
//                                breaks
//   mdbtr --help | -h            the usage, on standard output
//
// Records print as text: Windows-1252 characters as UTF-8, "\" doubled, and
// every other byte (control bytes, the five bytes Windows-1252 leaves
// unassigned) as \xNN.
//
// The files are read through the record manager, loaded from the program
// folder like everywhere else and opened read-only, so the tool takes its
// turn with the workstations using them. Only check reads a file with SQLite
// itself, read-only, through the record manager's own VFS (engine/recovery.h:
// planted journals, links, FIFOs refused as the record manager refuses
// them), and only once the record manager has opened and closed it again,
// so no connection of this process has it open meanwhile. Nothing here
// writes to a file, damaged or not: a name that is no regular file is
// refused before anything opens it, and a file whose journal an interrupted
// write left to be played back is not looked at (the record manager's open
// would play it back); a lock file the record manager made for the look is
// removed again once nobody holds it, so a look leaves no trace.
//
// Exit status: 0 done (for check: every file sound), 1 check found a fault,
// 2 bad arguments or a file that cannot be read; each failure is one line on
// standard error.
#include "btrieve/binding.h"
#include "btrieve/status_text.h"
#include "engine/file_spec.h"
#include "engine/key_codec.h"
#include "engine/recovery.h"
#include "engine/row_check.h"
#include "engine/sidecar.h"
#include "engine/status.h"
#include "platform/codepage.h"
#include "platform/folder_file.h"

#include <sqlite3.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
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
constexpr const char* Help =
    "  stat FILE            the file's specification, its keys, the record count\n"
    "  dump FILE [--key N]  every record in the order of key N (0 unless given), one line each:\n"
    "                       its position, then its bytes as text\n"
    "  check FILE...        each file checked against its specification; every fault named\n"
    "Exit status: 0 done (check: every file sound), 1 check found a fault, 2 bad arguments or\n"
    "a file that cannot be read.";

// "1 record", "2 records".
std::string Count(uint32_t n, const std::string& noun) {
  return std::to_string(n) + " " + noun + (n == 1 ? "" : "s");
}

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

// The file specification of an open file; a status line on failure.
int ReadSpec(const std::string& path, EngineFile& file, engine::FileSpec& spec, uint32_t& records) {
  std::string answer;
  if (int16_t s = file.Stat(answer)) return FailStatus(path, s);
  const auto* bytes = reinterpret_cast<const uint8_t*>(answer.data());
  if (answer.size() < engine::SpecHeaderSize || engine::DecodeCreateBuffer(bytes, answer.size(), spec) != 0)
    return FailStatus(path, engine::status::NotRecordManagerFile);
  records = engine::DecodeFixed32(bytes + 6);
  return Done;
}

// Opens the file and reads its specification; a status line on failure.
int OpenWithSpec(const std::string& path, EngineFile& file, engine::FileSpec& spec, uint32_t& records) {
  if (int16_t s = file.Open(path)) return FailStatus(path, s);
  return ReadSpec(path, file, spec, records);
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

// A read-only SQLite connection to the file through the record manager's
// VFS; SQLite's result code (db is the caller's to close either way).
int OpenLook(const std::string& path, sqlite3*& db) {
  return sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, engine::RecoveryVfs());
}

// The journal beside the file when an interrupted write left it to be
// played back, "" otherwise. A read-only connection never plays one back:
// SQLite refuses to read instead (SQLITE_READONLY_ROLLBACK), where the
// record manager's open would play it back. A journal being written by a
// workstation's transaction under way is no such journal.
std::string JournalToPlayBack(const std::string& path) {
  const std::string journal = path + "-journal";
  struct stat st;
  if (::lstat(journal.c_str(), &st) != 0) return "";
  sqlite3* db = nullptr;
  int rc = OpenLook(path, db);
  if (rc == SQLITE_OK) {
    sqlite3_extended_result_codes(db, 1);
    sqlite3_busy_timeout(db, 5000);
    rc = sqlite3_exec(db, "SELECT count(*) FROM sqlite_schema", nullptr, nullptr, nullptr);
  }
  sqlite3_close(db);
  return rc == SQLITE_READONLY_ROLLBACK ? journal : "";
}

// The faults of one file as SQLite sees it, read in one read transaction.
class Checker {
public:
  Checker(const std::string& path, const engine::FileSpec& spec) : path_(path), spec_(spec) {}
  ~Checker() {
    sqlite3_finalize(stmt_);
    sqlite3_close(db_);
  }

  // For a file the record manager refused: when it carries our mark, each
  // metadata row breaking the rules of engine/row_check.h named, Faulty;
  // Done when nothing is named (the refusal has another cause).
  int NameMetadataFaults() {
    if (!OpenReadOnly()) return Done;
    sqlite3_busy_timeout(db_, 5000);
    if (!Prepare("PRAGMA application_id") || !Step() || uint32_t(sqlite3_column_int64(stmt_, 0)) != engine::ApplicationId)
      return Done;
    if (!Prepare("SELECT rowid, name, value FROM metadata")) return Done;
    engine::MetadataRows rows;
    while (Step()) {
      int nameType = 0, valueType = 0;
      const std::string name = TextOrBytes(1, nameType), value = TextOrBytes(2, valueType);
      if (const engine::MetadataFault fault = rows.Add(nameType, name, valueType, value);
          fault != engine::MetadataFault::None)
        Fault("metadata row " + std::to_string(sqlite3_column_int64(stmt_, 0)) + ": " + engine::MetadataFaultText(fault));
    }
    if (failed_) return Done;
    if (const engine::MetadataFault fault = rows.Complete(); fault != engine::MetadataFault::None) {
      Fault("metadata: " + engine::MetadataFaultText(fault));
    } else if (faults_ == 0) {
      engine::FileSpec spec;
      const std::string& layout = rows.Layout();
      const int16_t s = engine::DecodeCreateBuffer(reinterpret_cast<const uint8_t*>(layout.data()), layout.size(), spec);
      if (s != engine::status::Success)
        Fault("metadata: the file specification does not decode (status " + std::to_string(s) + ")");
      else if (spec.Layout != layout)
        Fault("metadata: the file specification is not in the form the record manager writes");
    }
    return faults_ > 0 ? Faulty : Done;
  }

  // Done, Faulty, or Failed when the file cannot be read.
  int Run() {
    if (!OpenReadOnly()) return Fail(path_ + ": " + sqlite3_errmsg(db_));
    if (!Exec("BEGIN") || !Prepare("PRAGMA integrity_check")) return Fail(path_ + ": " + sqlite3_errmsg(db_));
    while (Step()) {
      const std::string answer = Text(0);
      if (answer != "ok") Fault("integrity: " + answer);
    }
    if (!CheckColumns() || !CheckIndexes() || !CheckRecords()) return Fail(path_ + ": " + sqlite3_errmsg(db_));
    if (faults_ > ListedFaults) Out(path_ + ": " + std::to_string(faults_ - ListedFaults) + " more faults");
    if (faults_ > 0) return Faulty;
    Out(path_ + ": sound, " + Count(records_, "record"));
    return Done;
  }

private:
  bool OpenReadOnly() {
    if (OpenLook(path_, db_) != SQLITE_OK) return false;
    sqlite3_busy_timeout(db_, 5000);
    return true;
  }
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
  // A TEXT's text or a BLOB's bytes, the storage class read first.
  std::string TextOrBytes(int column, int& type) {
    type = sqlite3_column_type(stmt_, column);
    return type == SQLITE_TEXT ? Text(column) : type == SQLITE_BLOB ? Blob(column) : "";
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

  // What a column holds, its storage class read before anything converts it.
  engine::StoredColumn Column(int column) {
    engine::StoredColumn stored{sqlite3_column_type(stmt_, column), 0};
    if (stored.Type == SQLITE_BLOB) stored.Bytes = Blob(column).size();
    return stored;
  }
  static std::string StorageClass(int type) {
    switch (type) {
      case SQLITE_INTEGER: return "a number";
      case SQLITE_FLOAT: return "a floating-point number";
      case SQLITE_TEXT: return "text";
      case SQLITE_NULL: return "NULL";
    }
    return "bytes";
  }

  // Every row passes the record manager's own rules for a stored row
  // (engine/row_check.h), and its stored keys are the keys of its bytes.
  bool CheckRecords() {
    std::string sql = "SELECT rowid, id, record";
    for (size_t k = 0; k < spec_.Keys.size(); ++k) sql += ", " + KeyColumn(k);
    if (!Prepare(sql + " FROM records ORDER BY rowid")) return false;
    while (Step()) {
      ++records_;
      const std::string at = "record at position " + std::to_string(sqlite3_column_int64(stmt_, 0));
      if (engine::CheckPosition(sqlite3_column_type(stmt_, 1), sqlite3_column_int64(stmt_, 1)) !=
          engine::RowFault::None)
        Fault(at + ": " + engine::RowFaultText(engine::RowFault::Position));
      const engine::StoredColumn record = Column(2);
      if (const engine::RowFault fault = engine::CheckRecord(spec_, record); fault != engine::RowFault::None) {
        Fault(at + ": " + engine::RowFaultText(fault) + " (" + Found(record) + ", " +
              std::to_string(spec_.RecordLength) + " bytes expected)");
        continue;
      }
      const std::vector<std::string> keys = engine::EncodeKeys(spec_, Blob(2));
      for (size_t k = 0; k < keys.size(); ++k) {
        const engine::StoredColumn key = Column(int(k) + 3);
        if (const engine::RowFault fault = engine::CheckKey(keys[k].size(), key); fault != engine::RowFault::None)
          Fault(at + ": " + engine::RowFaultText(fault, k) + " (" + Found(key) + ", " + std::to_string(keys[k].size()) +
                " bytes expected)");
        else if (Blob(int(k) + 3) != keys[k])
          Fault(at + ": key " + std::to_string(k) + " does not match the record");
      }
    }
    return !failed_;
  }
  static std::string Found(const engine::StoredColumn& column) {
    return column.Type == SQLITE_BLOB ? Count(uint32_t(column.Bytes), "byte") : StorageClass(column.Type);
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
    if (int16_t s = file.Open(path)) {
      if (s == engine::status::NotRecordManagerFile && Checker(path, spec).NameMetadataFaults() == Faulty) return Faulty;
      return FailStatus(path, s);
    }
    if (int r = ReadSpec(path, file, spec, records)) return r;
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

// A lock file the look made, removed once nobody holds the file; one that
// was there before, or that a workstation holds meanwhile, stays.
class LookWithoutTrace {
public:
  explicit LookWithoutTrace(const std::string& path)
      : path_(path), hadLockFile_(Exists(engine::Sidecar::PathFor(path))) {}
  ~LookWithoutTrace() {
    if (hadLockFile_ || !Exists(engine::Sidecar::PathFor(path_))) return;
    std::unique_ptr<engine::Sidecar> lock;
    if (engine::Sidecar::Claim(path_, engine::Sidecar::Hold::Exclusive, lock) == engine::status::Success) lock->Remove();
  }
  LookWithoutTrace(const LookWithoutTrace&) = delete;
  LookWithoutTrace& operator=(const LookWithoutTrace&) = delete;

private:
  static bool Exists(const std::string& path) {
    struct stat st;
    return ::lstat(path.c_str(), &st) == 0;
  }
  std::string path_;
  bool hadLockFile_;
};

// One command on one file. A name that is no regular file is refused as the
// record manager refuses one, before anything opens it (a FIFO would block
// the open): the warning names it.
int RunOn(const Request& r, const std::string& file) {
  struct stat st;
  if (::lstat(file.c_str(), &st) == 0 && S_ISDIR(st.st_mode))
    return Fail(file + ": is a folder, not a record manager file");
  if (!StatFolderFile(file, st) && errno != ENOENT && errno != ENOTDIR) return Failed;
  if (const std::string journal = JournalToPlayBack(file); !journal.empty())
    return Fail(file + ": " + journal +
                " holds an interrupted write the record manager plays back when it next opens the file; "
                "nothing read");
  LookWithoutTrace look(file);
  if (r.Command == "stat") return Stat(file);
  if (r.Command == "dump") return Dump(file, r.Key, r.KeyGiven);
  return Check(file);
}

int Run(const Request& r) {
  int worst = Done;
  for (const std::string& file : r.Files) worst = std::max(worst, RunOn(r, file));
  return worst;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
    Out(std::string(Usage) + "\n" + Help);
    return Done;
  }
  const Request request = Parse(args);
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
