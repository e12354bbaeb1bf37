// Bounds a step that must never wait (an open that could block on a FIFO, a
// read that could go on without end): while a Watchdog lives, a test
// program still running after its seconds is ended by SIGALRM's default
// action, so ctest reports it instead of the suite hanging.
#pragma once

#include <unistd.h>

class Watchdog {
public:
  explicit Watchdog(unsigned Seconds = 60) { alarm(Seconds); }
  ~Watchdog() { alarm(0); }
  Watchdog(const Watchdog&) = delete;
  Watchdog& operator=(const Watchdog&) = delete;
};
