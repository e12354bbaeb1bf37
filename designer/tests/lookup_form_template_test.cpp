// Kind M of the lookup form on templates saved by the designer's save: the
// template list, the target's tiles and index entries, the first dropdown
// field and its index, the result in a field record, an edited lookup
// reloaded, and the files given back on every path.
#include "designer/qt/field_tile.h"
#include "designer/qt/key_sel_form.h"
#include "designer/qt/lookup_form.h"
#include "platform/files.h"
#include "platform/qt/form_timer.h"
#include "platform/qt/widget_text.h"
#include "templates/descriptor_codec.h"
#include "templates/store_constants.h"
#include "templates/template_build.h"
#include "testing/dialog_driver.h"
#include "testing/dialog_responder.h"
#include "testing/store_files_fixture.h"
#include "testing/target_template.h"
#include "testing/template_fixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>

#include <memory>
#include <string>
#include <vector>

namespace {

using Names = std::vector<std::string>;

Names Items(const QListWidget* List) {
  Names out;
  for (int k = 0; k < List->count(); ++k) out.push_back(StoredText(List->item(k)->text()));
  return out;
}

std::string Padded(const std::string& Name) { return Name + std::string(26 - Name.size(), ' '); }

class LookupFormTemplateTest : public StoreFilesTest {
protected:
  void SetUp() override {
    StoreFilesTest::SetUp();
    CreateMaster();
  }
  void TearDown() override {
    form.reset();
    StoreFilesTest::TearDown();
  }

  // Template 000 "Targets": a unique code; a name beginning a non-unique
  // and a unique index; a right-justified amount beginning only a
  // non-unique index; a client; "Nam", whose name prefixes "Name".
  // Template 001 "Zeta": one field, one index.
  static void SaveTargets() {
    SaveLookupTargets();
    if (::testing::Test::HasFatalFailure()) return;
    TTemplateTableBuilder z;
    z.Add("Ref", 'C', 4);
    z.Index(1, {1}, true, "By ref");
    ASSERT_TRUE(BuildTemplateDataFile("Zeta"));
  }

  void MakeForm() {
    form = std::make_unique<TLKUPF>();
    form->HandOver.FieldName = "Matter";
    form->HandOver.Width = 10;
    form->ResetForField();
  }
  // Kind M chosen and the first OK pressed.
  void OpenTemplateKind() {
    MakeForm();
    ShowActive(*form);
    ClickIndicator(form->RadioGroup1->Item(TLKUPF::KindM));
    QTest::mouseClick(form->BitBtnSave, Qt::LeftButton);
    ASSERT_FALSE(form->LookupKindStage);
  }
  TFieldTile* TileNamed(const std::string& Name) const {
    for (TFieldTile* t : form->TemplateTiles)
      if (!t->isHidden() && StoredText(t->text()) == Name) return t;
    ADD_FAILURE() << "no tile " << Name;
    return form->TemplateTiles[0];
  }
  void Pick(const std::string& Name) {
    TFieldTile* t = TileNamed(Name);
    // Back from a dialog the form is active again before a tile takes the focus.
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    t->setFocus();
    QApplication::processEvents();
    ASSERT_EQ(form->HighlightTile, t);
  }
  void AddDropdown(const std::string& Name) {
    Pick(Name);
    QTest::mouseClick(form->BitBtnDropDown, Qt::LeftButton);
  }
  void AddDisplay(const std::string& Name) {
    Pick(Name);
    QTest::mouseClick(form->BitBtnDisplayed, Qt::LeftButton);
  }
  Names ShownTiles() const {
    Names out;
    for (TFieldTile* t : form->TemplateTiles)
      if (!t->isHidden()) out.push_back(StoredText(t->text()) + (t->Bold() ? "*" : ""));
    return out;
  }
  // Nothing held: both slots closed, the lock question back to its own.
  static void ExpectGivenBack() {
    EXPECT_FALSE(BtrIsFileOpen(TargetDescriptorFileNo));
    EXPECT_FALSE(BtrIsFileOpen(TemplateListFileNo));
    EXPECT_EQ(FileLockMsg, DefaultFileLockMsg);
  }
  // An M lookup on template Target being edited.
  void EditLookup(const std::string& Target, const std::string& Spec, std::vector<int> Disp) {
    TFld f;
    f.Name = "Matter";
    f.IsLookup = true;
    f.LkpKind = "M";
    f.LkpTarget = Target;
    f.LkpSpec = Spec;
    f.Forced = true;
    for (size_t k = 0; k < Disp.size(); ++k) f.DispCols[int(k) + 1] = Disp[k];
    form->HandOver.ListedFields = {f};
    form->HandOver.EditedField = 0;
    form->HandOver.Adding = false;
  }

