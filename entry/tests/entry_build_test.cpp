// The entry screen's plan, built from field tables without a widget: names,
// rows, tab order, labels, bindings and the grid view's columns.
#include "entry/entry_build.h"

#include "platform/command_line.h"
#include "platform/date_format.h"
#include "platform/datetime_value.h"
#include "platform/format.h"
#include "templates/startup_globals.h"
#include "templates/store_utils.h"
#include "templates/validation_files.h"
#include "testing/template_fixture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

// Every character 7 pixels wide, lines 16 high.
class TFixedMeasure : public TTextMeasure {
public:
  int TextWidth(const std::string& Text) const override { return 7 * int(Text.size()); }
  int TextHeight(const std::string&) const override { return 16; }
};

class EntryBuildTest : public ::testing::Test {
protected:
  void SetUp() override {
    Startup.Reset();
    FamilyLookup.Reset();
    Startup.WorkDate = EncodeDate(2026, 12, 10);
    std::string error;
    ASSERT_TRUE(SetCommandLine({"mtdesk"}, error));
  }
  void TearDown() override {
    Store.Reset();
    Startup.Reset();
    FamilyLookup.Reset();
    std::string error;
    SetCommandLine({"mtdesk"}, error);
  }
  TEntryBuild Build() { return BuildEntryModel(measure); }

  // "Name tag row top tab stop" per control, in creation order.
  static std::vector<std::string> Controls(const TEntryBuild& b) {
    std::vector<std::string> out;
    for (const TCtlPlan& c : b.Controls) {
      out.push_back(Format("%s %d %d %d %d %d", c.Name.empty() ? std::string("-") : c.Name, c.Tag, c.Row, c.Top,
                           c.TabOrder, int(c.TabStop)));
    }
    return out;
  }
  static std::vector<std::string> Labels(const TEntryBuild& b) {
    std::vector<std::string> out;
    for (const TLabelPlan& l : b.Labels) out.push_back(Format("%s %d %d %x %d", l.Caption, l.Row, l.Top, l.Color, l.Tag));
    return out;
  }
  static std::vector<std::string> Names(const TEventBinding& e) {
    std::vector<std::string> out;
    const std::pair<const char*, const std::vector<THandler>*> events[] = {
        {"Enter", &e.OnEnter},     {"Exit", &e.OnExit},       {"Click", &e.OnClick}, {"KeyDown", &e.OnKeyDown},
        {"KeyPress", &e.OnKeyPress}, {"KeyUp", &e.OnKeyUp}, {"Change", &e.OnChange}};
    for (const auto& [event, handlers] : events) {
      for (THandler h : *handlers) out.push_back(std::string(event) + ":" + HandlerName(h));
    }
    return out;
  }
  static const TCtlPlan& Named(const TEntryBuild& b, const std::string& name) {
    for (const TCtlPlan& c : b.Controls) {
      if (c.Name == name) return c;
    }
    throw std::out_of_range(name);
  }

  TFixedMeasure measure;
  TTemplateTableBuilder t;
};

