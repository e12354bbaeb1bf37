// The designer form through its real windows: status texts and help by
// control, hooks that end with the form, and a template designed, saved,
// filled with records and modified as a new user would, every box answered
// by the dialog responder.
#include "designer/qt/descriptor_form.h"

#include "designer/qt/designer_forms.h"
#include "designer/qt/field_tile.h"
#include "designer/qt/lookup_form.h"
#include "designer/qt/min_max_form.h"
#include "designer/tests/lookup_form_driver.h"
#include "entry/qt/entry_form.h"
#include "platform/files.h"
#include "platform/text.h"
#include "platform/qt/app_hooks.h"
#include "platform/qt/focus_model.h"
#include "platform/qt/form_timer.h"
#include "platform/qt/widget_text.h"
#include "templates/descriptor_loader.h"
#include "templates/store_constants.h"
#include "templates/template_build.h"
#include "testing/dialog_driver.h"
#include "testing/dialog_responder.h"
#include "testing/keyboard.h"
#include "testing/sample_office_folder.h"
#include "testing/status_bar_look.h"
#include "testing/store_files_fixture.h"
#include "testing/template_fixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QWindow>

#include <memory>
#include <string>
#include <vector>

namespace {

const std::string DataLimitsMsg =
    "Because you've already entered some data under this template\rand we want to preserve the integrity of those "
    "data,\rwe're going to limit the kinds of changes you can make to the template.";

class DescriptorFormTest : public StoreFilesTest {
protected:
  void SetUp() override {
    StoreFilesTest::SetUp();
    // The lookup form reads the family files.
    Store.DataRoot = SampleOfficeFolder();
    CreateMaster();
    // The office has one template already, the clients by code: the
    // designed one looks into it and so takes number 001.
    {
      TTemplateTableBuilder t;
      t.Add("Code", 'C', 6);
      t.Add("Name", 'C', 30);
      t.Index(1, {1}, true, "By code");
      if (!BuildTemplateDataFile("Clients")) ADD_FAILURE() << "the clients template was not built";
    }
    // The designer starts from an empty field table.
    for (int k = 1; k <= MaxFields; ++k) InitFieldSlot(k);
    Store.FldCount = 0;
    minMax = CreateDesignerForm("TMinMaxF", nullptr);
    lookup = CreateDesignerForm("TLKUPF", nullptr);
    designer = CreateDesignerForm("TDescriptorF", nullptr);
    Store.TplName = "Matters";
    ResetDescriptorForm();
    DescriptorF->setWindowTitle("Creating Vezadaz Template:            Matters");
  }
  void TearDown() override {
    designer.reset();
    lookup.reset();
    minMax.reset();
    StoreFilesTest::TearDown();
  }

  THandDrivenTimers timers;
  std::unique_ptr<QWidget> minMax;
  std::unique_ptr<QWidget> lookup;
  std::unique_ptr<QWidget> designer;
  TDescriptorF& F() { return *DescriptorF; }

  // Name, type and width typed and picked, then Add clicked.
  void AddField(const std::string& Name, int Type, int Width = 0) {
    F().EditName->setFocus();
    QTest::keyClicks(F().EditName, QString::fromStdString(Name));
    ClickIndicator(F().RadioGroup1->Item(Type));
    if (Width) F().SpinEditWidth->setValue(Width);
    DialogResponder boxes;
    if (Type == 2) boxes.Answer(mrYes);  // the comma question
    QTest::mouseClick(F().AddFieldBitBtn, Qt::LeftButton);
    ASSERT_EQ(F().ListBox1->item(F().ListBox1->count() - 1)->text().toStdString(), Name);
  }

  void SelectField(const std::string& Name) {
    const auto found = F().ListBox1->findItems(QString::fromStdString(Name), Qt::MatchExactly);
    ASSERT_EQ(found.size(), 1);
    F().ListBox1->setCurrentItem(found[0]);
  }

