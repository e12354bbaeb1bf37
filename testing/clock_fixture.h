// Fixes the program clock for the lifetime of the object.
#pragma once

#include "platform/clock.h"

class ScopedClock {
public:
  explicit ScopedClock(TDateTime now) { SetClock(now); }
  ~ScopedClock() { ResetClock(); }
  ScopedClock(const ScopedClock&) = delete;
  ScopedClock& operator=(const ScopedClock&) = delete;
  void Advance(uint32_t ms) { AdvanceClock(ms); }
};
