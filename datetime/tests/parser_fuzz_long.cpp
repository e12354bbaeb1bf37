// The parser's robustness target for a long run by hand:
//   datetime_parser_fuzz_long [inputs, default 20000000] [seed, default 1]
// Stops with the failing input printed at the first bad result or sanitizer report.
#include "datetime/tests/fuzz_inputs.h"
#include "datetime/tests/parser_fuzz_entry.h"

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
  const unsigned long long count = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 20000000ull;
  const unsigned long long seed = argc > 2 ? std::strtoull(argv[2], nullptr, 10) : 1ull;
  TParserFuzzInputs inputs(seed);
  for (unsigned long long i = 1; i <= count; ++i) {
    RunEntryOnCopy(inputs.Next());
    if (i % 1000000 == 0) std::printf("%llu inputs\n", i);
  }
  const TParserFuzzCounts& counts = ParserFuzzCounts();
  std::printf("%llu inputs, seed %llu: parsed %llu date-times, %llu dates, %llu times\n", count, seed,
              static_cast<unsigned long long>(counts.DateTime), static_cast<unsigned long long>(counts.Date),
              static_cast<unsigned long long>(counts.Time));
  return 0;
}
