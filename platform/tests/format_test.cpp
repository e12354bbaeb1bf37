#include "platform/format.h"
#include "platform/errors.h"

#include "testing/decimal_comma_locale.h"
#include "testing/expect_message.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>

using namespace std::string_literals;

struct FormatCase {
  const char* name;
  std::string result;
  std::string expected;
};

void PrintTo(const FormatCase& c, std::ostream* os) { *os << c.name; }

class FormatTable : public ::testing::TestWithParam<FormatCase> {};

TEST_P(FormatTable, GivesExactBytes) { EXPECT_EQ(GetParam().result, GetParam().expected) << GetParam().name; }

const std::string kSeven = "1234567";
const std::string kHigh = "\xC9t\xE9\x80";  // "Été€" in Windows-1252
const std::string kWithNul = "a\0b"s;

INSTANTIATE_TEST_SUITE_P(
    Cases, FormatTable,
    ::testing::Values(
        // width pads and never cuts
        FormatCase{"right-aligned", Format("%3s", "7"), "  7"},
        FormatCase{"left-aligned", Format("%-30s|", "Smith"), "Smith                         |"},
        FormatCase{"wider text kept whole", Format("%5s", kSeven), "1234567"},
        FormatCase{"left wider text kept whole", Format("%-5s|", kSeven), "1234567|"},
        FormatCase{"precision cuts", Format("%3.3s", kSeven), "123"},
        FormatCase{"precision cuts, width pads", Format("%-6.3s|", kSeven), "123   |"},
        FormatCase{"precision longer than text", Format("%.10s", "ab"), "ab"},
        FormatCase{"zero precision", Format("[%.0s]", "ab"), "[]"},
        FormatCase{"empty text padded", Format("%-3s|", ""), "   |"},
        FormatCase{"record key", Format("%-2s%3s%3s", "W1", "7", "12"), "W1  7 12"},
        FormatCase{"char argument", Format("%1s%1s", 'A', '\xE9'), "A\xE9"},
        FormatCase{"std::string_view argument", Format("<%s>", std::string_view("xyz", 2)), "<xy>"},
        // integers
        FormatCase{"zero-filled", Format("%4.4d", 7), "0007"},
        FormatCase{"zero-filled negative", Format("%.3d", -5), "-005"},
        FormatCase{"zero-filled, then padded", Format("%6.3d|%-6.3d|", -5, 42), "  -005|042   |"},
        FormatCase{"precision shorter than number", Format("%.2d", 12345), "12345"},
        FormatCase{"int64 extremes", Format("%d %d", INT64_MIN, UINT64_MAX),
                   "-9223372036854775808 18446744073709551615"},
        FormatCase{"byte-sized numbers", Format("%d %d", uint8_t{200}, int8_t{-3}), "200 -3"},
        FormatCase{"unsigned of negative int", Format("%u", -1), "4294967295"},
        FormatCase{"unsigned of negative int64", Format("%u", int64_t{-1}), "18446744073709551615"},
        FormatCase{"hex upper case", Format("%x", 48879), "BEEF"},
        FormatCase{"hex zero-filled", Format("%.4x|%8x", 255, 255), "00FF|      FF"},
        FormatCase{"hex of negative int is 32 bits", Format("%x", -1), "FFFFFFFF"},
        FormatCase{"hex of negative int64 is 64 bits", Format("%x", int64_t{-2}), "FFFFFFFFFFFFFFFE"},
        FormatCase{"upper-case types", Format("%D %S %X", 5, "s", 10), "5 s A"},
        // floats: "." always, half away from zero
        FormatCase{"two decimals by default", Format("%f", 5.0), "5.00"},
        FormatCase{"width is not decimals", Format("%3f", 2.5), "2.50"},
        FormatCase{"width pads floats", Format("%8.3f|%-8.1f|", 3.14159, -2.25), "   3.142|-2.3    |"},
        FormatCase{"no decimals", Format("%.0f %.0f", 2.5, -0.5), "3 -1"},
        FormatCase{"binary halves round up", Format("%.2f", 0.125), "0.13"},
        FormatCase{"nearest double below the half", Format("%.2f", 2.675), "2.67"},
        FormatCase{"rounds to zero without sign", Format("%.2f", -0.001), "0.00"},
        FormatCase{"float from float", Format("%.1f", 1.25f), "1.3"},
        FormatCase{"thousands", Format("%n|%.0n", 1234567.891, -1000.0), "1,234,567.89|-1,000"},
        FormatCase{"scientific", Format("%e|%.3e", 1234.5, -0.00012), "1.23450000000000E+003|-1.20E-004"},
        // the argument list
        FormatCase{"percent sign", Format("100%% %s", "done"), "100% done"},
        FormatCase{"star width and precision", Format("%*.*s|", 6, 2, "abcdef"), "    ab|"},
        FormatCase{"negative star width justifies left", Format("%*s|", -4, "ab"), "ab  |"},
        FormatCase{"index", Format("%1:s %0:s %s", "a", "b"), "b a b"},
        FormatCase{"bracketed list", Format("%s=%d", {"n", 3}), "n=3"},
        FormatCase{"extra arguments ignored", Format("%s", "a", "b"), "a"},
        FormatCase{"no conversions", Format("plain"), "plain"},
        // stored bytes pass through
        FormatCase{"high bytes in format and argument", Format("\xE9%s\xFF", kHigh), "\xE9\xC9t\xE9\x80\xFF"},
        FormatCase{"NUL in argument counts as a byte", Format("[%-5s]", kWithNul), "[a\0b  ]"s},
        FormatCase{"NUL in argument with precision", Format("[%.2s]", kWithNul), "[a\0]"s},
        FormatCase{"NUL in format", Format("a\0%s\0b"s, "x"), "a\0x\0b"s}),
    [](const auto& info) { return "Case" + std::to_string(info.index); });

