#include "engine/transaction.h"

#include "engine/engine.h"
#include "engine/status.h"

#include <sqlite3.h>
#include <sys/stat.h>

namespace engine {

Transaction::~Transaction() = default;

int16_t Transaction::Join(ClientFile& file, DataFile*& view) {
  if (file.Written) {
    view = file.Written;
    return status::Success;
  }
  // The open lock keeps a rename away, so this only fails when the path
  // changed hands before the file was opened.
  struct stat st;
  if (::stat(file.Path.c_str(), &st) != 0 || st.st_dev != file.Own->Device() || st.st_ino != file.Own->Inode())
    return status::IoError;
  std::unique_ptr<DataFile> joined;
  try {
    if (int16_t s = connection_ ? Attach(file, joined) : Start(file, joined)) return s;
  } catch (const StoreFailure& failure) {
    return failure.Status;
  }
  view = file.Written = joined.get();
  views_.push_back(std::move(joined));
  joined_.push_back(&file);
  return status::Success;
}

int16_t Transaction::Start(ClientFile& file, std::unique_ptr<DataFile>& view) {
  std::shared_ptr<Connection> connection;
  if (Connection::Open(file.Path, connection) != SQLITE_OK) return status::IoError;
  // Changes stay in memory until End: spilling them into the file would
  // take its exclusive lock and shut other clients' reads out for the rest
  // of the transaction. Begun IMMEDIATE, so the write lock is waited for
  // now rather than refused at once on a later upgrade.
  connection->Execute(
      "PRAGMA cache_spill = OFF; PRAGMA main.journal_mode = DELETE; PRAGMA main.synchronous = FULL;"
      "BEGIN IMMEDIATE");
  view = DataFile::View(*file.Own, connection, "main");
  connection_ = std::move(connection);
  return status::Success;
}

int16_t Transaction::Attach(ClientFile& file, std::unique_ptr<DataFile>& view) {
  if (int(views_.size()) > sqlite3_limit(connection_->Db(), SQLITE_LIMIT_ATTACHED, -1))
    return status::FileTableFull;
  const std::string schema = "t" + std::to_string(views_.size());
  connection_->Attach(file.Path, schema);
  view = DataFile::View(*file.Own, connection_, schema);
  try {
    // Inside a transaction SQLite keeps an attached file's synchronous
    // setting as built in (FULL in the system's build); a build with less
    // would weaken the commit, so it is refused.
    connection_->Execute("PRAGMA \"" + schema + "\".journal_mode = DELETE");
    if (connection_->Integer("PRAGMA \"" + schema + "\".synchronous") < 2) throw StoreFailure{status::IoError};
    view->ReserveForWrite();
  } catch (const StoreFailure&) {
    view.reset();
    connection_->Detach(schema);
    throw;
  }
  return status::Success;
}

void Transaction::Hold(ClientFile& file, uint32_t position) {
  if (kept_.contains({&file, position})) return;
  if (file.Acquire(position)) kept_.insert({&file, position});
}

int16_t Transaction::Commit() {
  if (!connection_) return status::Success;
  try {
    connection_->Execute("COMMIT");
  } catch (const StoreFailure& failure) {
    return failure.Status;
  }
  return status::Success;
}

void Transaction::Rollback() {
  if (connection_) connection_->Rollback();
}

bool Transaction::Open() const { return connection_ && connection_->InTransaction(); }

bool Transaction::Lost() const { return connection_ && !connection_->InTransaction(); }

}  // namespace engine
