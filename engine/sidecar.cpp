#include "engine/sidecar.h"

#include "engine/status.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace engine {

Sidecar::~Sidecar() {
  if (fd_ >= 0) ::close(fd_);
}

int16_t Sidecar::Open(const std::string& dataPath, std::unique_ptr<Sidecar>& out) {
  const std::string path = PathFor(dataPath);
  std::unique_ptr<Sidecar> sidecar(new Sidecar);
  // Close-on-exec: a program started from this process must not carry the
  // descriptor, and with it the locks, past this process's end.
  sidecar->fd_ = ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  sidecar->created_ = sidecar->fd_ >= 0;
  if (sidecar->fd_ < 0 && errno == EEXIST) sidecar->fd_ = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
  if (sidecar->fd_ < 0) return status::IoError;
  out = std::move(sidecar);
  return status::Success;
}

bool Sidecar::Set(short type, int64_t offset) {
  struct flock lock {};
  lock.l_type = type;
  lock.l_whence = SEEK_SET;
  lock.l_start = offset;
  lock.l_len = 1;
  lock.l_pid = 0;  // required of open-file-description locks
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

}  // namespace engine
