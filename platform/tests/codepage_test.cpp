#include "platform/codepage.h"
#include "platform/errors.h"
#include "testing/expect_message.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

using namespace std::string_literals;

namespace {

std::string AllBytes() {
  std::string bytes;
  for (int b = 0; b < 256; ++b) bytes += static_cast<char>(b);
  return bytes;
}

}  // namespace

TEST(Codepage, EveryWindows1252ByteSurvivesUtf8) {
  const std::string bytes = AllBytes();
  const std::string utf8 = Win1252ToUtf8(bytes);
  EXPECT_EQ(Utf8ToWin1252(utf8), bytes);
  // Spot checks of the mapping itself.
  EXPECT_EQ(Win1252ToUtf8("\0A"s), "\0A"s);
  EXPECT_EQ(Win1252ToUtf8("\x80\x8A\x9F\xE9\xFF"), "\u20AC\u0160\u0178\u00E9\u00FF");
  EXPECT_EQ(Win1252ToUtf8("caf\xE9 \x93ok\x94"), "caf\u00E9 \u201Cok\u201D");
}

TEST(Codepage, UnassignedWindows1252BytesTravelAsControlCharacters) {
  EXPECT_EQ(Win1252ToUtf8("\x81\x8D\x8F\x90\x9D"), "\xC2\x81\xC2\x8D\xC2\x8F\xC2\x90\xC2\x9D");
  EXPECT_EQ(Utf8ToWin1252("a\xC2\x81-\xC2\x9D"), "a\x81-\x9D");
  // The other C1 controls have no byte: 0x80 is the euro sign.
  ExpectMessage<EConvertError>([] { return Utf8ToWin1252("\xC2\x80"); }, "The character U+0080 cannot be stored");
}

TEST(Codepage, Utf8ThatWindows1252CannotHoldIsRefused) {
  ExpectMessage<EConvertError>([] { return Utf8ToWin1252("ab\u4E2D"); }, "The character U+4E2D cannot be stored");
  ExpectMessage<EConvertError>([] { return Utf8ToWin1252("\u0141\u00F3d\u017A"); },
                               "The character U+0141 cannot be stored");
  ExpectMessage<EConvertError>([] { return Utf8ToWin1252("x\xC2\x81\U0001F600"); },
                               "The character U+1F600 cannot be stored");
  ExpectMessage<EConvertError>([] { return Utf8ToWin1252("\uFEFFabc"); }, "The character U+FEFF cannot be stored");
}

TEST(Codepage, InvalidUtf8IsRefused) {
  ExpectMessage<EConvertError>([] { return Utf8ToWin1252("caf\xE9"); }, "The text is not valid UTF-8 (byte 4)");
  ExpectMessage<EConvertError>([] { return Utf8ToWin1252("\xC0\xAF"); },
                               "The text is not valid UTF-8 (byte 1)");  // overlong
  ExpectMessage<EConvertError>([] { return Utf8ToWin1252("a\xED\xA0\x80"); },
                               "The text is not valid UTF-8 (byte 2)");  // surrogate
  ExpectMessage<EConvertError>([] { return Utf8ToWin1252("ab\xE2\x82"); },
                               "The text is not valid UTF-8 (byte 3)");  // cut short
  ExpectMessage<EConvertError>([] { return Utf8ToWin1252("\xC2\x81\xC2"); }, "The text is not valid UTF-8 (byte 3)");
}

TEST(Codepage, OemAndAnsiRoundTripWhereBothHoldTheCharacter) {
  // The bytes that mean the same letter in both code pages.
  EXPECT_EQ(OemToAnsi("\x82\x81\x87\xA4\x9C\xE1\xF8"), "\xE9\xFC\xE7\xF1\xA3\xDF\xB0");  // éüçñ£ß°
  EXPECT_EQ(AnsiToOem("\xE9\xFC\xE7\xF1\xA3\xDF\xB0"), "\x82\x81\x87\xA4\x9C\xE1\xF8");

  int round_trips = 0;
  for (int b = 0; b < 256; ++b) {
    const std::string oem(1, static_cast<char>(b));
    std::string ansi;
    try {
      ansi = OemToAnsi(oem);
    } catch (const EConvertError&) {
      continue;
    }
    ASSERT_EQ(ansi.size(), 1u) << b;
    EXPECT_EQ(AnsiToOem(ansi), oem) << b;
    ++round_trips;
  }
  // ASCII plus the accented letters, signs and currency CP437 shares with Windows-1252.
  EXPECT_EQ(round_trips, 128 + 54);
}

TEST(Codepage, OemAndAnsiRefuseWhatTheOtherCannotHold) {
  ExpectMessage<EConvertError>([] { return OemToAnsi("a\xB3"); },
                               "The character U+2502 cannot be stored");  // box drawing
  ExpectMessage<EConvertError>([] { return OemToAnsi("\xE0"); }, "The character U+03B1 cannot be stored");  // alpha
  ExpectMessage<EConvertError>([] { return AnsiToOem("\xBE"); },
                               "The character U+00BE cannot be stored");  // three quarters
  ExpectMessage<EConvertError>([] { return AnsiToOem("\x80"); }, "The character U+20AC cannot be stored");  // euro
  ExpectMessage<EConvertError>([] { return AnsiToOem("\x81"); }, "The character U+0081 cannot be stored");
}

TEST(Codepage, ConvertsFromManyThreadsAtOnce) {
  const std::string bytes = AllBytes();
  std::vector<std::thread> threads;
  std::vector<int> good(8, 0);
  for (int t = 0; t < 8; ++t) {
    threads.emplace_back([&, t] {
      for (int i = 0; i < 50; ++i) good[t] += Utf8ToWin1252(Win1252ToUtf8(bytes)) == bytes;
    });
  }
  for (auto& thread : threads) thread.join();
  EXPECT_EQ(good, std::vector<int>(8, 50));
}
