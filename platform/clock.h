// The one clock of the program: wall time and tick count. Every module reads
// time only through here, so tests can fix it and move it.
#pragma once

#include <cstdint>

// Days since 1899-12-30 with the time of day as the fraction, in local time.
using TDateTime = double;

// Local wall time now (fixed value while a test has set the clock).
TDateTime ClockNow();

// The local wall time of a moment given as seconds since 1970-01-01 UTC
// plus Milliseconds, in the machine's time zone.
TDateTime LocalDateTime(int64_t UnixSeconds, int Milliseconds = 0);

// Milliseconds from a monotonic source; never wraps.
uint64_t GetTickCount64();

// Pauses the calling thread; a fixed clock advances instead of waiting.
void Sleep(uint32_t milliseconds);

// Test control. SetClock fixes the wall time (and freezes the tick count at
// its current value); AdvanceClock moves both; ResetClock returns to real time.
// SetTickCount puts a fixed clock's tick count at Ms, as on a machine up
// for that long.
void SetClock(TDateTime now);
void SetTickCount(uint64_t Ms);
void AdvanceClock(uint32_t milliseconds);
void ResetClock();
bool ClockIsFixed();
