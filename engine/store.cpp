#include "engine/store.h"

#include "engine/key_codec.h"
#include "engine/recovery.h"
#include "engine/row_check.h"
#include "engine/status.h"
#include "platform/folder_file.h"

#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <optional>
#include <thread>

namespace engine {
namespace {

std::atomic<int> busyWaitMs{DefaultBusyWait};
std::atomic<uint64_t> nextView{1};

constexpr size_t HeaderSize = 100;

std::string KeyColumn(int ordering) {
  return ordering == Physical ? std::string("X''") : "k" + std::to_string(ordering);
}

// The statement text of one seek on table; empty for a seek that cannot
// match on the physical ordering, where every row has the same (empty) key.
std::string FindSql(const std::string& table, int ordering, Seek seek) {
  const std::string k = KeyColumn(ordering);
  const bool physical = ordering == Physical;
  const std::string select = "SELECT id, record, " + k + " FROM " + table + " ";
  const std::string up = physical ? "ORDER BY id LIMIT ?3" : "ORDER BY " + k + ", id LIMIT ?3";
  const std::string down =
      physical ? "ORDER BY id DESC LIMIT ?3" : "ORDER BY " + k + " DESC, id DESC LIMIT ?3";
  const std::string same = physical ? "WHERE " : "WHERE " + k + " = ?1 AND ";
  switch (seek) {
    case Seek::First:
      return select + up;
    case Seek::Last:
      return select + down;
    case Seek::SameKeyAfter:
      return select + same + "id > ?2 ORDER BY id LIMIT ?3";
    case Seek::SameKeyBefore:
      return select + same + "id < ?2 ORDER BY id DESC LIMIT ?3";
    case Seek::Greater:
      return physical ? "" : select + "WHERE " + k + " > ?1 " + up;
    case Seek::GreaterOrEqual:
      return physical ? select + up : select + "WHERE " + k + " >= ?1 " + up;
    case Seek::Less:
      return physical ? "" : select + "WHERE " + k + " < ?1 " + down;
    case Seek::LessOrEqual:
      return physical ? select + down : select + "WHERE " + k + " <= ?1 " + down;
  }
  return "";
}

std::string SchemaSql(const FileSpec& spec) {
  std::string sql =
      "CREATE TABLE metadata(name TEXT PRIMARY KEY, value BLOB NOT NULL);"
      "CREATE TABLE records(id INTEGER PRIMARY KEY AUTOINCREMENT CHECK (id BETWEEN 1 AND 4294967295),"
      " record BLOB NOT NULL";
  for (size_t k = 0; k < spec.Keys.size(); ++k) sql += ", k" + std::to_string(k) + " BLOB NOT NULL";
  sql += ");";
  for (size_t k = 0; k < spec.Keys.size(); ++k) {
    const std::string n = std::to_string(k);
    sql += std::string("CREATE ") + (spec.Keys[k].Duplicates ? "" : "UNIQUE ") + "INDEX records_k" + n +
           " ON records(k" + n + ");";
  }
  return sql;
}

int16_t StatusOf(int rc) {
  switch (rc & 0xFF) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
      return status::FileLocked;
    case SQLITE_CONSTRAINT:
      return rc == SQLITE_CONSTRAINT_UNIQUE ? status::DuplicateKey : status::IoError;
    default:
      return status::IoError;
  }
}

[[noreturn]] void Fail(int rc) { throw StoreFailure{StatusOf(rc)}; }

// What an open answers when its first reads fail: 85 for another client's
// lock, 2 for an I/O failure (among them a crashed commit whose journals
// cannot be settled from here), else the file is not ours.
int16_t OpenFailure(int rc) {
  if ((rc & 0xFF) == SQLITE_IOERR) return status::IoError;
  return StatusOf(rc) == status::FileLocked ? status::FileLocked : status::NotRecordManagerFile;
}

// Resets a statement when the scope ends, ending its read transaction.
class ResetOnExit {
public:
  explicit ResetOnExit(sqlite3_stmt* stmt) : stmt_(stmt) {}
  ~ResetOnExit() { sqlite3_reset(stmt_); }
  ResetOnExit(const ResetOnExit&) = delete;
  ResetOnExit& operator=(const ResetOnExit&) = delete;

private:
  sqlite3_stmt* stmt_;
};

// A statement prepared for one use, finalized on every path: a statement
// left unfinalized keeps its read lock and makes the connection's close
// fail, which would hold the file locked for the life of the process.
Statement PrepareOnce(sqlite3* db, const std::string& sql, int& rc) {
  sqlite3_stmt* stmt = nullptr;
  rc = sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, nullptr);
  return Statement(stmt);
}

