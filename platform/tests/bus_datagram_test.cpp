#include "platform/bus_datagram.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

namespace {

using namespace std::string_literals;

std::string Decoded(const std::string& bytes, std::string& why) {
  const auto message = DecodeBusDatagram(bytes, why);
  return message ? message->name + "|" + message->text : "nothing";
}

}  // namespace

TEST(BusDatagramTest, EncodesTheLayoutByteForByte) {
  const std::string bytes = EncodeBusDatagram({0x01020304, "CV_X", "a\0\xE9"s});
  EXPECT_EQ(bytes, "CVM1\x04\x03\x02\x01\x04"
                   "CV_X\x03\x00"
                   "a\0\xE9"s);
}

TEST(BusDatagramTest, RoundTripsTheLongestNameAndText) {
  const BusDatagram message{4294967295u, std::string(255, 'N'), std::string(255, '\xFF')};
  const std::string bytes = EncodeBusDatagram(message);
  EXPECT_EQ(bytes.size(), kBusMaxDatagram);
  std::string why;
  const auto back = DecodeBusDatagram(bytes, why);
  ASSERT_TRUE(back) << why;
  EXPECT_EQ(back->sender, message.sender);
  EXPECT_EQ(back->name, message.name);
  EXPECT_EQ(back->text, message.text);
}

TEST(BusDatagramTest, AnEmptyTextTravels) {
  std::string why;
  EXPECT_EQ(Decoded(EncodeBusDatagram({7, "CV_Instance_Ready", ""}), why), "CV_Instance_Ready|");
}

TEST(BusDatagramTest, RefusesToEncodeWhatCannotTravel) {
  EXPECT_THROW(EncodeBusDatagram({1, "", "x"}), std::invalid_argument);
  EXPECT_THROW(EncodeBusDatagram({1, std::string(256, 'N'), "x"}), std::invalid_argument);
  EXPECT_THROW(EncodeBusDatagram({1, "CV_X", std::string(256, 't')}), std::invalid_argument);
}

TEST(BusDatagramTest, DropsBrokenDatagramsSayingWhy) {
  const std::string good = EncodeBusDatagram({9, "CV_X", "text"});
  struct Case {
    std::string bytes;
    std::string why;
  };
  const Case cases[] = {
      {"", "short datagram (0 bytes)"},
      {good.substr(0, 11), "short datagram (11 bytes)"},
      {std::string(522, 'C'), "oversized datagram (522 bytes)"},
      {"CVM2" + good.substr(4), "datagram without the bus tag"},
      {"cvm1" + good.substr(4), "datagram without the bus tag"},
      {good.substr(0, 8) + "\x00"s + good.substr(9), "datagram with a bad name length"},
      {good.substr(0, 8) + "\xF0" + good.substr(9), "datagram with a bad name length"},
      {good.substr(0, good.size() - 1), "datagram with a bad text length"},
      {good + "x", "datagram with a bad text length"},
      {"CVM1\x09\0\0\0\x04"
       "CV_X\x00\x01"s + std::string(256, 't'),
       "datagram with a bad text length"},
  };
  for (const Case& c : cases) {
    std::string why;
    EXPECT_EQ(Decoded(c.bytes, why), "nothing") << c.why;
    EXPECT_EQ(why, c.why);
  }
}
