// Settling what a killed commit leaves behind.
//
// A transaction over several files commits through a super-journal that
// SQLite writes beside the connection's main database
// ("<main>-mjXXXXXX9XX", listing the journals of the files written) and
// whose absolute path it records in each of those journals. Recovery looks
// for it under that path: present, the journals are hot and roll back;
// absent, the transaction had committed and they are dropped. A workstation
// that mounts the shared folder at another path would not find it there and
// would keep half a transaction.
//
// So every connection goes through the engine's VFS, which is SQLite's unix
// VFS except for this: a super-journal, or a journal listed in one, that is
// missing under a recorded path whose folder does not hold its database is
// looked for under its own name in the folder of the journal being played
// back (where its database is). Found, it is used there. When the recorded
// folder holds its database, or the database is found beside the journal
// being played back, absence is taken as absence. When neither tells, the
// lookup fails as an I/O error and the open answers 2: the files stay as
// they are until a workstation that sees the recorded path opens them.
// A file's own journal is always its database's path plus "-journal" and is
// never looked for elsewhere.
//
// A journal is data that anyone who may write the shared folder can plant,
// and the super-journal name it records may point anywhere. So the VFS
// opens, reads or deletes as a super-journal only a name of the engine's
// own shape ("<file>-mjXXXXXX9XX") lying in the folder of the file being
// recovered, or (a transaction over two folders) beside a regular file of
// its name, the transaction's first file, and listing the journal being
// played back; journals it reads only as "<file>-journal" in that folder
// or beside their file. Any other name is damage: the open answers 2,
// nothing played back or deleted, with a warning naming both journals. A database or journal name that is a link, FIFO, device or
// folder is refused as well (platform/folder_file.h), and a super-journal
// takes the mode its folder gives new files.
#pragma once

#include <string>

namespace engine {

// The name of the engine's VFS, registered on first use.
const char* RecoveryVfs();

// Whether the file at path has leftovers SweepLeftovers would remove.
bool HasLeftovers(const std::string& path);

// Removes what kills leave beside the file at path: its journal when SQLite
// would never play it back (empty, or its header zeroed), and super-journals
// named after it none of whose listed journals SQLite would play back any
// more (all gone or dead: a commit writes the database only after every
// journal is complete, so a dead one's file never needs the super-journal).
// REQUIRES: no client anywhere has the file open (the caller holds its
// exclusive open lock), so no commit naming it as main is under way.
void SweepLeftovers(const std::string& path);

}  // namespace engine
