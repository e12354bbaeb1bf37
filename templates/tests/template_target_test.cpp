// Reading another template as a kind M lookup's target, on templates saved
// by the designer's save.
#include "templates/template_target.h"

#include "btrieve/create_file.h"
#include "templates/descriptor_codec.h"
#include "templates/email_templates.h"
#include "templates/store_constants.h"
#include "templates/template_build.h"
#include "testing/dialog_responder.h"
#include "testing/piped_process.h"
#include "testing/store_files_fixture.h"
#include "testing/target_template.h"
#include "testing/template_fixture.h"

#include <gtest/gtest.h>

namespace {

class TemplateTargetTest : public StoreFilesTest {
protected:
  void SetUp() override {
    StoreFilesTest::SetUp();
    CreateMaster();
  }

  // Template 0, "Targets": a unique code; a name that begins two indexes,
  // the non-unique first; an amount, right-justified, that begins only a
  // non-unique index; a client; "Nam", whose name prefixes "Name".
  static void SaveTargets() {
    SaveLookupTargets();
  }

  static std::string Padded(const std::string& Name) { return Name + std::string(26 - Name.size(), ' '); }
};

TEST_F(TemplateTargetTest, FieldsAndIndexesAsALookupOffersThem) {
  SaveTargets();
  TTemplateTarget target;
  ASSERT_EQ(ReadTemplateTarget(TTemplateNumber(0), "Targets", false, target), TTargetRead::Read);
  // The amount begins only an index no lookup can use: it is not offered.
  EXPECT_EQ(target.Fields, (std::vector<TMFld>{{"Code", " 1", "5", true, true},
                                               {"Name", " 2", "20", true, false},
                                               {"Client", " 4", "10", false, false},
                                               {"Nam", " 5", "6", true, true}}));
  EXPECT_EQ(target.FieldIds, (std::vector<int>{1, 2, 4, 5}));
  ASSERT_EQ(target.Indexes.size(), 5u);
  EXPECT_EQ(target.Indexes[0], (TTargetIndex{1, Padded("By code"), "Code", true, {1}, true}));
  EXPECT_EQ(target.Indexes[1], (TTargetIndex{2, Padded("By amount"), "Amount", false, {3}, false}));
  EXPECT_EQ(target.Indexes[2], (TTargetIndex{3, Padded("By name"), "Name - Client", false, {2, 4}, true}));
  EXPECT_EQ(target.Indexes[3], (TTargetIndex{4, Padded("By nam"), "Nam", true, {5}, true}));
  // Each index's own flag: the name's first membership is non-unique, this one is unique.
  EXPECT_EQ(target.Indexes[4], (TTargetIndex{5, Padded("Name unique"), "Name - Code - Client", true, {2, 1, 4}, true}));

  // A field beginning two indexes offers both; a name prefixing another's
  // begins only its own.
  const auto name = target.IndexesBegunBy(2);
  ASSERT_EQ(name.size(), 2u);
  EXPECT_EQ(name[0]->Digit, 3);
  EXPECT_EQ(name[1]->Digit, 5);
  const auto nam = target.IndexesBegunBy(5);
  ASSERT_EQ(nam.size(), 1u);
  EXPECT_EQ(nam[0]->Digit, 4);
  EXPECT_TRUE(target.IndexesBegunBy(3).empty());
  EXPECT_TRUE(target.IndexesBegunBy(4).empty());
  EXPECT_EQ(target.FieldWithId(4)->Name, "Client");
  EXPECT_EQ(target.FieldWithId(3), nullptr);
  EXPECT_EQ(target.IndexWithDigit(5)->Name, Padded("Name unique"));

  EXPECT_FALSE(BtrIsFileOpen(TargetDescriptorFileNo));
  EXPECT_EQ(FileLockMsg, DefaultFileLockMsg);
}

TEST_F(TemplateTargetTest, EveryFieldOfATargetAsStoredOfferedOrNot) {
  SaveTargets();
  std::vector<TMFld> fields;
  DialogResponder responder;
  ASSERT_TRUE(ReadTemplateFields("MNGR000.DSC ", fields));
  // The amount, which no lookup is offered, is there too.
  EXPECT_EQ(fields, (std::vector<TMFld>{{"Code", " 1", "5"},
                                        {"Name", " 2", "20"},
                                        {"Amount", " 3", "8"},
                                        {"Client", " 4", "10"},
                                        {"Nam", " 5", "6"}}));
  // A target naming no template or a missing one: false, and no message.
  for (const char* target : {"MNGR001.DSC", "MNGRabc.DSC", "", "1.lst"}) {
    EXPECT_FALSE(ReadTemplateFields(target, fields)) << target;
    EXPECT_TRUE(fields.empty());
  }
  EXPECT_TRUE(responder.Boxes().empty());
  EXPECT_FALSE(BtrIsFileOpen(TargetDescriptorFileNo));
}

TEST_F(TemplateTargetTest, OnlyNonUniqueRightJustifiedIndexesOfferNoKey) {
  TTemplateTableBuilder t;
  t.Add("Amount", 'N', 8).RightJustify = true;
  t.Add("Memo", 'C', 10);
  t.Index(1, {1}, false, "By amount");
  ASSERT_TRUE(BuildTemplateDataFile("Amounts"));
  DialogResponder responder;
  responder.Expect(
      "The only index(es) existing in this template are non-unique and right-justified.\r\r"
      "Such indexes may not be used for a lookup.");
  TTemplateTarget target;
  EXPECT_EQ(ReadTemplateTarget(TTemplateNumber(0), "Amounts", false, target), TTargetRead::NoUsableKey);
  EXPECT_EQ(target.Fields, (std::vector<TMFld>{{"Memo", " 2", "10", false, false}}));
  EXPECT_EQ(responder.Boxes().at(0).type, mtError);
}

TEST_F(TemplateTargetTest, ARightJustifiedFieldKeysAUniqueIndex) {
  TTemplateTableBuilder t;
  t.Add("Ref", 'N', 4).RightJustify = true;
  t.Index(1, {1}, true, "By ref");
  ASSERT_TRUE(BuildTemplateDataFile("Refs"));
  TTemplateTarget target;
  ASSERT_EQ(ReadTemplateTarget(TTemplateNumber(0), "Refs", false, target), TTargetRead::Read);
  EXPECT_EQ(target.Fields, (std::vector<TMFld>{{"Ref", " 1", "4", true, true}}));
}

TEST_F(TemplateTargetTest, TheBuiltInMatterDescriptorKeysItsLookupsByKeyTwo) {
  const std::string name = DescriptorFileName(TTemplateNumber(0));
  std::string msg;
  ASSERT_TRUE(BtrCreateFile(name, DscRecordLength, int8_t(DescriptorKeySegments.size()), msg, 255, true,
                            DescriptorKeySegments))
      << msg;
  std::vector<std::string> records;
  for (const std::string& text : EmailDescriptorTexts(TEmailTemplate::Matter)) records.push_back(WithPrefix(0, text));
  InsertRecords(name, records);
  TTemplateTarget target;
  ASSERT_EQ(ReadTemplateTarget(TTemplateNumber(0), MatterEmailName, false, target), TTargetRead::Read);
  ASSERT_EQ(target.Indexes.size(), 1u);
  EXPECT_EQ(target.Indexes[0].Digit, 2);
  EXPECT_EQ(target.Indexes[0].SortFldText, "Client code - Case suffix");
  EXPECT_TRUE(target.Indexes[0].Unique);
  EXPECT_EQ(target.IndexWithDigit(1), nullptr);
  ASSERT_EQ(target.IndexesBegunBy(1).size(), 1u);
  EXPECT_EQ(target.IndexesBegunBy(1)[0]->Digit, 2);
  EXPECT_EQ(target.Fields.at(0), (TMFld{"Client code", " 1", "7", true, true}));
}

TEST_F(TemplateTargetTest, AMissingDescriptorIsReportedOutsideTheFirstStage) {
  TTemplateTarget target;
  target.Fields.push_back({"stale", " 1", "1", false, false});
  {
    DialogResponder responder;
    responder.Expect("A required file:  " + Store.DataDir + "\\mngr007.dsc is missing." + ContactMsg);
    EXPECT_EQ(ReadTemplateTarget(TTemplateNumber(7), "Seven", false, target), TTargetRead::Missing);
  }
  EXPECT_TRUE(target.Fields.empty());
  EXPECT_EQ(ReadTemplateTarget(TTemplateNumber(7), "Seven", true, target), TTargetRead::Missing);
}

TEST_F(TemplateTargetTest, ASaveHeldElsewhereIsWaitedForWithTheTargetsQuestion) {
  SaveTargets();
  PipedProcess peer(SAVE_PEER_PATH, {Store.DataDir});
  ASSERT_EQ(peer.Ask("lock exclusive 0"), "held");
  LockRetryMs = 20;
  const std::string file = Store.DataDir + "\\mngr000.dsc";
  for (const bool firstStage : {false, true}) {
    DialogResponder responder;
    responder.Expect("File:  " + file + "\r\r" +
                         (firstStage ? "Waiting for one or more description files to become accessible.  Retry?"
                                     : "The description file for Targets is not accessible.\r\r"
                                       "It may be in use elsewhere.   Retry accessing this file?"),
                     mrNo);
    responder.Answer(mrOk);
    TTemplateTarget target;
    EXPECT_EQ(ReadTemplateTarget(TTemplateNumber(0), "Targets", firstStage, target), TTargetRead::Failed);
    EXPECT_TRUE(responder.Texts().at(1).starts_with("Unable to read the description file for Targets.\r\r"));
    EXPECT_FALSE(BtrIsFileOpen(TargetDescriptorFileNo));
  }
  EXPECT_EQ(peer.Ask("release"), "released");
  TTemplateTarget target;
  EXPECT_EQ(ReadTemplateTarget(TTemplateNumber(0), "Targets", false, target), TTargetRead::Read);
}

TEST(TemplateTargetNumber, TemplateZeroIsFoundAsAnyOther) {
  EXPECT_EQ(LookupTargetNumber("MNGR000.DSC"), TTemplateNumber(0));
  EXPECT_EQ(LookupTargetNumber("mngr012.dsc"), TTemplateNumber(12));
  EXPECT_EQ(LookupTargetNumber("MNGR998.DSC "), TTemplateNumber(998));
  for (const char* bad : {"", "MNGR999.DSC", "MNGR 12.DSC", "MNGR12.DSC", "MGRDT012.QMD", "MNGR0120.DSC", "x\\MNGR012.DSC"})
    EXPECT_EQ(LookupTargetNumber(bad), std::nullopt) << bad;
  const std::string numbers = "  5  0 12998";
  EXPECT_EQ(TemplateListEntryOf(numbers, TTemplateNumber(0)), 1);
  EXPECT_EQ(TemplateListEntryOf(numbers, TTemplateNumber(12)), 2);
  EXPECT_EQ(TemplateListEntryOf(numbers, TTemplateNumber(998)), 3);
  EXPECT_EQ(TemplateListEntryOf(numbers, TTemplateNumber(7)), -1);
  EXPECT_EQ(TemplateListEntryOf("", TTemplateNumber(0)), -1);
}

}  // namespace
