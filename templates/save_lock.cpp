#include "templates/save_lock.h"

#include "btrieve/binding.h"
#include "btrieve/numbered_files.h"

#include <utility>

namespace {

// The engine's answer when a file cannot be reached at all.
constexpr int16_t IoErrorStatus = 2;

}  // namespace

TSaveLock::TSaveLock() = default;
TSaveLock::~TSaveLock() = default;
TSaveLock::TSaveLock(TSaveLock&&) noexcept = default;
TSaveLock& TSaveLock::operator=(TSaveLock&&) noexcept = default;
TSaveLock::TSaveLock(TByteLock Lock) : lock_(std::move(Lock)) {}

bool TSaveLock::Held() const { return lock_.Held(); }
void TSaveLock::Release() { lock_.Release(); }

std::string SaveLockFileName(const std::string& DataDir) { return DataDir + "\\Templates.lck"; }

TSaveLock TryAcquireSaveLock(const std::string& DataDir, int TplNo, TSaveLockMode Mode) {
  return TSaveLock(
      TByteLock::TryLock(SaveLockFileName(DataDir), uint64_t(TplNo), Mode == TSaveLockMode::Exclusive));
}

TByteLock WaitForByteLock(const std::string& LockPath, uint64_t Byte, bool Exclusive, const std::string& FileName,
                          const std::string& LockMsg) {
  TByteLock lock;
  BtrWaitAsLockedOpen(FileName, LockMsg, [&]() -> int16_t {
    lock = TByteLock::TryLock(LockPath, Byte, Exclusive);
    if (lock.Held()) return BtrStatus::Success;
    return lock.State() == TByteLock::TState::Busy ? BtrStatus::FileLocked : IoErrorStatus;
  });
  return lock;
}

TSaveLock AcquireSaveLock(const std::string& DataDir, int TplNo, TSaveLockMode Mode, const std::string& FileName,
                          const std::string& LockMsg) {
  return TSaveLock(
      WaitForByteLock(SaveLockFileName(DataDir), uint64_t(TplNo), Mode == TSaveLockMode::Exclusive, FileName, LockMsg));
}
