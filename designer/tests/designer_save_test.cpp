// Saves from the designer's models on real files: a new template, a
// modification of one with records (fields added, deleted, a user list
// widened, an alternative lookup untouched), and a modification from a
// field table another workstation's save has made stale.
#include "designer/field_model.h"
#include "designer/index_model.h"

#include "btrieve/numbered_files.h"
#include "platform/text.h"
#include "templates/descriptor_codec.h"
#include "templates/descriptor_loader.h"
#include "templates/layout_digest.h"
#include "templates/save_layout.h"
#include "templates/template_build.h"
#include "testing/dialog_responder.h"
#include "testing/store_files_fixture.h"
#include "testing/template_fixture.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

const std::string Created = "The template 'Matters' was successfully created.";
const std::string Modified = "The template 'Matters' was successfully modified.";

class DesignerSaveTest : public StoreFilesTest {
protected:
  void SetUp() override {
    StoreFilesTest::SetUp();
    CreateMaster();
    Store.TplName = "Matters";
  }

  TFieldModel Model;
  TIndexScreen Screen;
  TIndexScreen Remembered;

  void Add(const std::string& Name, char Type, int Width, const TLookupStorer& Lookup = {}) {
    TFieldEntry e;
    e.Name = Name;
    e.TypeIndex = TypeIndexOf(Type);
    e.Width = Width;
    e.IsLookup = static_cast<bool>(Lookup);
    DialogResponder boxes;
    if (Type == 'N') boxes.Answer(mrYes);
    ASSERT_TRUE(Model.AddField(e, Lookup).Ok) << Name;
  }

  void Delete(const std::string& Name) {
    for (size_t k = 0; k < Model.List.size(); ++k) {
      if (Model.List[k] != Name) continue;
      DialogResponder boxes;
      boxes.Answer(mrYes);
      ASSERT_TRUE(Model.DeleteField(int(k)));
      return;
    }
    FAIL() << Name;
  }

  // Saves from the index screen; the boxes the save shows are returned.
  std::vector<std::string> Save(const std::vector<std::pair<std::string, int>>& Answers) {
    DialogResponder boxes;
    for (const auto& [text, result] : Answers) boxes.Expect(text, result);
    TIndexVerdict refusal;
    EXPECT_TRUE(SaveTemplate(Screen, Remembered, refusal));
    return boxes.Texts();
  }

  // The matter template: a code, a name, an amount, a date, an alternative
  // client lookup and a user list; indexed by code (unique) and by name.
  void CreateMatters() {
    Model = TFieldModel();
    Model.Start();
    Add("Code", 'C', 5);
    Add("Name", 'C', 10);
    Add("Amount", 'N', 8);
    Add("Opened", 'D', 8);
    Add("Client", 'C', 47, [](int Slot) {
      TFld& f = Store.FldTable[Slot];
      f.LkpKind = "l";
      f.LkpSpec = "A  1";
      f.DispCols[1] = 1;
      f.KeyWidth = 40;
    });
    Add("Kind", 'C', 6, [](int Slot) {
      TFld& f = Store.FldTable[Slot];
      f.LkpKind = "U";
      f.LkpTarget = "1.lst";
      f.LkpSpec = "1";
    });
    Screen = TIndexScreen();
    Screen[0] = {"By code", {"Code", "", ""}, true, false};
    Screen[1] = {"By name", {"Name", "Code", ""}, false, false};
    Save({{Created, mrOk}});
    ASSERT_TRUE(TplSaved);
  }

  // Template 0 loaded for modification by the loader, as the main window
  // prepares the designer: file 1 on the master record.
  void LoadForDesigner(bool HasData) {
    if (BtrIsFileOpen(MasterFileNo)) BtrCloseFile(MasterFileNo);
    ASSERT_TRUE(LoadTemplateDescriptor("000"));
    Store.Modifying = true;
    Store.HasData = HasData;
    Store.TplNumber = "000";
    TplSaved = false;
    OpenMasterOn(0);
    Model = TFieldModel();
    for (int k = 1; k <= Store.FldCount; ++k) Model.List.push_back(Store.FldTable[k].Name);
    Model.Start();
    Screen = LoadIndexScreen();
    Remembered = Screen;
  }

  static std::string Dsc() { return DescriptorFileName(TTemplateNumber(0)); }
  static std::string Data() { return DataFileName(TTemplateNumber(0)); }
};