// An explicit read transaction, rolled back on every path.
class ReadTransaction {
public:
  explicit ReadTransaction(Connection& connection) : connection_(connection) { connection_.Execute("BEGIN"); }
  ~ReadTransaction() { connection_.Rollback(); }
  ReadTransaction(const ReadTransaction&) = delete;
  ReadTransaction& operator=(const ReadTransaction&) = delete;

private:
  Connection& connection_;
};

void BindBlob(sqlite3_stmt* stmt, int index, const std::string& bytes) {
  // A zero-length blob must still be a blob, not NULL.
  sqlite3_bind_blob(stmt, index, bytes.data() ? bytes.data() : "", int(bytes.size()), SQLITE_STATIC);
}

static_assert(SQLITE_INTEGER == StoredInteger && SQLITE_TEXT == StoredText && SQLITE_BLOB == StoredBlob);

// What a column holds, its storage class read before anything converts it;
// bytes points at a BLOB's contents (null for any other class or an empty
// BLOB). The column's value is read once and asked three times: the
// connections have no mutex (SQLITE_OPEN_NOMUTEX), so the value needs none,
// and a BLOB read as a BLOB is never converted, so nothing can fail in
// between. Every row read costs this, so it stays this small.
StoredColumn ReadColumn(sqlite3_stmt* stmt, int column, const char*& bytes) {
  sqlite3_value* value = sqlite3_column_value(stmt, column);
  StoredColumn stored{sqlite3_value_type(value), 0};
  bytes = nullptr;
  if (stored.Type == SQLITE_BLOB) {
    // The pointer first, then the size: the order SQLite gives for a value
    // that might otherwise be converted between the two calls.
    bytes = static_cast<const char*>(sqlite3_value_blob(value));
    stored.Bytes = bytes ? size_t(sqlite3_value_bytes(value)) : 0;
  }
  return stored;
}

std::string Bytes(const char* bytes, const StoredColumn& stored) {
  return bytes ? std::string(bytes, stored.Bytes) : std::string();
}

// A column's text (TEXT) or bytes (BLOB), its storage class read first;
// empty for any other class.
std::string TextOrBytes(sqlite3_stmt* stmt, int column, int& type) {
  type = sqlite3_column_type(stmt, column);
  if (type == SQLITE_TEXT) {
    const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(stmt, column));
    return p ? std::string(p, size_t(sqlite3_column_bytes(stmt, column))) : std::string();
  }
  const char* bytes = nullptr;
  const StoredColumn stored = ReadColumn(stmt, column, bytes);
  return Bytes(bytes, stored);
}

// Polls about every millisecond until the bound has passed since the wait
// began (count 0), then gives up and the call answers 85.
int PollWhileBusy(void*, int count) {
  using Clock = std::chrono::steady_clock;
  thread_local Clock::time_point began;
  const Clock::time_point now = Clock::now();
  if (count == 0) began = now;
  if (now - began >= std::chrono::milliseconds(busyWaitMs.load())) return 0;
  std::this_thread::sleep_for(std::chrono::milliseconds(1));
  return 1;
}

int OpenConnection(const std::string& path, int flags, sqlite3*& db) {
  db = nullptr;
  const int rc = sqlite3_open_v2(SqliteName(path).c_str(), &db,
                                 flags | SQLITE_OPEN_EXRESCODE | SQLITE_OPEN_NOMUTEX, RecoveryVfs());
  if (rc == SQLITE_OK) sqlite3_busy_handler(db, PollWhileBusy, nullptr);
  return rc;
}

// The first bytes of the file, read through the connection's own descriptor:
// opening and closing another descriptor of a database this process holds
// would drop SQLite's locks on it.
bool ReadHeader(sqlite3* db, uint8_t (&header)[HeaderSize], int64_t& fileSize) {
  sqlite3_file* file = nullptr;
  if (sqlite3_file_control(db, "main", SQLITE_FCNTL_FILE_POINTER, &file) != SQLITE_OK || !file || !file->pMethods)
    return false;
  sqlite3_int64 size = 0;
  if (file->pMethods->xFileSize(file, &size) != SQLITE_OK) return false;
  fileSize = size;
  return size >= sqlite3_int64(HeaderSize) && file->pMethods->xRead(file, header, HeaderSize, 0) == SQLITE_OK;
}

