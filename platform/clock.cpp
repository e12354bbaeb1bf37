#include "platform/clock.h"

#include <chrono>
#include <ctime>
#include <mutex>
#include <thread>

namespace {

std::mutex clockMutex;
bool fixed = false;
TDateTime fixedNow = 0;
uint64_t fixedTick = 0;

constexpr double kMsPerDay = 86400000.0;
constexpr int kUnixEpochDay = 25569;  // 1970-01-01 as days since 1899-12-30

uint64_t RealTick() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

TDateTime RealNow() {
  using namespace std::chrono;
  const auto now = system_clock::now();
  const auto ms = duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000;
  return LocalDateTime(system_clock::to_time_t(now), int(ms));
}

}  // namespace

TDateTime LocalDateTime(int64_t UnixSeconds, int Milliseconds) {
  using namespace std::chrono;
  const std::time_t secs = static_cast<std::time_t>(UnixSeconds);
  std::tm local{};
  localtime_r(&secs, &local);
  const year_month_day ymd{year{local.tm_year + 1900}, month{unsigned(local.tm_mon + 1)},
                           day{unsigned(local.tm_mday)}};
  const double dayNumber = sys_days{ymd}.time_since_epoch().count() + kUnixEpochDay;
  const double msOfDay = ((local.tm_hour * 60.0 + local.tm_min) * 60.0 + local.tm_sec) * 1000.0 + Milliseconds;
  // Before 1899-12-30 the time is the fraction's absolute value; the clock never goes there.
  return dayNumber + msOfDay / kMsPerDay;
}

TDateTime ClockNow() {
  std::lock_guard lock(clockMutex);
  return fixed ? fixedNow : RealNow();
}

uint64_t GetTickCount64() {
  std::lock_guard lock(clockMutex);
  return fixed ? fixedTick : RealTick();
}

void Sleep(uint32_t milliseconds) {
  {
    std::lock_guard lock(clockMutex);
    if (fixed) {
      fixedNow += milliseconds / kMsPerDay;
      fixedTick += milliseconds;
      return;
    }
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

void SetClock(TDateTime now) {
  std::lock_guard lock(clockMutex);
  if (!fixed) fixedTick = RealTick();
  fixed = true;
  fixedNow = now;
}

void SetTickCount(uint64_t Ms) {
  std::lock_guard lock(clockMutex);
  if (fixed) fixedTick = Ms;
}

void AdvanceClock(uint32_t milliseconds) {
  std::lock_guard lock(clockMutex);
  if (!fixed) return;
  fixedNow += milliseconds / kMsPerDay;
  fixedTick += milliseconds;
}

void ResetClock() {
  std::lock_guard lock(clockMutex);
  fixed = false;
}

bool ClockIsFixed() {
  std::lock_guard lock(clockMutex);
  return fixed;
}
