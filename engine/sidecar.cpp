#include "engine/sidecar.h"

#include "engine/status.h"
#include "platform/folder_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace engine {
namespace {

// A claim that keeps finding its lock file removed under it gives up as
// if the file were locked; each round means another removal completed.
constexpr int ClaimAttempts = 100;

struct flock ByteLock(short type, int64_t offset) {
  struct flock lock {};
  lock.l_type = type;
  lock.l_whence = SEEK_SET;
  lock.l_start = offset;
  lock.l_len = 1;
  lock.l_pid = 0;  // required of open-file-description locks
  return lock;
}

}  // namespace

Sidecar::~Sidecar() {
  if (fd_ >= 0) ::close(fd_);
}

int16_t Sidecar::Claim(const std::string& dataPath, Hold hold, std::unique_ptr<Sidecar>& out, bool mayGoWithout) {
  const std::string path = PathFor(dataPath);
  for (int attempt = 0; attempt < ClaimAttempts; ++attempt) {
    std::unique_ptr<Sidecar> sidecar(new Sidecar);
    sidecar->path_ = path;
    // Close-on-exec: a program started from this process must not carry the
    // descriptor, and with it the locks, past this process's end. A shared
    // lock needs only read access.
    int createError = 0;
    const int fd = OpenLockFile(path, hold == Hold::Shared, sidecar->created_, createError);
    if (fd < 0) {
      if (errno == ENOENT && createError == EEXIST) continue;  // removed in between
      if (mayGoWithout && hold == Hold::Shared && (createError == EACCES || createError == EROFS) &&
          errno == ENOENT) {
        out.reset();
        return status::Success;
      }
      return status::IoError;
    }
    sidecar->fd_ = fd;
    if (!sidecar->HoldOpen(hold)) return status::FileLocked;
    if (sidecar->StillNamed()) {
      out = std::move(sidecar);
      return status::Success;
    }
  }
  return status::FileLocked;
}

bool Sidecar::Held(const std::string& dataPath) {
  const TFolderFile file = TFolderFile::Open(PathFor(dataPath), O_RDONLY);
  if (!file.IsOpen()) return false;  // every open creates it first
  struct flock probe = ByteLock(F_WRLCK, 0);
  return ::fcntl(file.Fd(), F_OFD_GETLK, &probe) == 0 && probe.l_type != F_UNLCK;
}

bool Sidecar::StillNamed() const {
  struct stat mine, named;
  return ::fstat(fd_, &mine) == 0 && ::lstat(path_.c_str(), &named) == 0 && mine.st_dev == named.st_dev &&
         mine.st_ino == named.st_ino;
}

bool Sidecar::Set(short type, int64_t offset) {
  struct flock lock = ByteLock(type, offset);
  while (::fcntl(fd_, F_OFD_SETLK, &lock) != 0) {
    if (errno != EINTR) return false;
  }
  return true;
}

bool Sidecar::HoldOpen(Hold hold) {
  switch (hold) {
    case Hold::None:
      return Set(F_UNLCK, 0);
    case Hold::Shared:
      return Set(F_RDLCK, 0);
    case Hold::Exclusive:
      return Set(F_WRLCK, 0);
  }
  return false;
}

bool Sidecar::LockRecord(uint32_t position) { return Set(F_WRLCK, position); }

bool Sidecar::ShareRecord(uint32_t position) { return Set(F_RDLCK, position); }

void Sidecar::UnlockRecord(uint32_t position) { Set(F_UNLCK, position); }

bool Sidecar::Remove() {
  if (!HoldOpen(Hold::Exclusive)) return false;
  if (StillNamed()) ::unlink(path_.c_str());
  return true;
}

}  // namespace engine
