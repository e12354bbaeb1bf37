#include "entry/batch_lock.h"

#include "btrieve/numbered_files.h"
#include "platform/byte_lock.h"
#include "templates/batch_codec.h"
#include "templates/save_lock.h"

#include <stdexcept>

namespace {

struct THeld {
  TByteLock Lock;
  int Count = 0;
  bool Exclusive = false;
};

THeld& Held() {
  static THeld held;
  return held;
}

}  // namespace

TBatchLock::TBatchLock(TBatchLockMode Mode) {
  THeld& held = Held();
  const bool exclusive = Mode == TBatchLockMode::Exclusive;
  if (held.Count > 0) {
    if (exclusive && !held.Exclusive) throw std::logic_error("the shared batch lock cannot become exclusive");
    ++held.Count;
    return;
  }
  held.Lock = WaitForByteLock(BatchLockFileName(), 0, exclusive, TrinFileName(), DefaultFileLockMsg);
  held.Count = 1;
  held.Exclusive = exclusive;
}

TBatchLock::~TBatchLock() {
  THeld& held = Held();
  if (--held.Count == 0) held.Lock.Release();
}

bool BatchLockHeldExclusive() { return Held().Count > 0 && Held().Exclusive; }