TEST(Format, MismatchRaisesNamingTheFormat) {
  const struct {
    std::function<void()> call;
    std::string message;
  } cases[] = {
      {[] { Format("%d", "7"); }, "Format '%d' invalid or incompatible with argument"},
      {[] { Format("%d", 1.5); }, "Format '%d' invalid or incompatible with argument"},
      {[] { Format("%x", 'a'); }, "Format '%x' invalid or incompatible with argument"},
      {[] { Format("%s", 7); }, "Format '%s' invalid or incompatible with argument"},
      {[] { Format("%-30s", 7); }, "Format '%-30s' invalid or incompatible with argument"},
      {[] { Format("%f", 5); }, "Format '%f' invalid or incompatible with argument"},
      {[] { Format("%*s", "4", "a"); }, "Format '%*s' invalid or incompatible with argument"},
      {[] { Format("%q", 1); }, "Format '%q' invalid or incompatible with argument"},
      {[] { Format("50%", 1); }, "Format '50%' invalid or incompatible with argument"},
      {[] { Format("%-5", "a"); }, "Format '%-5' invalid or incompatible with argument"},
      {[] { Format("%--3s", "a"); }, "Format '%--3s' invalid or incompatible with argument"},
      {[] { Format("%99999999999s", "a"); }, "Format '%99999999999s' invalid or incompatible with argument"},
      {[] { Format("%*s", 1 << 30, "a"); }, "Format '%*s' invalid or incompatible with argument"},
      {[] { Format("%s %s", "a"); }, "No argument for format '%s %s'"},
      {[] { Format("%d"); }, "No argument for format '%d'"},
      {[] { Format("%*d", 5); }, "No argument for format '%*d'"},
      {[] { Format("%2:s", "a", "b"); }, "No argument for format '%2:s'"},
      {[] { Format("\xE9%d\0"s, "x"); }, "Format '\xE9%d\0' invalid or incompatible with argument"s},
  };
  for (const auto& c : cases) ExpectMessage<EConvertError>(c.call, c.message);
}

// User text as an argument is never read as a format.
TEST(Format, PercentSignsInArgumentsStayText) { EXPECT_EQ(Format("%s|%-6s|", "%d%s%n", "50%"), "%d%s%n|50%   |"); }

TEST(Format, NumbersIgnoreTheCLocale) {
  ScopedDecimalCommaLocale locale;
  if (!locale.Active()) GTEST_SKIP() << "no locale with a decimal comma is installed";
  EXPECT_EQ(Format("%f|%.3f|%n|%e", 2.5, -1234.5678, 1234567.5, 1.5),
            "2.50|-1234.568|1,234,567.50|1.50000000000000E+000")
      << "under " << locale.Name();
}