TEST_F(DesignerSaveTest, ANewTemplateIsWrittenAsDesigned) {
  CreateMatters();
  BtrOpenFile(9, MasterFileName(), 0);
  EXPECT_EQ(Records(9, 2).at(0).substr(4), FormatMasterText("Matters", TTemplateNumber(0)));
  BtrCloseFile(9);
  ASSERT_TRUE(LoadTemplateDescriptor("000"));
  ASSERT_EQ(Store.FldCount, 6);
  const char* names[] = {"Code", "Name", "Amount", "Opened", "Client", "Kind"};
  int position = 5;
  for (int k = 1; k <= 6; ++k) {
    EXPECT_EQ(Store.FldTable[k].Name, names[k - 1]);
    EXPECT_EQ(Store.FldTable[k].FldId, k);
    EXPECT_EQ(Store.FldTable[k].Offset, position);
    position += Store.FldTable[k].Width;
  }
  EXPECT_EQ(Store.FldTable[5].LkpKind, "L");
  EXPECT_TRUE(Store.AltKindIds[5]);
  EXPECT_EQ(Store.IndexRecs.Names[1], "By code");
  EXPECT_EQ(Store.IndexRecs.Names[2], "By name");
  EXPECT_EQ(Store.IndexRecs.SortFld1[2], 2);
  EXPECT_EQ(Store.IndexRecs.SortFld2[2], 1);
  EXPECT_TRUE(Store.IndexUnique[1]);
  EXPECT_FALSE(Store.IndexUnique[2]);
  EXPECT_EQ(Store.IndexRecs.IndexCount(), 2);
}

TEST_F(DesignerSaveTest, AModificationWithRecordsKeepsEveryValue) {
  CreateMatters();
  const std::vector<TFieldValues> values = {
      {{1, "A1"}, {2, "Smith"}, {3, "1234.5"}, {4, "20260101"}, {5, "Jones & Co"}, {6, "Open"}},
      {{1, "B2"}, {2, "Brown"}, {6, "Closed"}}};
  std::vector<std::string> records;
  for (const TFieldValues& v : values) records.push_back(WithPrefix(0, FillRecord(v)));
  InsertRecords(Data(), records);

  LoadForDesigner(true);
  Add("Notes", 'C', 12);
  Delete("Opened");
  // The user list widened.
  ASSERT_TRUE(Model.StartEdit(4));
  TFieldEntry kind;
  kind.Name = "Kind";
  kind.Width = 9;
  kind.IsLookup = true;
  ASSERT_TRUE(Model.AddField(kind, [](int Slot) {
                     TFld& f = Store.FldTable[Slot];
                     f.LkpKind = "U";
                     f.LkpTarget = "1.lst";
                     f.LkpSpec = "1";
                   }).Ok);
  EXPECT_TRUE(Store.ListFldWidened);
  EXPECT_EQ(Save({{Modified, mrOk}}), std::vector<std::string>{Modified});
  EXPECT_TRUE(TplSaved);

  // Every record keeps its values by FldId, the new field blank, the stamp kept.
  std::vector<std::string> expected;
  for (TFieldValues v : values) {
    v.erase(4);
    expected.push_back(FillRecord(v));
  }
  const std::vector<std::string> read = ReadRecords(Data());
  ASSERT_EQ(read.size(), 2u);
  for (size_t k = 0; k < read.size(); ++k) EXPECT_EQ(read[k].substr(4), expected[k]);

  // Both indexes find the records; the alternative lookup is still one.
  BtrOpenFile(9, Data(), 0);
  EXPECT_EQ(Records(9, 1).size(), 2u);
  EXPECT_EQ(Records(9, 2).at(0).substr(4, 2), "B2");
  BtrCloseFile(9);
  BtrCloseFile(MasterFileNo);
  ASSERT_TRUE(LoadTemplateDescriptor("000"));
  EXPECT_TRUE(Store.AltKindIds[5]);
  EXPECT_EQ(Store.FldTable[5].Width, 9);  // Kind, behind Client now
  EXPECT_EQ(Store.IndexRecs.IndexCount(), 2);  // the untouched boxes keep both
}

TEST_F(DesignerSaveTest, AStaleFieldTableIsRefusedAndChangesNothing) {
  CreateMatters();
  LoadForDesigner(false);
  auto stale = std::make_unique<TTemplateStore>(Store);
  const TFieldModel staleModel = Model;
  const TIndexScreen staleScreen = Screen;

  // Another workstation adds a field and saves in between.
  Add("Partner", 'C', 3);
  Save({{Modified, mrOk}});
  const std::vector<std::string> descriptor = TextsOfFile(Dsc());
  const std::vector<std::string> master = [] {
    BtrOpenFile(9, MasterFileName(), 0);
    auto r = Records(9, 2);
    BtrCloseFile(9);
    return r;
  }();

  BtrCloseFile(MasterFileNo);
  Store = *stale;
  Model = staleModel;
  Screen = Remembered = staleScreen;
  OpenMasterOn(0);
  TplSaved = false;
  Add("Office", 'C', 3);  // would take the other's FldId 7
  const std::vector<std::string> shown =
      Save({{LayoutChangedMsg, mrOk}, {"The template 'Matters' could not be modified.", mrOk}});
  EXPECT_EQ(shown.size(), 2u);
  EXPECT_FALSE(TplSaved);
  EXPECT_EQ(TextsOfFile(Dsc()), descriptor);
  BtrCloseFile(MasterFileNo);
  BtrOpenFile(9, MasterFileName(), 0);
  EXPECT_EQ(Records(9, 2), master);
  BtrCloseFile(9);
}

