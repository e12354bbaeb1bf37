#include "engine/recovery.h"

#include "platform/folder_file.h"
#include "platform/log.h"

#include <dirent.h>
#include <fcntl.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>

#include <mutex>
#include <set>
#include <string>
#include <vector>

namespace engine {
namespace {

constexpr const char* VfsName = "mdrm";
constexpr std::string_view JournalSuffix = "-journal";
// "-mj", six hex digits, "9", two hex digits.
constexpr size_t SuperSuffixSize = 12;
// A super-journal lists a few paths; anything longer is not one of ours.
constexpr size_t MaxSuperJournalSize = 1 << 20;

bool IsHexDigit(char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'); }

// The database a super-journal is named after; "" when path names none.
std::string DatabaseOfSuperJournal(const std::string& path) {
  if (path.size() <= SuperSuffixSize) return "";
  const size_t at = path.size() - SuperSuffixSize;
  if (path.compare(at, 3, "-mj") != 0 || path[at + 9] != '9') return "";
  for (size_t i = at + 3; i < path.size(); ++i) {
    if (!IsHexDigit(path[i])) return "";
  }
  return path.substr(0, at);
}

std::string DatabaseOfJournal(const std::string& path) {
  return path.size() > JournalSuffix.size() && path.ends_with(JournalSuffix)
             ? path.substr(0, path.size() - JournalSuffix.size())
             : "";
}

std::string FolderOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::string NameOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Whether a regular file of the name a companion is named after lies
// beside it.
bool DatabaseBeside(const std::string& database) {
  struct stat st;
  return ::lstat(database.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// Whether path has the shape of a file's own journal ("<file>-journal")
// and lies in folder (where the file being recovered is) or beside its
// file. Only such names are read as journals.
bool IsJournalOfOurs(const std::string& path, const std::string& folder) {
  const std::string database = DatabaseOfJournal(path);
  return !database.empty() && (FolderOf(path) == folder || DatabaseBeside(database));
}

bool Exists(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0;
}

bool IsFolder(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// A copy of name that lives as long as the process, as SQLite keeps the
// name of an open file. Only recoveries from another mount path add names.
const char* Keep(const std::string& name) {
  static std::mutex* lock = new std::mutex;
  static std::set<std::string>* names = new std::set<std::string>;
  std::lock_guard<std::mutex> hold(*lock);
  return names->insert(name).first->c_str();
}

// A folder name kept per thread without a destructor, so that nothing of
// it outlives the library (a thread-local object with a destructor would
// keep an unloaded library mapped) or is used after the thread's end.
class FolderName {
public:
  void Set(const std::string& folder) {
    const size_t n = folder.size() < sizeof text_ ? folder.size() : 0;  // too long: none
    std::memcpy(text_, folder.data(), n);
    text_[n] = '\0';
  }
  std::string Get() const { return text_; }

private:
  char text_[PATH_MAX] = "";
};

// Folders of the journal and the super-journal opened last on this thread.
// SQLite opens the journal it plays back just before it asks for the
// super-journal that journal names, and opens a super-journal just before
// it asks for the journals listed in it; calls run one at a time.
thread_local FolderName playbackFolder;
thread_local FolderName superFolder;
// The journal opened last on this thread, for the message about damage.
thread_local FolderName playbackJournal;

// A super-journal name that is none of the engine's: the journal naming it
// is damaged or planted, and nothing of it is played back or deleted.
void WarnForeignSuperJournal(const std::string& name) {
  LogWarning("the journal " + playbackJournal.Get() + " names " + name +
             " as its super-journal, which is no companion of a file of ours; nothing played back or deleted");
}

// The journals the super-journal at path lists (NUL-separated paths);
// false when it cannot be read whole.
bool ReadJournalList(const std::string& super, std::vector<std::string>& journals) {
  std::string text;
  if (!ReadFolderFile(super, MaxSuperJournalSize, text)) return false;
  journals.clear();
  for (size_t begin = 0; begin < text.size();) {
    size_t end = text.find('\0', begin);
    if (end == std::string::npos) end = text.size();
    if (end > begin) journals.push_back(text.substr(begin, end - begin));
    begin = end + 1;
  }
  return true;
}

// Whether the super-journal at path lists a journal of journal's name (a
// workstation may see its folder under another path).
bool ListsJournal(const std::string& super, const std::string& journal) {
  std::vector<std::string> journals;
  if (!ReadJournalList(super, journals)) return false;
  for (const std::string& listed : journals) {
    if (NameOf(listed) == NameOf(journal)) return true;
  }
  return false;
}

// Whether path may be opened, read or deleted as a companion of the file
// being recovered on this thread: a journal as IsJournalOfOurs says, or a
// super-journal of the engine's shape lying beside that file, or beside
// the transaction's first file (a regular file of its name) and listing
// the journal being played back. A journal is data, and the name of the
// super-journal it records may point anywhere.
bool IsCompanion(const std::string& path) {
  const std::string folder = playbackFolder.Get();
  const std::string database = DatabaseOfSuperJournal(path);
  if (database.empty()) return IsJournalOfOurs(path, folder);
  return FolderOf(path) == folder || (DatabaseBeside(database) && ListsJournal(path, playbackJournal.Get()));
}

enum class Lookup { AsGiven, Elsewhere, Missing, Unknown };

// Where a companion file that does not exist under path is on this
// machine. AsGiven: path is no companion the lookup concerns. Journals are
// looked up only once a super-journal has been read on this thread: only
// its list names journals of other files; a file's own journal is asked
// for at every read and is always beside it. A super-journal is looked for
// beside the journal being played back (and, when SQLite deletes it, where
// it was just read), never in a folder of an earlier recovery.
Lookup Locate(const std::string& path, std::string& moved, bool deleting = false) {
  std::string database = DatabaseOfSuperJournal(path);
  const bool super = !database.empty();
  const std::string superAt = superFolder.Get();
  if (!super) {
    if (superAt.empty()) return Lookup::AsGiven;
    database = DatabaseOfJournal(path);
    if (database.empty()) return Lookup::AsGiven;
  }
  // The recorded folder holds the database: its companions would be there.
  if (Exists(database)) return Lookup::Missing;
  const std::string databaseName = NameOf(database);
  const std::string playbackAt = playbackFolder.Get();
  const std::string& first = super && !deleting ? playbackAt : superAt;
  const std::string& second = super ? first : playbackAt;
  for (const std::string* folder : {&first, &second}) {
    if (folder->empty() || !Exists(*folder + "/" + databaseName)) continue;
    moved = *folder + "/" + NameOf(path);
    return Exists(moved) ? Lookup::Elsewhere : Lookup::Missing;
  }
  return IsFolder(FolderOf(path)) ? Lookup::Missing : Lookup::Unknown;
}

sqlite3_vfs* Base(sqlite3_vfs* vfs) { return static_cast<sqlite3_vfs*>(vfs->pAppData); }

// A database is opened under its own name, never through a link planted
// there; the folders on the way may be links (the configured folder).
int FullPathname(sqlite3_vfs* vfs, const char* name, int size, char* out) {
  sqlite3_vfs* base = Base(vfs);
  if (name) {
    const std::string kind = NonFileKind(name);
    if (!kind.empty()) {
      WarnNotAFile(name, kind);
      return SQLITE_CANTOPEN;
    }
  }
  return base->xFullPathname(base, name, size, out);
}

// Gives a super-journal just made the mode its folder gives new files.
// SQLite gives a file's own journal the mode of its database already.
void SetFolderMode(const std::string& path) {
  struct stat folder, st;
  const TFolderFile file = TFolderFile::Open(path, O_RDONLY);
  if (file.IsOpen() && ::stat(FolderOf(path).c_str(), &folder) == 0 && ::fstat(file.Fd(), &st) == 0 &&
      st.st_uid == ::geteuid())
    ::fchmod(file.Fd(), FileModeInFolder(folder.st_mode));
}

int Open(sqlite3_vfs* vfs, sqlite3_filename name, sqlite3_file* file, int flags, int* outFlags) {
  sqlite3_vfs* base = Base(vfs);
  const char* actual = name;
  const int companion = SQLITE_OPEN_MAIN_JOURNAL | SQLITE_OPEN_SUPER_JOURNAL;
  if (name && (flags & companion) && !(flags & SQLITE_OPEN_CREATE) && !Exists(name)) {
    std::string moved;
    if (Locate(name, moved) == Lookup::Elsewhere) actual = Keep(moved);
  }
  if (actual && (flags & (companion | SQLITE_OPEN_MAIN_DB))) {
    // Opening a FIFO or a device would block or never end. A journal that
    // cannot be had is an I/O error (2): its file is ours all the same.
    const int refused = (flags & companion) ? SQLITE_IOERR : SQLITE_CANTOPEN;
    const std::string kind = NonFileKind(actual);
    if (!kind.empty()) {
      WarnNotAFile(actual, kind);
      return refused;
    }
    if ((flags & SQLITE_OPEN_SUPER_JOURNAL) && !(flags & SQLITE_OPEN_CREATE) &&
        !IsCompanion(actual)) {
      WarnForeignSuperJournal(actual);
      return refused;
    }
  }
  const int rc = base->xOpen(base, actual, file, flags, outFlags);
  if (rc == SQLITE_OK && actual) {
    if (flags & SQLITE_OPEN_MAIN_JOURNAL) {
      playbackFolder.Set(FolderOf(actual));
      playbackJournal.Set(actual);
    }
    if (flags & SQLITE_OPEN_SUPER_JOURNAL) superFolder.Set(FolderOf(actual));
    if ((flags & SQLITE_OPEN_SUPER_JOURNAL) && (flags & SQLITE_OPEN_CREATE)) SetFolderMode(actual);
  }
  return rc;
}

int Delete(sqlite3_vfs* vfs, const char* name, int syncDir) {
  sqlite3_vfs* base = Base(vfs);
  if (!name) return base->xDelete(base, name, syncDir);
  std::string target = name;
  std::string moved;
  if (!DatabaseOfSuperJournal(name).empty() && !Exists(name) && Locate(name, moved, true) == Lookup::Elsewhere)
    target = moved;
  // SQLite deletes only journals, super-journals and a WAL file it finds
  // beside a database in rollback mode.
  const bool wal = target.ends_with("-wal") && Exists(target.substr(0, target.size() - 4));
  if (!wal && !IsCompanion(target) && Exists(target)) {
    WarnForeignSuperJournal(target);
    return SQLITE_IOERR_DELETE;
  }
  return base->xDelete(base, target.c_str(), syncDir);
}

int Access(sqlite3_vfs* vfs, const char* name, int flags, int* result) {
  sqlite3_vfs* base = Base(vfs);
  const int rc = base->xAccess(base, name, flags, result);
  if (rc != SQLITE_OK || flags != SQLITE_ACCESS_EXISTS || !name) return rc;
  // Asked whether a super-journal a journal names exists: only a companion
  // of a file of ours counts; any other name is damage, and the open fails
  // before anything is played back.
  const bool journal = !DatabaseOfJournal(name).empty() || std::string_view(name).ends_with("-wal");
  if (!journal && (DatabaseOfSuperJournal(name).empty() || (*result && !IsCompanion(name)))) {
    WarnForeignSuperJournal(name);
    return SQLITE_IOERR_ACCESS;
  }
  if (*result) return rc;
  std::string moved;
  switch (Locate(name, moved)) {
    case Lookup::Elsewhere:
      if (!IsCompanion(moved)) {
        WarnForeignSuperJournal(moved);
        return SQLITE_IOERR_ACCESS;
      }
      *result = 1;
      return SQLITE_OK;
    case Lookup::Unknown:
      return SQLITE_IOERR_ACCESS;
    default:
      return SQLITE_OK;
  }
}

enum class JournalState { Missing, Dead, Live };

// SQLite plays a journal back only when its first byte is not zero; it
// writes that byte last, once the journal is complete. A journal that cannot
// be read counts as live, and so does a name that is no journal of a file of
// ours (it is not read).
JournalState StateOf(const std::string& journal, const std::string& folder) {
  if (!IsJournalOfOurs(journal, folder)) return Exists(journal) ? JournalState::Live : JournalState::Missing;
  const TFolderFile file = TFolderFile::Open(journal, O_RDONLY);
  if (!file.IsOpen()) return errno == ENOENT || errno == ENOTDIR ? JournalState::Missing : JournalState::Live;
  char first = 0;
  const ssize_t n = ::pread(file.Fd(), &first, 1, 0);
  return n == 0 || (n == 1 && first == 0) ? JournalState::Dead : JournalState::Live;
}

bool IsDeadJournal(const std::string& journal) { return StateOf(journal, FolderOf(journal)) == JournalState::Dead; }

std::vector<std::string> SuperJournalsOf(const std::string& path) {
  std::vector<std::string> found;
  const std::string folder = FolderOf(path);
  const std::string name = NameOf(path);
  DIR* dir = ::opendir(folder.c_str());
  if (!dir) return found;
  while (const dirent* entry = ::readdir(dir)) {
    const std::string entryName = entry->d_name;
    if (entryName.starts_with(name) && DatabaseOfSuperJournal(entryName) == name)
      found.push_back(folder + "/" + entryName);
  }
  ::closedir(dir);
  return found;
}

// Whether any journal a super-journal lists may still be played back (and
// so needs it to tell whether its transaction committed), under its
// recorded path or beside the super-journal. A dead one never will.
bool ListsLiveJournal(const std::string& super) {
  std::vector<std::string> journals;
  if (!ReadJournalList(super, journals)) return true;
  const std::string folder = FolderOf(super);
  for (const std::string& journal : journals) {
    if (StateOf(journal, folder) == JournalState::Live ||
        StateOf(folder + "/" + NameOf(journal), folder) == JournalState::Live)
      return true;
  }
  return false;
}

// Registered while the library is loaded: SQLite may stay loaded after the
// library is unloaded, and must not keep this VFS in its list then.
class Registration {
public:
  Registration() {
    sqlite3_initialize();
    sqlite3_vfs* unix = sqlite3_vfs_find("unix");
    if (!unix) unix = sqlite3_vfs_find(nullptr);
    vfs_ = *unix;
    vfs_.zName = VfsName;
    vfs_.pAppData = unix;
    vfs_.pNext = nullptr;
    vfs_.xFullPathname = FullPathname;
    vfs_.xOpen = Open;
    vfs_.xDelete = Delete;
    vfs_.xAccess = Access;
    sqlite3_vfs_register(&vfs_, 0);
  }
  ~Registration() { sqlite3_vfs_unregister(&vfs_); }

private:
  sqlite3_vfs vfs_;
};

}  // namespace

const char* RecoveryVfs() {
  static Registration registration;
  return VfsName;
}

bool HasLeftovers(const std::string& path) {
  return IsDeadJournal(path + std::string(JournalSuffix)) || !SuperJournalsOf(path).empty();
}

void SweepLeftovers(const std::string& path) {
  const std::string journal = path + std::string(JournalSuffix);
  if (IsDeadJournal(journal)) ::unlink(journal.c_str());
  for (const std::string& super : SuperJournalsOf(path)) {
    if (!ListsLiveJournal(super)) ::unlink(super.c_str());
  }
}

}  // namespace engine
