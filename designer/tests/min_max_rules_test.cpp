// The range dialog's rules: the key filter, what leaving an edit keeps,
// the decimals choice and the OK check.
#include "designer/min_max_rules.h"
#include "templates/decimal_text.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace {

TEST(MinMaxRules, KeyFilterTakesDigitsOnePointAndBackspace) {
  struct Case {
    std::string text;
    char key;
    bool accepted;
  };
  const Case cases[] = {
      {"", '7', true},    {"12", '0', true},  {"12", '.', true},   {"12.5", '.', false}, {"", '-', false},
      {"1", 'a', false},  {"1", ' ', false},  {"1.", '\b', true},  {"", ',', false},     {"", '\0', false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(MinMaxKeyAccepted(c.text, c.key), c.accepted) << "'" << c.text << "' + " << int(c.key);
  }
}

TEST(MinMaxRules, LeavingAnEditKeepsANumberWithinTheBoundsWithItsDecimals) {
  struct Case {
    std::string text;
    int decimals;
    std::optional<std::string> kept;
  };
  const Case cases[] = {
      {"", 2, "0.00"},                // blank becomes 0, then the decimals
      {"   ", 0, "0"},
      {"", -1, "0"},
      {"12.5", 2, "12.50"},
      {"7", 1, "7.0"},
      {"100000000", 0, "100000000"},  // the bounds themselves pass
      {"-100000000", 2, "-100000000.00"},
      {"100000000.01", 2, std::nullopt},
      {"-100000001", 0, std::nullopt},
      {"1.2.3", 2, std::nullopt},     // pasted past the key filter: no number
      {"abc", 0, std::nullopt},
      {".", 0, std::nullopt},
      {"99999999.999", -1, "99999999.999"},  // no decimals chosen: left as typed
  };
  for (const Case& c : cases) {
    EXPECT_EQ(MinMaxExitText(c.text, c.decimals), c.kept) << "'" << c.text << "' " << c.decimals;
  }
}

TEST(MinMaxRules, DecimalsCutNeverRoundAndFillShortTails) {
  struct Case {
    std::string text;
    int decimals;
    std::string out;
  };
  const Case cases[] = {
      // none
      {"12.50", 0, "12"}, {"99.99", 0, "99"}, {"7", 0, "7"}, {".5", 0, "0"}, {"12.", 0, "12"},
      // one
      {"12.56", 1, "12.5"}, {"12.", 1, "12.0"}, {"7", 1, "7.0"}, {".5", 1, ".5"},
      // two
      {"12.5", 2, "12.50"}, {"7", 2, "7.00"}, {"12.", 2, "12.00"}, {"9.999", 2, "9.99"}, {"3.14159", 2, "3.14"},
      // blank stays blank; no choice leaves the text
      {"", 2, ""}, {"  ", 0, "  "}, {"1.239", -1, "1.239"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FormatDecimals(c.text, c.decimals), c.out) << "'" << c.text << "' " << c.decimals;
  }
}

TEST(MinMaxRules, SaveAndDialogShareTheDecimalsRule) {
  // The save calls the same function on a trimmed stored text.
  EXPECT_EQ(WithDecimals(" 4.5 ", 2), "4.50");
  EXPECT_EQ(WithDecimals("-.5", 0), "-0");
  EXPECT_EQ(FormatDecimals("-.5", 0), WithDecimals("-.5", 0));
}

TEST(MinMaxRules, OkRefusesAMinimumAboveTheMaximumByMoreThanHalfACent) {
  EXPECT_FALSE(MinExceedsMax("5.00", "5.00"));
  EXPECT_TRUE(MinExceedsMax("5.01", "5.00"));
  EXPECT_FALSE(MinExceedsMax("5.004", "5"));
  EXPECT_TRUE(MinExceedsMax("5.006", "5"));
  EXPECT_FALSE(MinExceedsMax("-3", "0"));
}

}  // namespace
