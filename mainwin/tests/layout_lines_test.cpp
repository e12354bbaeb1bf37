// The layout's lines as the pages hold them: golden lines for a template
// with every type, flag and lookup kind, page breaks inside a long lookup
// and over many fields, the index section on the page or on its own, and
// the font and margin chosen for a page.
#include "mainwin/layout_lines.h"
#include "mainwin/layout_print.h"

#include "platform/text.h"
#include "templates/template_state.h"
#include "testing/template_fixture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

void PrintTo(const TLayoutLine& Line, std::ostream* Os) {
  *Os << "{" << Line.Y << ", \"" << Line.Text << "\"" << (Line.Bold ? ", bold}" : "}");
}

namespace {

constexpr int Step = 10;
constexpr int Height = 64 * Step;

class LayoutLinesTest : public ::testing::Test {
protected:
  void SetUp() override {
    Store.Reset();
    Store.TplName = "Matters";
    for (int code = 0; code <= MaxHostFldCode; ++code) Store.HostFldNames[code] = "Col" + IntToStr(code);
    Store.HostFldNames[0] = "Client Code";
    Store.HostFldNames[1] = "Client Name";
    Store.HostFldNames[2] = "Address";
    Store.HostFldNames[3] = "City";
  }
  void TearDown() override {
    Store.Reset();
    Store.HostFldNames = LookupCatalogueNames();
  }

  static void SetDisplay(TFld& Fld, const std::vector<int>& Codes) {
    for (size_t k = 0; k < Codes.size(); ++k) Fld.DispCols[int(k) + 1] = Codes[k];
  }
  static TFld& AddLookup(TTemplateTableBuilder& T, const std::string& Name, const std::string& Kind,
                         const std::string& Spec, const std::vector<int>& Display) {
    TFld& f = T.Add(Name, 'C', 7);
    f.IsLookup = true;
    f.LkpKind = Kind;
    f.LkpSpec = Spec;
    SetDisplay(f, Display);
    return f;
  }

  // The index names where the descriptor loader puts them.
  static void NameIndexesAsLoaded() {
    for (int i = 1; i <= MaxIndexes; ++i) Store.IndexRecs.Names[i] = Store.IndexNamesToWrite[i];
  }

  // A page as printed lines, a blank one for each step left empty.
  static std::vector<std::string> Texts(const TLayoutPage& Page) {
    std::vector<std::string> texts;
    for (const TLayoutLine& line : Page) {
      texts.resize(size_t(line.Y / Step));
      texts.push_back(line.Text);
    }
    return texts;
  }

