// The engine's state: clients, the files they hold, the table of opens and
// the position each open keeps.
//
// A client is the caller BTRCALL speaks for (the process) or a 16-byte id
// given to BTRCALLID. Opens, locks and transactions belong to a client, and
// two clients of one process conflict exactly as two processes do. A client
// holds each file it uses once (ClientFile): one SQLite connection shared by
// its position blocks on the file, and one descriptor on the file's sidecar
// (engine/sidecar.h) carrying the client's open and record locks there.
//
// Open modes: 0 normal, -2 read-only (its writes answer 46), -4 exclusive.
// The sidecar's open byte is shared while the client has the file open in
// any block or its transaction writes it, exclusive while any block has it
// open exclusively; another client's conflicting hold answers 85 at Open.
// A client never conflicts with itself.
//
// Record locks (a Get, Step or Get Direct plus 200): one per position block,
// counted per client and record, so several blocks may hold one record.
// The sidecar byte of a record is locked while the count is above zero.
// A write outside a transaction holds the byte shared while it runs, so no
// locked read can return a record about to change; two plain writers of one
// record pass and SQLite orders them.
//
// Transactions (engine/transaction.h) belong to the client and cover every
// file it writes between Begin and End, opened before or after Begin. The
// journal mode is SQLite's rollback journal (DELETE) with synchronous FULL on
// every file: only in its rollback-journal modes does SQLite commit one
// transaction over several attached databases atomically (in WAL each file
// commits on its own), and WAL's shared memory does not work over the
// network folders the data lives in. The transaction has a connection of
// its own: its main database is the first file written (a real file in the
// data folder, so the super-journal SQLite writes beside it at a multi-file
// commit is kept; a main database in memory or in a temporary file would
// silently drop the atomicity), and each further file written is attached
// at its first write (at most SQLite's attach limit of 10 more: past it the
// write answers 86). Files only read stay on the client's own connections.
// Once written, a file's reads and writes in the transaction go through
// that connection, so the client reads its own writes while other clients,
// reading the files themselves, see nothing before End. The write lock on a
// file is taken at its first write, waiting like any call (BEGIN IMMEDIATE,
// or a no-op write for an attached file): a transaction that read first
// would be refused the later upgrade at once. Changes stay in the
// connection's cache until End (cache_spill off), so other clients' reads
// are shut out only while End writes; the cost is memory (about 72 MB for
// 100,000 records of 512 bytes with three keys). A kill at any point
// leaves journals that the next reader of each file settles the same way,
// by whether the super-journal is still there (engine/recovery.h): before
// it is deleted nothing of the transaction remains, after it all of it does.
//
// Whole files (engine/whole_file.h): Create, the in-use probe, copy,
// rename and delete take the same open byte for as long as they run, rename
// and delete exclusively, so they never act on a file a client has open.
//
// Waiting: a call that meets another client's SQLite lock polls for it up
// to a bound (300 ms, "busy=N" in the init text) and then answers 85 with
// nothing changed; it never hangs. Reads meet it only while another client
// commits (its End, or a single write); writes also while another client's
// transaction has written the same file, until that End; End while another
// client is in the middle of a read. Record locks are never waited for.
//
// Position block (the caller's 128 bytes; only the first 16 are ours, the
// rest is left as the caller had it):
//   0-7    serial of the open, never reused in the process
//   8-11   index in the table of opens
//   12-15  check word mixed from both and a per-process salt
// A block that was never opened, is closed, or holds anything else fails the
// check and the call answers 3.
#pragma once

#include "engine/sidecar.h"
#include "engine/status.h"
#include "engine/store.h"

#include <array>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace engine {

// Where an open stands. Placed: a key value and physical position that
// Next/Previous and the steps continue from; it outlives a deleted record,
// so the walk goes on past it. OnRecord: that record is the current one
// (Update, Delete, Get Position need it).
struct Position {
  int Ordering = Physical;  // a key number, or Physical after a step
  bool Placed = false;
  bool OnRecord = false;
  int64_t Id = 0;
  std::string Key;     // encoded value on Ordering
  std::string Record;  // the record as this block last read or wrote it

  // Rows read ahead beyond the position in Direction (+1 next, -1
  // previous), good only while the file's change stamp is still Stamp.
  std::deque<Row> Ahead;
  int Direction = 0;
  int Batch = 0;
  ChangeStamp Stamp;

