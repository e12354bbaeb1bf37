// The picker model's robustness target: sessions of random keys, presses and
// double clicks on each mode, format, limit set and Epoch, from a fixed seed.
// After every step nothing has raised, the value's day is 0 or within the
// effective limits, and with nothing pending the text is the value's text
// (an emptied text holds no edited part). A broken rule prints the session
// and aborts, as does anything the sanitizers catch.
#pragma once

#include <cstdint>

struct TPickerFuzzCounts {
  uint64_t Steps = 0;
  uint64_t Changes = 0;  // steps that changed the value
  uint64_t Pending = 0;  // steps that left digits pending
};

TPickerFuzzCounts RunPickerFuzz(uint64_t seed, int sessions, int stepsPerSession);
