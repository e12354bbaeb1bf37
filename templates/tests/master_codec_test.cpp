#include "templates/master_codec.h"

#include "platform/errors.h"
#include "testing/expect_message.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(MasterRecord, TextAndKeys) {
  EXPECT_EQ(FormatMasterText("Fees", TTemplateNumber(12)), "Fees" + std::string(26, ' ') + " 12");
  const std::string thirty(30, 'N');
  EXPECT_EQ(FormatMasterText(thirty, TTemplateNumber(0)), thirty + "  0");
  EXPECT_EQ(FormatMasterText("Caf\xE9", TTemplateNumber(998)), "Caf\xE9" + std::string(26, ' ') + "998");
  EXPECT_EQ(MasterNameKey("Fees"), "Fees" + std::string(26, ' '));
  EXPECT_EQ(MasterNumberKey(TTemplateNumber::Parse("007")), "  7");
  ExpectMessage<EMasterRecordError>([] { FormatMasterText(std::string(31, 'x'), TTemplateNumber(1)); },
                                    "The template name \"" + std::string(31, 'x') + "\" is longer than 30 characters.");
}

TEST(MasterRecord, ReadBackFromARecord) {
  const std::string record = std::string("\x05\x00\x00\x00", 4) + FormatMasterText("Fees", TTemplateNumber(12));
  ASSERT_EQ(record.size(), 37u);
  EXPECT_EQ(MasterText(record), "Fees" + std::string(26, ' ') + " 12");
  EXPECT_EQ(ParseMasterText(MasterText(record)), (TMasterRecord{"Fees", TTemplateNumber(12)}));
  ExpectMessage<EMasterRecordError>([&] { MasterText(record.substr(0, 36)); },
                                    "A master record has 36 bytes instead of 37.");
  ExpectMessage<EMasterRecordError>([] { ParseMasterText("Fees"); },
                                    "A master text has 4 characters instead of 33.");
  ExpectMessage<EConvertError>([] { ParseMasterText(std::string(30, ' ') + "x12"); },
                               "'x12' is not a template number (0 to 998).");
}

TEST(MasterRecord, KeySegments) {
  const auto& k = MasterKeySegments;
  EXPECT_TRUE(k[0].AutoInc);
  EXPECT_EQ(k[0].Length, 4);
  EXPECT_EQ(k[1].KeyNo, 1);
  EXPECT_EQ(k[1].Position, 5);
  EXPECT_EQ(k[1].Length, 30);
  EXPECT_TRUE(k[1].Modifiable);
  EXPECT_FALSE(k[1].Duplicates);
  EXPECT_EQ(k[2].KeyNo, 2);
  EXPECT_EQ(k[2].Position, 35);
  EXPECT_EQ(k[2].Length, 3);
  EXPECT_FALSE(k[2].Modifiable);
  EXPECT_FALSE(k[2].Duplicates);
  EXPECT_EQ(k[2].Position + k[2].Length - 1, MasterRecordLength);
}

}  // namespace
