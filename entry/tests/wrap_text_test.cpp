#include "entry/wrap_text.h"

#include <gtest/gtest.h>

namespace {

// Every byte 10 pixels wide.
int TenPerByte(std::string_view Text) { return int(Text.size()) * 10; }

struct TWrapCase {
  const char* Text;
  int Width;
  int MaxLines;
  const char* Expected;
};

class WrapTextToWidthTest : public ::testing::TestWithParam<TWrapCase> {};

TEST_P(WrapTextToWidthTest, BreaksAsExpected) {
  const TWrapCase& c = GetParam();
  EXPECT_EQ(WrapTextToWidth(c.Text, TenPerByte, c.Width, c.MaxLines), c.Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WrapTextToWidthTest,
    ::testing::Values(
        // A fitting caption comes back as it is, blanks and all.
        TWrapCase{" Client name ", 140, 3, " Client name "},
        // A one-character caption is never wrapped, even when it does not fit.
        TWrapCase{"  X  ", 20, 3, "  X  "},
        // One line allowed: trimmed, one blank behind, no break.
        TWrapCase{" Client name ", 50, 1, "Client name "},
        // "name of" is 70 wide: a width of 70 is reached, 71 is not.
        TWrapCase{"Client name of matter", 70, 3, "Client \rname \rof matter "},
        TWrapCase{"Client name of matter", 71, 3, "Client \rname of \rmatter "},
        TWrapCase{"Client name of matter", 80, 2, "Client \rname of matter "},
        TWrapCase{"Client name of matter", 120, 3, "Client name \rof matter "},
        // A long word stays whole on its own line.
        TWrapCase{"Superlongword ab cd", 60, 3, "Superlongword \rab cd "},
        TWrapCase{"ab Superlongword cd", 50, 3, "ab \rSuperlongword \rcd "},
        // CR LF pairs, when present, are the only break points: the blanks
        // inside a line and the one appended are none.
        TWrapCase{"Matter one\r\nMatter two\r\nend", 100, 3, "Matter one\r\n\rMatter two\r\nend "},
        TWrapCase{"Matter one\r\nMatter two", 100, 1, "Matter one\r\nMatter two "}));

}  // namespace
