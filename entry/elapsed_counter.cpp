#include "entry/elapsed_counter.h"

#include "platform/clock.h"
#include "platform/format.h"

#include <algorithm>

namespace {
constexpr uint64_t MsPerSecond = 1000;
}

void TElapsedCounter::Start(int64_t Secs) {
  const uint64_t ms = uint64_t(std::clamp<int64_t>(Secs, 0, SecondsPerDay - 1)) * MsPerSecond;
  const uint64_t now = GetTickCount64();
  startMs_ = now >= ms ? now - ms : 0;
}

int64_t TElapsedCounter::Tick(bool& Reset) {
  const uint64_t now = GetTickCount64();
  auto secs = int64_t((now - startMs_) / MsPerSecond);
  Reset = secs >= SecondsPerDay;
  if (Reset) {
    startMs_ = now;
    secs = 0;
  }
  return secs;
}

std::string FormatElapsed(int64_t Secs) {
  return Format("%.2d:%.2d:%.2d", Secs / 3600, Secs / 60 % 60, Secs % 60);
}
