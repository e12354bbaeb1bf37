// A stopwatch's elapsed time, counted on the tick count (GetTickCount64),
// never on the wall clock: moving the clock of the machine neither adds nor
// takes time. At 24 hours the count starts again from 0. Shared by the
// quick entry's stopwatch and the entry screen's.
#pragma once

#include <cstdint>
#include <string>

constexpr int64_t SecondsPerDay = 24 * 60 * 60;

class TElapsedCounter {
public:
  // Counting from Secs (at least 0) as of now.
  void Start(int64_t Secs);
  // Whole seconds since the start. Reaching 24 hours restarts the count
  // at 0 now, and Reset is true for that call.
  int64_t Tick(bool& Reset);

private:
  // May lie before the tick count's 0: a machine up for less time than the
  // count resumes from still counts from there.
  int64_t startMs_ = 0;
};

// "hh:mm:ss", two digits each ("00:00:00" for 0).
std::string FormatElapsed(int64_t Secs);