uint32_t BigEndian32(const uint8_t* p) {
  return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | p[3];
}

bool IsOurHeader(const uint8_t (&h)[HeaderSize]) {
  static const char magic[16] = "SQLite format 3";  // with its NUL
  const uint32_t appId = BigEndian32(h + 68);
  // Bytes 18 and 19 are 1 in rollback-journal mode, 2 in WAL.
  return std::memcmp(h, magic, sizeof magic) == 0 && h[18] == 1 && h[19] == 1 && appId == ApplicationId;
}

}  // namespace

void SetBusyWait(int milliseconds) { busyWaitMs = std::clamp(milliseconds, 0, 60000); }
int BusyWait() { return busyWaitMs; }

std::string SqliteName(const std::string& path) {
  // This SQLite reads names beginning with "file:" as URIs; a relative name
  // must not become one.
  return path.starts_with("/") ? path : "./" + path;
}

void FinalizeStatement::operator()(sqlite3_stmt* stmt) const { sqlite3_finalize(stmt); }

Connection::~Connection() {
  // Whatever statement is still prepared would make the close fail and keep
  // the descriptor, and any lock it holds, until the process ends.
  while (sqlite3_stmt* stmt = sqlite3_next_stmt(db_, nullptr)) sqlite3_finalize(stmt);
  sqlite3_close(db_);
}

int Connection::Open(const std::string& path, std::shared_ptr<Connection>& out) {
  std::shared_ptr<Connection> connection(new Connection);
  const int rc = OpenConnection(path, SQLITE_OPEN_READWRITE, connection->db_);
  if (rc == SQLITE_OK) out = std::move(connection);
  return rc;
}

void Connection::Execute(const std::string& sql) {
  const int rc = sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, nullptr);
  if (rc != SQLITE_OK) throw StoreFailure{StatusOf(rc)};
}

int64_t Connection::Integer(const std::string& sql) {
  int rc = SQLITE_OK;
  const Statement stmt = PrepareOnce(db_, sql, rc);
  if (rc != SQLITE_OK) Fail(rc);
  rc = sqlite3_step(stmt.get());
  if (rc != SQLITE_ROW) Fail(rc);
  if (sqlite3_column_type(stmt.get(), 0) != SQLITE_INTEGER) throw StoreFailure{status::IoError};
  return sqlite3_column_int64(stmt.get(), 0);
}

void Connection::Attach(const std::string& path, const std::string& schema) {
  int rc = SQLITE_OK;
  const Statement stmt = PrepareOnce(db_, "ATTACH ?1 AS \"" + schema + "\"", rc);
  if (rc != SQLITE_OK) Fail(rc);
  const std::string name = SqliteName(path);
  sqlite3_bind_text(stmt.get(), 1, name.c_str(), int(name.size()), SQLITE_TRANSIENT);
  rc = sqlite3_step(stmt.get());
  if (rc != SQLITE_DONE) Fail(rc);
}

void Connection::Detach(const std::string& schema) {
  sqlite3_exec(db_, ("DETACH \"" + schema + "\"").c_str(), nullptr, nullptr, nullptr);
}

bool Connection::InTransaction() const { return sqlite3_get_autocommit(db_) == 0; }

void Connection::Rollback() {
  if (InTransaction()) sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
}

DataFile::DataFile() : view_(nextView++) {}

DataFile::~DataFile() = default;

std::string DataFile::Table(const char* name) const { return "\"" + schema_ + "\"." + name; }

bool DataFile::WriteEmpty(const std::string& path, const FileSpec& spec) {
  sqlite3* db = nullptr;
  bool ok = OpenConnection(path, SQLITE_OPEN_READWRITE, db) == SQLITE_OK;
  const std::string setup = "PRAGMA application_id = " + std::to_string(ApplicationId) +
                            ";PRAGMA user_version = 1;PRAGMA page_size = 4096;"
                            "PRAGMA journal_mode = DELETE;PRAGMA synchronous = FULL;BEGIN;" +
                            SchemaSql(spec);
  ok = ok && sqlite3_exec(db, setup.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK;
  if (ok) {
    int rc = SQLITE_OK;
    const Statement stmt = PrepareOnce(db, "INSERT INTO metadata VALUES ('format', ?1), ('spec', ?2)", rc);
    ok = rc == SQLITE_OK;
    if (ok) {
      sqlite3_bind_text(stmt.get(), 1, FormatMarker, -1, SQLITE_STATIC);
      BindBlob(stmt.get(), 2, spec.Layout);
      ok = sqlite3_step(stmt.get()) == SQLITE_DONE;
    }
  }
  ok = ok && sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr) == SQLITE_OK;
  return sqlite3_close(db) == SQLITE_OK && ok;
}

