// The template commands as a new user meets them, through the real main
// window and the real designer, name prompt, details list and entry
// screen, offscreen, every box answered by the responder: a template
// created with a lookup into another, records put in, modified, copied,
// renamed, refused for deletion while others look it up, deleted with its
// records, opened for entry, and a lookup re-pointed by the repair.
#include "designer/qt/descriptor_form.h"
#include "designer/qt/designer_forms.h"
#include "designer/qt/detail_form.h"
#include "designer/qt/field_tile.h"
#include "designer/qt/get_name_form.h"
#include "designer/qt/lookup_form.h"
#include "designer/tests/lookup_form_driver.h"
#include "mainwin/template_commands.h"
#include "mainwin/tests/entry_window_fixture.h"
#include "platform/files.h"
#include "platform/qt/form_timer.h"
#include "templates/descriptor_codec.h"
#include "templates/descriptor_loader.h"
#include "templates/printer_list.h"
#include "testing/dialog_driver.h"
#include "testing/template_fixture.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

const std::string DataLimitsMsg =
    "Because you've already entered some data under this template\rand we want to preserve the integrity of those "
    "data,\rwe're going to limit the kinds of changes you can make to the template.";

class TemplateCommandsEndToEndTest : public EntryWindowTest {
protected:
  void SetUp() override {
    EntryWindowTest::SetUp();
    {
      TTemplateTableBuilder t;
      t.Add("Code", 'C', 6);
      t.Add("Name", 'C', 20);
      t.Index(1, {1}, true, "By code");
      ASSERT_EQ(Saved("Clients").Value(), 2);
    }
    ClearFieldTables();
    minMax = CreateDesignerForm("TMinMaxF", nullptr);
    lookup = CreateDesignerForm("TLKUPF", nullptr);
    designer = CreateDesignerForm("TDescriptorF", nullptr);
    getName = CreateDesignerForm("TGetNameF", nullptr);
    Start();
  }
  void TearDown() override {
    getName.reset();
    designer.reset();
    lookup.reset();
    minMax.reset();
    EntryWindowTest::TearDown();
  }

  static TDescriptorF& D() { return *DescriptorF; }

  // The name prompt answered with Name when it shows.
  static void WhenNamed(const std::string& Name) {
    WhenModal<TGetNameF>([Name](TGetNameF& g) {
      QTest::keyClicks(g.Edit1, QString::fromStdString(Name));
      QTest::mouseClick(g.BitBtn1, Qt::LeftButton);
    });
  }
  static void AddField(const std::string& Name, int Width) {
    D().EditName->setFocus();
    QTest::keyClicks(D().EditName, QString::fromStdString(Name));
    ClickIndicator(D().RadioGroup1->Item(0));
    D().SpinEditWidth->setValue(Width);
    QTest::mouseClick(D().AddFieldBitBtn, Qt::LeftButton);
  }
  // A field that looks the clients up by code.
  static void AddClientLookup() {
    D().EditName->setFocus();
    QTest::keyClicks(D().EditName, "Client");
    ClickIndicator(D().RadioGroup1->Item(0));
    WhenModal<TLKUPF>([](TLKUPF& form) { ChooseTemplateLookup(form, "Clients"); });
    ClickIndicator(D().CBLookup);
    QTest::mouseClick(D().AddFieldBitBtn, Qt::LeftButton);
  }
  static void SetIndex(int Row, const std::string& Name, const std::vector<std::string>& Boxes, bool Unique) {
    D().EditKName[size_t(Row)]->setText(QString::fromStdString(Name));
    for (size_t c = 0; c < Boxes.size(); ++c)
      D().ComboBox[size_t(Row) * 3 + c]->setEditText(QString::fromStdString(Boxes[c]));
    D().CheckBox[size_t(Row)]->setChecked(Unique);
  }
  static void SelectField(const std::string& Name) {
    const auto found = D().ListBox1->findItems(QString::fromStdString(Name), Qt::MatchExactly);
    ASSERT_EQ(found.size(), 1);
    D().ListBox1->setCurrentItem(found[0]);
  }
  static std::string NameInDescriptor(const TTemplateNumber& Number) {
    for (const std::string& r : ReadRecords(DescriptorFileName(Number)))
      if (RecordRange(r, DscIndex::Key2Tag) == "K1") return TrimRight(RecordRange(r, DscIndex::TplName));
    return "<none>";
  }
  static std::vector<std::string> Targets(const TTemplateNumber& Number) {
    std::vector<std::string> out;
    for (const std::string& r : ReadRecords(DescriptorFileName(Number)))
      if (!IsIndexRecord(r) && RecordRange(r, DscField::LkpKind) == "M")
        out.push_back(TrimRight(RecordRange(r, DscField::LkpTarget)));
    return out;
  }
  std::string Selected() const { return TrimRight(Form->SelectedItem()); }

  THandDrivenTimers timers;
  std::unique_ptr<QWidget> minMax;
  std::unique_ptr<QWidget> lookup;
  std::unique_ptr<QWidget> designer;
  std::unique_ptr<QWidget> getName;
};

