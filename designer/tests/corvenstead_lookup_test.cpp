// Family-file lookups without a widget: the lists written into a field and
// read back from its stored record, the tiles each stage enables, the
// client lookup question's outcome and the automatic client lookup field.
#include "designer/corvenstead_lookup.h"

#include "templates/descriptor_codec.h"
#include "templates/descriptor_loader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class CorvensteadLookup : public ::testing::Test {
protected:
  void SetUp() override { Store.Reset(); }
  void TearDown() override { Store.Reset(); }
};

std::string Column(const std::string& Text, const TDscRange& Range) {
  return Text.substr(size_t(Range.Column - 1), size_t(Range.Width));
}

TFld PlainField() {
  TFld f;
  f.Name = "Matter";
  f.FldType = 'C';
  f.Width = 10;
  f.KeyWidth = 10;
  f.IsLookup = true;
  f.LkpKind = "L";
  f.Forced = true;
  return f;
}

// The record a field makes, prefix first, as the loader reads it.
TFld StoredAndRead(const TFld& Fld) {
  return ParseFieldRecord(std::string(DscPrefixLength, '\0') + FormatFieldRecord(Fld, 5));
}

TEST_F(CorvensteadLookup, StoreWritesSpecDisplayColumnsAndTheFirstFieldsRow) {
  struct Case {
    std::vector<std::string> dropdown;
    std::vector<std::string> displayed;
    std::string spec;  // columns 98-110
    std::string disp;  // the first 18 display columns' text
    std::string width, keyWidth;
    char upper, unique;
  };
  const Case cases[] = {
      {{"Client code", "Client name"}, {"City", "Phone 1"}, "A  0  1      ", "  5  7            ", "  7", "  7", 'Y', 'Y'},
      {{"Client name"}, {}, "A  1         ", "                  ", " 47", " 40", 'N', 'N'},
      {{"Case suffix", "Case description line 3", "Department code", "Case type 1 code"},
       {"Case description line 20", "Date case opened"}, "B 22 82 32 34", " 99 54            ", "  7", "  7", 'Y', 'Y'},
      {{"Case Alternate ID", "No such field"}, {"No such field", "Case suffix"}, "B 23         ",
       " 22               ", " 24", " 20", 'N', 'N'},
      {{"Employee code"}, {"Employee name", "Employee dept code"}, "E 62         ", " 63 66            ", "  4", "  4",
       'Y', 'Y'},
      {{"Employee name"}, {"Employee code"}, "E 63         ", " 62               ", " 44", " 37", 'N', 'N'},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.dropdown.front());
    TCorvensteadLookup lookup;
    lookup.Dropdown = c.dropdown;
    lookup.Displayed = c.displayed;
    TFld f = PlainField();
    f.LkpTarget = "MNGR001.DSC";  // left from another kind: cleared
    lookup.StoreInto(f);
    const std::string text = FormatFieldRecord(f, 5);
    EXPECT_EQ(Column(text, DscField::LkpSpec), c.spec);
    EXPECT_EQ(Column(text, DscField::DispCols).substr(0, 18), c.disp);
    EXPECT_EQ(Column(text, DscField::DispCols).substr(18), std::string(222, ' '));
    EXPECT_EQ(Column(text, DscField::LkpTarget), std::string(11, ' '));
    EXPECT_EQ(Column(text, DscField::Width), c.width);
    EXPECT_EQ(Column(text, DscField::KeyWidth), c.keyWidth);
    EXPECT_EQ(Column(text, DscField::UpperCase)[0], c.upper);
    EXPECT_EQ(Column(text, DscField::Unique)[0], c.unique);
  }
}

