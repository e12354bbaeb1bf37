// The picker's decisions without a window: the format for each mode, the
// fields inside the text, the keys, the value store and the range setters.
#include "datetime/picker_model.h"

#include "datetime/tests/picker_keys.h"
#include "platform/date_format.h"
#include "platform/datetime_value.h"
#include "testing/clock_fixture.h"
#include "testing/expect_message.h"

#include <gtest/gtest.h>

#include <cmath>

#include <string>
#include <vector>

namespace {

using picker_keys::Type;

TDateTime D(int y, int m, int d) { return EncodeDate(y, m, d); }
TDateTime DT(int y, int m, int d, int h, int n, int s = 0) { return D(y, m, d) + EncodeTime(h, n, s, 0); }

// A value as the tables write it.
std::string Shown(TDateTime value) { return value == 0 ? "0" : FormatDateTime("yyyy-mm-dd hh:nn:ss", value); }

// Sunday 2026-03-15, 10:20:30 in the morning.
const TDateTime kNow = DT(2026, 3, 15, 10, 20, 30);

class PickerFixture : public testing::Test {
protected:
  ScopedClock clock{kNow};
};

// ---- format choice and expansion

struct FormatRow {
  TdwDTEditDataType Type;
  TDTDateFormat DateFormat;
  std::string DisplayFormat;
  std::string Effective;
  std::string EffectiveNoDefaults;
  std::string Expanded;
  int FieldCount;
};

TEST(PickerFormat, EffectiveAndExpandedFormatPerMode) {
  const std::vector<FormatRow> rows = {
      {dwDTEdtDateTime, dfShort, "", "c", "", "M/d/yyyy h:mm:ss AMPM", 7},
      {dwDTEdtDateTime, dfLong, "", "dddd, MMMM dd, yyyy h:mm:ss AMPM", "", "dddd, MMMM dd, yyyy h:mm:ss AMPM", 8},
      {dwDTEdtDate, dfShort, "", "M/d/yyyy", "", "M/d/yyyy", 3},
      {dwDTEdtDate, dfLong, "", "dddd, MMMM dd, yyyy", "", "dddd, MMMM dd, yyyy", 4},
      {dwDTEdtTime, dfShort, "", "h:mm AMPM", "", "h:mm AMPM", 3},
      {dwDTEdtTime, dfLong, "", "h:mm:ss AMPM", "", "h:mm:ss AMPM", 4},
      // A display format wins in every mode; the mode picks the fields.
      {dwDTEdtDate, dfLong, "yyyy-mm-dd hh:nn", "yyyy-mm-dd hh:nn", "yyyy-mm-dd hh:nn", "yyyy-mm-dd hh:nn", 3},
      {dwDTEdtTime, dfShort, "yyyy-mm-dd hh:nn", "yyyy-mm-dd hh:nn", "yyyy-mm-dd hh:nn", "yyyy-mm-dd hh:nn", 2},
      {dwDTEdtDateTime, dfShort, "ddddd tt", "ddddd tt", "ddddd tt", "M/d/yyyy h:mm:ss AMPM", 7},
      {dwDTEdtDateTime, dfShort, "dddddd t", "dddddd t", "dddddd t", "dddd, MMMM dd, yyyy h:mm AMPM", 7},
      // Quoted text stays text, even its letters.
      {dwDTEdtDateTime, dfShort, "'c' yyyy", "'c' yyyy", "'c' yyyy", "'c' yyyy", 1},
      // A one-letter token at the end is a field like any other.
      {dwDTEdtDate, dfShort, "M/d", "M/d", "M/d", "M/d", 2},
  };
  for (const FormatRow& row : rows) {
    SCOPED_TRACE(row.DisplayFormat + " " + std::to_string(row.Type) + std::to_string(row.DateFormat));
    PickerModel model;
    model.SetUnboundDataType(row.Type);
    model.SetDateFormat(row.DateFormat);
    model.SetDisplayFormat(row.DisplayFormat);
    EXPECT_EQ(model.GetEffectiveFormat(true), row.Effective);
    EXPECT_EQ(model.GetEffectiveFormat(false), row.EffectiveNoDefaults);
    EXPECT_EQ(model.ExpandFormat(), row.Expanded);
    EXPECT_EQ(model.FieldCount(), row.FieldCount);
  }
}

TEST_F(PickerFixture, ValueTextPerModeAndTheLongDateWithoutTime) {
  PickerModel model;
  EXPECT_EQ(model.FormatValue(0), "");
  EXPECT_EQ(model.FormatValue(D(2026, 3, 15)), "3/15/2026");
  EXPECT_EQ(model.FormatValue(DT(2026, 3, 15, 14, 5)), "3/15/2026 2:05:00 PM");
  model.SetDateFormat(dfLong);
  EXPECT_EQ(model.FormatValue(D(2026, 3, 15)), "Sunday, March 15, 2026");
  EXPECT_EQ(model.FormatValue(DT(2026, 3, 15, 14, 5)), "Sunday, March 15, 2026 2:05:00 PM");
  model.SetUnboundDataType(dwDTEdtTime);
  EXPECT_EQ(model.FormatValue(0), "12:00:00 AM");
  model.SetUnboundDataType(dwDTEdtDate);
  EXPECT_EQ(model.FormatValue(0), "");
}

// ---- fields

struct FieldRow {
  std::string Format;
  TDateTime Value;
  int N;
  int Start, Length;
  std::string Token, Text;
};

TEST(PickerFields, OffsetsFollowTheTextOfTheValue) {
  const std::vector<FieldRow> rows = {
      {"M/d/yyyy", D(2030, 1, 2), 3, 4, 4, "yyyy", "2030"},
      {"M/d/yyyy", D(2030, 10, 20), 3, 6, 4, "yyyy", "2030"},
      {"M/d/yyyy", D(2030, 10, 20), 2, 3, 2, "d", "20"},
      {"dd/mm/yy", D(2030, 1, 2), 2, 3, 2, "mm", "01"},
      // With an AM/PM token the hour 0 shows as 12.
      {"h:nn AMPM", DT(2030, 1, 2, 0, 5), 2, 3, 2, "nn", "05"},
      {"h:nn AMPM", DT(2030, 1, 2, 0, 5), 3, 6, 2, "ampm", "AM"},
      {"h:nn a/p", DT(2030, 1, 2, 13, 5), 3, 5, 1, "a/p", "p"},
      {"hh:nn am/pm", DT(2030, 1, 2, 13, 5), 3, 6, 2, "am/pm", "pm"},
      {"h:mm", DT(2030, 1, 2, 9, 7), 2, 2, 2, "mm", "07"},
      // Names.
      {"dddd, mmmm d", D(2030, 5, 1), 2, 11, 3, "mmmm", "May"},
      {"dddd, mmmm d", D(2030, 5, 1), 3, 15, 1, "d", "1"},
      {"ddd mmm d", D(2030, 9, 1), 3, 8, 1, "d", "1"},
      // Quoted text counts as the characters it shows.
      {"'Day' d 'of' mmm", D(2030, 9, 12), 1, 4, 2, "d", "12"},
      {"'Day' d 'of' mmm", D(2030, 9, 12), 2, 10, 3, "mmm", "Sep"},
      {"\"at\" h:nn", DT(2030, 9, 12, 8, 30), 2, 5, 2, "nn", "30"},
      // The last letter of a format is a field too.
      {"M/d", D(2030, 9, 12), 2, 2, 2, "d", "12"},
  };
  for (const FieldRow& row : rows) {
    SCOPED_TRACE(row.Format + " " + std::to_string(row.N));
    PickerModel model;
    model.SetDisplayFormat(row.Format);
    const TPickerField field = model.GetFieldInfo(row.N, row.Value);
    EXPECT_EQ(field.Start, row.Start);
    EXPECT_EQ(field.Length, row.Length);
    EXPECT_EQ(field.Token, row.Token);
    EXPECT_EQ(field.Text, row.Text);
    EXPECT_EQ(model.FormatValue(row.Value).substr(row.Start, row.Length), row.Text);
  }
  PickerModel model;
  EXPECT_EQ(model.GetFieldInfo(8, D(2030, 1, 2)).Length, 0);
  EXPECT_EQ(model.GetFieldInfo(0, D(2030, 1, 2)).Length, 0);
}

TEST_F(PickerFixture, CombinedFormatHidesTheTimeFieldsAtMidnight) {
  PickerModel model;
  model.SetDate(D(2030, 1, 2));
  EXPECT_EQ(model.Text(), "1/2/2030");
  EXPECT_EQ(model.FieldCount(), 7);
  EXPECT_EQ(model.DisplayedFieldCount(), 3);
  model.SetTime(EncodeTime(9, 5, 0, 0));
  EXPECT_EQ(model.Text(), "1/2/2030 9:05:00 AM");
  EXPECT_EQ(model.DisplayedFieldCount(), 7);
  // Another format shows every field at any time.
  model.SetDisplayFormat("M/d/yyyy h:nn");
  model.SetTime(EncodeTime(0, 0, 0, 0) + 1e-12);
  model.SetDate(D(2030, 1, 3));
  EXPECT_EQ(model.DisplayedFieldCount(), 5);
}

// ---- keys

struct KeyRow {
  std::string Name;
  TdwDTEditDataType Type = dwDTEdtDate;
  std::string Format;  // DisplayFormat
  TDateTime Start = 0;
  std::string Keys;
  std::string Text;
  std::string Value;  // as Shown()
  int Field = 0;
  int SelStart = 0, SelLength = 0;
  TDateTime MinDate = 0, MaxDate = 0;
  int Epoch = 1950;
  TDateTime Focus = -1;  // -1: the start value
  unsigned Options = 1;
};

TEST_F(PickerFixture, KeySequences) {
  std::vector<KeyRow> rows;
  const auto row = [&](auto fill) {
    KeyRow r;
    fill(r);
    rows.push_back(r);
  };
  const TDateTime mar15 = D(2026, 3, 15);

  // Two-digit years by the Epoch rule.
  row([&](KeyRow& r) { r.Name = "yy 4 9"; r.Format = "M/d/yy"; r.Start = mar15; r.Keys = "Right Right 4 9"; r.Text = "3/15/49"; r.Value = "2049-03-15 00:00:00"; r.Field = 3; r.SelStart = 5; r.SelLength = 2; });
  row([&](KeyRow& r) { r.Name = "yy 5 0"; r.Format = "M/d/yy"; r.Start = mar15; r.Keys = "Right Right 5 0"; r.Text = "3/15/50"; r.Value = "1950-03-15 00:00:00"; r.Field = 3; r.SelStart = 5; r.SelLength = 2; });
  row([&](KeyRow& r) { r.Name = "yy Epoch 1980"; r.Format = "M/d/yy"; r.Start = mar15; r.Keys = "Right Right 7 5"; r.Text = "3/15/75"; r.Value = "2075-03-15 00:00:00"; r.Field = 3; r.SelStart = 5; r.SelLength = 2; r.Epoch = 1980; });
  row([&](KeyRow& r) { r.Name = "yyyy one digit committed"; r.Start = mar15; r.Keys = "Right Right 5 Left"; r.Text = "3/15/2005"; r.Value = "2005-03-15 00:00:00"; r.Field = 2; r.SelStart = 2; r.SelLength = 2; });
  row([&](KeyRow& r) { r.Name = "yyyy three digits"; r.Start = mar15; r.Keys = "Right Right 8 0 0 Enter"; r.Text = "3/15/0800"; r.Value = "0800-03-15 00:00:00"; r.Field = 3; r.SelStart = 5; r.SelLength = 4; r.MinDate = D(700, 1, 1); });
  // The lower limit refuses a decade that lies wholly before it.
  row([&](KeyRow& r) { r.Name = "yy first digit 2 refused"; r.Format = "M/d/yy"; r.Start = D(2036, 3, 15); r.Keys = "Right Right 2"; r.Text = "3/15/36"; r.Value = "2036-03-15 00:00:00"; r.Field = 3; r.SelStart = 5; r.SelLength = 2; r.MinDate = D(2035, 6, 1); });
  row([&](KeyRow& r) { r.Name = "yy first digit 3 taken"; r.Format = "M/d/yy"; r.Start = D(2036, 3, 15); r.Keys = "Right Right 2 3 7"; r.Text = "3/15/37"; r.Value = "2037-03-15 00:00:00"; r.Field = 3; r.SelStart = 5; r.SelLength = 2; r.MinDate = D(2035, 6, 1); });
  // ... by the Epoch rule: 7 starts 1970-1979, all before the limit.
  row([&](KeyRow& r) { r.Name = "yy first digit by Epoch"; r.Format = "M/d/yy"; r.Start = D(2055, 3, 15); r.Keys = "Right Right 7"; r.Text = "3/15/55"; r.Value = "2055-03-15 00:00:00"; r.Field = 3; r.SelStart = 5; r.SelLength = 2; r.MinDate = D(2050, 1, 1); });
  row([&](KeyRow& r) { r.Name = "yyyy pending"; r.Start = D(2036, 3, 15); r.Keys = "Right Right 1 9 9"; r.Text = "3/15/199"; r.Value = "2036-03-15 00:00:00"; r.Field = 3; r.SelStart = 8; r.SelLength = 0; r.MinDate = D(2035, 6, 1); });
  row([&](KeyRow& r) { r.Name = "yyyy fourth digit beyond the limit"; r.Start = D(2036, 3, 15); r.Keys = "Right Right 1 9 9 9"; r.Text = "3/15/199"; r.Value = "2036-03-15 00:00:00"; r.Field = 3; r.SelStart = 8; r.SelLength = 0; r.MinDate = D(2035, 6, 1); });
  row([&](KeyRow& r) { r.Name = "yyyy 0000 restores the focus value"; r.Start = mar15; r.Keys = "Right Right 0 0 0 0"; r.Text = "5/6/2020"; r.Value = "2020-05-06 00:00:00"; r.Field = 3; r.SelStart = 4; r.SelLength = 4; r.Focus = D(2020, 5, 6); });
  // Parts no date holds are refused, never raised.
  row([&](KeyRow& r) { r.Name = "yy 0 under Epoch 0 is year 0"; r.Format = "M/d/yy"; r.Start = mar15; r.Keys = "Right Right 0 Enter"; r.Text = "3/15/26"; r.Value = "2026-03-15 00:00:00"; r.Field = 3; r.SelStart = 5; r.SelLength = 2; r.Epoch = 0; });
  row([&](KeyRow& r) { r.Name = "yy beyond 9999"; r.Format = "M/d/yy"; r.Start = mar15; r.Keys = "Right Right 0 5 Enter"; r.Text = "3/15/26"; r.Value = "2026-03-15 00:00:00"; r.Field = 3; r.SelStart = 5; r.SelLength = 2; r.Epoch = 9990; });
  row([&](KeyRow& r) { r.Name = "yy 9 5 under Epoch 9990"; r.Format = "M/d/yy"; r.Start = mar15; r.Keys = "Right Right 9 5"; r.Text = "3/15/95"; r.Value = "9995-03-15 00:00:00"; r.Field = 3; r.SelStart = 5; r.SelLength = 2; r.Epoch = 9990; });
  // Digits: completing, waiting, refused.
  row([&](KeyRow& r) { r.Name = "day 4 completes and advances"; r.Start = mar15; r.Keys = "Right 4"; r.Text = "3/4/2026"; r.Value = "2026-03-04 00:00:00"; r.Field = 3; r.SelStart = 4; r.SelLength = 4; });
  row([&](KeyRow& r) { r.Name = "day 3 completes in February"; r.Start = D(2026, 2, 10); r.Keys = "Right 3"; r.Text = "2/3/2026"; r.Value = "2026-02-03 00:00:00"; r.Field = 3; r.SelStart = 4; r.SelLength = 4; });
  row([&](KeyRow& r) { r.Name = "day 3 waits in March"; r.Start = mar15; r.Keys = "Right 3"; r.Text = "3/3/2026"; r.Value = "2026-03-15 00:00:00"; r.Field = 2; r.SelStart = 3; r.SelLength = 0; });
  row([&](KeyRow& r) { r.Name = "day 3 5 refused; r3 stays"; r.Start = mar15; r.Keys = "Right 3 5 Enter"; r.Text = "3/3/2026"; r.Value = "2026-03-03 00:00:00"; r.Field = 2; r.SelStart = 2; r.SelLength = 1; });
  row([&](KeyRow& r) { r.Name = "day 3 1 in April refused"; r.Start = D(2026, 4, 10); r.Keys = "Right 3 1"; r.Text = "4/3/2026"; r.Value = "2026-04-10 00:00:00"; r.Field = 2; r.SelStart = 3; r.SelLength = 0; });
  row([&](KeyRow& r) { r.Name = "day 0 0 keeps the day"; r.Start = mar15; r.Keys = "Right 0 0"; r.Text = "3/15/2026"; r.Value = "2026-03-15 00:00:00"; r.Field = 3; r.SelStart = 5; r.SelLength = 4; });
  row([&](KeyRow& r) { r.Name = "month 1 3 refused"; r.Start = mar15; r.Keys = "1 3"; r.Text = "1/15/2026"; r.Value = "2026-03-15 00:00:00"; r.Field = 1; r.SelStart = 1; r.SelLength = 0; });
  row([&](KeyRow& r) { r.Name = "month 1 2 advances"; r.Start = mar15; r.Keys = "1 2"; r.Text = "12/15/2026"; r.Value = "2026-12-15 00:00:00"; r.Field = 2; r.SelStart = 3; r.SelLength = 2; });
  row([&](KeyRow& r) { r.Name = "keypad digits"; r.Start = mar15; r.Keys = "Num7 Num9"; r.Text = "7/9/2026"; r.Value = "2026-07-09 00:00:00"; r.Field = 3; r.SelStart = 4; r.SelLength = 4; });
  row([&](KeyRow& r) { r.Name = "hour 2 5 refused in 24 hours"; r.Type = dwDTEdtTime; r.Format = "hh:nn"; r.Start = DT(1899, 12, 30, 8, 5); r.Keys = "2 5"; r.Text = "2:05"; r.Value = "1899-12-30 08:05:00"; r.Field = 1; r.SelStart = 1; r.SelLength = 0; });
  row([&](KeyRow& r) { r.Name = "hour 2 3 in 24 hours"; r.Type = dwDTEdtTime; r.Format = "hh:nn"; r.Start = DT(1899, 12, 30, 8, 5); r.Keys = "2 3"; r.Text = "23:05"; r.Value = "1899-12-30 23:05:00"; r.Field = 2; r.SelStart = 3; r.SelLength = 2; });
  row([&](KeyRow& r) { r.Name = "hour 1 3 refused with AM/PM"; r.Type = dwDTEdtTime; r.Format = "h:nn AMPM"; r.Start = DT(1899, 12, 30, 8, 5); r.Keys = "1 3"; r.Text = "1:05 AM"; r.Value = "1899-12-30 08:05:00"; r.Field = 1; r.SelStart = 1; r.SelLength = 0; });
  row([&](KeyRow& r) { r.Name = "typed hour stays as typed"; r.Type = dwDTEdtTime; r.Format = "h:nn AMPM"; r.Start = DT(1899, 12, 30, 15, 0); r.Keys = "5"; r.Text = "5:00 AM"; r.Value = "1899-12-30 05:00:00"; r.Field = 2; r.SelStart = 2; r.SelLength = 2; });
  row([&](KeyRow& r) { r.Name = "minute 7 completes"; r.Type = dwDTEdtTime; r.Format = "h:nn:ss"; r.Start = DT(1899, 12, 30, 15, 0); r.Keys = "Right 7 6"; r.Text = "15:07:06"; r.Value = "1899-12-30 15:07:06"; r.Field = 3; r.SelStart = 6; r.SelLength = 2; });
  row([&](KeyRow& r) { r.Name = "a digit on a name changes nothing"; r.Format = "mmm d yyyy"; r.Start = mar15; r.Keys = "5"; r.Text = "Mar 15 2026"; r.Value = "2026-03-15 00:00:00"; r.Field = 1; r.SelStart = 0; r.SelLength = 3; });
  // A full date typed into an empty picker, with and without separators.
  row([&](KeyRow& r) { r.Name = "1/2/2030 with separators"; r.Keys = "1 / 2 / 2 0 3 0"; r.Text = "1/2/2030"; r.Value = "2030-01-02 00:00:00"; r.Field = 3; r.SelStart = 4; r.SelLength = 4; });
  row([&](KeyRow& r) { r.Name = "10/20/2030 with separators"; r.Keys = "1 0 / 2 0 / 2 0 3 0"; r.Text = "10/20/2030"; r.Value = "2030-10-20 00:00:00"; r.Field = 3; r.SelStart = 6; r.SelLength = 4; });
  row([&](KeyRow& r) { r.Name = "12/31/2030 without"; r.Keys = "1 2 3 1 2 0 3 0"; r.Text = "12/31/2030"; r.Value = "2030-12-31 00:00:00"; r.Field = 3; r.SelStart = 6; r.SelLength = 4; });
  row([&](KeyRow& r) { r.Name = "into the combined format"; r.Type = dwDTEdtDateTime; r.Keys = "1 / 2 / 2 0 3 0"; r.Text = "1/2/2030"; r.Value = "2030-01-02 00:00:00"; r.Field = 3; r.SelStart = 4; r.SelLength = 4; });
  row([&](KeyRow& r) { r.Name = "separator without auto-advance"; r.Start = mar15; r.Keys = "2 /"; r.Text = "2/15/2026"; r.Value = "2026-02-15 00:00:00"; r.Field = 2; r.SelStart = 2; r.SelLength = 2; r.Options = 0; });
  row([&](KeyRow& r) { r.Name = "separator after a complete field"; r.Start = mar15; r.Keys = "Right 5 /"; r.Text = "3/5/2026"; r.Value = "2026-03-05 00:00:00"; r.Field = 3; r.SelStart = 4; r.SelLength = 4; });
  // Up and Down: wrapping inside the month and year, clamping at the limits.
  row([&](KeyRow& r) { r.Name = "Up on Jan 31"; r.Start = D(2026, 1, 31); r.Keys = "Right Up"; r.Text = "1/1/2026"; r.Value = "2026-01-01 00:00:00"; r.Field = 2; r.SelStart = 2; r.SelLength = 1; });
  row([&](KeyRow& r) { r.Name = "Down on Jan 1"; r.Start = D(2026, 1, 1); r.Keys = "Right Down"; r.Text = "1/31/2026"; r.Value = "2026-01-31 00:00:00"; r.Field = 2; r.SelStart = 2; r.SelLength = 2; });
  row([&](KeyRow& r) { r.Name = "Up on December"; r.Start = D(2026, 12, 15); r.Keys = "Up"; r.Text = "1/15/2026"; r.Value = "2026-01-15 00:00:00"; r.Field = 1; r.SelStart = 0; r.SelLength = 1; });
  row([&](KeyRow& r) { r.Name = "+ on Jan 31 month"; r.Start = D(2026, 1, 31); r.Keys = "+"; r.Text = "2/28/2026"; r.Value = "2026-02-28 00:00:00"; r.Field = 1; r.SelStart = 0; r.SelLength = 1; });
  row([&](KeyRow& r) { r.Name = "year steps by 12 months"; r.Start = D(2024, 2, 29); r.Keys = "Right Right = -"; r.Text = "2/28/2024"; r.Value = "2024-02-28 00:00:00"; r.Field = 3; r.SelStart = 5; r.SelLength = 4; });
  row([&](KeyRow& r) { r.Name = "Down on the year at the lower limit"; r.Start = D(2020, 8, 1); r.Keys = "Right Right Down"; r.Text = "6/10/2020"; r.Value = "2020-06-10 00:00:00"; r.Field = 3; r.SelStart = 5; r.SelLength = 4; r.MinDate = D(2020, 6, 10); });
  row([&](KeyRow& r) { r.Name = "Up on the year at the upper limit"; r.Start = D(2030, 1, 20); r.Keys = "Right Right Up"; r.Text = "2/10/2030"; r.Value = "2030-02-10 00:00:00"; r.Field = 3; r.SelStart = 5; r.SelLength = 4; r.MaxDate = D(2030, 2, 10); });
  row([&](KeyRow& r) { r.Name = "Up on the month at the upper limit"; r.Start = D(2030, 1, 20); r.Keys = "Up"; r.Text = "2/10/2030"; r.Value = "2030-02-10 00:00:00"; r.Field = 1; r.SelStart = 0; r.SelLength = 1; r.MaxDate = D(2030, 2, 10); });
  row([&](KeyRow& r) { r.Name = "Down on the day at the lower limit"; r.Start = D(2030, 1, 20); r.Keys = "Right Down Down"; r.Text = "1/20/2030"; r.Value = "2030-01-20 00:00:00"; r.Field = 2; r.SelStart = 2; r.SelLength = 2; r.MinDate = D(2030, 1, 20); });
  row([&](KeyRow& r) { r.Name = "unset limits end at 9999-12-31"; r.Start = D(9999, 12, 31); r.Keys = "Right Right Up"; r.Text = "12/31/9999"; r.Value = "9999-12-31 00:00:00"; r.Field = 3; r.SelStart = 6; r.SelLength = 4; });
  row([&](KeyRow& r) { r.Name = "unset limits start at 1899-12-31"; r.Start = D(1900, 1, 5); r.Keys = "Right Right Down"; r.Text = "12/31/1899"; r.Value = "1899-12-31 00:00:00"; r.Field = 3; r.SelStart = 6; r.SelLength = 4; });
  // On an empty picker the first Up, Down, + or - shows today.
  row([&](KeyRow& r) { r.Name = "Up on empty"; r.Keys = "Up"; r.Text = "3/15/2026"; r.Value = "2026-03-15 00:00:00"; r.Field = 1; r.SelStart = 0; r.SelLength = 1; });
  row([&](KeyRow& r) { r.Name = "- on empty"; r.Keys = "-"; r.Text = "3/15/2026"; r.Value = "2026-03-15 00:00:00"; r.Field = 1; r.SelStart = 0; r.SelLength = 1; });
  row([&](KeyRow& r) { r.Name = "Down on empty beyond the limit"; r.Keys = "Down"; r.Text = "1/1/2020"; r.Value = "2020-01-01 00:00:00"; r.Field = 1; r.SelStart = 0; r.SelLength = 1; r.MaxDate = D(2020, 1, 1); });
  row([&](KeyRow& r) { r.Name = "a digit on empty beyond the limit"; r.Keys = "5"; r.Text = "5/30/2020"; r.Value = "2020-05-30 00:00:00"; r.Field = 2; r.SelStart = 2; r.SelLength = 2; r.MaxDate = D(2020, 6, 30); });
  // Letters: month names, later months first; week days inside the week.
  row([&](KeyRow& r) { r.Name = "month letters"; r.Format = "d-mmm-yyyy"; r.Start = mar15; r.Keys = "Right j"; r.Text = "15-Jun-2026"; r.Value = "2026-06-15 00:00:00"; r.Field = 2; r.SelStart = 3; r.SelLength = 3; });
  row([&](KeyRow& r) { r.Name = "month letters go round"; r.Format = "d-mmm-yyyy"; r.Start = mar15; r.Keys = "Right j j j"; r.Text = "15-Jan-2026"; r.Value = "2026-01-15 00:00:00"; r.Field = 2; r.SelStart = 3; r.SelLength = 3; });
  row([&](KeyRow& r) { r.Name = "long month letter; rday limited"; r.Format = "mmmm d"; r.Start = D(2026, 1, 31); r.Keys = "f"; r.Text = "February 28"; r.Value = "2026-02-28 00:00:00"; r.Field = 1; r.SelStart = 0; r.SelLength = 8; });
  row([&](KeyRow& r) { r.Name = "month letter beyond the limit"; r.Format = "d-mmm-yyyy"; r.Start = mar15; r.Keys = "Right d"; r.Text = "15-Mar-2026"; r.Value = "2026-03-15 00:00:00"; r.Field = 2; r.SelStart = 3; r.SelLength = 3; r.MaxDate = D(2026, 11, 30); });
  row([&](KeyRow& r) { r.Name = "weekday letters"; r.Format = "ddd M/d/yyyy"; r.Start = mar15; r.Keys = "t"; r.Text = "Tue 3/17/2026"; r.Value = "2026-03-17 00:00:00"; r.Field = 1; r.SelStart = 0; r.SelLength = 3; });
  row([&](KeyRow& r) { r.Name = "weekday letters go round the week"; r.Format = "ddd M/d/yyyy"; r.Start = mar15; r.Keys = "t t t"; r.Text = "Tue 3/17/2026"; r.Value = "2026-03-17 00:00:00"; r.Field = 1; r.SelStart = 0; r.SelLength = 3; });
  row([&](KeyRow& r) { r.Name = "Up on the week's last day"; r.Format = "ddd M/d/yyyy"; r.Start = D(2026, 3, 21); r.Keys = "Up"; r.Text = "Sun 3/15/2026"; r.Value = "2026-03-15 00:00:00"; r.Field = 1; r.SelStart = 0; r.SelLength = 3; });
  row([&](KeyRow& r) { r.Name = "Down on the week's first day"; r.Format = "dddd d"; r.Start = mar15; r.Keys = "Down"; r.Text = "Saturday 21"; r.Value = "2026-03-21 00:00:00"; r.Field = 1; r.SelStart = 0; r.SelLength = 8; });
  // AM/PM.
  row([&](KeyRow& r) { r.Name = "A at 12:30"; r.Type = dwDTEdtTime; r.Format = "h:nn AMPM"; r.Start = DT(1899, 12, 30, 12, 30); r.Keys = "Right Right a"; r.Text = "12:30 AM"; r.Value = "1899-12-30 00:30:00"; r.Field = 3; r.SelStart = 6; r.SelLength = 2; });
  row([&](KeyRow& r) { r.Name = "P in the default time format"; r.Type = dwDTEdtTime; r.Start = DT(1899, 12, 30, 10, 20); r.Keys = "Right Right p"; r.Text = "10:20 PM"; r.Value = "1899-12-30 22:20:00"; r.Field = 3; r.SelStart = 6; r.SelLength = 2; });
  row([&](KeyRow& r) { r.Name = "a/p letters"; r.Type = dwDTEdtTime; r.Format = "hh:nn a/p"; r.Start = DT(1899, 12, 30, 10, 20); r.Keys = "Right Right p a a"; r.Text = "10:20 a"; r.Value = "1899-12-30 10:20:00"; r.Field = 3; r.SelStart = 6; r.SelLength = 1; });
  row([&](KeyRow& r) { r.Name = "Up toggles AM/PM and wraps the hour"; r.Type = dwDTEdtTime; r.Format = "h:nn:ss AMPM"; r.Start = DT(1899, 12, 30, 23, 59, 59); r.Keys = "Right Right Up Right Up Left Left Left Up"; r.Text = "12:59:00 PM"; r.Value = "1899-12-30 12:59:00"; r.Field = 1; r.SelStart = 0; r.SelLength = 2; });
  // Delete and Backspace.
  row([&](KeyRow& r) { r.Name = "Del in a date picker"; r.Start = mar15; r.Keys = "Del"; r.Text = ""; r.Value = "0"; r.Field = 1; });
  row([&](KeyRow& r) { r.Name = "Bksp is Left"; r.Start = mar15; r.Keys = "Right Bksp"; r.Text = "3/15/2026"; r.Value = "2026-03-15 00:00:00"; r.Field = 1; r.SelStart = 0; r.SelLength = 1; });
  row([&](KeyRow& r) { r.Name = "Bksp on the whole text"; r.Type = dwDTEdtDateTime; r.Format = "M/d/yyyy hh:nn"; r.Start = DT(2026, 3, 15, 9, 0); r.Keys = "Right Right S-Left Left S-Right Bksp"; r.Text = ""; r.Value = "0"; r.Field = 1; });
  row([&](KeyRow& r) { r.Name = "Bksp on a pending digit is Left"; r.Start = mar15; r.Keys = "Right 2 Left Right Right 1 Bksp"; r.Text = "3/2/2001"; r.Value = "2001-03-02 00:00:00"; r.Field = 2; r.SelStart = 2; r.SelLength = 1; });
  row([&](KeyRow& r) { r.Name = "Del on a pending digit edits the text"; r.Start = mar15; r.Keys = "Right 2 Del"; r.Text = "3/22026"; r.Value = "2026-03-15 00:00:00"; r.Field = 2; r.SelStart = 3; r.SelLength = 0; });
  row([&](KeyRow& r) { r.Name = "... and the digit left of the caret is taken"; r.Start = mar15; r.Keys = "Right 2 Del Enter"; r.Text = "3/2/2026"; r.Value = "2026-03-02 00:00:00"; r.Field = 2; r.SelStart = 2; r.SelLength = 1; });
  row([&](KeyRow& r) { r.Name = "Del with another format"; r.Type = dwDTEdtDateTime; r.Format = "M/d/yyyy hh:nn"; r.Start = DT(2026, 3, 15, 9, 0); r.Keys = "Right Del"; r.Text = ""; r.Value = "0"; r.Field = 1; });
  row([&](KeyRow& r) { r.Name = "Del in time-only"; r.Type = dwDTEdtTime; r.Start = DT(1899, 12, 30, 9, 0); r.Keys = "Del"; r.Text = ""; r.Value = "0"; r.Field = 1; });
  // Esc, Space, Enter.
  row([&](KeyRow& r) { r.Name = "Esc resets"; r.Start = mar15; r.Keys = "Up Up Right 7 Esc"; r.Text = "3/15/2026"; r.Value = "2026-03-15 00:00:00"; r.Field = 3; r.SelStart = 0; r.SelLength = 9; });
  row([&](KeyRow& r) { r.Name = "Esc to a blank entry"; r.Start = mar15; r.Keys = "Up Esc"; r.Text = ""; r.Value = "0"; r.Field = 1; r.Focus = 0; });
  row([&](KeyRow& r) { r.Name = "Space on empty"; r.Keys = "Space"; r.Text = "3/15/2026"; r.Value = "2026-03-15 00:00:00"; r.Field = 2; r.SelStart = 2; r.SelLength = 2; });
  row([&](KeyRow& r) { r.Name = "Space on empty; rtime-only"; r.Type = dwDTEdtTime; r.Keys = "Space"; r.Text = "10:20 AM"; r.Value = "1899-12-30 10:20:30"; r.Field = 2; r.SelStart = 3; r.SelLength = 2; });
  row([&](KeyRow& r) { r.Name = "Enter commits"; r.Start = mar15; r.Keys = "Right 2 Enter"; r.Text = "3/2/2026"; r.Value = "2026-03-02 00:00:00"; r.Field = 2; r.SelStart = 2; r.SelLength = 1; });
  row([&](KeyRow& r) { r.Name = "Home and End keep the field"; r.Start = mar15; r.Keys = "Right 2 Home End"; r.Text = "3/2/2026"; r.Value = "2026-03-02 00:00:00"; r.Field = 2; r.SelStart = 2; r.SelLength = 1; });
  row([&](KeyRow& r) { r.Name = "Shift+End selects the whole text"; r.Start = mar15; r.Keys = "Right S-End"; r.Text = "3/15/2026"; r.Value = "2026-03-15 00:00:00"; r.Field = 2; r.SelStart = 0; r.SelLength = 9; });
  // The combined format: Right past the date shows the time, Del on it hides it.
  row([&](KeyRow& r) { r.Name = "c: Right shows the time"; r.Type = dwDTEdtDateTime; r.Start = mar15; r.Keys = "Right Right Right"; r.Text = "3/15/2026 10:20:30 AM"; r.Value = "2026-03-15 10:20:30"; r.Field = 4; r.SelStart = 10; r.SelLength = 2; });
  row([&](KeyRow& r) { r.Name = "c: Del on the time hides it"; r.Type = dwDTEdtDateTime; r.Start = mar15; r.Keys = "Right Right Right Right Del"; r.Text = "3/15/2026"; r.Value = "2026-03-15 00:00:00"; r.Field = 3; r.SelStart = 5; r.SelLength = 4; });
  row([&](KeyRow& r) { r.Name = "c: Del on the date blanks"; r.Type = dwDTEdtDateTime; r.Start = DT(2026, 3, 15, 9, 0); r.Keys = "Del"; r.Text = ""; r.Value = "0"; r.Field = 1; });
  row([&](KeyRow& r) { r.Name = "c: midnight typed hides the time"; r.Type = dwDTEdtDateTime; r.Start = DT(2026, 3, 15, 9, 0); r.Keys = "Right Right Right 0 Enter"; r.Text = "3/15/2026"; r.Value = "2026-03-15 00:00:00"; r.Field = 3; r.SelStart = 5; r.SelLength = 4; });
  row([&](KeyRow& r) { r.Name = "Alt keys do not edit"; r.Start = mar15; r.Keys = "A-Up A-5"; r.Text = "3/15/2026"; r.Value = "2026-03-15 00:00:00"; r.Field = 1; r.SelStart = 0; r.SelLength = 1; });

  for (const KeyRow& r : rows) {
    SCOPED_TRACE(r.Name);
    PickerModel model;
    model.SetUnboundDataType(r.Type);
    model.SetDisplayFormat(r.Format);
    model.Epoch = r.Epoch;
    model.Options = r.Options;
    if (r.Type == dwDTEdtTime) {
      model.SetTime(r.Start);
    } else {
      model.SetDate(r.Start);
      model.SetTime(r.Start);
    }
    model.SetMinDate(r.MinDate);
    model.SetMaxDate(r.MaxDate);
    model.FocusValue = r.Focus == -1 ? r.Start : r.Focus;
    model.SelectField();
    Type(model, r.Keys);
    EXPECT_EQ(model.Text(), r.Text);
    EXPECT_EQ(Shown(model.Value()), r.Value);
    EXPECT_EQ(model.CurrentField(), r.Field);
    EXPECT_EQ(model.SelStart(), r.SelStart);
    EXPECT_EQ(model.SelLength(), r.SelLength);
  }
}


// Letters beyond ASCII compare upper-cased by the Windows-1252 rules.
TEST_F(PickerFixture, LettersAbove128FindNames) {
  FormatSettings.ShortMonthNames[3] = "\xC9pr";  // April as "Epr" with an acute E
  PickerModel model;
  model.SetUnboundDataType(dwDTEdtDate);
  model.SetDisplayFormat("mmm d");
  model.SetDate(D(2026, 3, 15));
  picker_keys::TKeyStroke stroke;
  stroke.Key.Key = 0xDE;  // an OEM key
  stroke.Key.Char = '\xE9';
  stroke.Typed = '\xE9';
  picker_keys::Press(model, stroke);
  EXPECT_EQ(model.Text(), "\xC9pr 15");
  ResetFormatSettings();
}

// ---- the change handler

TEST_F(PickerFixture, ChangeHandlerReadingDateNeverTakesALoneDigit) {
  PickerModel model;
  model.SetUnboundDataType(dwDTEdtDate);
  model.SetDate(D(2026, 3, 15));
  std::vector<std::string> seen;
  model.OnChange = [&] { seen.push_back(model.Text() + " = " + Shown(model.GetDate())); };
  Type(model, "1 2 2 5 Right 3");
  EXPECT_EQ(model.Text(), "12/25/3");
  EXPECT_TRUE(model.Typing());
  const std::vector<std::string> expected = {
      "1/15/2026 = 2026-03-15 00:00:00",    // the first digit is shown, not taken
      "12/15/2026 = 2026-12-15 00:00:00",   // the second completes the month
      "12/2/2026 = 2026-12-15 00:00:00",    //
      "12/25/2026 = 2026-12-25 00:00:00",   //
      "12/25/3 = 2026-12-25 00:00:00",      // Right did not move off the year: the last field
  };
  EXPECT_EQ(seen, expected);
  // Reading the date takes the pending digit.
  EXPECT_EQ(Shown(model.GetDate()), "2003-12-25 00:00:00");
  EXPECT_FALSE(model.Typing());
  EXPECT_EQ(model.Text(), "12/25/2003");
}

TEST_F(PickerFixture, AnEmptiedTextKeepsThePartTheModeDoesNotEdit) {
  PickerModel model;
  std::vector<std::string> seen;
  model.OnChange = [&] { seen.push_back(Shown(model.Value())); };
  model.SetDate(DT(2026, 3, 15, 6, 0));
  model.SetTime(DT(2026, 3, 15, 6, 0));
  seen.clear();
  // As when the widget's text is emptied from outside.
  model.SetSelection(0, 100);
  Type(model, "Bksp");
  EXPECT_EQ(model.Text(), "");
  EXPECT_EQ(seen, std::vector<std::string>{"0"});
  // Emptied from outside: the handler first, then the time is all that stays.
  model.SetDate(DT(2026, 3, 15, 6, 0));
  model.SetTime(DT(2026, 3, 15, 6, 0));
  seen.clear();
  model.SetText("");
  EXPECT_EQ(seen, std::vector<std::string>{"2026-03-15 06:00:00"});
  EXPECT_EQ(Shown(model.Value()), "1899-12-30 06:00:00");
  // In time-only mode the date stays.
  PickerModel timeOnly;
  timeOnly.SetUnboundDataType(dwDTEdtTime);
  timeOnly.StoreValue(DT(2026, 3, 15, 6, 0));
  EXPECT_EQ(timeOnly.Text(), "6:00 AM");
  timeOnly.SetText("");
  EXPECT_EQ(Shown(timeOnly.Value()), "2026-03-15 00:00:00");
  // Cleared as by a cut.
  timeOnly.ShowValue();
  timeOnly.ClearValue();
  EXPECT_EQ(timeOnly.Text(), "");
  EXPECT_EQ(timeOnly.Value(), 0);
  EXPECT_TRUE(timeOnly.Blank());
  EXPECT_TRUE(timeOnly.Modified);
}

// ---- value store and range setters

TEST_F(PickerFixture, SetDateKeepsTheTimeAndComparesWholeDays) {
  PickerModel model;
  model.SetDate(D(2030, 1, 5));
  model.SetTime(EncodeTime(15, 0, 0, 0));
  EXPECT_EQ(model.Text(), "1/5/2030 3:00:00 PM");
  // The same day with another time changes nothing.
  model.SetDate(DT(2030, 1, 5, 8, 0));
  EXPECT_EQ(Shown(model.Value()), "2030-01-05 15:00:00");
  // The maximum day itself is within, whatever the time.
  model.SetMaxDate(D(2030, 1, 10));
  model.SetDate(D(2030, 1, 10));
  EXPECT_EQ(Shown(model.Value()), "2030-01-10 15:00:00");
  ExpectMessage<EDateTimeError>([&] { model.SetDate(D(2030, 1, 11)); }, "Date exceeds maximum of 1/10/2030");
  EXPECT_EQ(Shown(model.Value()), "2030-01-10 15:00:00");
  model.SetMinDate(D(2030, 1, 2));
  ExpectMessage<EDateTimeError>([&] { model.SetDate(D(2030, 1, 1)); }, "Date is less than minimum of 1/2/2030");
  model.SetDate(D(2030, 1, 2));
  EXPECT_EQ(Shown(model.Value()), "2030-01-02 15:00:00");
  // Before 1899-12-30 the time stays the time.
  model.SetMinDate(0);
  model.SetDate(D(1899, 12, 29));
  EXPECT_EQ(Shown(model.Value()), "1899-12-29 15:00:00");
  EXPECT_EQ(model.Text(), "12/29/1899 3:00:00 PM");
  // 0 blanks.
  model.SetDate(0);
  EXPECT_EQ(model.Value(), 0);
  EXPECT_EQ(model.Text(), "");
}

TEST_F(PickerFixture, ModesDecideWhatDateAndTimeRead) {
  PickerModel dateOnly;
  dateOnly.SetUnboundDataType(dwDTEdtDate);
  dateOnly.SetDate(D(2030, 1, 5));
  dateOnly.SetTime(EncodeTime(15, 0, 0, 0));
  EXPECT_EQ(Shown(dateOnly.GetDate()), "2030-01-05 00:00:00");
  EXPECT_EQ(dateOnly.GetTime(), 0);

  PickerModel timeOnly;
  timeOnly.SetUnboundDataType(dwDTEdtTime);
  timeOnly.SetMaxDate(D(1990, 1, 1));
  timeOnly.SetDate(D(2030, 1, 5));
  EXPECT_EQ(timeOnly.Value(), 0);
  timeOnly.SetTime(EncodeTime(15, 30, 0, 0));  // no date: no limit applies
  EXPECT_EQ(timeOnly.GetDate(), 0);
  EXPECT_EQ(Shown(timeOnly.GetTime()), "1899-12-30 15:30:00");
  EXPECT_EQ(timeOnly.Text(), "3:30 PM");
}

TEST_F(PickerFixture, RangeSettersCheckEachOtherNotTheValue) {
  PickerModel model;
  model.SetMaxDate(D(2079, 12, 31));
  ExpectMessage<EDateTimeError>([&] { model.SetMinDate(D(2080, 1, 1)); }, "Date exceeds maximum of 12/31/2079");
  EXPECT_EQ(model.MinDate(), 0);
  model.SetMinDate(D(1981, 1, 1));
  ExpectMessage<EDateTimeError>([&] { model.SetMaxDate(D(1980, 12, 31)); }, "Date is less than minimum of 1/1/1981");
  EXPECT_EQ(model.MaxDate(), D(2079, 12, 31));
  // 0 clears a limit while the other is set.
  model.SetMaxDate(0);
  EXPECT_EQ(model.MaxDate(), 0);
  model.SetMinDate(0);
  model.SetDate(D(2090, 6, 1));
  model.SetMaxDate(D(2080, 1, 1));
  EXPECT_EQ(Shown(model.Value()), "2090-06-01 00:00:00");
}

TEST_F(PickerFixture, StoreRefusesWhatNoDateHolds) {
  PickerModel model;
  model.SetDate(D(2030, 1, 5));
  EXPECT_THROW(model.StoreValue(kMaxDateTime + 1), EConvertError);
  EXPECT_THROW(model.StoreValue(std::nan("")), EConvertError);
  EXPECT_EQ(Shown(model.Value()), "2030-01-05 00:00:00");
  EXPECT_EQ(model.Text(), "1/5/2030");
}

TEST_F(PickerFixture, TodayIsFilledWithinTheLimits) {
  // Space where the key-down fill did not run (dropped down).
  PickerModel space;
  space.SetUnboundDataType(dwDTEdtDate);
  space.SetMinDate(D(2030, 6, 1));
  space.DroppedDown = true;
  picker_keys::Press(space, picker_keys::Stroke("Space"));
  EXPECT_EQ(Shown(space.Value()), "2030-06-01 10:20:30");
  // Right showing the time of an empty combined picker.
  PickerModel right;
  right.SetMaxDate(D(2020, 2, 2));
  Type(right, "Right");
  EXPECT_EQ(Shown(right.Value()), "2020-02-02 00:00:00");
  EXPECT_EQ(space.Text(), "6/1/2030");
  // A key on an empty time-only picker takes the time of day, whatever the limits.
  PickerModel timeOnly;
  timeOnly.SetUnboundDataType(dwDTEdtTime);
  timeOnly.SetMinDate(D(2030, 6, 1));
  Type(timeOnly, "Del");
  Type(timeOnly, "Up");
  EXPECT_EQ(timeOnly.Text(), "10:20 AM");
}

// ---- mouse, read-only, hooks

TEST_F(PickerFixture, MousePressSelectsTheFieldUnderIt) {
  const auto tenPixels = [](std::string_view text) { return static_cast<int>(text.size()) * 10; };
  PickerModel model;
  model.SetDate(D(2026, 3, 15));
  model.MouseDown(25, tenPixels);
  EXPECT_EQ(model.CurrentField(), 2);
  EXPECT_EQ(model.SelStart(), 2);
  EXPECT_EQ(model.SelLength(), 2);
  // Beyond the shown date no hidden time field is chosen.
  model.MouseDown(500, tenPixels);
  EXPECT_EQ(model.CurrentField(), 2);
  // Pending digits are taken first.
  Type(model, "Right 0 3");
  model.MouseDown(5, tenPixels);
  EXPECT_EQ(model.Text(), "3/15/2003");
  EXPECT_EQ(model.CurrentField(), 1);
  model.DoubleClick();
  EXPECT_EQ(model.SelStart(), 0);
  EXPECT_EQ(model.SelLength(), 9);
  // A blank picker keeps the plain edit behaviour.
  PickerModel blank;
  blank.MouseDown(5, tenPixels);
  EXPECT_EQ(blank.CurrentField(), 1);
  EXPECT_EQ(blank.Text(), "");
}

TEST_F(PickerFixture, ReadOnlyTakesNoKeys) {
  PickerModel model;
  model.SetDate(D(2026, 3, 15));
  model.FocusValue = D(2026, 3, 15);
  model.ReadOnly = true;
  model.SelectField();
  EXPECT_EQ(model.SelLength(), 9);
  Type(model, "Up 5 Del Space j Esc");
  EXPECT_EQ(model.Text(), "3/15/2026");
  EXPECT_EQ(Shown(model.Value()), "2026-03-15 00:00:00");
  char typed = '5';
  model.KeyPress(typed);
  EXPECT_EQ(typed, 0);
}

TEST_F(PickerFixture, HooksComeFirst) {
  PickerModel model;
  model.SetDate(D(2026, 3, 15));
  model.FocusValue = D(2020, 1, 1);
  std::vector<uint16_t> offered;
  model.OnDropDownKey = [&](const KeyInput& key) {
    offered.push_back(key.Key);
    return key.Key == vk::Escape;
  };
  // The drop-down took Esc: its character is dropped, no reset.
  Type(model, "Esc A-Down Enter");
  EXPECT_EQ(offered, (std::vector<uint16_t>{vk::Escape, vk::Down, vk::Return}));
  EXPECT_EQ(model.Text(), "3/15/2026");
  // The user's key-down event can consume a key.
  model.OnKeyDown = [](KeyInput& key) {
    if (key.Key == vk::Up) key.Key = 0;
  };
  Type(model, "Up");
  EXPECT_EQ(model.Text(), "3/15/2026");
  model.OnDropDownKey = nullptr;
  // Esc not taken resets to the focus entry's value.
  Type(model, "Esc");
  EXPECT_EQ(model.Text(), "1/1/2020");
  char typed = 'x';
  model.OnKeyPress = [](char& key) { key = 0; };
  model.KeyPress(typed);
  EXPECT_EQ(typed, 0);
}

}  // namespace