  void SetIndex(int Row, const std::string& Name, const std::vector<std::string>& Boxes, bool Unique) {
    F().EditKName[size_t(Row)]->setText(QString::fromStdString(Name));
    for (size_t c = 0; c < Boxes.size(); ++c) F().ComboBox[size_t(Row) * 3 + c]->setEditText(QString::fromStdString(Boxes[c]));
    F().CheckBox[size_t(Row)]->setChecked(Unique);
  }

  std::vector<std::string> Listed() const { return ListTexts(DescriptorF->ListBox1); }
};

TEST_F(DescriptorFormTest, StatusTextsFollowTheFocusAndHelpShowsTheLastTaggedControl) {
  ShowActive(F());
  const std::vector<std::pair<QWidget*, int>> controls = {
      {F().EditName, 1},       {F().CBRequired, 4},     {F().SpinEditWidth, 7},  {F().EditDefault, 8},
      {F().ListBox1, 11},      {F().AddFieldBitBtn, 14}, {F().ViewBitBtn, 15},    {F().CreateTableBitBtn, 16},
      {F().CloseBitBtn, 18},   {F().EditHint, 19},      {F().ButtonUp, 20},      {F().ButtonDel, 23}};
  for (const auto& [control, tag] : controls) {
    F().Focus->FocusControl(control);
    QApplication::processEvents();
    EXPECT_EQ(F().StatusText(), DesignerStatusText(tag)) << tag;
    EXPECT_EQ(F().HelpTag, tag);
  }
  ExpectSunkenPanels(*F().StatusBar1, 1);
  F().Focus->FocusControl(F().RadioGroup1->Item(1));
  QApplication::processEvents();
  EXPECT_EQ(F().HelpTag, 2);
  {
    DialogResponder boxes;
    boxes.Expect(DesignerHelpText(2));
    F().HelpBitBtnClick();
  }
  // Tab away from View: the general help.
  F().Focus->FocusControl(F().ViewBitBtn);
  QApplication::processEvents();
  QTest::keyClick(F().ViewBitBtn, Qt::Key_Tab);
  QApplication::processEvents();
  ASSERT_EQ(F().Focus->Current(), F().HelpBitBtn);
  DialogResponder boxes;
  boxes.Expect("This would display a general help index. (currently unimplemented)");
  F().HelpBitBtnClick();
}

TEST_F(DescriptorFormTest, NoHookOutlivesTheForm) {
  ShowActive(F());
  EXPECT_TRUE(HasOnActiveControlChange());
  DialogResponder boxes;
  boxes.Expect("Cancel template creation?", mrNo).Expect("Cancel template creation?", mrYes);
  F().close();  // the window's close button asks as Cancel does
  EXPECT_TRUE(F().isVisible());
  QTest::keyClick(F().EditName, Qt::Key_Escape);
  EXPECT_FALSE(F().isVisible());
  EXPECT_FALSE(HasOnActiveControlChange());
}

// After a lookup field is added, the next field's lookup starts at the kind
// choice with empty lists.
TEST_F(DescriptorFormTest, TheNextFieldsLookupFormStartsEmpty) {
  ShowActive(F());
  F().EditName->setFocus();
  QTest::keyClicks(F().EditName, "Client");
  WhenModal<TLKUPF>([](TLKUPF& form) {
    ClickIndicator(form.RadioGroup1->Item(TLKUPF::KindL));
    QTest::mouseClick(form.BitBtnSave, Qt::LeftButton);
    form.ActiveControlChange(form.Tile(0));
    form.BitBtnDropDownClick();
    form.ActiveControlChange(form.Tile(1));
    form.BitBtnDisplayedClick();
    QTest::mouseClick(form.BitBtnSave, Qt::LeftButton);
  });
  ClickIndicator(F().CBLookup);
  ASSERT_TRUE(F().LookupAccepted);
  QTest::mouseClick(F().AddFieldBitBtn, Qt::LeftButton);
  ASSERT_EQ(Listed(), std::vector<std::string>{"Client"});

  QTest::keyClicks(F().EditName, "Matter Type");
  bool shown = false;
  WhenModal<TLKUPF>([&](TLKUPF& form) {
    shown = true;
    // Over the designer, so the desktop raises no other window between.
    ASSERT_NE(form.windowHandle(), nullptr);
    EXPECT_EQ(form.windowHandle()->transientParent(), F().windowHandle());
    EXPECT_TRUE(form.LookupKindStage);
    EXPECT_EQ(form.Kind(), TLKUPF::NoKind);
    EXPECT_FALSE(form.BitBtnSave->isEnabled());
    EXPECT_FALSE(form.PanelTiles->isVisible());
    EXPECT_EQ(form.ListBoxDropdown->count(), 0);
    EXPECT_EQ(form.ListBoxDisplayed->count(), 0);
    EXPECT_EQ(StoredText(form.LabelFieldName2->text()), "Matter Type");
    QTest::mouseClick(form.CloseBitBtn, Qt::LeftButton);
  });
  ClickIndicator(F().CBLookup);
  EXPECT_TRUE(shown);
  EXPECT_FALSE(F().LookupAccepted);
  EXPECT_FALSE(F().CBLookup->isChecked());
}

// A numeric field is added only once its width question is answered; then
// the name box is empty and keeps every key typed into it, at once or after
// the queued work has run.
TEST_F(DescriptorFormTest, TheNameBoxTakesEveryKeyTypedAfterANumericFieldIsAdded) {
  ShowActive(F());
  F().EditName->setFocus();
  QTest::keyClicks(F().EditName, "Fee2");
  ClickIndicator(F().RadioGroup1->Item(2));
  {
    DialogResponder boxes;
    boxes.Expect(
        "Make sure the width you have specified for this numeric field includes space for commas.\rIf a field "
        "width of 12 is not adequate for the addition of comma separators, select NO to widen the field.\r\r"
        "Proceed with adding this field?",
        mrYes);
    QTest::mouseClick(F().AddFieldBitBtn, Qt::LeftButton);
  }
  ASSERT_EQ(Listed(), std::vector<std::string>{"Fee2"});
  EXPECT_EQ(StoredText(F().EditName->text()), "");
  EXPECT_EQ(QApplication::focusWidget(), F().EditName);
  QTest::keyClicks(F().EditName, "Due ");
  QApplication::processEvents();
  QTest::keyClicks(F().EditName, "Date");
  QApplication::processEvents();
  EXPECT_EQ(StoredText(F().EditName->text()), "Due Date");
}

TEST_F(DescriptorFormTest, ATemplateIsDesignedSavedAndModifiedWithItsRecordsKept) {
  ShowActive(F());
  AddField("Code", 0, 6);
  AddField("Name", 0, 20);
  AddField("Opened", 1);
  // A numeric field with a range.
  F().EditName->setFocus();
  QTest::keyClicks(F().EditName, "Fee");
  ClickIndicator(F().RadioGroup1->Item(2));
  ASSERT_TRUE(F().BitBtnMinMax->isVisible());
  WhenModal<TMinMaxF>([](TMinMaxF& range) {
    range.CheckBox1->setChecked(false);
    range.EditMin->setText("0");
    range.EditMax->setText("5000");
    range.SetDecimals(0);
    QTest::mouseClick(range.BitBtn1, Qt::LeftButton);
  });
  QTest::mouseClick(F().BitBtnMinMax, Qt::LeftButton);
  {
    DialogResponder boxes;
    boxes.Answer(mrYes);
    QTest::mouseClick(F().AddFieldBitBtn, Qt::LeftButton);
  }
  AddField("Memo", 3);
  AddField("Done", 4);
  // A family-file lookup: the employee code, defined in the lookup form.
  F().EditName->setFocus();
  QTest::keyClicks(F().EditName, "Employee");
  ClickIndicator(F().RadioGroup1->Item(0));
  WhenModal<TLKUPF>([](TLKUPF& form) {
    ClickIndicator(form.RadioGroup1->Item(TLKUPF::KindL));
    QTest::mouseClick(form.BitBtnSave, Qt::LeftButton);
    form.ActiveControlChange(form.Tile(62));
    form.BitBtnDropDownClick();
    QTest::mouseClick(form.BitBtnSave, Qt::LeftButton);
  });
  ClickIndicator(F().CBLookup);
  EXPECT_TRUE(F().LookupAccepted);
  EXPECT_TRUE(F().CBRequired->isChecked());
  EXPECT_EQ(F().SpinEditWidth->value(), 4);
  EXPECT_FALSE(F().SpinEditWidth->isEnabled());
  EXPECT_EQ(F().CBLookup->text().toStdString(), "Lookup Field  (Corvenstead)");
  QTest::mouseClick(F().AddFieldBitBtn, Qt::LeftButton);
  EXPECT_EQ(Store.FldTable[7].LkpKind, "L");
  EXPECT_EQ(Trim(Store.FldTable[7].LkpSpec), "E 62");
  EXPECT_EQ(Store.FldTable[7].Width, 4);
  // A lookup into another template: the clients' code as the dropdown field.
  F().EditName->setFocus();
  QTest::keyClicks(F().EditName, "Client");
  ClickIndicator(F().RadioGroup1->Item(0));
  WhenModal<TLKUPF>([](TLKUPF& form) { ChooseTemplateLookup(form, "Clients"); });
  ClickIndicator(F().CBLookup);
  EXPECT_TRUE(F().LookupAccepted);
  EXPECT_EQ(F().CBLookup->text().toStdString(), "Lookup Field  (Clients)");
  QTest::mouseClick(F().AddFieldBitBtn, Qt::LeftButton);
  EXPECT_EQ(Store.FldTable[8].LkpKind, "M");
  EXPECT_EQ(Trim(Store.FldTable[8].LkpTarget), "MNGR000.DSC");
  // A user list typed into the grid.
  F().EditName->setFocus();
  QTest::keyClicks(F().EditName, "Stage");
  ClickIndicator(F().RadioGroup1->Item(0));
  F().SpinEditWidth->setValue(8);
  WhenModal<TLKUPF>([](TLKUPF& form) {
    ClickIndicator(form.RadioGroup1->Item(TLKUPF::KindU));
    if (!form.PanelUserList->isVisible()) QTest::mouseClick(form.BitBtnSave, Qt::LeftButton);
    ASSERT_TRUE(form.PanelUserList->isVisible());
    form.Edit1->setFocus();
    keyboard::Type("Open");
    keyboard::Type(Qt::Key_Down);
    keyboard::Type("Closed");
    form.ComboBoxListNames->setEditText("Stages");
    QTest::mouseClick(form.BitBtnSave, Qt::LeftButton);
  });
  ClickIndicator(F().CBLookup);
  EXPECT_TRUE(F().LookupAccepted);
  EXPECT_EQ(F().CBLookup->text().toStdString(), "Lookup Field  (Stages)");
  QTest::mouseClick(F().AddFieldBitBtn, Qt::LeftButton);
  EXPECT_EQ(Store.FldTable[9].LkpKind, "U");
  EXPECT_EQ(Trim(Store.FldTable[9].LkpTarget), "1.lst");
  EXPECT_EQ(Store.FldTable[9].Width, 8);
  AddField("Scratch", 0, 4);
  EXPECT_EQ(Store.FldTable[4].MinVal, "0");
  EXPECT_EQ(Store.FldTable[4].MaxVal, "5000");

  // Moved, edited, deleted.
  SelectField("Done");
  QTest::mouseClick(F().ButtonUp, Qt::LeftButton);
  // Dragged to the end and back.
  ASSERT_TRUE(F().ListBox1->model()->moveRow(QModelIndex(), 0, QModelIndex(), F().ListBox1->count()));
  EXPECT_EQ(Listed().back(), "Code");
  EXPECT_EQ(Store.FldTable[Store.FldCount].Name, "Code");
  ASSERT_TRUE(F().ListBox1->model()->moveRow(QModelIndex(), F().ListBox1->count() - 1, QModelIndex(), 0));
  EXPECT_EQ(Store.FldTable[1].Name, "Code");
  EXPECT_EQ(Store.FldTable[1].SeqNo, 1);
  SelectField("Name");
  QTest::mouseClick(F().ButtonEdit, Qt::LeftButton);
  ASSERT_TRUE(F().Fields.EditingFld);
  F().SpinEditWidth->setValue(25);
  QTest::mouseClick(F().AddFieldBitBtn, Qt::LeftButton);
  EXPECT_FALSE(F().Fields.EditingFld);
  SelectField("Scratch");
  {
    DialogResponder boxes;
    boxes.Expect("Are you sure you want to remove the field Scratch\rfrom your template?", mrYes);
    QTest::mouseClick(F().ButtonDel, Qt::LeftButton);
  }
  EXPECT_EQ(Listed(), (std::vector<std::string>{"Code", "Name", "Opened", "Fee", "Done", "Memo", "Employee", "Client", "Stage"}));

  // The preview: an entry screen without its record buttons.
  bool previewed = false;
  WhenModal<TEntryF>([&](TEntryF& preview) {
    previewed = true;
    EXPECT_EQ(preview.windowTitle().toStdString(), "Corvenstead Matterdesk - Preview Template Screen");
    EXPECT_FALSE(preview.BitBtnSave->isVisible());
    EXPECT_FALSE(preview.BitBtnFind->isVisible());
    EXPECT_TRUE(preview.BitBtnCancel->isVisible());
    preview.reject();
  });
  QTest::mouseClick(F().ViewBitBtn, Qt::LeftButton);
  EXPECT_TRUE(previewed);

  // Two indexes, one unique, and the save.
  QTest::mouseClick(F().CreateTableBitBtn, Qt::LeftButton);
  ASSERT_TRUE(F().PanelSelectKeys->isVisible());
  EXPECT_EQ(F().LabelIndexHeading->text().toStdString(), "Index Selection");
  SetIndex(0, "By code", {"Code"}, true);
  SetIndex(1, "By name", {"Name", "Code"}, false);
  {
    DialogResponder boxes;
    boxes.Expect("The template 'Matters' was successfully created.");
    QTest::mouseClick(F().BitBtnSave, Qt::LeftButton);
  }
  EXPECT_FALSE(F().isVisible());
  EXPECT_FALSE(F().PanelSelectKeys->isVisible());
  EXPECT_TRUE(TplSaved);
  EXPECT_EQ(RunMdbtr({"stat", ResolvePath(DataFileName(TTemplateNumber(1)))}).Out,
            "record length: 158\npage size: 4096\nrecords: 0\nkeys: 3\n"
            "key 0: length 4, unique\n  at 1, length 4, autoincrement\n"
            "key 1: length 6, unique, modifiable\n  at 5, length 6, string\n"
            "key 2: length 31, duplicates, modifiable\n  at 11, length 25, string\n  at 5, length 6, string\n");

  // Records put in, then the template loaded for modification.
  const std::vector<TFieldValues> values = {{{1, "A1"}, {2, "Smith"}, {3, "20260101"}, {4, "120"}, {6, "Y"}, {9, "Open"}},
                                            {{1, "B2"}, {2, "Brown"}, {5, "memo.doc"}, {9, "Closed"}}};
  std::vector<std::string> records;
  for (const TFieldValues& v : values) records.push_back(WithPrefix(0, FillRecord(v)));
  InsertRecords(DataFileName(TTemplateNumber(1)), records);
  ResetDescriptorForm();
  ASSERT_TRUE(LoadTemplateDescriptor("001"));
  Store.Modifying = true;
  Store.HasData = true;
  Store.TplNumber = "001";
  OpenMasterOn(1);
  F().SetModifyCaptions(true);
  EXPECT_EQ(Listed(), (std::vector<std::string>{"Code", "Name", "Opened", "Fee", "Done", "Memo", "Employee", "Client", "Stage"}));
  {
    DialogResponder boxes;
    boxes.Expect(DataLimitsMsg);
    ShowActive(F());
  }
  // With data a listed field keeps its type and width.
  SelectField("Code");
  QTest::mouseClick(F().ButtonEdit, Qt::LeftButton);
  EXPECT_FALSE(F().SpinEditWidth->isEnabled());
  {
    DialogResponder boxes;
    boxes.Expect(
        "There is data in your template.  You may not change the data type\rfor an existing field.  However, you may "
        "delete this field\rand add a new field of the desired data type.");
    ClickIndicator(F().RadioGroup1->Item(2));
    EXPECT_EQ(F().RadioGroup1->ItemIndex(), 0);
    boxes.Expect("Cancel changes to this field?\r\r(Select ALL to cancel template modification)", mrYes);
    QTest::mouseClick(F().CloseBitBtn, Qt::LeftButton);
  }
  EXPECT_FALSE(F().Fields.EditingFld);
  EXPECT_TRUE(F().isVisible());
  AddField("Notes", 0, 12);
  // The list field widened by a longer entry in its list.
  SelectField("Stage");
  QTest::mouseClick(F().ButtonEdit, Qt::LeftButton);
  ASSERT_TRUE(F().Fields.EditingFld);
  EXPECT_EQ(F().CBLookup->text().toStdString(), "User List  (Stages)");
  WhenModal<TLKUPF>([](TLKUPF& form) {
    if (!form.PanelUserList->isVisible()) QTest::mouseClick(form.BitBtnSave, Qt::LeftButton);
    ASSERT_TRUE(form.PanelUserList->isVisible());
    form.PlaceCellEditor(3, 0);
    form.Edit1->setText("Reopening");
    form.Edit1->setFocus();
    keyboard::Type(Qt::Key_Up);
    DialogResponder widen;
    widen.Answer(mrYes);
    QTest::mouseClick(form.BitBtnSave, Qt::LeftButton);
  });
  QTest::mouseClick(F().BitBtnLookupField, Qt::LeftButton);
  EXPECT_EQ(F().SpinEditWidth->value(), 9);
  QTest::mouseClick(F().AddFieldBitBtn, Qt::LeftButton);
  EXPECT_FALSE(F().Fields.EditingFld);
  SelectField("Memo");
  {
    DialogResponder boxes;
    boxes.Answer(mrYes);
    QTest::mouseClick(F().ButtonDel, Qt::LeftButton);
  }
  QTest::mouseClick(F().CreateTableBitBtn, Qt::LeftButton);
  EXPECT_EQ(F().EditKName[1]->text().toStdString(), "By name");
  {
    DialogResponder boxes;
    boxes.Expect("The template 'Matters' was successfully modified.");
    QTest::mouseClick(F().BitBtnSave, Qt::LeftButton);
  }
  EXPECT_TRUE(TplSaved);
  std::vector<std::string> expected;
  for (TFieldValues v : values) {
    v.erase(5);
    expected.push_back(FillRecord(v));
  }
  const std::vector<std::string> read = ReadRecords(DataFileName(TTemplateNumber(1)));
  ASSERT_EQ(read.size(), 2u);
  for (size_t k = 0; k < 2; ++k) EXPECT_EQ(read[k].substr(4), expected[k]);
  BtrOpenFile(9, DataFileName(TTemplateNumber(1)), 0);
  EXPECT_EQ(Records(9, 1).size(), 2u);
  EXPECT_EQ(Records(9, 2).at(0).substr(4, 2), "B2");
  BtrCloseFile(9);
}

}  // namespace
