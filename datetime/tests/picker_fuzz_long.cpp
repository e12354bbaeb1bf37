// The picker model's robustness target for a long run by hand:
//   datetime_picker_fuzz_long [sessions, default 1000000] [seed, default 1]
// Runs on the real clock; stops with the session printed at the first broken rule.
#include "datetime/dw_intl.h"
#include "datetime/tests/picker_fuzz.h"

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
  const long sessions = argc > 1 ? std::strtol(argv[1], nullptr, 10) : 1000000;
  const unsigned long long seed = argc > 2 ? std::strtoull(argv[2], nullptr, 10) : 1ull;
  InitIntl();
  const TPickerFuzzCounts counts = RunPickerFuzz(seed, static_cast<int>(sessions), 60);
  std::printf("%ld sessions, seed %llu: %llu steps, %llu changed the value, %llu left digits pending\n", sessions,
              seed, static_cast<unsigned long long>(counts.Steps), static_cast<unsigned long long>(counts.Changes),
              static_cast<unsigned long long>(counts.Pending));
  FinalIntl();
  return 0;
}
