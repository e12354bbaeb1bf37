#include "platform/folder_file.h"

#include "platform/files.h"
#include "platform/log.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <utility>

namespace {

// A new name is tried this often when others keep taking or removing it.
constexpr int Attempts = 100;

struct TSplitPath {
  std::string Folder;
  std::string Name;
};

TSplitPath Split(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return {".", path};
  return {slash == 0 ? "/" : path.substr(0, slash), path.substr(slash + 1)};
}

// Closes a descriptor when the scope ends, keeping errno.
class TScopedFd {
public:
  explicit TScopedFd(int fd) : fd_(fd) {}
  ~TScopedFd() {
    const int error = errno;
    if (fd_ >= 0) ::close(fd_);
    errno = error;
  }
  TScopedFd(const TScopedFd&) = delete;
  TScopedFd& operator=(const TScopedFd&) = delete;
  int Get() const { return fd_; }

private:
  int fd_;
};

std::string KindOf(mode_t mode) {
  if (S_ISREG(mode)) return "";
  if (S_ISLNK(mode)) return "a symbolic link";
  if (S_ISFIFO(mode)) return "a FIFO (named pipe)";
  if (S_ISDIR(mode)) return "a folder";
  if (S_ISCHR(mode)) return "a character device";
  if (S_ISBLK(mode)) return "a block device";
  if (S_ISSOCK(mode)) return "a socket";
  return "not a regular file";
}

int ErrnoForKind(mode_t mode) {
  if (S_ISLNK(mode)) return ELOOP;
  if (S_ISDIR(mode)) return EISDIR;
  return EINVAL;
}

// Refuses what st shows when it is no regular file: true, with errno set
// and a warning naming path, when it was refused.
bool Refused(const struct stat& st, const std::string& path) {
  if (S_ISREG(st.st_mode)) return false;
  WarnNotAFile(path, KindOf(st.st_mode));
  errno = ErrnoForKind(st.st_mode);
  return true;
}

// Refuses what stands under name in folder when it is no regular file.
bool RefusedAt(int folder, const TSplitPath& where, const std::string& path) {
  struct stat st;
  return ::fstatat(folder, where.Name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 && Refused(st, path);
}

std::string OwnerName(uid_t uid) {
  struct passwd entry, *found = nullptr;
  char buffer[1024];
  if (::getpwuid_r(uid, &entry, buffer, sizeof buffer, &found) == 0 && found) return found->pw_name;
  return "user " + std::to_string(uid);
}

std::string OctalMode(mode_t mode) {
  char text[8];
  std::snprintf(text, sizeof text, "%04o", unsigned(mode & 07777));
  return text;
}

// The file at path exists, is regular and is the one st describes.
bool NamesFile(const std::string& path, const struct stat& st) {
  struct stat named;
  return ::lstat(path.c_str(), &named) == 0 && S_ISREG(named.st_mode) && named.st_dev == st.st_dev &&
         named.st_ino == st.st_ino;
}

}  // namespace

mode_t FileModeInFolder(mode_t folderMode) { return folderMode & 0666; }

mode_t FolderModeInFolder(mode_t parentMode) {
  if (parentMode & S_ISVTX) return 0700;
  return parentMode & (0777 | S_ISGID);
}

TFolderFile::~TFolderFile() { Close(); }

TFolderFile::TFolderFile(TFolderFile&& Other) noexcept
    : fd_(std::exchange(Other.fd_, -1)), created_(std::exchange(Other.created_, false)) {}

TFolderFile& TFolderFile::operator=(TFolderFile&& Other) noexcept {
  if (this != &Other) {
    Close();
    fd_ = std::exchange(Other.fd_, -1);
    created_ = std::exchange(Other.created_, false);
  }
  return *this;
}

int TFolderFile::Release() {
  created_ = false;
  return std::exchange(fd_, -1);
}

bool TFolderFile::Close() {
  if (fd_ < 0) return true;
  return ::close(std::exchange(fd_, -1)) == 0;
}

TFolderFile TFolderFile::Open(const std::string& path, int access, TCreate create) {
  TFolderFile file;
  const TSplitPath where = Split(path);
  if (where.Name.empty() || where.Name == "." || where.Name == "..") {
    errno = path.empty() ? ENOENT : EISDIR;
    return file;
  }
  // The folder as configured, links and all; only the name is input.
  const TScopedFd folder(::open(where.Folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (folder.Get() < 0) return file;
  const int flags = access | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY;
  int fd = -1;
  for (int attempt = 0; attempt < Attempts; ++attempt) {
    if (create != TCreate::Never) {
      // A new file never goes through a link: O_EXCL refuses any name.
      fd = ::openat(folder.Get(), where.Name.c_str(), (flags & ~O_TRUNC) | O_CREAT | O_EXCL, 0600);
      file.created_ = fd >= 0;
      if (fd >= 0 || errno != EEXIST || create == TCreate::Only) break;
    }
    fd = ::openat(folder.Get(), where.Name.c_str(), flags);
    // Removed between the two attempts: make it again.
    if (fd >= 0 || errno != ENOENT || create == TCreate::Never) break;
  }
  if (fd < 0) {
    const int error = errno;
    // ELOOP for a link, ENXIO for a FIFO nobody reads or a socket, EISDIR
    // for a folder opened to write: each names what stands there.
    if ((error == ELOOP || error == ENXIO || error == EISDIR || error == ENODEV) &&
        RefusedAt(folder.Get(), where, path))
      return file;
    errno = error;
    return file;
  }
  file.fd_ = fd;
  struct stat st;
  if (::fstat(fd, &st) != 0) {
    file.Close();
    return file;
  }
  if (!S_ISREG(st.st_mode)) {
    file.Close();
    Refused(st, path);
    return file;
  }
  // Reads from here on wait as reads of a regular file do.
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  struct stat folderSt;
  if (file.created_ && ::fstat(folder.Get(), &folderSt) == 0) ::fchmod(fd, FileModeInFolder(folderSt.st_mode));
  return file;
}

bool ReadFolderFile(const std::string& path, size_t maxSize, std::string& bytes) {
  const TFolderFile file = TFolderFile::Open(path, O_RDONLY);
  return file.IsOpen() && ReadOpenFile(file, path, maxSize, bytes);
}

bool ReadOpenFile(const TFolderFile& file, const std::string& path, size_t maxSize, std::string& bytes) {
  std::string read;
  char buffer[1 << 14];
  for (;;) {
    const ssize_t n = ::pread(file.Fd(), buffer, sizeof buffer, off_t(read.size()));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    if (n == 0) break;
    if (read.size() + size_t(n) > maxSize) {
      LogWarning(path + " is longer than " + std::to_string(maxSize) + " bytes; not read");
      errno = EFBIG;
      return false;
    }
    read.append(buffer, size_t(n));
  }
  bytes = std::move(read);
  return true;
}

bool StatFolderFile(const std::string& path, struct stat& st) {
  return ::lstat(path.c_str(), &st) == 0 && !Refused(st, path);
}

std::string NonFileKind(const std::string& path) {
  struct stat st;
  if (::lstat(path.c_str(), &st) != 0) return "";
  return KindOf(st.st_mode);
}

void WarnNotAFile(const std::string& path, const std::string& kind) {
  LogWarning(path + " is " + kind + ", not a file; refused");
}

int OpenLockFile(const std::string& path, bool readOnlyWill, bool& created, int& createError) {
  created = false;
  for (int attempt = 0; attempt < Attempts; ++attempt) {
    TFolderFile file = TFolderFile::Open(path, O_RDWR, TCreate::Only);
    createError = file.IsOpen() ? 0 : errno;
    if (createError == EEXIST) file = TFolderFile::Open(path, O_RDWR);
    if (!file.IsOpen() && readOnlyWill && (errno == EACCES || errno == EROFS)) file = TFolderFile::Open(path, O_RDONLY);
    if (file.IsOpen()) {
      created = file.Created();
      return file.Release();
    }
    if (errno != ENOENT || createError != EEXIST) break;  // else removed in between
  }
  const int error = errno;
  struct stat st;
  if (error == EACCES && ::lstat(path.c_str(), &st) == 0)
    LogWarning("the lock file " + path + " belongs to " + OwnerName(st.st_uid) + " (mode " + OctalMode(st.st_mode) +
               ") and cannot be opened by " + OwnerName(::geteuid()) + ": " + std::strerror(error));
  errno = error;
  return -1;
}

TFolderFile CreateFileBeside(const std::string& target, std::string& temp) {
  static std::atomic<unsigned> counter{0};
  const TSplitPath where = Split(target);
  const std::string stem = (where.Folder == "/" ? "" : where.Folder) + "/." + where.Name + "." +
                           std::to_string(::getpid()) + "-";
  for (int attempt = 0; attempt < Attempts; ++attempt) {
    temp = stem + std::to_string(counter++);
    TFolderFile file = TFolderFile::Open(temp, O_RDWR, TCreate::Only);
    if (file.IsOpen() || errno != EEXIST) return file;
  }
  return {};
}

bool PlaceFileBeside(const TFolderFile& file, const std::string& temp, const std::string& target, bool replace) {
  struct stat mine;
  if (::fstat(file.Fd(), &mine) != 0) return false;
  if (!NamesFile(temp, mine)) {
    errno = ESTALE;
    return false;
  }
  if (replace ? ::rename(temp.c_str(), target.c_str()) != 0 : !RenameNativeNoReplace(temp, target)) return false;
  if (NamesFile(target, mine)) return true;
  // Another name was put in place of temp between the look and the move:
  // what now stands under target came from here and goes again.
  ::unlink(target.c_str());
  errno = ESTALE;
  return false;
}

bool MakeFolder(const std::string& path) {
  std::string bare = path;
  while (bare.size() > 1 && bare.back() == '/') bare.pop_back();
  const TSplitPath where = Split(bare);
  struct stat parent;
  if (::stat(where.Folder.c_str(), &parent) != 0) return false;
  if (::mkdir(bare.c_str(), 0700) != 0) return false;
  const TScopedFd made(::open(bare.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
  struct stat st;
  // Only the folder this call made, never one put in its place.
  if (made.Get() >= 0 && ::fstat(made.Get(), &st) == 0 && st.st_uid == ::geteuid())
    ::fchmod(made.Get(), FolderModeInFolder(parent.st_mode));
  return true;
}