int16_t StatDataPath(const std::string& path, struct stat& st) {
  if (StatFolderFile(path, st)) return status::Success;
  switch (errno) {
    case ENOENT:
    case ENOTDIR:
      return status::FileNotFound;
    case EISDIR:
      return status::InvalidFileName;
    case ELOOP:
    case EINVAL:
      return status::NotRecordManagerFile;
    default:
      return status::IoError;
  }
}

int16_t DataFile::Open(const std::string& path, std::shared_ptr<DataFile>& file) {
  struct stat st;
  if (int16_t s = StatDataPath(path, st)) return s;

  std::shared_ptr<DataFile> opened(new DataFile);
  opened->device_ = st.st_dev;
  opened->inode_ = st.st_ino;
  if (Connection::Open(path, opened->connection_) != SQLITE_OK) return status::IoError;
  if (int16_t s = opened->Validate()) return s;
  file = std::move(opened);
  return status::Success;
}

std::unique_ptr<DataFile> DataFile::View(const DataFile& file, std::shared_ptr<Connection> connection,
                                         const std::string& schema) {
  std::unique_ptr<DataFile> view(new DataFile);
  view->connection_ = std::move(connection);
  view->schema_ = schema;
  view->spec_ = file.spec_;
  view->device_ = file.device_;
  view->inode_ = file.inode_;
  view->statements_.resize(file.statements_.size());
  return view;
}

namespace {

// The metadata's layout, its rows passing the rules of engine/row_check.h;
// 30 when one does not.
int16_t ReadMetadata(sqlite3* db, std::string& layout) {
  int rc = SQLITE_OK;
  const Statement stmt = PrepareOnce(db, "SELECT name, value FROM main.metadata", rc);
  if (rc != SQLITE_OK) return OpenFailure(rc);
  MetadataRows rows;
  while ((rc = sqlite3_step(stmt.get())) == SQLITE_ROW) {
    int nameType = 0, valueType = 0;
    const std::string name = TextOrBytes(stmt.get(), 0, nameType);
    const std::string value = TextOrBytes(stmt.get(), 1, valueType);
    if (rows.Add(nameType, name, valueType, value) != MetadataFault::None) return status::NotRecordManagerFile;
  }
  if (rc != SQLITE_DONE) return OpenFailure(rc);
  if (rows.Complete() != MetadataFault::None) return status::NotRecordManagerFile;
  layout = rows.Layout();
  return status::Success;
}

}  // namespace

// Everything that makes a file ours, checked before SQLite may touch it
// (a foreign WAL file would otherwise get its companions created).
int16_t DataFile::Validate() {
  sqlite3* db = connection_->Db();
  uint8_t header[HeaderSize];
  int64_t fileSize = 0;
  if (!ReadHeader(db, header, fileSize) || !IsOurHeader(header)) return status::NotRecordManagerFile;

  // The first read rolls back a journal a crashed writer left behind.
  std::string layout;
  if (int16_t s = ReadMetadata(db, layout)) return s;
  const auto* bytes = reinterpret_cast<const uint8_t*>(layout.data());
  if (DecodeCreateBuffer(bytes, layout.size(), spec_) != status::Success || spec_.Layout != layout)
    return status::NotRecordManagerFile;

  // A file cut short still opens in SQLite; its page count gives it away.
  if (!ReadHeader(db, header, fileSize)) return status::NotRecordManagerFile;
  const uint32_t pageSize = header[16] == 0 && header[17] == 1 ? 65536u : (uint32_t(header[16]) << 8) | header[17];
  const uint32_t pages = BigEndian32(header + 28);
  // The page count is trustworthy while its change counter is current.
  if (BigEndian32(header + 92) == BigEndian32(header + 24) && int64_t(pageSize) * pages > fileSize)
    return status::NotRecordManagerFile;

  // Every statement a call may need, so a damaged schema shows now.
  const size_t keys = spec_.Keys.size();
  statements_.clear();
  statements_.resize((keys + 1) * SeekKinds + 2 * keys + 6);
  try {
    connection_->Execute("PRAGMA journal_mode = DELETE");
    connection_->Execute("PRAGMA synchronous = FULL");
    for (int ordering = Physical; ordering < int(keys); ++ordering) {
      for (int seek = 0; seek < SeekKinds; ++seek) FindStatement(ordering, Seek(seek));
      Row row;
      ReadById(ordering, 0, row);
    }
    Stamp();
  } catch (const StoreFailure& failure) {
    return failure.Status == status::FileLocked || failure.Status == status::IoError ? failure.Status
                                                                                    : status::NotRecordManagerFile;
  }
  return status::Success;
}