TEST_F(EntryBuildTest, EachTypeGetsItsControlRowLabelAndTabNumber) {
  TFld& code = t.Add("Code", 'C', 5);
  code.UpperCase = true;
  code.Hint = "The matter's code";
  t.Add("Amount", 'N', 8);
  t.Add("Opened", 'D', 8);
  t.Add("Closed", 'D', 8).Default = "0";
  t.Add("Due", 'D', 8).Default = "3/4/2027";
  t.Add("Notes", 'C', 80);
  t.Add("Done", 'B', 1);
  t.Add("Letter", 'd', 72);
  t.Add("Remark", 'N', 73);
  t.Index(1, {1}, true, "By code");
  Store.IndexRecs.Names[1] = "By code";
  const TEntryBuild b = Build();

  // Memo: 80 characters, 54 to a line of trunc(CalcFieldWidth(80)) = 378
  // pixels over 7: one line, (16 + 1) + 4 high; at most 320 wide.
  const TCtlPlan& memo = Named(b, "Memo1");
  EXPECT_EQ(int(std::trunc(CalcFieldWidth(80))), 378);
  EXPECT_EQ(memo.Height, 21);
  EXPECT_EQ(memo.Width, 320);
  const int afterMemo = 180 + 21 + 8;
  EXPECT_EQ(Controls(b), (std::vector<std::string>{
                             "Edit1 1 1 5 0 1", "SB1 1 1 6 -1 0", "Edit2 2 2 40 1 1", "Date1 3 3 75 2 1",
                             "Date2 4 4 110 3 1", "Date3 5 5 145 4 1", "Memo1 6 6 180 5 1",
                             Format("- 7 7 %d 6 1", afterMemo), Format("DocPanel1 8 8 %d -1 0", afterMemo + 35),
                             Format("Memo2 9 9 %d 7 1", afterMemo + 70)}));
  std::vector<int> tops;
  for (const TRowPlan& r : b.Rows) tops.push_back(r.Top);
  EXPECT_EQ(tops, (std::vector<int>{5, 40, 75, 110, 145, 180, afterMemo, afterMemo + 35, afterMemo + 70}));
  // The check box has no label; the sort field of index 1 is navy.
  EXPECT_EQ(Labels(b), (std::vector<std::string>{"Code 1 8 800000 0", "Amount 2 43 FF0000 0", "Opened 3 78 FF0000 0",
                                                 "Closed 4 113 FF0000 0", "Due 5 148 FF0000 0", "Notes 6 183 FF0000 0",
                                                 Format("Letter 8 %d FF0000 0", afterMemo + 38),
                                                 Format("Remark 9 %d FF0000 0", afterMemo + 73)}));
  const TCtlPlan& edit1 = Named(b, "Edit1");
  EXPECT_TRUE(edit1.Upper);
  EXPECT_EQ(edit1.MaxLength, 5);
  EXPECT_EQ(edit1.Hint, "The matter's code");
  EXPECT_EQ(edit1.ButtonNo, 1);
  EXPECT_EQ(Store.FldTable[1].ReservedInt, 1);

  // Dates: blank for "0", a parsable default, else the work date.
  EXPECT_TRUE(Named(b, "Date2").DateBlank);
  EXPECT_EQ(Store.FldTable[3].CurValue, "20261210");
  EXPECT_EQ(Store.FldTable[4].CurValue, "0");
  EXPECT_EQ(Store.FldTable[5].CurValue, "20270304");
  EXPECT_EQ(Store.FldTable[7].CurValue, "N");
  EXPECT_EQ(Named(b, "Date1").Width, int(std::trunc(CalcFieldWidth(8))) + 8);

  // Bindings: the index-1 sort field, a numeric edit (its check first).
  EXPECT_EQ(Names(edit1.Events),
            (std::vector<std::string>{"Enter:OwnIndexEnter", "Exit:IndexFieldExit", "Click:FieldClick",
                                      "KeyDown:OwnIndexKeyDown", "KeyUp:FieldKeyUp", "Change:DropdownTextChange"}));
  EXPECT_EQ(Names(Named(b, "Edit2").Events),
            (std::vector<std::string>{"Enter:OwnIndexEnter", "Exit:NumericFieldExit", "Exit:IndexFieldExit",
                                      "Click:FieldClick", "KeyUp:FieldKeyUp"}));
  EXPECT_EQ(Names(memo.Events), (std::vector<std::string>{"Enter:OwnIndexEnter", "KeyDown:MemoKeyDown",
                                                          "Change:MemoSizeGuard"}));
  EXPECT_EQ(Names(Named(b, "Date1").Events),
            (std::vector<std::string>{"Enter:OwnIndexEnter", "Exit:IndexFieldExit"}));

  // Grid: indicator, one column per row, record text and position.
  std::vector<std::string> columns;
  for (const TGridColumn& c : b.Grid.Columns) columns.push_back(c.Header + ":" + std::to_string(c.Width));
  EXPECT_EQ(columns, (std::vector<std::string>{":8", "Code:" + std::to_string(std::lround(edit1.Width * 0.75)),
                                               "Amount:" + std::to_string(std::lround(Named(b, "Edit2").Width * 0.75)),
                                               "Opened:" + std::to_string(Named(b, "Date1").Width),
                                               "Closed:" + std::to_string(Named(b, "Date2").Width),
                                               "Due:" + std::to_string(Named(b, "Date3").Width), "Notes:320", "Done:17",
                                               "Letter:233", "Remark:" + std::to_string(Named(b, "Memo2").Width), ":0",
                                               ":0"}));
  EXPECT_EQ(b.Grid.CBFieldNames, (std::vector<std::string>{"Code", "Amount", "Opened", "Closed", "Due", "Notes", "Done",
                                                           "Letter", "Remark"}));
  EXPECT_EQ(b.Grid.HiddenWidths, std::vector<int>(12, 0));
}

}  // namespace
