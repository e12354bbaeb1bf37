// The save lock: one per data folder and template number, shared or
// exclusive, so that a save never interleaves with another save, a load of
// the descriptor or an opener of the data file, on this workstation or any
// other sharing the folder. Byte n of "Templates.lck" in the data folder
// (platform/byte_lock.h): it ends with the process holding it.
//
// Exclusive: a save from its start through its clean-up, and recovery.
// Shared: a descriptor load for the whole load, an opener across its open.
// Shared to exclusive is no upgrade: release, take exclusive, and look at
// the files again.
#pragma once

#include "platform/byte_lock.h"

#include <string>

enum class TSaveLockMode { Shared, Exclusive };

class TSaveLock {  // move-only; the destructor releases
public:
  TSaveLock();
  ~TSaveLock();
  TSaveLock(TSaveLock&&) noexcept;
  TSaveLock& operator=(TSaveLock&&) noexcept;

  bool Held() const;
  void Release();

private:
  friend TSaveLock TryAcquireSaveLock(const std::string& DataDir, int TplNo, TSaveLockMode Mode);
  friend TSaveLock AcquireSaveLock(const std::string& DataDir, int TplNo, TSaveLockMode Mode,
                                   const std::string& FileName, const std::string& LockMsg);
  explicit TSaveLock(TByteLock Lock);
  TByteLock lock_;
};

// The lock file of a data folder.
std::string SaveLockFileName(const std::string& DataDir);

// Waits as a locked open in the numbered-file layer: retries for
// LockRetryMs with the layer's clock, then asks "File:  " + FileName +
// "\r\r" + LockMsg; Yes waits again, No raises the layer's EBtrAbort for a
// refused open of FileName (its open-failure text, status 85). A lock file
// that can be neither opened nor made raises the same failure, status 2.
TSaveLock AcquireSaveLock(const std::string& DataDir, int TplNo, TSaveLockMode Mode, const std::string& FileName,
                          const std::string& LockMsg);
// A byte lock taken with the same waiting rule as AcquireSaveLock: byte
// Byte of the lock file LockPath, its question naming FileName.
TByteLock WaitForByteLock(const std::string& LockPath, uint64_t Byte, bool Exclusive, const std::string& FileName,
                          const std::string& LockMsg);
// Never waits, never asks: returns an unheld lock when another process
// holds it (or the lock file cannot be had).
TSaveLock TryAcquireSaveLock(const std::string& DataDir, int TplNo, TSaveLockMode Mode);