template <class MakeSql>
sqlite3_stmt* DataFile::Prepare(size_t slot, const MakeSql& makeSql) {
  Statement& stmt = statements_.at(slot);
  if (!stmt) {
    const std::string sql = makeSql();
    sqlite3_stmt* prepared = nullptr;
    const int rc =
        sqlite3_prepare_v3(connection_->Db(), sql.c_str(), -1, SQLITE_PREPARE_PERSISTENT, &prepared, nullptr);
    stmt.reset(prepared);
    if (rc != SQLITE_OK) Fail(rc);
  }
  return stmt.get();
}

// Statement slots: the seeks of every ordering, then one read by id per
// ordering, the highest value per key, and the single statements.
sqlite3_stmt* DataFile::FindStatement(int ordering, Seek seek) {
  const size_t slot = size_t(ordering + 1) * SeekKinds + size_t(seek);
  if (sqlite3_stmt* prepared = statements_.at(slot).get()) return prepared;
  const std::string sql = FindSql(Table("records"), ordering, seek);
  return sql.empty() ? nullptr : Prepare(slot, [&] { return sql; });
}

namespace {
size_t ReadSlot(size_t keys, int ordering) { return (keys + 1) * SeekKinds + size_t(ordering + 1); }
size_t HighestSlot(size_t keys, int key) { return (keys + 1) * SeekKinds + keys + 1 + size_t(key); }
size_t FixedSlot(size_t keys, int n) { return (keys + 1) * SeekKinds + 2 * keys + 1 + size_t(n); }
enum Fixed { InsertSql, UpdateSql, DeleteSql, CountSql };
}  // namespace

// Every row passes the rules of engine/row_check.h before a byte of it is
// copied; the first that does not ends the rows read.
bool DataFile::ReadRows(sqlite3_stmt* stmt, int ordering, int limit, std::vector<Row>& out) {
  ResetOnExit reset(stmt);
  const size_t keyLength = ordering == Physical ? 0 : spec_.Keys[size_t(ordering)].Length;
  int rc = SQLITE_DONE;
  while (limit-- > 0 && (rc = sqlite3_step(stmt)) == SQLITE_ROW) {
    // The id is the rowid itself, always an INTEGER; only its range can be
    // wrong.
    const int64_t id = sqlite3_column_int64(stmt, 0);
    const char* record = nullptr;
    const char* key = nullptr;
    const StoredColumn storedRecord = ReadColumn(stmt, 1, record);
    const StoredColumn storedKey = ReadColumn(stmt, 2, key);
    if (CheckPosition(StoredInteger, id) != RowFault::None || CheckRecord(spec_, storedRecord) != RowFault::None ||
        CheckKey(keyLength, storedKey) != RowFault::None)
      return false;
    out.push_back(Row{id, Bytes(record, storedRecord), Bytes(key, storedKey)});
  }
  if (limit >= 0 && rc != SQLITE_DONE) Fail(rc);
  return true;
}

// The file change counter of the header (bytes 24-27), which every commit
// to the file moves, whichever connection makes it. Read without a lock: a
// query would take and drop SQLite's read lock, several system calls on
// every step of a walk. A commit under way is seen either as not yet begun
// (the rows read before it are still what a read would give) or as made
// (the caller reads again, under the lock, and waits for it).
ChangeStamp DataFile::Stamp() {
  sqlite3_file* file = nullptr;
  int rc = sqlite3_file_control(connection_->Db(), schema_.c_str(), SQLITE_FCNTL_FILE_POINTER, &file);
  if (rc == SQLITE_OK && (!file || !file->pMethods)) rc = SQLITE_IOERR;
  uint8_t counter[4];
  if (rc == SQLITE_OK) rc = file->pMethods->xRead(file, counter, sizeof counter, 24);
  if (rc != SQLITE_OK) Fail(rc);
  return ChangeStamp{view_, int64_t(BigEndian32(counter)), localWrites_};
}

