#include "platform/text.h"
#include "platform/errors.h"

#include "testing/decimal_comma_locale.h"
#include "testing/expect_message.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>

using namespace std::string_literals;

TEST(Trim, StripsControlBytesButNotHighBytes) {
  EXPECT_EQ(Trim(" \t\r\n\x01 abc \0"s), "abc");
  EXPECT_EQ(Trim(" \xA0 x\xE9 "), "\xA0 x\xE9");  // 0xA0 and 0xE9 are not blanks
  EXPECT_EQ(TrimLeft("  a b  "), "a b  ");
  EXPECT_EQ(TrimRight("  a b  "), "  a b");
  EXPECT_EQ(Trim(" \0 "s), "");
  EXPECT_EQ(Trim(""), "");
  EXPECT_EQ(TrimRight("a\0b\0"s), "a\0b"s);
}

TEST(Copy, ClampsLikeTheRuntime) {
  const std::string s = "abcdef";
  EXPECT_EQ(Copy(s, 1, 3), "abc");
  EXPECT_EQ(Copy(s, 4, 100), "def");
  EXPECT_EQ(Copy(s, 6, 1), "f");
  EXPECT_EQ(Copy(s, 7, 1), "");
  EXPECT_EQ(Copy(s, 0, 2), "ab");
  EXPECT_EQ(Copy(s, -5, 2), "ab");
  EXPECT_EQ(Copy(s, 2, 0), "");
  EXPECT_EQ(Copy(s, 2, -1), "");
  EXPECT_EQ(Copy(s, 3, std::string::npos), "cdef");
  EXPECT_EQ(Copy(s, INT32_MAX, INT32_MAX), "");
  EXPECT_EQ(Copy("", 1, 1), "");
  EXPECT_EQ(Copy("a\0b\xE9"s, 2, 3), "\0b\xE9"s);
}

TEST(Pos, IsOneBasedAndZeroWhenAbsent) {
  EXPECT_EQ(Pos("c", "abcabc"), 3);
  EXPECT_EQ(Pos("abc", "abcabc"), 1);
  EXPECT_EQ(Pos("x", "abc"), 0);
  EXPECT_EQ(Pos("", "abc"), 0);
  EXPECT_EQ(Pos("abcd", "abc"), 0);
  EXPECT_EQ(Pos("\0b"s, "a\0b"s), 2);
  EXPECT_EQ(Pos("\xE9", "caf\xE9"), 4);
}

TEST(Case, AsciiVersionsLeaveAccentsAlone) {
  EXPECT_EQ(UpperCase("caf\xE9 abc-XYZ"), "CAF\xE9 ABC-XYZ");
  EXPECT_EQ(LowerCase("CAF\xC9 ABC"), "caf\xC9 abc");
}

TEST(Case, AnsiVersionsFoldWindows1252Letters) {
  // Every lower-case letter of the code page with its upper-case partner.
  std::string lower = "abcdefghijklmnopqrstuvwxyz\x9A\x9C\x9E\xFF";
  std::string upper = "ABCDEFGHIJKLMNOPQRSTUVWXYZ\x8A\x8C\x8E\x9F";
  for (int c = 0xE0; c <= 0xFE; ++c) {
    if (c == 0xF7) continue;
    lower += static_cast<char>(c);
    upper += static_cast<char>(c - 0x20);
  }
  EXPECT_EQ(AnsiUpperCase(lower), upper);
  EXPECT_EQ(AnsiLowerCase(upper), lower);
  // Signs without a case partner stay.
  const std::string fixed = "\xDF\xB5\xD7\xF7\x83\x80\0 1!"s;
  EXPECT_EQ(AnsiUpperCase(fixed), fixed);
  EXPECT_EQ(AnsiLowerCase(fixed), fixed);
}

TEST(Case, AnsiCompareTextIgnoresCaseAndOrdersBytes) {
  EXPECT_EQ(AnsiCompareText("\xC9t\xE9", "\xE9T\xC9"), 0);
  EXPECT_TRUE(AnsiSameText("stra\xDF", "STRA\xDF"));
  EXPECT_FALSE(AnsiSameText("a\0b"s, "a\0c"s));
  EXPECT_LT(AnsiCompareText("abc", "ABD"), 0);
  EXPECT_GT(AnsiCompareText("abd", "ABC"), 0);
  EXPECT_LT(AnsiCompareText("ab", "ABC"), 0);
  EXPECT_GT(AnsiCompareText("abc", "AB"), 0);
  EXPECT_GT(AnsiCompareText("\xE9", "z"), 0);  // high bytes sort after ASCII, never as negative chars
}

