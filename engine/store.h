// The SQLite store behind one record-manager file.
//
// Each file is one SQLite database at the caller's path:
//   metadata(name TEXT PRIMARY KEY, value BLOB)
//     'format'  the marker text below
//     'spec'    the file's specification: the Stat answer with a zero record
//               count (engine/file_spec.h)
//   records(id INTEGER PRIMARY KEY AUTOINCREMENT, record BLOB, k0, k1, ...)
//     id        the physical position: never reused, never 0, below 2^32,
//               never renumbered (nothing here vacuums)
//     record    the record, exactly the record length
//     k<n>      the encoded value of key n (engine/key_codec.h), indexed as
//               records_k<n>, UNIQUE unless the key allows duplicates; an
//               index on a column holds the rowid too, so duplicates keep
//               insertion order
// The header carries our application id; a file without it, in WAL mode,
// shorter than its pages, or without our metadata is not ours (status 30),
// and is found out before SQLite reads or changes anything in it.
//
// Journal mode DELETE (a rollback journal) with synchronous FULL: it is the
// mode in which SQLite commits over several attached files atomically, and
// it needs no shared memory, which folders shared over the network lack.
//
// A DataFile is one file as seen through one connection under one schema
// name: the client's own connection to the file ("main"), or a
// transaction's connection that has the file attached (engine/transaction.h).
// Every statement names its schema, so the same code serves both.
//
// Every statement is reset as soon as its rows are read, so no read lock
// outlives a call: a statement left stepping would block every other
// client's commit. Statements are owned (Statement) and finalized on every
// path, so a failed open or read never leaves the connection unclosable.
//
// Every row read is checked against the file's specification before a byte
// of it is used (engine/row_check.h); a row that fails ends the read, and
// the call answers 2. Metadata that is not what WriteEmpty writes makes the
// file not one of ours (30). A call that meets another client's SQLite lock polls
// about every millisecond up to the configured bound (SetBusyWait), then
// answers 85: SQLite's own busy handler sleeps in growing steps and loses
// to a few busy writers.
#pragma once

#include "engine/file_spec.h"

#include <sys/stat.h>
#include <sys/types.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace engine {

// A SQLite failure, carrying the status the call answers: 85 for another
// client's lock outlasting the wait, 5 for a unique key, 2 for the rest.
struct StoreFailure {
  int16_t Status;
};

struct FinalizeStatement {
  void operator()(sqlite3_stmt* stmt) const;
};
using Statement = std::unique_ptr<sqlite3_stmt, FinalizeStatement>;

// The longest a call waits for another client's SQLite lock, in
// milliseconds.
inline constexpr int DefaultBusyWait = 300;
void SetBusyWait(int milliseconds);
int BusyWait();

struct Row {
  int64_t Id = 0;
  std::string Record;
  std::string Key;  // encoded value on the ordering it was read by
};

// The ordering by physical position; key numbers order by their key.
inline constexpr int Physical = -1;

// Moves whenever what a view shows may have changed: a commit to the file
// (the change counter of its header), a write through this view, or a
// switch to another view of the file (View is unique to each DataFile
// object).
struct ChangeStamp {
  uint64_t View = 0;
  int64_t ChangeCounter = -1;
  uint64_t LocalWrites = 0;
  bool operator==(const ChangeStamp&) const = default;
};

// The row sets Find reads, each in its own direction:
//   First, Last                 the whole ordering from its start or end
//   SameKeyAfter, SameKeyBefore rows of the key value past the position id
//   Greater, GreaterOrEqual     rows above the key value, upwards
//   Less, LessOrEqual           rows below the key value, downwards
enum class Seek { First, Last, SameKeyAfter, SameKeyBefore, Greater, GreaterOrEqual, Less, LessOrEqual };
inline constexpr int SeekKinds = 8;

// One SQLite connection, opened through the engine's VFS
// (engine/recovery.h) with the busy wait installed.
class Connection {
public:
  ~Connection();
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;

  // An existing database; SQLite's result code.
  static int Open(const std::string& path, std::shared_ptr<Connection>& out);
  sqlite3* Db() const { return db_; }
  void Execute(const std::string& sql);  // throws StoreFailure
  // The first column of the first row of sql, as an integer.
  int64_t Integer(const std::string& sql);
  // Attaches the database at path under schema; throws StoreFailure.
  void Attach(const std::string& path, const std::string& schema);
  void Detach(const std::string& schema);
  // Whether an explicit transaction is open on the connection.
  bool InTransaction() const;
  // Rolls back an open transaction; failures leave a journal that the next
  // reader of the file plays back.
  void Rollback();

private:
  Connection() = default;
  sqlite3* db_ = nullptr;
};

