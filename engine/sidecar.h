// The lock file beside a record-manager file, "<file>.lck", reached through
// one descriptor per client and file. It carries Linux open-file-description
// locks (F_OFD_SETLK), never waited for:
//   byte 0      the "open" byte: shared while the client has the file open
//               (or its transaction writes it), exclusive for an exclusive
//               open
//   byte n      the record at physical position n (1 to 2^32-1): exclusive
//               while locked, shared while written outside a transaction
// The locks belong to the descriptor, not the process, so two clients of one
// process conflict exactly as two processes do, and they vanish with the
// descriptor, so a killed process leaves nothing locked. SQLite's database
// file itself is never locked here: closing a second descriptor of it would
// drop the process's POSIX locks that SQLite relies on.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace engine {

class Sidecar {
public:
  enum class Hold { None, Shared, Exclusive };

  ~Sidecar();  // closing the descriptor drops every lock taken through it
  Sidecar(const Sidecar&) = delete;
  Sidecar& operator=(const Sidecar&) = delete;

  // Opens (creating when missing) the lock file of the file at dataPath;
  // 2 when it can be neither opened nor created.
  static int16_t Open(const std::string& dataPath, std::unique_ptr<Sidecar>& out);
  static std::string PathFor(const std::string& dataPath) { return dataPath + ".lck"; }

  // Whether this descriptor created the file (so a refused open may remove it).
  bool Created() const { return created_; }

  // Sets the open byte to hold; false, changing nothing, when another
  // descriptor's lock conflicts. Lowering a hold never fails.
  bool HoldOpen(Hold hold);
  // Locks one record, exclusively or shared; false when another
  // descriptor's lock conflicts. Either replaces this descriptor's own lock
  // on the record.
  bool LockRecord(uint32_t position);
  bool ShareRecord(uint32_t position);
  void UnlockRecord(uint32_t position);

private:
  Sidecar() = default;
  bool Set(short type, int64_t offset);

  int fd_ = -1;
  bool created_ = false;
};

}  // namespace engine
