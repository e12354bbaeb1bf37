// The parser's robustness target. The entry has libFuzzer's signature, so a
// clang build may link it to libFuzzer; the tests drive it from fixed-seed
// inputs instead.
//
// Each input runs the three routines under each date order, with the default
// markers and with empty ones. A result other than 0 or a date in years
// 1-9999 (a time of day for the time routine) prints the input and aborts,
// as does anything the sanitizers catch.
#pragma once

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

// How many results were not 0 since the start, per routine: proof that the
// inputs reach past the first failure.
struct TParserFuzzCounts {
  uint64_t DateTime = 0;
  uint64_t Date = 0;
  uint64_t Time = 0;
};
TParserFuzzCounts& ParserFuzzCounts();
