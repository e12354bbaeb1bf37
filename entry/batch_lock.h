// The batch lock: one per data folder and workstation id, byte 0 of
// "Batch<WSID>.lck" in the data folder (platform/byte_lock.h), so that no
// write of the batch (a save, a delete, an export, an erase, a recovery)
// interleaves with another or with an open, on this workstation's other
// instances or anywhere sharing the folder. It ends with its process.
//
// Exclusive for every write; shared across the opening of the batch files.
// Two locks of one process conflict, so the process holds at most one and
// counts its holders: a holder inside another shares the outer lock
// (exclusive serves a shared request; shared never becomes exclusive).
//
// Nobody shows a message box while holding it: a box may wait for ever,
// and every other instance with it.
#pragma once

#include <cstdint>

enum class TBatchLockMode { Shared, Exclusive };

class TBatchLock {
public:
  // Waits as a locked open does (platform lock rule of the numbered-file
  // layer, with its file-lock question naming the TRIN file); a declined
  // wait raises the layer's EBtrAbort. A shared holder asking for the
  // exclusive lock is a programming error (std::logic_error).
  explicit TBatchLock(TBatchLockMode Mode);
  ~TBatchLock();
  TBatchLock(const TBatchLock&) = delete;
  TBatchLock& operator=(const TBatchLock&) = delete;
};

// Whether this process holds the lock exclusively.
bool BatchLockHeldExclusive();
