// One shared counter record bumped by several clients at once: the
// workload of the stress test and of bench/engine_contention.
//
// The counter file has one 8-byte record: bytes 0-3 the autoincrement key 0
// (1), bytes 4-7 the count, little-endian.
#pragma once

#include "engine/tests/engine_library.h"

#include <cstdint>
#include <string>

// Creates the counter file with its record at 0; the status of the first
// call that failed.
int16_t CreateCounterFile(const Library& library, const std::string& path);
// Reads the count; the status of the read.
int16_t ReadCounter(const Library& library, const std::string& path, uint32_t& count);

struct CounterRun {
  int Cycles = 0;       // increments written
  int Locked84 = 0;     // retries after a record lock of another client
  int Busy85 = 0;       // retries after another client's file lock outlasted the wait
  int Conflicts80 = 0;  // retries after another client's update came first
  std::string Error;    // empty unless a call failed otherwise
};

// Adds one to the count `cycles` times, each a read and an Update of the
// record; locked: the read takes the record's lock (Get Equal + 200).
// Every refusal is retried from the read.
CounterRun RunCounter(const Library& library, const std::string& path, int cycles, bool locked);