TEST_F(CorvensteadLookup, StoredListsComeBackWithTheAlternativeLookup) {
  struct Case {
    std::vector<std::string> dropdown;
    std::vector<std::string> displayed;
    bool altTicked;
    std::string storedKind;
    int altHost;  // AltLookupOn switched on by the load, 0 none
  };
  const Case cases[] = {
      {{"Client code", "City"}, {"Client name", "Phone 1"}, true, "l", 1},
      {{"Client code"}, {"Phone 1", "Client name"}, true, "L", 0},  // the name field is not first
      {{"Client code"}, {"Client name"}, false, "L", 0},            // not ticked
      {{"Case suffix"}, {"Case Alternate ID", "Case description line 1"}, true, "l", 2},
      {{"Employee code"}, {"Employee name"}, true, "l", 3},
      {{"Employee code"}, {"Client name"}, true, "L", 0},  // another host's name field
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.dropdown.front() + " / " + c.displayed.front());
    Store.Reset();
    TCorvensteadLookup lookup;
    lookup.Dropdown = c.dropdown;
    lookup.Displayed = c.displayed;
    TFld f = PlainField();
    lookup.StoreInto(f);
    f.LkpKind = StoredLookupKind(c.altTicked, f);
    EXPECT_EQ(f.LkpKind, c.storedKind);

    TFld read = StoredAndRead(f);
    EXPECT_EQ(read.LkpKind, c.storedKind);
    TakeAltLookupKind(read);
    EXPECT_EQ(read.LkpKind, "L");
    for (int host = 1; host <= 3; ++host) EXPECT_EQ(Store.AltLookupOn[host], host == c.altHost) << host;

    const TCorvensteadLookup loaded = TCorvensteadLookup::LoadFrom(read);
    EXPECT_EQ(loaded.Dropdown, c.dropdown);
    EXPECT_EQ(loaded.Displayed, c.displayed);
  }
}

TEST_F(CorvensteadLookup, BadStoredCodesAreSkippedOnLoad) {
  TFld f = PlainField();
  // A code that does not convert, one outside 0..99, an unnamed one.
  f.LkpSpec = "A x1  0999 18  1";
  f.DispCols[1] = 5;
  f.DispCols[2] = 150;
  f.DispCols[3] = -7;
  f.DispCols[4] = 40;
  f.DispCols[5] = 7;
  f.DispCols[6] = -1;
  f.DispCols[7] = 9;  // behind the end
  const TCorvensteadLookup loaded = TCorvensteadLookup::LoadFrom(f);
  EXPECT_EQ(loaded.Dropdown, (std::vector<std::string>{"Client code", "Client name"}));
  EXPECT_EQ(loaded.Displayed, (std::vector<std::string>{"City", "Phone 1"}));
  EXPECT_EQ(loaded.FirstCode(), 0);

  TFld empty = PlainField();
  empty.LkpSpec = "Q";
  EXPECT_TRUE(TCorvensteadLookup::LoadFrom(empty).Dropdown.empty());
  EXPECT_EQ(TCorvensteadLookup::LoadFrom(empty).FirstCode(), -1);
}

std::string Enabled(const TTileStates& States) {
  std::string out;
  for (int code = 0; code < TileCount; ++code) {
    if (!States[size_t(code)] || (code > 0 && States[size_t(code - 1)])) continue;
    int last = code;
    while (last + 1 < TileCount && States[size_t(last + 1)]) ++last;
    if (!out.empty()) out += ",";
    out += std::to_string(code) + (last > code ? "-" + std::to_string(last) : "");
  }
  return out;
}

TEST_F(CorvensteadLookup, TilesEnabledByStage) {
  EXPECT_EQ(Enabled(ResetTileStates()), "0,22,62");
  struct Case {
    int first;
    std::string host, key;
    std::string label;
  };
  const Case cases[] = {
      {0, "0-21", "0,2-21", "Make the field Client Name available as an alternative lookup."},
      {1, "0-21", "0,2-21", "Make the field Client Name available as an alternative lookup."},
      {22, "0-61", "0,2-22,24-61", "Make the field Case Alternate ID available as an alternative lookup."},
      {23, "0-61", "0,2-22,24-61", "Make the field Case Alternate ID available as an alternative lookup."},
      {62, "62-67", "62,64-67", "Make the field Employee Name available as an alternative lookup."},
      {63, "62-67", "62,64-67", "Make the field Employee Name available as an alternative lookup."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.first);
    EXPECT_EQ(Enabled(HostTileStates(c.first)), c.host);
    EXPECT_EQ(Enabled(KeyTileStates(c.first)), c.key);
    EXPECT_EQ(AltLookupCaption(c.first), c.label);
  }
  EXPECT_EQ(Enabled(HostTileStates(-1)), "0,22,62");
}

