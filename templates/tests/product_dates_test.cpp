// Product file dates: the YY window, both ways; the display texts in each
// date order; every message through the responder, silence when Quiet; the
// sticky failure flag; the elapsed year.
#include "templates/product_dates.h"

#include "platform/date_format.h"
#include "platform/datetime_value.h"
#include "testing/clock_fixture.h"
#include "testing/dialog_responder.h"
#include "testing/expect_message.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

namespace {

const std::string Call = "\r\rPlease call Ondral, Inc. for assistance.";
const std::string DefaultUsed = "Date 01/01/1981 will be used. ";

class ProductDatesTest : public ::testing::Test {
protected:
  void SetUp() override { ResetDateConversionFailed(); }
  void TearDown() override {
    ResetFormatSettings();
    ResetDateConversionFailed();
  }
  static void UseFormat(const std::string& format, char separator) {
    FormatSettings.ShortDateFormat = format;
    FormatSettings.DateSeparator = separator;
  }
};

TEST_F(ProductDatesTest, DatesInsideTheWindowBecomeFileDatesAndBack) {
  struct Row {
    int year, month, day;
    const char* file;
  };
  const Row rows[] = {{2005, 3, 15, "250315"}, {1980, 1, 1, "000101"}, {1999, 12, 31, "191231"},
                      {2000, 1, 1, "200101"},  {2079, 12, 31, "991231"}, {1981, 1, 1, "010101"}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.file);
    std::string file = "unchanged";
    DateToFileDate(false, file, EncodeDate(r.year, r.month, r.day) + 0.75);
    EXPECT_EQ(file, r.file);
    EXPECT_EQ(FileDateToDate(file), EncodeDate(r.year, r.month, r.day));
  }
  EXPECT_FALSE(DateConversionFailed());
}

TEST_F(ProductDatesTest, EachDateOrderReadsItsOwnText) {
  struct Row {
    const char* format;
    char separator;
    const char* display;
    const char* shortDisplay;
  };
  const Row rows[] = {{"M/d/yyyy", '/', "03/15/2005", "03/15/05"},
                      {"dd.MM.yyyy", '.', "15.03.2005", "15.03.05"},
                      {"yyyy-MM-dd", '-', "2005-03-15", "05-03-15"}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.format);
    UseFormat(r.format, r.separator);
    EXPECT_EQ(FileDateToDate("250315"), EncodeDate(2005, 3, 15));
    std::string display, shortDisplay;
    FileDateToDisplayDate("250315", false, display);
    FileDateToShortDisplayDate("250315", false, shortDisplay);
    EXPECT_EQ(display, r.display);
    EXPECT_EQ(shortDisplay, r.shortDisplay);
  }
  EXPECT_FALSE(DateConversionFailed());
}

TEST_F(ProductDatesTest, DisplayYearsFollowTheWindowAndKeepTheStoredDigits) {
  struct Row {
    const char* file;
    const char* display;
    const char* shortDisplay;
  };
  const Row rows[] = {{"000101", "01/01/1980", "01/01/80"}, {"191231", "12/31/1999", "12/31/99"},
                      {"200229", "02/29/2000", "02/29/00"}, {"990707", "07/07/2079", "07/07/79"},
                      // No calendar check in the display: the digits as stored.
                      {"251399", "13/99/2005", "13/99/05"}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.file);
    std::string display, shortDisplay;
    FileDateToDisplayDate(r.file, false, display);
    FileDateToShortDisplayDate(r.file, false, shortDisplay);
    EXPECT_EQ(display, r.display);
    EXPECT_EQ(shortDisplay, r.shortDisplay);
  }
}

TEST_F(ProductDatesTest, DatesOutsideTheWindowOrWithoutADateGiveTheDefault) {
  struct Row {
    TDateTime value;
    const char* shown;
  };
  const Row rows[] = {{EncodeDate(1979, 12, 31), "12/31/1979"},
                      {EncodeDate(2080, 1, 1), "1/1/2080"},
                      {std::numeric_limits<double>::quiet_NaN(), "NAN"},
                      {1e12, "1000000000000"}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.shown);
    DialogResponder dialogs;
    dialogs.Expect("Invalid date (" + std::string(r.shown) + ") cannot convert to CV file format. " + DefaultUsed +
                   Call);
    std::string file;
    DateToFileDate(false, file, r.value);
    EXPECT_EQ(file, "010101");
    ASSERT_EQ(dialogs.Boxes().size(), 1u);
    EXPECT_EQ(dialogs.Boxes()[0].type, mtCustom);
    EXPECT_EQ(dialogs.Boxes()[0].buttons, mbOKOnly);
  }
  EXPECT_TRUE(DateConversionFailed());
}

