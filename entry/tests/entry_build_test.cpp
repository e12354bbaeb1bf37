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
#include "testing/target_template.h"
#include "testing/temp_dir.h"
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
    ResetBtrLayer();
    Startup.Reset();
    FamilyLookup.Reset();
    Store.DataDir = dir_.path().string();
    Startup.WorkDate = EncodeDate(2026, 12, 10);
    std::string error;
    ASSERT_TRUE(SetCommandLine({"mtdesk"}, error));
  }
  void TearDown() override {
    ResetBtrLayer();
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
    for (const TLabelPlan& l : b.Labels)
      out.push_back(Format("%s %d %d %x %d", l.Caption, l.Row, l.Top, l.Color, l.Tag));
    return out;
  }
  static std::vector<std::string> Names(const TEventBinding& e) {
    std::vector<std::string> out;
    const std::pair<const char*, const std::vector<THandler>*> events[] = {
        {"Enter", &e.OnEnter},       {"Exit", &e.OnExit},   {"Click", &e.OnClick},  {"KeyDown", &e.OnKeyDown},
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

  ScopedTempDir dir_;
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
  EXPECT_EQ(Controls(b),
            (std::vector<std::string>{
                "Edit1 1 1 5 0 1", "SB1 1 1 6 -1 0", "Edit2 2 2 40 1 1", "Date1 3 3 75 2 1", "Date2 4 4 110 3 1",
                "Date3 5 5 145 4 1", "Memo1 6 6 180 5 1", Format("- 7 7 %d 6 1", afterMemo),
                Format("DocPanel1 8 8 %d -1 0", afterMemo + 35), Format("Memo2 9 9 %d 7 1", afterMemo + 70)}));
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
  EXPECT_EQ(Names(memo.Events),
            (std::vector<std::string>{"Enter:OwnIndexEnter", "KeyDown:MemoKeyDown", "Change:MemoSizeGuard"}));
  EXPECT_EQ(Names(Named(b, "Date1").Events), (std::vector<std::string>{"Enter:OwnIndexEnter", "Exit:IndexFieldExit"}));

  // Grid: indicator, one column per row, record text and position.
  std::vector<std::string> columns;
  for (const TGridColumn& c : b.GridColumnPlan.Columns) columns.push_back(c.Header + ":" + std::to_string(c.Width));
  EXPECT_EQ(columns,
            (std::vector<std::string>{":8", "Code:" + std::to_string(std::lround(edit1.Width * 0.75)),
                                      "Amount:" + std::to_string(std::lround(Named(b, "Edit2").Width * 0.75)),
                                      "Opened:" + std::to_string(Named(b, "Date1").Width),
                                      "Closed:" + std::to_string(Named(b, "Date2").Width),
                                      "Due:" + std::to_string(Named(b, "Date3").Width), "Notes:320", "Done:17",
                                      "Letter:233", "Remark:" + std::to_string(Named(b, "Memo2").Width), ":0", ":0"}));
  EXPECT_EQ(b.GridColumnPlan.CBFieldNames, (std::vector<std::string>{"Code", "Amount", "Opened", "Closed", "Due",
                                                                     "Notes", "Done", "Letter", "Remark"}));
  EXPECT_EQ(b.GridColumnPlan.HiddenWidths, std::vector<int>(12, 0));
}

}  // namespace

