#include "templates/template_number.h"

#include "platform/errors.h"
#include "templates/template_state.h"
#include "testing/expect_message.h"
#include "testing/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

TEST(TemplateNumber, ParsesEachFormAndGivesAllThree) {
  struct Case {
    std::string text;
    int value;
  };
  const std::vector<Case> cases{{"  7", 7}, {"007", 7}, {"7", 7},     {" 07", 7},   {" 12", 12}, {"012", 12},
                                {"12", 12}, {"  0", 0}, {"000", 0},   {"0", 0},     {"998", 998}, {"099", 99}};
  for (const Case& c : cases) {
    const TTemplateNumber n = TTemplateNumber::Parse(c.text);
    EXPECT_EQ(n.Value(), c.value) << c.text;
  }
  const TTemplateNumber twelve = TTemplateNumber::Parse("12");
  EXPECT_EQ(twelve.Stored(), " 12");
  EXPECT_EQ(twelve.ZeroFilled(), "012");
  EXPECT_EQ(twelve.Trimmed(), "12");
  const TTemplateNumber zero(0);
  EXPECT_EQ(zero.Stored(), "  0");
  EXPECT_EQ(zero.ZeroFilled(), "000");
  EXPECT_EQ(zero.Trimmed(), "0");
}

TEST(TemplateNumber, RefusesEverythingElse) {
  for (const std::string& text : std::vector<std::string>{"", "   ", "999", "1000", "0007", "7 ", " 7 ", "-1", "+7", "7a", "x", "1 2",
                                 std::string("\0" "7", 2), "\t7"}) {
    TTemplateNumber n(5);
    EXPECT_FALSE(TTemplateNumber::TryParse(text, n)) << "'" << text << "'";
    EXPECT_EQ(n.Value(), 5);
  }
  ExpectMessage<EConvertError>([] { TTemplateNumber::Parse("999"); }, "'999' is not a template number (0 to 998).");
  ExpectMessage<EConvertError>([] { TTemplateNumber(999); }, "999 is not a template number (0 to 998).");
  ExpectMessage<EConvertError>([] { TTemplateNumber(-1); }, "-1 is not a template number (0 to 998).");
}

TEST(TemplateNumber, OrdersByValue) {
  EXPECT_LT(TTemplateNumber::Parse("  9"), TTemplateNumber::Parse("010"));
  EXPECT_EQ(TTemplateNumber::Parse("  7"), TTemplateNumber::Parse("007"));
}

class TemplateFileNames : public TempDirTest {
protected:
  void SetUp() override { Store.DataDir = "\\mddata"; }
  void TearDown() override { Store.Reset(); }
};

TEST_F(TemplateFileNames, AreBuiltUnderTheDataFolder) {
  const TTemplateNumber seven(7);
  EXPECT_EQ(DescriptorFileName(seven), "\\mddata\\MNGR007.DSC");
  EXPECT_EQ(DataFileName(seven), "\\mddata\\MGRDT007.QMD");
  EXPECT_EQ(MasterFileName(), "\\mddata\\master.dsc");
  EXPECT_EQ(PreviousGeneration(DescriptorFileName(seven)), "\\mddata\\MNGR007.DSX");
  EXPECT_EQ(PreviousGeneration(DataFileName(seven)), "\\mddata\\MGRDT007.QMX");
  EXPECT_EQ(PreviousGeneration(""), "");
}

TEST_F(TemplateFileNames, FolderListingFindsEveryKindOfTemplateFile) {
  for (const char* name : {"MNGR001.DSC", "mngr002.dsx", "MGRDT003.QMD", "mgrdt004.qmx", "MnGr005.DsC",
                           // none of these name a template file
                           "MNGR006.DSA", "MNGR07.DSC", "MNGR0081.DSC", "MNGRabc.DSC", "MGRDT009.DSC",
                           "MNGR010.QMD", "XMNGR011.DSC", "MNGR012.DSC.bak", "MNGR999.DSC"}) {
    WriteFileBytes(TempPath(name), "x");
  }
  std::filesystem::create_directory(TempPath("MNGR013.DSC"));
  const TTemplateNumberSet found = TemplateFilesInFolder(Temp.path().string());
  std::vector<int> numbers;
  for (int i = 0; i <= TemplateNumberLimit; ++i) {
    if (found[static_cast<size_t>(i)]) numbers.push_back(i);
  }
  EXPECT_EQ(numbers, (std::vector<int>{1, 2, 3, 4, 5, 999}));
  EXPECT_TRUE(TemplateFilesInFolder(TempPath("missing")).none());
}

}  // namespace