TEST(IntToStr, AnyWidth) {
  EXPECT_EQ(IntToStr(0), "0");
  EXPECT_EQ(IntToStr(-42), "-42");
  EXPECT_EQ(IntToStr(INT64_MIN), "-9223372036854775808");
  EXPECT_EQ(IntToStr(UINT64_MAX), "18446744073709551615");
  EXPECT_EQ(IntToStr(uint8_t{233}), "233");
  EXPECT_EQ(IntToStr(int16_t{-32768}), "-32768");
}

TEST(IntToHex, UpperCaseAtTheRuntimeWidth) {
  EXPECT_EQ(IntToHex(255, 4), "00FF");
  EXPECT_EQ(IntToHex(0, 0), "0");
  EXPECT_EQ(IntToHex(0xABCDEF, 2), "ABCDEF");
  EXPECT_EQ(IntToHex(-1, 1), "FFFFFFFF");
  EXPECT_EQ(IntToHex(int16_t{-1}, 1), "FFFFFFFF");
  EXPECT_EQ(IntToHex(int64_t{-1}, 1), "FFFFFFFFFFFFFFFF");
}

TEST(StrToInt, AcceptsSignDecimalAndHex) {
  const struct {
    const char* text;
    int value;
  } cases[] = {
      {"0", 0},
      {"123", 123},
      {"-123", -123},
      {"+7", 7},
      {"007", 7},
      {"$FF", 255},
      {"0x1f", 31},
      {"-$10", -16},
      {"$FFFFFFFF", -1},
      {"2147483647", INT32_MAX},
      {"-2147483648", INT32_MIN},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(StrToInt(c.text), c.value) << c.text;
  }
  EXPECT_EQ(StrToInt64("-9223372036854775808"), INT64_MIN);
  EXPECT_EQ(StrToInt64("$FFFFFFFFFFFFFFFF"), -1);
  EXPECT_EQ(StrToInt64("4294967296"), 4294967296);
}

TEST(StrToInt, RejectsBlanksJunkAndOverflow) {
  const char* rejected[] = {"",    " 1",         "1 ",          "\t1",        "1x",         "+",
                            "-",   "$",          "0x",          "1.0",        "1e3",        "--1",
                            "+-1", "2147483648", "-2147483649", "$100000000", "-$FFFFFFFF", "\xB9"};
  for (const char* text : rejected) {
    int value = 99;
    EXPECT_FALSE(TryStrToInt(text, value)) << "'" << text << "'";
    EXPECT_EQ(value, 99) << "'" << text << "'";
    EXPECT_EQ(StrToIntDef(text, -7), -7) << "'" << text << "'";
    ExpectMessage<EConvertError>([&] { StrToInt(text); }, "'" + std::string(text) + "' is not a valid integer value");
  }
  int64_t wide = 0;
  EXPECT_FALSE(TryStrToInt64("9223372036854775808", wide));
  EXPECT_FALSE(
      TryStrToInt64("1\0"
                    "2"s,
                    wide));
  EXPECT_THROW(StrToInt64(" 5"), EConvertError);
}

TEST(FloatToStr, GeneralFormatWithFifteenDigits) {
  const struct {
    double value;
    const char* text;
  } cases[] = {
      {0.0, "0"},
      {-0.0, "0"},
      {1.5, "1.5"},
      {100.0, "100"},
      {0.1, "0.1"},
      {-2.25, "-2.25"},
      {1.0 / 3, "0.333333333333333"},
      {2.0 / 3, "0.666666666666667"},
      {0.1 + 0.2, "0.3"},
      {1e20, "1E20"},
      {1.5e-7, "1.5E-7"},
      {123456789012345.0, "123456789012345"},
      {1234567890123456.0, "1.23456789012346E15"},
      {0.00001, "0.00001"},
      {0.0000099, "9.9E-6"},
      {-1e-10, "-1E-10"},
      {999999999999999.9, "1E15"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FloatToStr(c.value), c.text) << c.text;
  }
  EXPECT_EQ(FloatToStr(NAN), "NAN");
  EXPECT_EQ(FloatToStr(-INFINITY), "-INF");
}

