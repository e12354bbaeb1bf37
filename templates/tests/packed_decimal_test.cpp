// Packed decimals: their text for every sign nibble, decimal count and
// length, bad nibbles and empty input; the encoder against golden bytes and
// as a round trip through the text.
#include "templates/packed_decimal.h"

#include "platform/errors.h"
#include "platform/format.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <string>

namespace {

std::string Bytes(std::initializer_list<int> b) {
  std::string s;
  for (int x : b) s += char(x);
  return s;
}

TEST(DecimalToStrTest, TextOfPackedBytes) {
  const struct {
    std::string packed;
    int decimals;
    std::string text;
  } cases[] = {
      {Bytes({0x01, 0x23, 0x4F}), 2, "12.34"},
      {Bytes({0x01, 0x23, 0x4D}), 2, "-12.34"},
      {Bytes({0x01, 0x23, 0x4C}), 2, "-12.34"},  // only F is positive
      {Bytes({0x01, 0x23, 0x40}), 0, "-1234"},
      {Bytes({0x00, 0x05, 0x0F}), 2, ".50"},
      {Bytes({0x05, 0x0D}), 2, "-.50"},
      {Bytes({0x00, 0x00, 0x0F}), 2, ".00"},
      {Bytes({0x00, 0x00, 0x0F}), 0, "0"},
      {Bytes({0x00, 0x00, 0x0D}), 0, "-0"},
      {Bytes({0x5F}), 2, ".05"},  // fewer digits than decimals
      {Bytes({0x5F}), 0, "5"},
      {Bytes({0x01, 0x23, 0x4F}), 6, ".001234"},
      {Bytes({0x12, 0x3F}), -1, "123"},
      {Bytes({0x1A, 0x2F}), 0, "1?2"},  // a digit nibble above 9
      {Bytes({0xF0, 0x0F}), 1, "?0.0"},
      {"", 2, "0"},
      {Bytes({0x12, 0x34, 0x56, 0x78, 0x90, 0x12, 0x3F}), 2, "12345678901.23"},  // wider than 12: not cut
      {Bytes({0x99, 0x99, 0x99, 0x99, 0x99, 0x99, 0x9D}), 2, "-99999999999.99"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(Format("%d decimals, %d bytes", c.decimals, int(c.packed.size())));
    std::string s = c.packed;
    DecimalToStr(s, c.decimals);
    EXPECT_EQ(s, Format("%12s", c.text));
  }
}

TEST(PackDecimalTest, GoldenBytesAndRefusals) {
  EXPECT_EQ(PackDecimal(1234, 3), Bytes({0x01, 0x23, 0x4F}));
  EXPECT_EQ(PackDecimal(-50, 2), Bytes({0x05, 0x0D}));
  EXPECT_EQ(PackDecimal(0, 1), Bytes({0x0F}));
  EXPECT_EQ(PackDecimal(999, 2), Bytes({0x99, 0x9F}));
  EXPECT_EQ(PackDecimal(1250, 4), Bytes({0x00, 0x01, 0x25, 0x0F}));
  EXPECT_EQ(PackDecimal(INT64_MIN, 10), Bytes({0x92, 0x23, 0x37, 0x20, 0x36, 0x85, 0x47, 0x75, 0x80, 0x8D}));
  EXPECT_THROW(PackDecimal(1000, 2), EConvertError);
  EXPECT_THROW(PackDecimal(-1000, 2), EConvertError);
  EXPECT_THROW(PackDecimal(1, 0), EConvertError);
  EXPECT_THROW(PackDecimal(1, 11), EConvertError);
}

TEST(PackDecimalTest, RoundTripThroughTheText) {
  for (const int64_t units : {int64_t(0), int64_t(1), int64_t(-1), int64_t(50), int64_t(-99), int64_t(100),
                              int64_t(123456), int64_t(-9999999), int64_t(9999999)}) {
    for (const int bytes : {4, 6}) {
      SCOPED_TRACE(Format("%d in %d bytes", units, bytes));
      std::string s = PackDecimal(units, bytes);
      ASSERT_EQ(s.size(), size_t(bytes));
      DecimalToStr(s, 2);
      const int64_t whole = (units < 0 ? -units : units) / 100;
      const std::string text =
          (units < 0 ? "-" : "") + (whole ? Format("%d", whole) : "") + Format(".%.2d", (units < 0 ? -units : units) % 100);
      EXPECT_EQ(s, Format("%12s", text));
    }
  }
}

}  // namespace
