// Waiting in a test for something another process or thread does: a
// bounded poll, never a timing.
#pragma once

#include <chrono>
#include <functional>
#include <thread>

// Polls `done` every 10 ms for up to a generous limit; true when done.
inline bool PollUntil(const std::function<bool()>& done, int limit_ms = 30000) {
  for (int waited = 0; waited < limit_ms; waited += 10) {
    if (done()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return done();
}
