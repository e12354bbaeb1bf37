// A lock on one byte of a lock file, shared or exclusive, for locks that
// several processes (and hosts sharing a folder) must see: a Linux
// open-file-description lock (F_OFD_SETLK) through a descriptor of the
// lock's own, opened close-on-exec. Two locks of one process therefore
// conflict as two processes' locks do, a program started from this one
// never inherits them, and every lock ends with its descriptor: a killed
// process leaves nothing held. Never waits.
//
// The lock file is made on first use and otherwise left alone: never
// written, renamed or deleted, so every taker meets the same file. It is
// opened as every name in a shared folder is (platform/folder_file.h): a
// link, FIFO or folder under its name is refused, a new one takes its
// folder's mode, and one this user may not open is logged with its owner.
#pragma once

#include <cstdint>
#include <string>

class TByteLock {
public:
  enum class TState { Free, Held, Busy, Failed };

  TByteLock() = default;
  ~TByteLock();
  TByteLock(TByteLock&& Other) noexcept;
  TByteLock& operator=(TByteLock&& Other) noexcept;
  TByteLock(const TByteLock&) = delete;
  TByteLock& operator=(const TByteLock&) = delete;

  // Locks byte Byte of the file Path names (resolved as every file name
  // is). Held; else Busy when another descriptor's lock conflicts, Failed
  // when the lock file can be neither opened nor created (errno tells why).
  // A shared lock makes do with a lock file it may only read.
  static TByteLock TryLock(const std::string& Path, uint64_t Byte, bool Exclusive);

  TState State() const { return state_; }
  bool Held() const { return state_ == TState::Held; }
  // Gives the lock up; Free afterwards.
  void Release();

private:
  int fd_ = -1;
  TState state_ = TState::Free;
};