bool DataFile::Find(int ordering, Seek seek, const std::string& key, int64_t id, int limit, std::vector<Row>& out) {
  sqlite3_stmt* stmt = FindStatement(ordering, seek);
  if (!stmt || limit <= 0) return true;
  if (ordering != Physical) BindBlob(stmt, 1, key);
  sqlite3_bind_int64(stmt, 2, id);
  sqlite3_bind_int(stmt, 3, limit);
  return ReadRows(stmt, ordering, limit, out);
}

bool DataFile::ReadById(int ordering, int64_t id, Row& row) {
  sqlite3_stmt* stmt = Prepare(ReadSlot(spec_.Keys.size(), ordering), [&] {
    return "SELECT id, record, " + KeyColumn(ordering) + " FROM " + Table("records") + " WHERE id = ?1";
  });
  sqlite3_bind_int64(stmt, 1, id);
  std::vector<Row> rows;
  if (!ReadRows(stmt, ordering, 1, rows)) throw StoreFailure{status::IoError};
  if (rows.empty()) return false;
  row = std::move(rows.front());
  return true;
}

// Counting reads every page of an index, a cold cache's worth of reads
// after an open, so the count is kept for as long as the change stamp
// stays. The stamp it is kept under is read while the count's statement
// still holds its read lock, so it is the stamp of the state counted (a
// crashed commit's counter, seen without the lock, is played back first).
// Inside a transaction it is always counted: a rollback moves no stamp.
uint32_t DataFile::RecordCount() {
  const bool keep = !connection_->InTransaction();
  if (keep && countStamp_ == Stamp()) return count_;
  sqlite3_stmt* stmt =
      Prepare(FixedSlot(spec_.Keys.size(), CountSql), [&] { return "SELECT count(*) FROM " + Table("records"); });
  ResetOnExit reset(stmt);
  const int rc = sqlite3_step(stmt);
  if (rc != SQLITE_ROW) Fail(rc);
  const int64_t count = sqlite3_column_int64(stmt, 0);
  // Positions stay below 2^32, so a larger count is a damaged table.
  if (count < 0 || count > int64_t(UINT32_MAX)) throw StoreFailure{status::IoError};
  if (keep) {
    countStamp_ = Stamp();
    count_ = uint32_t(count);
  }
  return uint32_t(count);
}

bool DataFile::HighestKey(int keyNumber, int64_t& value) {
  const SegmentSpec& seg = spec_.Keys.at(size_t(keyNumber)).Segments.front();
  const std::string k = KeyColumn(keyNumber);
  const bool descending = seg.Flags & key_flag::Descending;
  sqlite3_stmt* stmt = Prepare(HighestSlot(spec_.Keys.size(), keyNumber), [&] {
    return "SELECT " + k + " FROM " + Table("records") + " ORDER BY " + k + (descending ? "" : " DESC") + " LIMIT 1";
  });
  ResetOnExit reset(stmt);
  const int rc = sqlite3_step(stmt);
  if (rc == SQLITE_DONE) return false;
  if (rc != SQLITE_ROW) Fail(rc);
  const char* bytes = nullptr;
  const StoredColumn stored = ReadColumn(stmt, 0, bytes);
  if (CheckKey(seg.Length, stored) != RowFault::None) throw StoreFailure{status::IoError};
  value = DecodeIntegerKey(seg, Bytes(bytes, stored));
  return true;
}

int64_t DataFile::Insert(const std::string& record, const std::vector<std::string>& keys) {
  ++localWrites_;
  sqlite3_stmt* stmt = Prepare(FixedSlot(spec_.Keys.size(), InsertSql), [&] {
    std::string sql = "INSERT INTO " + Table("records") + "(record";
    std::string values = ") VALUES (?1";
    for (size_t k = 0; k < keys.size(); ++k) {
      sql += ", k" + std::to_string(k);
      values += ", ?" + std::to_string(k + 2);
    }
    return sql + values + ")";
  });
  ResetOnExit reset(stmt);
  BindBlob(stmt, 1, record);
  for (size_t k = 0; k < keys.size(); ++k) BindBlob(stmt, int(k + 2), keys[k]);
  const int rc = sqlite3_step(stmt);
  if (rc != SQLITE_DONE) Fail(rc);
  return sqlite3_last_insert_rowid(connection_->Db());
}

