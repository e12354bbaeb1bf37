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
//
// Whole-file operations remove a lock file, always while holding its open
// byte exclusively. Whoever opened it just before and locks it just after
// would hold a lock nobody else sees, so every claim checks, once its lock
// is held, that the name still leads to the descriptor's file, and starts
// again when it does not.
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

  // Opens (creating when missing) the lock file of the file at dataPath and
  // takes hold on its open byte: 85 when another descriptor's lock refuses
  // it, 2 when the lock file can be neither opened nor created. A shared
  // hold makes do with a lock file it may only read. With mayGoWithout, a
  // shared claim where no lock file exists and none can be made (a folder
  // this user may not write) answers 0 and leaves out empty: nobody can
  // have the file open then.
  static int16_t Claim(const std::string& dataPath, Hold hold, std::unique_ptr<Sidecar>& out,
                       bool mayGoWithout = false);
  static std::string PathFor(const std::string& dataPath) { return dataPath + ".lck"; }

  // Whether some descriptor holds the file at dataPath open (a lock on its
  // open byte), tested without taking or creating anything.
  static bool Held(const std::string& dataPath);

  // Whether this claim created the lock file.
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

  // Removes the lock file, holding its open byte exclusively first; false,
  // removing nothing, while another descriptor holds the file open.
  bool Remove();

private:
  Sidecar() = default;
  bool Set(short type, int64_t offset);
  // Whether the lock file's name still leads to this descriptor's file.
  bool StillNamed() const;

  std::string path_;
  int fd_ = -1;
  bool created_ = false;
};

}  // namespace engine