  void MoveTo(int ordering, Row&& row) {
    Ordering = ordering;
    Placed = OnRecord = true;
    Id = row.Id;
    Key = std::move(row.Key);
    Record = std::move(row.Record);
  }
  void DropAhead() {
    Ahead.clear();
    Direction = 0;
    Batch = 0;
  }
};

class Client;
class Transaction;

// One file as one client holds it.
struct ClientFile {
  std::string Path;
  std::unique_ptr<Sidecar> Locks;
  std::shared_ptr<DataFile> Own;  // the client's own connection to it
  int Opens = 0;                  // position blocks that have it open
  int ExclusiveOpens = 0;
  std::map<uint32_t, int> Held;   // record locks: holders per position
  DataFile* Written = nullptr;    // its view in the client's transaction, once written there

  // Reads and writes go to the transaction's view once it wrote the file.
  DataFile& Store() { return Written ? *Written : *Own; }
  // Counts one more holder of a record lock; false (nothing counted) when
  // another client holds the record.
  bool Acquire(uint32_t position);
  void Release(uint32_t position);
  // Marks a record as being written outside a transaction until EndWrite:
  // other writers may do the same (SQLite orders their writes, and the
  // later one finds the record changed), record locks may not. False when
  // another client holds the record locked.
  bool ShareForWrite(uint32_t position);
  void EndWrite(uint32_t position);
  // Sets the open byte to what the opens and the transaction need; false
  // when another client's hold refuses it.
  bool SyncOpenLock();
  bool InUse() const { return Opens > 0 || Written; }
};

struct OpenFile {
  uint64_t Serial = 0;
  Client* Owner = nullptr;
  ClientFile* File = nullptr;
  int8_t Mode = 0;
  Position Pos;
  uint32_t Locked = 0;  // the record this block holds locked, 0 for none

  DataFile& Store() { return File->Store(); }
};

class Client {
public:
  Client();
  ~Client();

  // Takes the file at path for one more open in mode: 85 when another
  // client's hold refuses the mode; else the status of opening the file.
  int16_t OpenFile(const std::string& path, int8_t mode, ClientFile*& file);
  // Gives back one open of the file in mode.
  void CloseFile(ClientFile& file, int8_t mode);

  // Where a write to the file goes: inside a transaction its view there
  // (joined at the first write; 85 or 86 when it cannot be), else the
  // file's own connection.
  int16_t WriteStore(ClientFile& file, DataFile*& store);
  // After a write of the record through WriteStore: a transaction keeps
  // the record locked until it ends.
  void KeepWritten(ClientFile& file, uint32_t position);

  bool InTransaction() const { return tx_ != nullptr; }
  int16_t Begin();  // 37 inside a transaction
  int16_t End();    // 39 outside one; 85 (still open) when a lock outlasts the wait
  int16_t Abort();  // 39 outside one

  std::vector<uint32_t> Opens;  // handles in the table of opens

private:
  void Forget(ClientFile& file);
  void FinishTransaction();

  std::map<std::pair<dev_t, ino_t>, std::unique_ptr<ClientFile>> files_;
  std::unique_ptr<Transaction> tx_;
};

class OpenTable {
public:
  OpenTable();
  // The open a position block refers to, when it is valid and owned by client.
  OpenFile* Find(const uint8_t* posBlock, const Client* client);
  // Enters an open and writes its reference into the position block.
  uint32_t Add(std::unique_ptr<OpenFile> open, uint8_t* posBlock);
  OpenFile* At(uint32_t handle);
  // Forgets an open; its blocks fail the check from now on.
  void Remove(uint32_t handle);

private:
  uint32_t CheckWord(uint64_t serial, uint32_t handle) const;

  std::vector<std::unique_ptr<OpenFile>> slots_;
  std::vector<uint32_t> free_;
  uint64_t nextSerial_ = 1;
  uint64_t salt_ = 0;
};

class Engine {
public:
  // Registers the engine's VFS first, so that it outlives the engine's
  // connections at the end of the process.
  Engine();

  bool Started = false;
  OpenTable Opens;

  // The client of a call: the process's own, or the one of a 16-byte id.
  Client& ClientFor(const uint8_t* clientId);
  // Aborts a client's transaction, closes its opens and forgets it.
  void StopClient(Client& client);
  void StopAll();
  // Closes an open: its record lock and its hold on the file go.
  void Close(uint32_t handle);

private:
  std::map<std::array<uint8_t, ClientIdSize + 1>, std::unique_ptr<Client>> clients_;
};

}  // namespace engine