TEST(FormatFloat, CommonPictures) {
  const struct {
    const char* picture;
    double value;
    const char* text;
  } cases[] = {
      {"0", 2.5, "3"},
      {"0", -2.5, "-3"},
      {"0", 0.4, "0"},
      {"0.00", 5.0, "5.00"},
      {"0.00", 1.005, "1.00"},  // the nearest double is below the half
      {"0.00", 0.125, "0.13"},
      {"0.00", -0.001, "0.00"},
      {"#,##0.00", 1234567.891, "1,234,567.89"},
      {"#,##0.00", 999.999, "1,000.00"},
      {"#,##0.00", -1234.5, "-1,234.50"},
      {"#,##0.00", 0.5, "0.50"},
      {"#.##", 1.5, "1.5"},
      {"#.##", 0.25, ".25"},
      {"#.##", 3.0, "3"},
      {"#.##", 0.0, ""},
      {"0.###", 1.23456, "1.235"},
      {"0.###", 2.0, "2"},
      {"000", 7.0, "007"},
      {"0", 123456.0, "123456"},
      {"$#,##0.00", 1500.0, "$1,500.00"},
      {"0.0 'kg'", 2.25, "2.3 kg"},
      {"0.00;(0.00)", -3.5, "(3.50)"},
      {"0.00;(0.00);'nil'", 0.0, "nil"},
      {"", 1.5, "1.5"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FormatFloat(c.picture, c.value), c.text) << c.picture << " of " << c.value;
  }
}

TEST(StrToFloat, ReadsDecimalPointTextOnly) {
  const struct {
    const char* text;
    double value;
  } cases[] = {
      {"1.5", 1.5}, {" -2.25 ", -2.25}, {"+3", 3.0}, {"1e3", 1000.0}, {"2.5E-2", 0.025},
      {".5", 0.5},  {"5.", 5.0},        {"0", 0.0},  {"007.50", 7.5}, {"1E+2", 100.0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(StrToFloat(c.text), c.value) << c.text;
  }
  const char* rejected[] = {"",    " ",   "1,5",   "1.2.3", "abc", "1e",    "e5",  ".",   "+",
                            "inf", "nan", "0x1p3", "1 2",   "--1", "1e999", "\t1", "1.5x"};
  for (const char* text : rejected) {
    double value = 99;
    EXPECT_FALSE(TryStrToFloat(text, value)) << "'" << text << "'";
    EXPECT_EQ(value, 99);
    EXPECT_EQ(StrToFloatDef(text, -1), -1) << "'" << text << "'";
    ExpectMessage<EConvertError>([&] { StrToFloat(text); },
                                 "'" + std::string(text) + "' is not a valid floating point value");
  }
}

TEST(Numbers, IgnoreTheCLocale) {
  ScopedDecimalCommaLocale locale;
  if (!locale.Active()) GTEST_SKIP() << "no locale with a decimal comma is installed";
  EXPECT_EQ(FloatToStr(1.5) + "|" + FloatToStr(1.5e-7) + "|" + FormatFloat("#,##0.00", 1234.5) + "|" +
                FloatToStrF(2.5, ffFixed, 15, 1),
            "1.5|1.5E-7|1,234.50|2.5")
      << "under " << locale.Name();
  double parsed = 0;
  EXPECT_FALSE(TryStrToFloat("1,5", parsed));
  EXPECT_EQ(StrToFloat(" 1.5"), 1.5);
}

TEST(StringOfChar, RepeatsAnyByte) {
  EXPECT_EQ(StringOfChar('-', 3), "---");
  EXPECT_EQ(StringOfChar('\0', 2), "\0\0"s);
  EXPECT_EQ(StringOfChar('x', 0), "");
  EXPECT_EQ(StringOfChar('x', -4), "");
}

TEST(QuotedStr, DoublesInnerQuotes) {
  EXPECT_EQ(QuotedStr("O'Brien"), "'O''Brien'");
  EXPECT_EQ(QuotedStr(""), "''");
  EXPECT_EQ(QuotedStr("''"), "''''''");
  EXPECT_EQ(QuotedStr("a\0b"s), "'a\0b'"s);
}
