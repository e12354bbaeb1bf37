// Calls of a TWinBtr answered as a status instead of an exception, for the
// layers that turn statuses into texts of their own.
#pragma once

#include "btrieve/binding.h"
#include "btrieve/engine_errors.h"
#include "btrieve/win_btr.h"

#include <cstdint>

// Runs Calls (calls of E) and answers 0, or the status of the call that was
// refused. After a refusal E reads into its own buffer again, so it never
// keeps a pointer into a caller's buffer.
template <class F>
int16_t CallStatus(TWinBtr& E, F&& Calls) {
  try {
    Calls();
    return BtrStatus::Success;
  } catch (const EOrrinEngineError&) {
    E.SetDataPointer(E.RecBuffer(), E.BufSize());
    return E.Status();
  }
}