namespace {

// A family lookup as the designer stores it.
TFld& AddFamilyLookup(TTemplateTableBuilder& t, const std::string& name, const std::string& spec, int width,
                      int keyWidth, std::vector<int> dispCols, bool unique = true) {
  TFld& f = t.Add(name, 'C', width);
  f.KeyWidth = keyWidth;
  f.IsLookup = true;
  f.Unique = unique;
  f.UpperCase = unique;
  f.LkpKind = "L";
  f.LkpSpec = spec;
  for (size_t k = 0; k < dispCols.size(); ++k) f.DispCols[int(k) + 1] = dispCols[k];
  return f;
}

TEST_F(EntryBuildTest, LookupsGetTheirButtonsDisplayRowsAndBindings) {
  AddFamilyLookup(t, "Client code", "A  0  1", 7, 7, {1, 5, 7});
  TFld& matter = t.Add("Matter", 'C', 12);
  matter.KeyWidth = 8;
  matter.IsLookup = true;
  matter.LkpKind = "M";
  matter.LkpTarget = "MNGR007.DSC";
  matter.LkpSpec = "1  1";
  TFld& user = t.Add("Staff", 'C', 10);
  user.IsLookup = true;
  user.LkpKind = "U";
  user.LkpSpec = "2 20";
  t.Add("Note", 'C', 10);
  t.Index(1, {1}, true, "Client code");
  Store.IndexRecs.Names[1] = "Client code";
  Store.IndexRecs.Names[2] = "";
  Store.IndexRecs.Names[3] = "By matter";  // after an empty one: not offered
  // The template lookup's target, on disk.
  WriteTargetTemplate(7, [](TTemplateTableBuilder& target) {
    target.Add("Client", 'C', 8);
    target.Index(1, {1});
  });
  const TEntryBuild b = Build();
  EXPECT_EQ(b.GridColumnPlan.IndexNames, std::vector<std::string>{"Client code"});
  EXPECT_EQ(b.GridColumnPlan.ShapePairs, 1);

  // The client code, its button, its three display rows; the template
  // lookup; the user list and its second row (no label); the plain edit.
  EXPECT_EQ(Controls(b), (std::vector<std::string>{"Edit1 1 1 5 0 1", "SB1 1 1 6 -1 0", "Edit2 -1 2 40 -1 0",
                                                   "Edit3 -1 3 75 -1 0", "Edit4 -1 4 110 -1 0", "Edit5 2 5 145 1 1",
                                                   "SB2 2 5 146 -1 0", "Edit6 3 6 180 2 1", "SB3 3 6 181 -1 0",
                                                   "Edit7 -1 7 215 -1 0", "Edit8 4 8 250 3 1"}));
  EXPECT_EQ(Labels(b),
            (std::vector<std::string>{"Client code 1 8 800000 0", "Client name 2 43 FF0000 0", "City 3 78 FF0000 0",
                                      "Phone 1 4 113 FF0000 0", "Matter 5 148 FF0000 0", "Staff 6 183 FF0000 0",
                                      "Note 8 253 FF0000 0"}));
  const TCtlPlan& display = Named(b, "Edit2");
  EXPECT_EQ(display.Text, std::string(87, ' '));
  EXPECT_FALSE(display.Enabled);
  EXPECT_TRUE(display.ReadOnly);
  EXPECT_FALSE(display.Border);
  EXPECT_EQ(display.FontColor, EntryColor::Navy);
  EXPECT_EQ(display.Height, 16);
  EXPECT_TRUE(Named(b, "Edit1").LookupMark);
  EXPECT_FALSE(Named(b, "Edit8").LookupMark);
  EXPECT_EQ(Named(b, "Edit5").MaxLength, 10);  // a template lookup 12 wide keyed on 8
  EXPECT_EQ(Named(b, "Edit6").MaxLength, 10);
  EXPECT_EQ(b.LookupGroups, 1);
  // Each field's button number, for the dropdown code to find it by.
  EXPECT_EQ((std::vector<int>{Store.FldTable[1].ReservedInt, Store.FldTable[2].ReservedInt,
                              Store.FldTable[3].ReservedInt, Store.FldTable[4].ReservedInt}),
            (std::vector<int>{1, 2, 3, 0}));
  EXPECT_TRUE(Store.FldTable[1].LkpKeyUnique);
  EXPECT_TRUE(Store.FldTable[3].LkpKeyUnique);
  EXPECT_FALSE(Store.FldTable[2].LkpKeyUnique);

  const std::vector<std::string> family = {"Enter:FamilyLookupEnter",  "Exit:LookupExitCheck",    "Click:FieldClick",
                                           "KeyDown:DropdownKeyDown",  "KeyPress:LookupKeyPress", "KeyUp:FieldKeyUp",
                                           "Change:DropdownTextChange"};
  EXPECT_EQ(Names(Named(b, "Edit1").Events), family);
  std::vector<std::string> templ = family;
  templ[0] = "Enter:TemplateLookupEnter";
  EXPECT_EQ(Names(Named(b, "Edit5").Events), templ);
  EXPECT_EQ(Names(Named(b, "Edit6").Events),
            (std::vector<std::string>{"Enter:UserListEnter", "Exit:LookupExitCheck", "Click:FieldClick",
                                      "KeyDown:UserListKeyDown", "KeyUp:FieldKeyUp", "Change:UserListTextChange"}));
  EXPECT_TRUE(Names(display.Events).empty());
  EXPECT_EQ(Names(Named(b, "SB1").Events), (std::vector<std::string>{"Click:SBShowListClick"}));

  // Family lookups stay out of the grid's field chooser, display labels too.
  EXPECT_EQ(b.GridColumnPlan.CBFieldNames, (std::vector<std::string>{"Matter", "Staff", "Note"}));
  EXPECT_EQ(b.GridColumnPlan.Columns[2].Header, "Client name");
  EXPECT_EQ(b.GridColumnPlan.Columns[7].Header, "");
  EXPECT_EQ(b.Keys.ClientSlot, 1);
  EXPECT_EQ(b.Keys.ClientSortPos, 1);
  EXPECT_EQ(b.Keys.ClientEdit, 1);
  EXPECT_TRUE(b.Keys.CalBitBtnEnabled);
  EXPECT_EQ(b.Keys.CalBitBtnHint, "Show calendar entries for this client");
}

TEST_F(EntryBuildTest, TheNamePseudoFieldTakesTheCodeFieldsTabStopOnlyUnderTabToAltLookups) {
  for (const bool tabToAlt : {false, true}) {
    SCOPED_TRACE(tabToAlt);
    Startup.TabToAltLookups = tabToAlt;
    t = TTemplateTableBuilder();
    t.Add("Before", 'C', 4);
    AddFamilyLookup(t, "Client code", "A  0  1", 7, 7, {1, 5});
    Store.AltLookupOn[1] = true;
    const TEntryBuild b = Build();
    EXPECT_EQ(Controls(b), (std::vector<std::string>{"Edit1 1 1 5 0 1", Format("Edit2 2 2 40 1 %d", int(!tabToAlt)),
                                                     "SB1 2 2 41 -1 0", Format("Edit3 52 3 75 2 %d", int(tabToAlt)),
                                                     "SB2 52 3 76 -1 0", "Edit4 -1 4 110 -1 0"}));
    // Tabbing from the field before lands on the name, not on the code.
    std::vector<std::string> stops;
    for (int i : b.TabChain()) {
      if (b.Controls[size_t(i)].TabStop) stops.push_back(b.Controls[size_t(i)].Name);
    }
    const std::vector<std::string> expected{"Edit1", tabToAlt ? "Edit3" : "Edit2"};
    EXPECT_EQ(stops, expected);
    const TFld& pseudo = Store.FldTable[52];
    EXPECT_EQ(pseudo.Name, "^CN");
    EXPECT_EQ(pseudo.KeyWidth, 72);
    EXPECT_EQ(pseudo.LkpSpec, "A  1  0");
    EXPECT_TRUE(pseudo.Forced);
    EXPECT_EQ(Named(b, "Edit3").MaxLength, 72);
    EXPECT_EQ(Names(Named(b, "Edit3").Events)[0], "Enter:FamilyLookupEnter");
    EXPECT_EQ(Labels(b)[2], "Client name 3 78 FF0000 0");
  }
  // Without the alternate lookup switched on the name is a display row.
  // A case description line's label carries -code, to be found by it.
  t = TTemplateTableBuilder();
  // A code outside the catalogue shows an empty label rather than failing.
  AddFamilyLookup(t, "Case", "B 22 23", 7, 7, {23, 80, 140});
  const TEntryBuild lines = Build();
  ASSERT_EQ(lines.Labels.size(), 4u);
  EXPECT_EQ((std::vector<int>{lines.Labels[0].Tag, lines.Labels[1].Tag, lines.Labels[2].Tag}),
            (std::vector<int>{0, 0, -80}));
  EXPECT_EQ(lines.Labels[3].Caption, "");
  EXPECT_EQ(lines.Controls[2].Kind, TCtlKind::DisplayEdit);
  EXPECT_EQ(PseudoFieldFor(1), -1);
  Store.AltLookupOn[2] = true;
  EXPECT_EQ(PseudoFieldFor(1), 53);
}

TEST_F(EntryBuildTest, TheKeyScanFindsTheFamilyKeysAndPresetsTheClientFromTheCommandLine) {
  std::string error;
  ASSERT_TRUE(SetCommandLine({"mtdesk", "d", "Wills", "SMI01", "Smith"}, error));
  AddFamilyLookup(t, "Client code", "A  0", 7, 7, {});
  AddFamilyLookup(t, "Case", "B 22", 7, 7, {});
  AddFamilyLookup(t, "Attorney", "E 62", 4, 4, {});
  t.Index(1, {2, 1}, true, "Case");
  const TEntryBuild b = Build();
  EXPECT_EQ((std::vector<int>{b.Keys.ClientSlot, b.Keys.CaseSlot, b.Keys.EmpSlot}), (std::vector<int>{1, 2, 3}));
  EXPECT_EQ((std::vector<int>{b.Keys.ClientSortPos, b.Keys.CaseSortPos, b.Keys.EmpSortPos}),
            (std::vector<int>{2, 1, 0}));
  EXPECT_EQ((std::vector<int>{b.Keys.ClientEdit, b.Keys.CaseEdit, b.Keys.EmpEdit}), (std::vector<int>{1, 2, 3}));
  EXPECT_TRUE(FamilyLookup.CaseKeyOption);
  EXPECT_TRUE(b.Keys.CalBitBtnEnabled);
  EXPECT_EQ(b.Keys.CalBitBtnHint, "Show calendar entries for this case");
  EXPECT_EQ(b.Keys.ClientPresetSlot, 1);
  EXPECT_EQ(Named(b, "Edit1").Text, "SMI01");
  EXPECT_EQ(Store.FldTable[1].CurValue, "SMI01");

  // A child instance takes no preset; an employee key alone leaves the
  // calendar off.
  Startup.IsChildApp = true;
  FamilyLookup.Reset();
  t = TTemplateTableBuilder();
  AddFamilyLookup(t, "Attorney", "E 62", 4, 4, {});
  const TEntryBuild child = Build();
  EXPECT_EQ(child.Keys.ClientPresetSlot, -1);
  EXPECT_EQ(child.Keys.EmpSlot, 1);
  EXPECT_FALSE(child.Keys.CalBitBtnEnabled);
  EXPECT_FALSE(FamilyLookup.CaseKeyOption);
}

// The option belongs to the template being built: a template without both
// keys never inherits it from the one built before.
TEST_F(EntryBuildTest, TheKeyScanClearsTheCaseKeyOptionOfTheTemplateBefore) {
  AddFamilyLookup(t, "Client code", "A  0", 7, 7, {});
  AddFamilyLookup(t, "Case", "B 22", 7, 7, {});
  Build();
  ASSERT_TRUE(FamilyLookup.CaseKeyOption);
  t = TTemplateTableBuilder();
  AddFamilyLookup(t, "Client code", "A  0", 7, 7, {});
  const TEntryBuild b = Build();
  EXPECT_FALSE(FamilyLookup.CaseKeyOption);
  EXPECT_EQ(b.Keys.CalBitBtnHint, "Show calendar entries for this client");
}

TEST_F(EntryBuildTest, FiftyFieldsOfEightyDisplayColumnsEachGetEveryRowAndColumn) {
  for (int k = 1; k <= 50; ++k) {
    std::vector<int> cols;
    for (int c = 1; c <= MaxDispCols; ++c) cols.push_back(1 + c % 9);
    AddFamilyLookup(t, "Client " + std::to_string(k), "A  0", 7, 7, cols, false);
  }
  const TEntryBuild b = Build();
  EXPECT_EQ(b.Rows.size(), 50u * 81u);
  EXPECT_EQ(b.Rows.back().Top, 5 + (50 * 81 - 1) * 35);
  EXPECT_EQ(b.EditsArr.size(), 50u * 81u);
  EXPECT_EQ(b.GridColumnPlan.Columns.size(), 50u * 81u + 3u);
  EXPECT_EQ(b.GridColumnPlan.HiddenWidths.size(), b.GridColumnPlan.Columns.size());
  EXPECT_EQ(b.LookupGroups, 50);
  EXPECT_EQ(Named(b, "Edit4050").Row, 4050);
  EXPECT_EQ(b.LastTabOrder, 49);
}

// Slot 1 empty builds nothing; the build stops at the first empty name.
TEST_F(EntryBuildTest, TheBuildStopsAtTheFirstEmptySlot) {
  EXPECT_TRUE(Build().Controls.empty());
  t.Add("One", 'C', 3);
  t.Add("Two", 'C', 3);
  Store.FldTable[2].Name = "";
  const TEntryBuild b = Build();
  EXPECT_EQ(Controls(b), (std::vector<std::string>{"Edit1 1 1 5 0 1"}));
  EXPECT_EQ(b.GridColumnPlan.Columns.size(), 4u);
}

}  // namespace