TEST_F(TemplateCommandsEndToEndTest, ATemplateLivesItsWholeLifeThroughTheMainWindow) {
  // Created: named, designed with a lookup into the clients and two
  // indexes, saved, listed and selected.
  WhenNamed("Matters");
  WhenModal<TDescriptorF>([&](TDescriptorF&) {
    EXPECT_EQ(StoredText(D().windowTitle()), "Creating Vezadaz Template:            Matters");
    EXPECT_EQ(StoredText(D().CreateTableBitBtn->text()), "Create &Template");
    AddField("Matter", 6);
    AddField("Title", 20);
    AddField("Notes", 10);
    AddClientLookup();
    // No repair while creating.
    D().CreateTableBitBtnMouseDown(Qt::RightButton);
    QTest::mouseClick(D().CreateTableBitBtn, Qt::LeftButton);
    SetIndex(0, "By matter", {"Matter"}, true);
    SetIndex(1, "By title", {"Title", "Matter"}, false);
    Boxes.Expect("The template 'Matters' was successfully created.");
    // Then its layout is offered; this machine has no printer to print it.
    Boxes.Expect("We strongly recommend that you print a copy of the layout for the template 'Matters'.\r\r"
                 "Do you want Corvenstead to print a copy now?\r\r"
                 "(If you say NO, you can print the template layout at any time by hightlighting\r"
                 "the template name and selecting 'Print layout' from the Edit menu.)",
                 mrYes)
        .Expect(NoPrintersMsg);
    QTest::mouseClick(D().BitBtnSave, Qt::LeftButton);
  });
  QTest::mouseClick(Form->BitBtnAdd, Qt::LeftButton);
  EXPECT_EQ(Listed(), (std::vector<std::string>{"Client e-mail", "Clients", "Matter e-mail", "Matters"}));
  EXPECT_EQ(Selected(), "Matters");
  const TTemplateNumber matters(3);
  EXPECT_EQ(Targets(matters), std::vector<std::string>{"MNGR002.DSC"});

  // Records put in.
  ASSERT_TRUE(LoadTemplateDescriptor(matters.ZeroFilled()));
  const std::vector<TFieldValues> values = {{{1, "M1"}, {2, "Smith v Jones"}, {3, "n1"}, {4, "C1"}},
                                            {{1, "M2"}, {2, "Brown"}, {3, "n2"}, {4, "C2"}}};
  std::vector<std::string> records;
  for (const TFieldValues& v : values) records.push_back(WithPrefix(0, FillRecord(v)));
  InsertRecords(DataFileName(matters), records);

  // Modified: the backup question, the data warning, a field added, one
  // deleted, saved; every record keeps its values.
  Boxes.Expect(BackupQuestion, mrNo).Expect(DataLimitsMsg);
  WhenModal<TDescriptorF>([&](TDescriptorF&) {
    EXPECT_EQ(StoredText(D().CreateTableBitBtn->text()), "Modify &Template");
    AddField("Court", 8);
    SelectField("Notes");
    Boxes.Answer(mrYes);
    QTest::mouseClick(D().ButtonDel, Qt::LeftButton);
    QTest::mouseClick(D().CreateTableBitBtn, Qt::LeftButton);
    EXPECT_EQ(StoredText(D().EditKName[1]->text()), "By title");
    Boxes.Expect("The template 'Matters' was successfully modified.");
    QTest::mouseClick(D().BitBtnSave, Qt::LeftButton);
  });
  QTest::mouseClick(Form->BitBtnModify, Qt::LeftButton);
  EXPECT_EQ(StoredText(D().CreateTableBitBtn->text()), "Create &Template");
  EXPECT_FALSE(Store.Modifying);
  EXPECT_EQ(Selected(), "Matters");
  ASSERT_TRUE(LoadTemplateDescriptor(matters.ZeroFilled()));
  std::vector<std::string> kept;
  for (TFieldValues v : values) {
    v.erase(3);
    kept.push_back(FillRecord(v));
  }
  const std::vector<std::string> read = ReadRecords(DataFileName(matters));
  ASSERT_EQ(read.size(), 2u);
  for (size_t k = 0; k < read.size(); ++k) EXPECT_EQ(read[k].substr(4), kept[k]) << k;

  // Copied: listed and selected, its data file empty.
  WhenNamed("Matters copy");
  Form->Copy1->trigger();
  EXPECT_EQ(Selected(), "Matters copy");
  const TTemplateNumber copy(4);
  EXPECT_TRUE(ReadRecords(DataFileName(copy)).empty());
  EXPECT_EQ(Targets(copy), std::vector<std::string>{"MNGR002.DSC"});

  // Renamed: list and descriptor.
  WhenNamed("Cases");
  Form->Rename1->trigger();
  EXPECT_EQ(Listed(), (std::vector<std::string>{"Cases", "Client e-mail", "Clients", "Matter e-mail", "Matters"}));
  EXPECT_EQ(Selected(), "Cases");
  EXPECT_EQ(NameInDescriptor(copy), "Cases");

  // The clients once more, as the firms.
  Select("Clients");
  WhenNamed("Firms");
  Form->Copy1->trigger();
  const TTemplateNumber firms(5);
  EXPECT_EQ(NameInDescriptor(firms), "Firms");

  // The clients are looked up by two templates: refused, and the details
  // name them and their fields.
  Select("Clients");
  std::vector<std::vector<std::string>> rows;
  WhenModal<TDetailF>([&](TDetailF& details) {
    EXPECT_EQ(StoredText(details.windowTitle()), "Index References:");
    for (int r = 0; r < details.StringGrid1->rowCount(); ++r)
      rows.push_back({StoredText(details.StringGrid1->item(r, 0)->text()),
                      StoredText(details.StringGrid1->item(r, 1)->text())});
    QTest::mouseClick(details.BitBtn1, Qt::LeftButton);
  });
  Boxes.Expect("Are you SURE you want to delete 'Clients'?", mrYes).Expect(ReferencedMsg);
  Form->Delete1->trigger();
  EXPECT_EQ(rows, (std::vector<std::vector<std::string>>{{"Matters", "Client"}, {"Cases", "Client"}}));
  EXPECT_TRUE(FileExists(DescriptorFileName(TTemplateNumber(2))));

  // The matters, with records, after two questions: gone from list and folder.
  Select("Matters");
  Boxes.Expect("Are you SURE you want to delete 'Matters'?", mrYes).Answer(mrYes);
  Form->Delete1->trigger();
  EXPECT_EQ(Listed(), (std::vector<std::string>{"Cases", "Client e-mail", "Clients", "Firms", "Matter e-mail"}));
  EXPECT_FALSE(FileExists(DescriptorFileName(matters)));
  EXPECT_FALSE(FileExists(DataFileName(matters)));

  // Entry/Maintenance opens the entry screen and comes back.
  Select("Cases");
  bool entered = false;
  WhileShown([&] { Form->BitBtnAccess->click(); },
             [&](TEntryF& entry) {
               entered = true;
               EXPECT_EQ(StoredText(entry.LabelTableName->text()), "Cases");
             });
  EXPECT_TRUE(entered);

  // The cases' client lookup re-pointed at the firms by the repair, from
  // the designer's right button.
  Boxes.Expect(BackupQuestion, mrNo);
  WhenModal<TDescriptorF>([&](TDescriptorF&) {
    Boxes.Expect("The Vezadaz lookups for 'Cases' will be displayed in a menu, when this window is closed.  Select "
                 "the Vezadaz lookup you wish to repair from that menu.\r\rSelect Cancel or press Escape at any time "
                 "to terminate this process.",
                 mrOk);
    D().CreateTableBitBtnMouseDown(Qt::RightButton);
    ASSERT_TRUE(D().PopupMenu1);
    ASSERT_EQ(D().PopupMenu1->actions().size(), 1);
    EXPECT_EQ(StoredText(D().PopupMenu1->actions()[0]->text()), "Clients");
    D().PopupMenu1->hide();
    Boxes.Answer(mrOk);
    D().PopupMenuClick(0);
    ASSERT_TRUE(D().PopupMenu2);
    int firmsAt = -1;
    for (int i = 0; i < D().PopupMenu2->actions().size(); ++i)
      if (StoredText(D().PopupMenu2->actions()[i]->text()) == "Firms") firmsAt = i;
    ASSERT_GE(firmsAt, 0);
    D().PopupMenu2->hide();
    Boxes.Expect("Ready to repair the Vezadaz Lookup you have specified.\r\rContinue?", mrYes).Answer(mrOk);
    D().PopupMenu2Click(firmsAt);
    Boxes.Expect("Cancel template modification?", mrYes);
    D().CloseBitBtnClick();
  });
  Form->Modify1->trigger();
  EXPECT_EQ(Targets(copy), std::vector<std::string>{"MNGR005.DSC"});
  EXPECT_FALSE(BtrIsFileOpen(MasterFileNo));
  EXPECT_EQ(Boxes.Pending(), 0u);
}

}  // namespace

namespace {

// The details list: no references say so; indexes locked only through
// another one are named below the grid.
TEST_F(TemplateCommandsEndToEndTest, TheDetailsNameTheIndirectlyLockedIndexes) {
  Boxes.Expect("Unable to obtain this information.\r\rPlease contact Ondral, Inc. for assistance.");
  ShowIndexReferences({}, {"By name"}, Form.get());

  TLookupReference ref;
  ref.Template = TTemplateNumber(2);
  ref.FieldName = "Client";
  std::string label;
  bool shown = false;
  WhenModal<TDetailF>([&](TDetailF& details) {
    shown = details.Label1->isVisible();
    label = StoredText(details.Label1->text());
    EXPECT_EQ(StoredText(details.StringGrid1->item(0, 0)->text()), "Clients");
    details.accept();
  });
  ShowIndexReferences({ref}, {"By name", "By date"}, Form.get());
  EXPECT_TRUE(shown);
  EXPECT_EQ(label, IndirectIndexesText + "     By name, By date");
}

}  // namespace