  THandDrivenTimers timers;
  DialogResponder boxes;
  std::unique_ptr<TLKUPF> form;
};

TEST_F(LookupFormTemplateTest, TheTargetsTilesEntriesAndTheFirstDropdownField) {
  SaveTargets();
  OpenTemplateKind();
  EXPECT_EQ(Items(form->ListBoxTables), (Names{"Targets", "Zeta"}));
  EXPECT_EQ(form->TplNumbers, "  0  1");
  EXPECT_EQ(form->ListBoxTables->currentRow(), 0);
  EXPECT_TRUE(form->ListBoxTables->isVisible());
  EXPECT_TRUE(form->ScrollBoxCase->isHidden());
  EXPECT_FALSE(form->Tile(0)->isVisible());
  EXPECT_TRUE(form->CBForced->isEnabled());
  EXPECT_FALSE(form->LabelInstruction->isVisible());
  // The amount begins only an index no lookup can use: the next field takes its tile.
  EXPECT_EQ(ShownTiles(), (Names{"Code*", "Name*", "Client", "Nam*"}));
  EXPECT_EQ(form->MFlds.size(), 4u);
  // Each index its own flag: "Name unique" is unique though the name's first index is not.
  EXPECT_EQ(form->TplIdxEntries,
            (std::vector<TLKUPF::TTplIdxEntry>{{Padded("By code"), "Code", "Y", 1},
                                               {Padded("By name"), "Name - Client", "N", 3},
                                               {Padded("By nam"), "Nam", "Y", 4},
                                               {Padded("Name unique"), "Name - Code - Client", "Y", 5}}));
  ExpectGivenBack();

  // A field beginning no index is refused.
  boxes.Expect("The first field in the dropdown list must be an index field.\r\r(If you believe that 'Client' is an "
               "index field, then it may have been\rdisqualified because it is both a non-unique index and it is "
               "right-justified.)");
  AddDropdown("Client");
  EXPECT_TRUE(Items(form->ListBoxDropdown).empty());

  // "Nam" takes its own index only, not those of "Name" it prefixes.
  AddDropdown("Nam");
  EXPECT_EQ(Items(form->ListBoxDropdown), Names{"Nam"});
  EXPECT_EQ(StoredText(form->LabelIndexName->text()), "By nam");
  EXPECT_EQ(form->LabelIndexName->property("tag").toInt(), 4);
  EXPECT_EQ(form->HandOver.Width, 6);
  for (const char* more : {"Code", "Client", "Name"}) AddDropdown(more);
  boxes.Expect("The Dropdown list cannot have more than four fields.");
  AddDropdown("Code");
  EXPECT_EQ(Items(form->ListBoxDropdown), (Names{"Nam", "Code", "Client", "Name"}));
}

TEST_F(LookupFormTemplateTest, AFieldBeginningTwoIndexesAsksWhichAndTheResultIsStored) {
  SaveTargets();
  OpenTemplateKind();
  // Cancel adds nothing.
  WhenModal<TKeySelF>([](TKeySelF& ask) { QTest::mouseClick(ask.CloseBitBtn, Qt::LeftButton); });
  AddDropdown("Name");
  EXPECT_TRUE(Items(form->ListBoxDropdown).empty());

  Names prompt, choices;
  WhenModal<TKeySelF>([&](TKeySelF& ask) {
    prompt = {StoredText(ask.Label1->text())};
    for (int k = 0; k < ask.ComboBoxKeyChoice->count(); ++k)
      choices.push_back(StoredText(ask.ComboBoxKeyChoice->itemText(k)));
    EXPECT_EQ(ask.ComboBoxKeyChoice->currentIndex(), 0);
    ask.ComboBoxKeyChoice->setCurrentIndex(1);
    QTest::mouseClick(ask.SaveBitBtn, Qt::LeftButton);
  });
  AddDropdown("Name");
  EXPECT_EQ(prompt, Names{"The field you have selected is associated with 2 indexes.\rPlease select the index you "
                          "want below."});
  EXPECT_EQ(choices, (Names{Padded("By name") + "  Name - Client", Padded("Name unique") + "  Name - Code - Client"}));
  EXPECT_EQ(Items(form->ListBoxDropdown), Names{"Name"});
  EXPECT_EQ(StoredText(form->LabelIndexName->text()), "Name unique");
  EXPECT_EQ(form->LabelIndexName->property("tag").toInt(), 5);
  EXPECT_EQ(form->HandOver.Width, 20);
  AddDropdown("Code");
  AddDisplay("Client");
  AddDisplay("Nam");

  // Written into a slot and read back from its descriptor record.
  Store.FldCount = 3;
  TFld& slot = Store.FldTable[3];
  slot.Name = "Matter";
  slot.SeqNo = slot.FldId = 3;
  slot.FldType = 'C';
  slot.IsLookup = true;
  slot.LkpKind = "M";
  form->StoreTemplateLookup(3);
  const TFld back = ParseFieldRecord(WithPrefix(0, FormatFieldRecord(slot, 5)));
  EXPECT_EQ(back.LkpTarget, "MNGR000.DSC");
  EXPECT_EQ(back.LkpSpec, "5  2  1");
  // The chosen index is unique, the name's first index is not.
  EXPECT_TRUE(back.Unique);
  EXPECT_EQ(back.Width, 24);
  EXPECT_EQ(back.KeyWidth, 20);
  EXPECT_EQ(back.DispCols[1], 4);
  EXPECT_EQ(back.DispCols[2], 5);
  EXPECT_EQ(back.DispCols[3], DispColsEnd);

  QTest::mouseClick(form->BitBtnSave, Qt::LeftButton);
  EXPECT_TRUE(form->HandOver.LookupAccepted);
  ExpectGivenBack();
}

TEST_F(LookupFormTemplateTest, AnEditedLookupOnTemplateZeroComesBackWhole) {
  SaveTargets();
  MakeForm();
  EditLookup("MNGR000.DSC", "5  2  1", {4, 5});
  form->LoadTemplateLookup();
  EXPECT_EQ(form->Kind(), TLKUPF::KindM);
  EXPECT_EQ(form->SelectedTemplateName(), "Targets");
  EXPECT_EQ(StoredText(form->LabelIndexName->text()), "Name unique");
  EXPECT_EQ(form->LabelIndexName->property("tag").toInt(), 5);
  EXPECT_EQ(Items(form->ListBoxDropdown), (Names{"Name", "Code"}));
  EXPECT_EQ(Items(form->ListBoxDisplayed), (Names{"Client", "Nam"}));
  EXPECT_TRUE(form->CBForced->isChecked());
  // Stored again unchanged.
  Store.FldTable[4].LkpKind = "M";
  form->StoreTemplateLookup(4);
  EXPECT_EQ(Store.FldTable[4].LkpTarget, "MNGR000.DSC");
  EXPECT_EQ(Store.FldTable[4].LkpSpec, "5  2  1");
  ExpectGivenBack();

  // Another template chosen: its own fields, the lists empty.
  form->ListBoxTables->setCurrentRow(1);
  EXPECT_EQ(ShownTiles(), Names{"Ref*"});
  EXPECT_TRUE(Items(form->ListBoxDropdown).empty());
  EXPECT_FALSE(form->CBForced->isChecked());
  EXPECT_EQ(form->LabelIndexName->property("tag").toInt(), 0);
}

TEST_F(LookupFormTemplateTest, ATargetGoneFallsBackToTheFirstTemplate) {
  SaveTargets();
  MakeForm();
  EditLookup("MNGR042.DSC", "1  1", {});
  boxes.Expect("Unable to locate the Matterdesk template this lookup is based on!\r\r"
               "It may have been deleted or a file may be corrupted.");
  form->LoadTemplateLookup();
  EXPECT_EQ(form->SelectedTemplateName(), "Targets");
  EXPECT_TRUE(Items(form->ListBoxDropdown).empty());
  EXPECT_EQ(boxes.Boxes().at(0).type, mtError);
  ExpectGivenBack();
}

TEST_F(LookupFormTemplateTest, MissingFilesAreReportedAndLeaveTheListsEmpty) {
  SaveTargets();
  ASSERT_TRUE(DeleteFile(DescriptorFileName(TTemplateNumber(1))));
  OpenTemplateKind();
  boxes.Expect("A required file:  " + Store.DataDir + "\\mngr001.dsc is missing." + ContactMsg);
  form->ListBoxTables->setCurrentRow(1);
  EXPECT_TRUE(ShownTiles().empty());
  EXPECT_TRUE(form->TplIdxEntries.empty());
  ExpectGivenBack();

  // Without the master nothing is listed.
  form.reset();
  ASSERT_TRUE(DeleteFile(MasterFileName()));
  MakeForm();
  boxes.Expect("A required file MASTER.DSC is missing!\r\rYou will not be able to use this lookup function until "
               "this is corrected." +
               ContactMsg);
  form->SetKind(TLKUPF::KindM);
  form->RadioGroup1Click();
  EXPECT_EQ(form->ListBoxTables->count(), 0);
  EXPECT_TRUE(form->TplNumbers.empty());
  EXPECT_TRUE(ShownTiles().empty());
  ExpectGivenBack();
}

TEST_F(LookupFormTemplateTest, OnlyNonUniqueRightJustifiedIndexesOfferNoFirstField) {
  TTemplateTableBuilder t;
  t.Add("Amount", 'N', 8).RightJustify = true;
  t.Add("Memo", 'C', 10);
  t.Index(1, {1}, false, "By amount");
  ASSERT_TRUE(BuildTemplateDataFile("Amounts"));
  boxes.Expect("The only index(es) existing in this template are non-unique and right-justified.\r\r"
               "Such indexes may not be used for a lookup.");
  OpenTemplateKind();
  EXPECT_EQ(ShownTiles(), Names{"Memo"});
  EXPECT_TRUE(form->TplIdxEntries.empty());
  boxes.Expect("The first field in the dropdown list must be an index field.\r\r(If you believe that 'Memo' is an "
               "index field, then it may have been\rdisqualified because it is both a non-unique index and it is "
               "right-justified.)");
  AddDropdown("Memo");
  ExpectGivenBack();
}

}  // namespace
