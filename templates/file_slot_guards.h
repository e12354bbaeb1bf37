// Giving back what a failure leaves held on the numbered-file layer: a file
// number closed however the scope ends, a transaction ended. After a
// failure already being reported, the close or abort failing too has
// nothing to add, so theirs are swallowed.
#pragma once

#include "btrieve/numbered_files.h"

#include <cstdint>

// Closes the file number when the scope ends; with Close false (a number
// the caller found open and leaves open) it does nothing.
class TSlotCloser {
public:
  explicit TSlotCloser(uint8_t FileNo, bool Close = true) : fileNo_(FileNo), close_(Close) {}
  ~TSlotCloser() {
    if (!close_) return;
    try {
      BtrCloseFile(fileNo_);
    } catch (const std::exception&) {
    }
  }
  TSlotCloser(const TSlotCloser&) = delete;
  TSlotCloser& operator=(const TSlotCloser&) = delete;

private:
  uint8_t fileNo_;
  bool close_;
};

// Aborts the workstation's transaction when one still runs, also after a
// commit that failed (which leaves it running at the engine); without one
// the layer refuses before calling the engine.
inline void AbortTransactionQuietly() {
  try {
    BtrAbortTransaction();
  } catch (const std::exception&) {
  }
}
