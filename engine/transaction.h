// One client's transaction (Begin 19 or 1019, End 20, Abort 21): one SQLite
// transaction on a connection of its own. The first file the transaction
// writes is that connection's main database; each further one is attached
// ("t1", "t2", ...) at its first write. See engine/engine.h for why.
#pragma once

#include "engine/store.h"

#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace engine {

struct ClientFile;

class Transaction {
public:
  ~Transaction();

  // The view writes and reads of file go to inside the transaction, joining
  // the file at its first write: 85 when another client's write lock on it
  // outlasts the wait, 86 when the connection can attach no more files, 2
  // when the path no longer names the file the client holds. A refused join
  // leaves the transaction as it was.
  int16_t Join(ClientFile& file, DataFile*& view);
  // Keeps a record locked to other clients until the transaction ends.
  void Hold(ClientFile& file, uint32_t position);

  // Commits: 0, or 85 with the transaction still open (another client's read
  // outlasted the wait), or 2 when SQLite had to roll it back.
  int16_t Commit();
  void Rollback();
  // Whether SQLite's transaction is open; Lost once SQLite rolled it back
  // by itself after a failure (a write now would commit on its own).
  bool Open() const;
  bool Lost() const;

  // The files joined and the record locks kept, for the client to give back
  // once the transaction is over.
  const std::vector<ClientFile*>& Joined() const { return joined_; }
  const std::set<std::pair<ClientFile*, uint32_t>>& Kept() const { return kept_; }

private:
  int16_t Start(ClientFile& file, std::unique_ptr<DataFile>& view);
  int16_t Attach(ClientFile& file, std::unique_ptr<DataFile>& view);

  std::shared_ptr<Connection> connection_;
  std::vector<std::unique_ptr<DataFile>> views_;
  std::vector<ClientFile*> joined_;
  std::set<std::pair<ClientFile*, uint32_t>> kept_;
};

}  // namespace engine