bool DataFile::Update(int64_t id, const std::string& record, const std::vector<std::string>& keys) {
  ++localWrites_;
  sqlite3_stmt* stmt = Prepare(FixedSlot(spec_.Keys.size(), UpdateSql), [&] {
    std::string sql = "UPDATE " + Table("records") + " SET record = ?1";
    for (size_t k = 0; k < keys.size(); ++k) sql += ", k" + std::to_string(k) + " = ?" + std::to_string(k + 2);
    return sql + " WHERE id = ?" + std::to_string(keys.size() + 2);
  });
  ResetOnExit reset(stmt);
  BindBlob(stmt, 1, record);
  for (size_t k = 0; k < keys.size(); ++k) BindBlob(stmt, int(k + 2), keys[k]);
  sqlite3_bind_int64(stmt, int(keys.size() + 2), id);
  const int rc = sqlite3_step(stmt);
  if (rc != SQLITE_DONE) Fail(rc);
  return sqlite3_changes(connection_->Db()) > 0;
}

bool DataFile::Delete(int64_t id) {
  ++localWrites_;
  sqlite3_stmt* stmt =
      Prepare(FixedSlot(spec_.Keys.size(), DeleteSql), [&] { return "DELETE FROM " + Table("records") + " WHERE id = ?1"; });
  ResetOnExit reset(stmt);
  sqlite3_bind_int64(stmt, 1, id);
  const int rc = sqlite3_step(stmt);
  if (rc != SQLITE_DONE) Fail(rc);
  return sqlite3_changes(connection_->Db()) > 0;
}

int16_t DataFile::WriteSnapshot(int fd) {
  sqlite3_file* file = nullptr;
  sqlite3* db = connection_->Db();
  if (sqlite3_file_control(db, "main", SQLITE_FCNTL_FILE_POINTER, &file) != SQLITE_OK || !file || !file->pMethods)
    return status::IoError;
  // The read lock comes with the first read of the transaction and stays
  // until its end; writers need the file to themselves to change it.
  std::optional<ReadTransaction> read;
  try {
    read.emplace(*connection_);
    connection_->Integer("SELECT count(*) FROM main.metadata");
  } catch (const StoreFailure& failure) {
    return failure.Status;
  }
  int16_t result = status::Success;
  sqlite3_int64 size = 0;
  if (file->pMethods->xFileSize(file, &size) != SQLITE_OK) result = status::IoError;
  std::string buffer(1 << 16, '\0');
  for (sqlite3_int64 at = 0; result == status::Success && at < size;) {
    const int n = int(std::min<sqlite3_int64>(sqlite3_int64(buffer.size()), size - at));
    if (file->pMethods->xRead(file, buffer.data(), n, at) != SQLITE_OK) {
      result = status::IoError;
      break;
    }
    for (int done = 0; done < n;) {
      const ssize_t written = ::write(fd, buffer.data() + done, size_t(n - done));
      if (written < 0 && errno == EINTR) continue;
      if (written <= 0) {
        result = status::IoError;
        break;
      }
      done += int(written);
    }
    at += n;
  }
  return result;
}

void DataFile::ReserveForWrite() {
  ++localWrites_;
  // Any write statement takes the lock; this one changes nothing.
  connection_->Execute("DELETE FROM " + Table("records") + " WHERE 0");
}

DataFile::WriteScope::WriteScope(DataFile& file) : file_(file) {
  ++file_.localWrites_;
  if (file_.connection_->InTransaction()) return;
  file_.connection_->Execute("BEGIN IMMEDIATE");
  open_ = true;
}

DataFile::WriteScope::~WriteScope() {
  if (open_) sqlite3_exec(file_.connection_->Db(), "ROLLBACK", nullptr, nullptr, nullptr);
}

void DataFile::WriteScope::Commit() {
  if (!open_) return;
  file_.connection_->Execute("COMMIT");
  open_ = false;
}

}  // namespace engine
