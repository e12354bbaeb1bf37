#include "datetime/tests/fuzz_inputs.h"
#include "datetime/tests/parser_fuzz_entry.h"

#include <gtest/gtest.h>

namespace {

TEST(ParserFuzz, FixedSeedInputsParseWithinRange) {
  constexpr int kInputs = 200000;
  const TParserFuzzCounts before = ParserFuzzCounts();
  TParserFuzzInputs inputs(20240615);
  for (int i = 0; i < kInputs; ++i) RunEntryOnCopy(inputs.Next());
  const TParserFuzzCounts& after = ParserFuzzCounts();
  // Enough inputs parse for the deep paths to be walked, not only the failures.
  EXPECT_GT(after.DateTime - before.DateTime, kInputs / 100u);
  EXPECT_GT(after.Date - before.Date, kInputs / 100u);
  EXPECT_GT(after.Time - before.Time, kInputs / 100u);
}

}  // namespace