// What the path holds, checked before anything opens it: 0 for a regular
// file (st filled in), 12 nothing, 11 a folder, 30 anything else. A name
// that is no regular file is refused as every name in a data folder is
// (platform/folder_file.h): never followed or opened, and a warning names it.
int16_t StatDataPath(const std::string& path, struct stat& st);

// The name SQLite is given for a path: a relative name that began with
// "file:" would be read as a URI.
std::string SqliteName(const std::string& path);

class DataFile {
public:
  ~DataFile();
  DataFile(const DataFile&) = delete;
  DataFile& operator=(const DataFile&) = delete;

  // Builds an empty file of spec at path, which must be a new empty file
  // nobody else knows of (engine/whole_file.h puts it into place); false on
  // any SQLite failure.
  static bool WriteEmpty(const std::string& path, const FileSpec& spec);

  // Opens an existing file of ours on a connection of its own; 30 for one
  // that is not, 12 when missing.
  static int16_t Open(const std::string& path, std::shared_ptr<DataFile>& file);

  // The same file as attached under schema on another connection.
  static std::unique_ptr<DataFile> View(const DataFile& file, std::shared_ptr<Connection> connection,
                                        const std::string& schema);

  const FileSpec& Spec() const { return spec_; }
  dev_t Device() const { return device_; }
  ino_t Inode() const { return inode_; }
  Connection& Conn() const { return *connection_; }

  ChangeStamp Stamp();
  // Appends at most limit rows in seek's order on ordering (Physical or a
  // key number); key and id are the bounds the seek names. False when it
  // stopped at a damaged row, the rows before it appended.
  bool Find(int ordering, Seek seek, const std::string& key, int64_t id, int limit, std::vector<Row>& out);
  // False when there is no row of that id; a damaged one throws
  // StoreFailure with status 2.
  bool ReadById(int ordering, int64_t id, Row& row);
  // Counted once per change stamp outside a transaction (counting reads
  // every page of an index), every time inside one.
  uint32_t RecordCount();
  // The highest value of a single-segment integer key; false when empty,
  // StoreFailure with status 2 when its stored value is damaged.
  bool HighestKey(int keyNumber, int64_t& value);

  // Writes. The caller wraps a read-then-write in a WriteScope.
  int64_t Insert(const std::string& record, const std::vector<std::string>& keys);
  // False when the record is gone.
  bool Update(int64_t id, const std::string& record, const std::vector<std::string>& keys);
  bool Delete(int64_t id);

  // Writes the whole file as committed into fd, read under SQLite's read
  // lock so no commit can change it meanwhile: 0, 85 when another client's
  // commit outlasts the wait, 2 on a failure to read or write.
  // REQUIRES: a connection of its own outside any transaction.
  int16_t WriteSnapshot(int fd);

  // Takes SQLite's write lock on this file inside the connection's open
  // transaction, waiting like any call: a transaction that read the file
  // first would be refused the upgrade at once, without the wait.
  void ReserveForWrite();

  // One write transaction: begun immediately (so a read inside it is the
  // state the write replaces), rolled back unless committed. Inside a
  // transaction of the connection it does nothing: that one commits later.
  class WriteScope {
  public:
    explicit WriteScope(DataFile& file);
    ~WriteScope();
    void Commit();

  private:
    DataFile& file_;
    bool open_ = false;
  };

private:
  DataFile();
  int16_t Validate();
  // The statement of slot, its text from makeSql() built and prepared on
  // its first use only: building it costs more than many a call.
  template <class MakeSql>
  sqlite3_stmt* Prepare(size_t slot, const MakeSql& makeSql);
  sqlite3_stmt* FindStatement(int ordering, Seek seek);
  bool ReadRows(sqlite3_stmt* stmt, int ordering, int limit, std::vector<Row>& out);
  // The table name qualified by the schema.
  std::string Table(const char* name) const;

  std::shared_ptr<Connection> connection_;
  std::string schema_ = "main";
  FileSpec spec_;
  dev_t device_ = 0;
  ino_t inode_ = 0;
  uint64_t view_ = 0;
  uint64_t localWrites_ = 0;
  // The last record count and the stamp it was counted under; the default
  // stamp matches no view.
  ChangeStamp countStamp_;
  uint32_t count_ = 0;
  std::vector<Statement> statements_;
};

}  // namespace engine