TEST_F(CorvensteadLookup, ClientLookupQuestionOutcome) {
  struct Case {
    int option;
    bool adding;
    int listed;
    bool autoLookup;
    std::string message;
    bool cancel;
  };
  const Case cases[] = {
      {0, true, 10, true, "", false},
      {0, true, 48, true, "", false},
      {0, true, 49, false, NoRoomForClientLookupMsg, false},  // the 50th field leaves no slot
      {0, true, 50, false, NoRoomForClientLookupMsg, false},
      {0, false, 10, false, NoClientLookupReminder, false},   // an edit never creates it
      {1, true, 10, false, "", false},
      {2, true, 10, false, NoClientLookupReminder, false},
      {2, false, 49, false, NoClientLookupReminder, false},
      {3, true, 10, false, "", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.option) + (c.adding ? " adding " : " editing ") + std::to_string(c.listed));
    LookupHandOver given;
    given.Adding = c.adding;
    given.ListCount = c.listed;
    const TClientLookupStep step = ClientLookupStep(c.option, given);
    EXPECT_EQ(step.AutoClientLookup, c.autoLookup);
    EXPECT_EQ(step.Message, c.message);
    EXPECT_EQ(step.CancelForm, c.cancel);
  }
}

TEST_F(CorvensteadLookup, AClientLookupIsLookedForInEveryListedFieldButTheEditedOne) {
  TFld client = PlainField();
  client.LkpSpec = "A  0";
  TFld template_ = PlainField();
  template_.LkpKind = "M";
  template_.LkpSpec = "1  3";
  TFld notLookup = PlainField();
  notLookup.IsLookup = false;
  notLookup.LkpSpec = "A  0";

  LookupHandOver given;
  given.ListedFields = {template_, notLookup};
  EXPECT_FALSE(HasClientLookup(given));
  // Beyond the table's first FldCount slots too: the listed field counts.
  given.ListedFields.push_back(client);
  given.ListCount = 3;
  EXPECT_TRUE(HasClientLookup(given));
  // The client lookup being edited into a case lookup is no client lookup.
  given.Adding = false;
  given.EditedField = 2;
  EXPECT_FALSE(HasClientLookup(given));
  given.EditedField = 0;
  EXPECT_TRUE(HasClientLookup(given));
}

TEST_F(CorvensteadLookup, AutomaticClientLookupField) {
  Store.FldCount = 4;
  Store.RecLen = 44;
  Store.FldTable[4].Hint = "left from before";
  AddClientLookupField();
  const TFld& f = Store.FldTable[4];
  EXPECT_EQ(f.Name, "Client Lookup");
  EXPECT_EQ(f.SeqNo, 4);
  EXPECT_EQ(f.FldType, 'C');
  EXPECT_TRUE(f.UpperCase && f.IsLookup && f.Unique && f.Forced);
  EXPECT_FALSE(f.Required || f.RightJustify);
  EXPECT_EQ(f.Width, 7);
  EXPECT_EQ(f.KeyWidth, 7);
  EXPECT_EQ(f.Default, "");
  EXPECT_EQ(f.Hint, "");
  EXPECT_EQ(f.LkpKind, "L");
  EXPECT_EQ(f.LkpSpec, "A  0         ");
  EXPECT_EQ(Store.RecLen, 51);
  EXPECT_EQ(TCorvensteadLookup::LoadFrom(f).Dropdown, std::vector<std::string>{"Client code"});
}

}  // namespace