  const TLayoutTargets Targets{{"MNGR007.DSC", {{"Ref", " 1", "5"}, {"Title", " 2", "30"}, {"Owner", " 3", "7"}}}};
};

TEST_F(LayoutLinesTest, EveryTypeFlagAndLookupKindPrintsItsLines) {
  {
    TTemplateTableBuilder t;
    TFld& code = t.Add("Matter Code", 'C', 7);
    code.UpperCase = true;
    code.Required = true;
    code.Default = "NEW";
    TFld& amount = t.Add("Amount", 'N', 10);
    amount.Decimals = 2;
    amount.MinVal = "0.00";
    amount.MaxVal = "9999.99";
    amount.RightJustify = true;
    t.Add("Opened", 'D', 8);
    t.Add("Billable", 'B', 1);
    t.Add("Brief", 'd', 60);
    // Three display columns beside two dropdown columns: the third on its own line.
    AddLookup(t, "Client", "L", "A  0  1", {1, 2, 3}).UpperCase = true;
    // Widened after its place was given: the next field keeps its own.
    TFld& other = AddLookup(t, "Other Matter", "M", "1  1  2", {3});
    other.Width = 9;
    other.LkpTarget = "MNGR007.DSC";
    TFld& kind = AddLookup(t, "Kind", "U", "1", {});
    kind.LkpTarget = "3.lst";
    // No minimum: no range, as the designer stores it.
    TFld& count = t.Add("Count", 'N', 4);
    count.MaxVal = "0";
    t.Index(1, {1}, true, "By code");
    t.Index(2, {3, 2}, false, "By opened");
  }
  NameIndexesAsLoaded();
  const std::vector<TLayoutPage> pages = LayoutPages(Height, Step, Targets);
  ASSERT_EQ(pages.size(), 1u);
  const std::vector<std::string> want{
      "Matters                                                                                                     Page 1",
      "Field Name                 Type       Size    Caps    Required      ------ Numeric Fields ------",
      "                           Just       Start                         Dec Pl  Range",
      "Matter Code                Character  7       Yes     Yes                                             ",
      "                           Left       5       ",
      "           Default value:  NEW",
      "",
      "Amount                     Numeric    10      No      No            2       0.00-9999.99                  ",
      "                           Right      12      ",
      "",
      "Opened                     Date       8       No      No                                              ",
      "                                      22      ",
      "",
      "Billable                   Check Box  1       No      No                                              ",
      "                                      30      ",
      "",
      "Brief                      Document   60      No      No                                              ",
      "                                      31      ",
      "",
      "Client                     Character  7       Yes     No                                              ",
      "                           Left       91      ",
      "",
      "                  Drop down:  Client Code                     Display:  Client Name",
      "                              Client Name                               Address",
      "                                                                        City                      ",
      "",
      "Other Matter               Character  9       No      No                                              ",
      "                           Left       98      ",
      "",
      "                  Drop down:  Ref                             Display:  Owner",
      "                              Title                        ",
      "",
      "Kind                       Character  7       No      No                                              ",
      "                           Left       105     ",
      "",
      "Count                      Numeric    4       No      No            0                                     ",
      "                           Left       112     ",
      "",
      "Index Name                  Unique   Sort Field 1               Sort Field 2               Sort Field 3               ",
      "By code                     Yes      Matter Code                                                                      ",
      "By opened                   No       Opened                     Amount                                                ",
  };
  EXPECT_EQ(Texts(pages[0]), want);
  for (size_t i = 0; i < pages[0].size(); ++i) EXPECT_EQ(pages[0][i].Bold, i == 0) << i;
  EXPECT_EQ(LayoutLookupTargets(), std::vector<std::string>{"MNGR007.DSC"});
}

// Checks every page of Pages: a later page begins with its bold heading
// and the field column heads, nothing but the headings is bold, every line
// fits on the page, and lines of the field section stop 5 steps short.
void ExpectPagesWellFormed(const std::vector<TLayoutPage>& Pages, int PageHeight, int LineStep) {
  for (size_t p = 0; p < Pages.size(); ++p) {
    const TLayoutPage& page = Pages[p];
    ASSERT_FALSE(page.empty()) << p;
    EXPECT_TRUE(page[0].Bold) << p;
    EXPECT_EQ(page[0].Y, 0) << p;
    const std::string number = IntToStr(int(p) + 1);
    if (p > 0) {
      EXPECT_EQ(page[0].Text, std::string(101, ' ').insert(0, "Matters") + "   Page " + number);
    }
    bool indexSection = false;
    for (size_t i = 1; i < page.size(); ++i) {
      EXPECT_FALSE(page[i].Bold) << p << ":" << i;
      EXPECT_LE(page[i].Y + LineStep, PageHeight) << page[i].Text;
      if (page[i].Text.starts_with("Index Name")) indexSection = true;
      if (!indexSection) {
        EXPECT_LE(page[i].Y, PageHeight - 5 * LineStep) << page[i].Text;
      }
    }
  }
}

std::vector<std::string> AllTexts(const std::vector<TLayoutPage>& Pages) {
  std::vector<std::string> texts;
  for (const TLayoutPage& page : Pages)
    for (const TLayoutLine& line : page) texts.push_back(line.Text);
  return texts;
}

TEST_F(LayoutLinesTest, ALongLookupContinuesOnTheNextPageUnderTheHeadings) {
  std::vector<int> display;
  for (int code = 10; code < 90; ++code) display.push_back(code);
  {
    TTemplateTableBuilder t;
    AddLookup(t, "Parties", "L", "A  0", display);
    t.Index(1, {1}, true, "By party");
  }
  NameIndexesAsLoaded();
  const std::vector<TLayoutPage> pages = LayoutPages(Height, Step, Targets);
  ASSERT_EQ(pages.size(), 2u);
  ExpectPagesWellFormed(pages, Height, Step);
  // Page 1: heading, heads, two field lines, a blank, the dropdown line
  // with display column 1, then one display column a line down to 590.
  ASSERT_EQ(pages[0].size(), 6u + 53u);
  EXPECT_EQ(pages[0].back().Y, 590);
  EXPECT_EQ(pages[0].back().Text, std::string(72, ' ') + "Col63                     ");
  ASSERT_GE(pages[1].size(), 4u);
  EXPECT_EQ(pages[1][1].Text, pages[0][1].Text);
  EXPECT_EQ(pages[1][2].Text, pages[0][2].Text);
  EXPECT_EQ(pages[1][3].Text, std::string(72, ' ') + "Col64                     ");
  EXPECT_EQ(pages[1][3].Y, 3 * Step);
  EXPECT_EQ(pages[0][5].Text, "                  Drop down:  Client Code" + std::string(18, ' ') + "   Display:  Col10");
  // Every display column once, in order.
  std::vector<std::string> shown;
  for (const std::string& text : AllTexts(pages)) {
    const int at = Pos("Col", text);
    if (at > 0) shown.push_back(Trim(Copy(text, at, 5)));
  }
  std::vector<std::string> want;
  for (int code = 10; code < 90; ++code) want.push_back("Col" + IntToStr(code));
  EXPECT_EQ(shown, want);
  // The index section follows on page 2.
  EXPECT_EQ(AllTexts(pages).back().substr(0, 11), "By party   ");
}

TEST_F(LayoutLinesTest, FiftyFieldsRunOverPagesInOrderWhateverThePageMeasures) {
  {
    TTemplateTableBuilder t;
    for (int i = 1; i <= MaxFields; ++i) t.Add("Field " + IntToStr(i), 'C', 5);
    t.Index(1, {1}, true, "First");
    t.Index(2, {50, 2}, false, "Last");
  }
  NameIndexesAsLoaded();
  struct Measure {
    int PageHeight, LineStep;
    size_t Pages;
  };
  for (const Measure m : {Measure{640, 10, 3}, Measure{12600, 196, 3}, Measure{645, 10, 3}, Measure{1300, 20, 3}}) {
    SCOPED_TRACE(IntToStr(m.PageHeight) + "/" + IntToStr(m.LineStep));
    const std::vector<TLayoutPage> pages = LayoutPages(m.PageHeight, m.LineStep, Targets);
    EXPECT_EQ(pages.size(), m.Pages);
    ExpectPagesWellFormed(pages, m.PageHeight, m.LineStep);
    std::vector<std::string> names;
    for (const std::string& text : AllTexts(pages))
      if (text.starts_with("Field ") && !text.starts_with("Field Name")) names.push_back(Trim(text.substr(0, 27)));
    ASSERT_EQ(names.size(), size_t(MaxFields));
    for (int i = 1; i <= MaxFields; ++i) EXPECT_EQ(names[size_t(i - 1)], "Field " + IntToStr(i));
    const std::vector<std::string> texts = AllTexts(pages);
    EXPECT_EQ(texts.back(), PrintIndexLine(2));
    EXPECT_EQ(Trim(texts.back()), "Last                        No       Field 50                   Field 2");
  }
}

// Fields of three lines each end at 30 + 30 x fields; the two indexes and
// their spare lines need 6 whole lines left.
TEST_F(LayoutLinesTest, TheIndexSectionTakesANewPageOnlyWhenItDoesNotFit) {
  for (const int fields : {18, 19}) {
    SCOPED_TRACE(fields);
    {
      TTemplateTableBuilder t;
      for (int i = 1; i <= fields; ++i) t.Add("F" + IntToStr(i), 'C', 3);
      t.Index(1, {1}, true, "One");
      t.Index(2, {2}, false, "Two");
    }
    NameIndexesAsLoaded();
    const std::vector<TLayoutPage> pages = LayoutPages(Height, Step, Targets);
    const TLayoutPage& last = pages.back();
    ASSERT_GE(last.size(), 3u);
    const std::vector<TLayoutLine> tail(last.end() - 3, last.end());
    const std::string heads =
        "Index Name                  Unique   Sort Field 1               Sort Field 2               Sort Field 3"
        "               ";
    if (fields == 18) {
      ASSERT_EQ(pages.size(), 1u);
      EXPECT_EQ(tail, (std::vector<TLayoutLine>{{570, heads, false}, {580, PrintIndexLine(1), false},
                                                {590, PrintIndexLine(2), false}}));
    } else {
      ASSERT_EQ(pages.size(), 2u);
      ASSERT_EQ(last.size(), 4u);
      EXPECT_EQ(last[0], (TLayoutLine{0, std::string(101, ' ').insert(0, "Matters") + "   Page 2", true}));
      EXPECT_EQ(tail, (std::vector<TLayoutLine>{{10, heads, false}, {20, PrintIndexLine(1), false},
                                                {30, PrintIndexLine(2), false}}));
    }
  }
}

// The lines under a family lookup's two field lines and blank line.
TEST_F(LayoutLinesTest, DropdownAndDisplayColumnsPairUpByNumber) {
  const std::string drop = "                  Drop down:  ";
  const std::string more(30, ' ');
  const std::string display = "   Display:  ";
  const std::string alone(72, ' ');
  struct Case {
    std::string Spec;
    std::vector<int> Display;
    std::vector<std::string> Want;
  };
  const std::vector<Case> cases{
      // Four dropdown columns, no display column; a fifth code is never read.
      {"A  0  1  2  3  4",
       {},
       {drop + "Client Code" + std::string(18, ' '), more + "Client Name" + std::string(18, ' '),
        more + "Address" + std::string(22, ' '), more + "City" + std::string(25, ' ')}},
      // One dropdown column and display columns up to 4: each beyond the
      // first on a line of its own.
      {"A  1",
       {0, 2, 3, 4},
       {drop + "Client Name" + std::string(18, ' ') + display + "Client Code", alone + "Address" + std::string(19, ' '),
        alone + "City" + std::string(22, ' '), alone + "Col4" + std::string(22, ' ')}},
      // A blank code ends the dropdown columns.
      {"A  3     1", {1}, {drop + "City" + std::string(25, ' ') + display + "Client Name"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Spec);
    {
      TTemplateTableBuilder t;
      AddLookup(t, "Client", "L", c.Spec, c.Display);
    }
    const std::vector<std::string> texts = Texts(LayoutPages(Height, Step, Targets)[0]);
    ASSERT_GE(texts.size(), 6u + c.Want.size());
    EXPECT_EQ(std::vector<std::string>(texts.begin() + 6, texts.begin() + 6 + long(c.Want.size())), c.Want);
    EXPECT_EQ(texts[6 + c.Want.size()], "");
  }
}

TEST_F(LayoutLinesTest, AnMLookupWhoseTargetWasNotReadPrintsBlankNames) {
  {
    TTemplateTableBuilder t;
    TFld& f = AddLookup(t, "Other", "M", "1  2", {1});
    f.LkpTarget = "MNGR009.DSC";
  }
  NameIndexesAsLoaded();
  const std::vector<TLayoutPage> pages = LayoutPages(Height, Step, Targets);
  const std::vector<std::string> texts = Texts(pages[0]);
  ASSERT_GT(texts.size(), 6u);
  EXPECT_EQ(texts[6], std::string("                  Drop down:  ") + std::string(29, ' ') + "   Display:  ");
}

// An advance of three fifths of the height, as Courier New has.
int CourierAdvance(int Height) { return Height * 3 / 5; }

TEST(LayoutFont, TwelvePointsCentredWhereTheyFitElseSmallerWithoutMargin) {
  struct Case {
    const char* Name;
    int PageWidth, PixelsPerInch, LineStep;
    TLayoutFont Want;
  };
  const Case cases[] = {
      // 200 pixels capped at the line step; centred, but 5 advances at most.
      {"wide", 20000, 1200, 196, {196, 5 * 117}},
      {"centred", 14000, 1200, 196, {196, (14000 - 118 * 117) / 2}},
      {"exact", 118 * 117, 1200, 196, {196, 0}},
      // Letter at 1200 pixels per inch: 118 columns of 12 points are too wide.
      {"narrow", 9600, 1200, 196, {136, 0}},
      {"screen", 2000, 96, 16, {16, 5 * 9}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(FitLayoutFont(c.PageWidth, c.PixelsPerInch, c.LineStep, CourierAdvance), c.Want) << c.Name;
}

TEST(LayoutFont, AFontThatNeverFitsStopsAtOnePixel) {
  int asked = 0;
  const TLayoutFont font = FitLayoutFont(50, 1200, 196, [&](int) {
    ++asked;
    return 1;
  });
  EXPECT_EQ(font, (TLayoutFont{1, 0}));
  EXPECT_EQ(asked, 196);
}

}  // namespace
