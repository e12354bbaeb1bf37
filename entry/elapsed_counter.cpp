#include "entry/elapsed_counter.h"

#include "platform/clock.h"
#include "platform/format.h"

#include <algorithm>

namespace {
constexpr int64_t MsPerSecond = 1000;
}

void TElapsedCounter::Start(int64_t Secs) {
  const int64_t ms = std::clamp<int64_t>(Secs, 0, SecondsPerDay - 1) * MsPerSecond;
  startMs_ = int64_t(GetTickCount64()) - ms;
}

int64_t TElapsedCounter::Tick(bool& Reset) {
  const auto now = int64_t(GetTickCount64());
  auto secs = (now - startMs_) / MsPerSecond;
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
