// The engine's state: clients, the table of opens and the position each
// open keeps.
//
// A client is the caller BTRCALL speaks for (the process) or a 16-byte id
// given to BTRCALLID. It owns its opens and one SQLite connection per file
// it has open, shared by its position blocks on that file.
//
// Position block (the caller's 128 bytes; only the first 16 are ours, the
// rest is left as the caller had it):
//   0-7    serial of the open, never reused in the process
//   8-11   index in the table of opens
//   12-15  check word mixed from both and a per-process salt
// A block that was never opened, is closed, or holds anything else fails the
// check and the call answers 3.
#pragma once

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
  std::string Key;  // encoded value on Ordering

  // Rows read ahead beyond the position in Direction (+1 next, -1
  // previous), good only while the file's change stamp is still Stamp.
  std::deque<Row> Ahead;
  int Direction = 0;
  int Batch = 0;
  ChangeStamp Stamp;

  void MoveTo(int ordering, const Row& row) {
    Ordering = ordering;
    Placed = OnRecord = true;
    Id = row.Id;
    Key = row.Key;
  }
  void DropAhead() {
    Ahead.clear();
    Direction = 0;
    Batch = 0;
  }
};

class Client;

struct OpenFile {
  uint64_t Serial = 0;
  Client* Owner = nullptr;
  std::shared_ptr<DataFile> File;
  int8_t Mode = 0;
  Position Pos;
};

class Client {
public:
  // The connection this client has to the file at path, opened when it has
  // none yet.
  int16_t Attach(const std::string& path, std::shared_ptr<DataFile>& file);

  std::vector<uint32_t> Opens;  // handles in the table of opens

private:
  std::map<std::pair<dev_t, ino_t>, std::weak_ptr<DataFile>> files_;
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
  // Whether any open has the file (by identity).
  bool AnyOpen(dev_t device, ino_t inode) const;

private:
  uint32_t CheckWord(uint64_t serial, uint32_t handle) const;

  std::vector<std::unique_ptr<OpenFile>> slots_;
  std::vector<uint32_t> free_;
  uint64_t nextSerial_ = 1;
  uint64_t salt_ = 0;
};

class Engine {
public:
  bool Started = false;
  OpenTable Opens;

  // The client of a call: the process's own, or the one of a 16-byte id.
  Client& ClientFor(const uint8_t* clientId);
  // Closes every open of a client and forgets it.
  void StopClient(Client& client);
  void StopAll();
  void Close(uint32_t handle);

private:
  std::map<std::array<uint8_t, ClientIdSize + 1>, std::unique_ptr<Client>> clients_;
};

}  // namespace engine