TEST_F(ProductDatesTest, TextThatIsNoFileDateGivesTheDefaultWithItsMessage) {
  struct Row {
    const char* text;
    const char* format;
    std::string date;     // FileDateToDate's message
    std::string display;  // the display routines' message
  };
  const std::string lengthDisplay = "  Can't convert to CV display date. ";
  const Row rows[] = {
      {"25031", "M/d/yyyy", "Invalid date length - Must be 6 integers. (25031) " + DefaultUsed + Call,
       "Invalid CV file date length - Must be 6 integers. (25031)" + lengthDisplay + DefaultUsed + Call},
      {"2503150", "M/d/yyyy", "Invalid date length - Must be 6 integers. (2503150) " + DefaultUsed + Call,
       "Invalid CV file date length - Must be 6 integers. (2503150)" + lengthDisplay + DefaultUsed + Call},
      {"25O315", "M/d/yyyy", "Invalid date - must be 6 integers. (25O315) " + DefaultUsed + Call,
       "Invalid date - must be 6 integers. (25O315) " + DefaultUsed + Call},
      {"+25031", "M/d/yyyy", "Invalid date - must be 6 integers. (+25031) " + DefaultUsed + Call,
       "Invalid date - must be 6 integers. (+25031) " + DefaultUsed + Call},
      {"250315", "'d'", "Invalid global date format 'd'" + DefaultUsed + Call,
       "Invalid ShortDateFormat. Can't convert CV file date to CV display date. ShortDateFormat = 'd'. CV file date = "
       "250315.  " +
           DefaultUsed + Call},
      {"250315", "", "Invalid global date format " + DefaultUsed + Call,
       "Invalid ShortDateFormat. Can't convert CV file date to CV display date. ShortDateFormat = . CV file date = "
       "250315.  " +
           DefaultUsed + Call},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.text + std::string(" ") + r.format);
    FormatSettings.ShortDateFormat = r.format;
    DialogResponder dialogs;
    dialogs.Expect(r.date).Expect(r.display).Expect(r.display);
    EXPECT_EQ(FileDateToDate(r.text), EncodeDate(1981, 1, 1));
    std::string display, shortDisplay;
    FileDateToDisplayDate(r.text, false, display);
    FileDateToShortDisplayDate(r.text, false, shortDisplay);
    EXPECT_EQ(display, "01/01/81");
    EXPECT_EQ(shortDisplay, "01/01/81");
  }
}

TEST_F(ProductDatesTest, SixDigitsThatNameNoDayGiveTheDefaultAndTheConversionText) {
  struct Row {
    const char* file;
    const char* text;
  };
  const Row rows[] = {{"251301", "'13/01/2005' is not a valid date"}, {"250230", "'02/30/2005' is not a valid date"}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.file);
    ResetDateConversionFailed();
    DialogResponder dialogs;
    dialogs.Expect(r.text);
    EXPECT_EQ(FileDateToDate(r.file), EncodeDate(1981, 1, 1));
    EXPECT_TRUE(DateConversionFailed());
  }
}

TEST_F(ProductDatesTest, QuietFailuresShowNothingAndStillSetTheFlag) {
  // The strict responder of the test main fails any box shown here.
  std::string result;
  DateToFileDate(true, result, EncodeDate(2100, 1, 1));
  EXPECT_EQ(result, "010101");
  EXPECT_EQ(FileDateToDate("1", true), EncodeDate(1981, 1, 1));
  EXPECT_EQ(FileDateToDate("251301", true), EncodeDate(1981, 1, 1));
  FileDateToDisplayDate("abcdef", true, result);
  EXPECT_EQ(result, "01/01/81");
  FileDateToShortDisplayDate("", true, result);
  EXPECT_EQ(result, "01/01/81");
  EXPECT_TRUE(DateConversionFailed());
}

// The start-up converts its work date three ways, then asks: a failure of
// the first is not hidden by the display conversion after it, which checks
// no calendar and succeeds.
TEST_F(ProductDatesTest, TheFailureFlagStaysSetUntilReset) {
  EXPECT_EQ(FileDateToDate("251301", true), EncodeDate(1981, 1, 1));
  std::string text;
  FileDateToShortDisplayDate("251301", true, text);
  EXPECT_EQ(text, "13/01/05");
  EXPECT_TRUE(DateConversionFailed());
  ResetDateConversionFailed();
  EXPECT_FALSE(DateConversionFailed());
  EXPECT_EQ(FileDateToDate("250315", true), EncodeDate(2005, 3, 15));
  EXPECT_FALSE(DateConversionFailed());
}

TEST_F(ProductDatesTest, EveryFileDateReadSetsTheElapsedYear) {
  ScopedClock clock(EncodeDate(2024, 6, 30) + 0.5);
  ElapsedYear = 0;
  FileDateToDate("250315");
  EXPECT_EQ(ElapsedYear, 44);
  clock.Advance(2 * 86400000u);  // into July, same year
  ElapsedYear = 0;
  FileDateToDate("x", true);
  EXPECT_EQ(ElapsedYear, 44);
}

TEST_F(ProductDatesTest, TemplateDatesHaveEightDigits) {
  std::string text;
  DateToYYYYMMDD(text, EncodeDate(2005, 3, 15) + 0.9);
  EXPECT_EQ(text, "20050315");
  DateToYYYYMMDD(text, EncodeDate(7, 1, 2));
  EXPECT_EQ(text, "00070102");
  ExpectMessage<EConvertError>([&] { DateToYYYYMMDD(text, std::nan("")); }, "Unable to decode date.");
  EXPECT_EQ(text, "00070102");
  EXPECT_TRUE(DateConversionFailed());
}

}  // namespace
