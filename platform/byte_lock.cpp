#include "platform/byte_lock.h"

#include "platform/files.h"
#include "platform/folder_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

namespace {

bool SetLock(int fd, uint64_t byte, short type) {
  struct flock lock {};
  lock.l_type = type;
  lock.l_whence = SEEK_SET;
  lock.l_start = off_t(byte);
  lock.l_len = 1;
  lock.l_pid = 0;  // required of open-file-description locks
  while (::fcntl(fd, F_OFD_SETLK, &lock) != 0) {
    if (errno != EINTR) return false;
  }
  return true;
}

}  // namespace

TByteLock::~TByteLock() { Release(); }

TByteLock::TByteLock(TByteLock&& Other) noexcept
    : fd_(std::exchange(Other.fd_, -1)), state_(std::exchange(Other.state_, TState::Free)) {}

TByteLock& TByteLock::operator=(TByteLock&& Other) noexcept {
  if (this != &Other) {
    Release();
    fd_ = std::exchange(Other.fd_, -1);
    state_ = std::exchange(Other.state_, TState::Free);
  }
  return *this;
}

TByteLock TByteLock::TryLock(const std::string& Path, uint64_t Byte, bool Exclusive) {
  TByteLock lock;
  const std::string path = ResolvePath(Path);
  bool created = false;
  int createError = 0;
  const int fd = path.empty() ? -1 : OpenLockFile(path, !Exclusive, created, createError);
  if (fd < 0) {
    if (path.empty()) errno = ENOENT;
    lock.state_ = TState::Failed;
    return lock;
  }
  if (!SetLock(fd, Byte, Exclusive ? F_WRLCK : F_RDLCK)) {
    const int error = errno;
    ::close(fd);
    errno = error;
    lock.state_ = (error == EAGAIN || error == EACCES) ? TState::Busy : TState::Failed;
    return lock;
  }
  lock.fd_ = fd;
  lock.state_ = TState::Held;
  return lock;
}

void TByteLock::Release() {
  // Closing the descriptor drops its lock.
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  state_ = TState::Free;
}
