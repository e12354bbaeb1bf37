#include "testing/sync_kill.h"

#include <signal.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>

namespace {

std::atomic<int> syncsLeft{0};  // flushes left before the kill; 0: not armed
std::atomic<int> syncs{0};

void CountSync() {
  ++syncs;
  if (syncsLeft.load() > 0 && --syncsLeft == 0) raise(SIGKILL);
}

}  // namespace

void ArmKillAtSync(int N) {
  syncs = 0;
  syncsLeft = N;
}

int SyncsCounted() { return syncs.load(); }

extern "C" int fsync(int fd) {
  CountSync();
  return int(syscall(SYS_fsync, fd));
}

extern "C" int fdatasync(int fd) {
  CountSync();
  return int(syscall(SYS_fdatasync, fd));
}