// Template 1, "Bills", looks Matters up by index 1 (showing Opened and Name)
// and by index 2.
void SaveBills() {
  Store.Modifying = Store.HasData = false;
  TTemplateTableBuilder t;
  t.Add("Bill", 'C', 6);
  for (const auto& [name, spec, cols] :
       {std::tuple{"Matter", "1  1  4", std::vector<int>{4, 2}}, {"By name", "2  2  1", std::vector<int>{2}}}) {
    TFld& f = t.Add(name, 'C', 5);
    f.IsLookup = f.Forced = true;
    f.LkpKind = "M";
    f.LkpTarget = "MNGR000.DSC";
    f.LkpSpec = spec;
    for (size_t k = 0; k < cols.size(); ++k) f.DispCols[int(k) + 1] = cols[k];
  }
  ASSERT_TRUE(BuildTemplateDataFile("Bills"));
}

TEST_F(DesignerSaveTest, IndexesOtherTemplatesReadByAreLockedAlsoThroughTheirFirstField) {
  CreateMatters();
  // A third, unique index on Code alone: locked through index 1.
  LoadForDesigner(false);
  Screen[2] = {"Code only", {"Code", "", ""}, true, false};
  Save({{Modified, mrOk}});
  BtrCloseFile(MasterFileNo);
  SaveBills();
  LoadForDesigner(false);
  DialogResponder boxes;
  const TIndexLocks locks = FindIndexLocks(Screen);
  EXPECT_TRUE(locks.Complete);
  EXPECT_TRUE(locks.Locked[1]);
  EXPECT_TRUE(locks.Locked[2]);
  EXPECT_TRUE(locks.Locked[3]);
  EXPECT_FALSE(locks.Locked[4]);
  EXPECT_EQ(locks.IndirectNames, std::vector<std::string>{"Code only"});
  ASSERT_EQ(locks.References.size(), 2u);
  EXPECT_EQ(locks.References[0].FieldName, "Matter");
  EXPECT_EQ(locks.References[1].Index, 2);
}

TEST_F(DesignerSaveTest, ADeletedFieldLeavesTheLookupsOfOtherTemplates) {
  CreateMatters();
  BtrCloseFile(MasterFileNo);
  SaveBills();
  LoadForDesigner(false);
  Delete("Opened");
  EXPECT_EQ(Save({{Modified, mrOk}}), std::vector<std::string>{Modified});
  BtrCloseFile(MasterFileNo);
  ASSERT_TRUE(LoadTemplateDescriptor("001"));
  const TFld& matter = Store.FldTable[2];
  EXPECT_EQ(Trim(matter.LkpSpec), "1  1");
  EXPECT_EQ(matter.DispCols[1], 2);
  for (int k = 2; k <= MaxDispCols; ++k) EXPECT_NE(matter.DispCols[k], 4) << k;
}

TEST_F(DesignerSaveTest, TheBuilderRefusesIndexesItWouldDrop) {
  struct Case {
    int idx1, pos1, idx2, pos2;  // the memberships of the two fields
    std::string name2;           // IndexNamesToWrite[2]
    bool good;
  };
  const Case cases[] = {
      {1, 2, 0, 0, "", false},  // index 1 without its 1st sort field
      {1, 1, 2, 1, "B", true},
      {1, 1, 3, 1, "", false},  // index 3 behind an empty index 2
      {1, 1, 0, 0, "B", false},  // a name to write for an index without members
  };
  for (const Case& c : cases) {
    TTemplateTableBuilder t;
    t.Add("Code", 'C', 5);
    t.Add("Name", 'C', 10);
    const std::pair<int, int> memberships[] = {{c.idx1, c.pos1}, {c.idx2, c.pos2}};
    for (int k = 1; k <= 2; ++k) {
      TFld& f = Store.FldTable[k];
      f.IdxCount = memberships[k - 1].first ? 1 : 0;
      f.IdxNo[1] = memberships[k - 1].first;
      f.SortPos[1] = memberships[k - 1].second;
    }
    Store.IndexNamesToWrite[1] = "A";
    Store.IndexNamesToWrite[2] = c.name2;
    DialogResponder boxes;
    if (!c.good) boxes.Answer(mrOk);
    bool saved = false;
    try {
      saved = BuildTemplateDataFile("Matters " + std::to_string(c.idx2));
    } catch (const EAbort&) {
    }
    EXPECT_EQ(saved, c.good) << c.idx1 << c.pos1 << c.idx2 << c.name2;
    if (!c.good) {
      EXPECT_EQ(boxes.Texts().at(0).substr(0, FieldPositionsMsg.size()), FieldPositionsMsg);
    }
  }
}

}  // namespace
