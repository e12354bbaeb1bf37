// The designer's start forms as a new user meets them, end to end: the
// program starts through the main block, and while its loop runs the name
// and range dialogs are used as the main window and the designer use them,
// then a family-file lookup is defined on the lookup form (the case suffix
// first, the client lookup question, display fields by button, popup menu
// and drag, the display editor, a preview) and written into a field slot
// whose descriptor record carries it.
#include "designer/corvenstead_lookup.h"
#include "designer/min_max_rules.h"
#include "designer/qt/designer_forms.h"
#include "designer/qt/edit_disp_form.h"
#include "designer/qt/field_tile.h"
#include "designer/qt/get_name_form.h"
#include "designer/qt/key_sel_form.h"
#include "designer/qt/list_import_dialog.h"
#include "designer/qt/lookup_form.h"
#include "designer/qt/make_cli_form.h"
#include "designer/qt/min_max_form.h"
#include "entry/qt/entry_form.h"
#include "mainwin/main_block.h"
#include "mainwin/mtdesk_form.h"
#include "mainwin/template_list.h"
#include "mainwin/tests/startup_fixture.h"
#include "platform/date_format.h"
#include "platform/datetime_value.h"
#include "platform/files.h"
#include "platform/qt/application.h"
#include "platform/qt/dir_browser_form.h"
#include "platform/qt/directory_list_box.h"
#include "platform/qt/focus_model.h"
#include "platform/qt/form_timer.h"
#include "platform/qt/widget_text.h"
#include "platform/spelling.h"
#include "templates/descriptor_codec.h"
#include "templates/product_dates.h"
#include "templates/template_build.h"
#include "templates/user_list_codec.h"
#include "templates/user_list_store.h"
#include "templates/startup_globals.h"
#include "templates/store_constants.h"
#include "templates/template_state.h"
#include "testing/clock_fixture.h"
#include "testing/dialog_driver.h"
#include "testing/keyboard.h"
#include "testing/sample_office_folder.h"
#include "testing/template_fixture.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDropEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QTableWidget>

#include <filesystem>
#include <fstream>
#include <iterator>
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

std::string Column(const std::string& Text, const TDscRange& Range) {
  return Text.substr(size_t(Range.Column - 1), size_t(Range.Width));
}

class DesignerStartFormsTest : public CheckedFolderTest {
protected:
  void SetUp() override {
    ResetAll();
    std::filesystem::create_directory(TempPath("office"));
    std::filesystem::create_directory(TempPath("run"));
    std::filesystem::permissions(TempPath("run"), std::filesystem::perms::owner_all);
    PutRegValue(CvwinKey, "PhysicalName", TempPath("office"));
    PutRegValue(HostKey, "WSID", "01");
    // The preview's lookups read the family files.
    office = SampleOfficeFolder();
  }
  void TearDown() override {
    QCoreApplication::removePostedEvents(qApp);
    ResetAll();
    CheckedFolderTest::TearDown();
  }
  static void ResetAll() { ResetStartState(); }

  // The program started; Loop runs in place of its event loop.
  int Run(std::function<void()> Loop) {
    StartupContext context;
    context.RegistryPath = TempPath("registry.ini");
    context.Params = {"mtdesk"};
    context.ProgramFolder = BinDir;
    context.EventLoop = [Loop] {
      Loop();
      return 0;
    };
    return MainBlock(context);
  }

  // The user presses a tile, holds it until the drag starts and drops it
  // on List; the release ends the drag.
  void DragTile(int Code, QListWidget* List) {
    TFieldTile* tile = LKUPF->Tile(Code);
    Clock.Advance(TLKUPF::PressGuardMs);
    QTest::mousePress(tile, Qt::LeftButton);
    ASSERT_TRUE(LKUPF->Timer1->isActive());
    Clock.Advance(TLKUPF::Timer1Interval);
    ASSERT_TRUE(LKUPF->Timer1->Fire());
    ASSERT_TRUE(LKUPF->DraggingTile);
    std::unique_ptr<QMimeData> data(TLKUPF::TileMimeData(tile));
    const QPoint at = List->viewport()->rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction, data.get(), Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(List->viewport(), &enter);
    QDropEvent drop(at, Qt::CopyAction, data.get(), Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(List->viewport(), &drop);
    QTest::mouseRelease(tile, Qt::LeftButton);
    EXPECT_FALSE(LKUPF->DraggingTile);
  }
  void ClickTile(int Code) {
    Clock.Advance(TLKUPF::PressGuardMs);
    QTest::mouseClick(LKUPF->Tile(Code), Qt::LeftButton);
  }

  ScopedEnv Registry{"MATTERDESK_REGISTRY", TempPath("registry.ini")};
  ScopedEnv Runtime{"XDG_RUNTIME_DIR", TempPath("run")};
  ScopedClock Clock{EncodeDate(2026, 3, 2) + 0.4};
  // The lookup form's hold and hover timers fire only where the script
  // fires them, however slowly the steps run.
  THandDrivenTimers HandTimers;
  DialogResponder Boxes;
  std::string office;
};

TEST_F(DesignerStartFormsTest, ANewUserNamesATemplateSetsARangeAndDefinesACaseLookup) {
  bool looped = false;
  const int status = Run([&] {
    looped = true;
    Store.DataRoot = office;
    ASSERT_TRUE(MinMaxF && GetNameF && LKUPF && GetDescF && EditDispF);

    // The main window asks for the new template's name.
    GetNameF->Label3->setText(WidgetText("Creating a new template"));
    Boxes.Expect(NoTemplateNameMsg);
    RunModal(*GetNameF, [&] {
      keyboard::Type("   ");
      QTest::mouseClick(GetNameF->BitBtn1, Qt::LeftButton);
      keyboard::Type(Qt::Key_Backspace);
      keyboard::Type(Qt::Key_Backspace);
      keyboard::Type(Qt::Key_Backspace);
      keyboard::Type("Matters 2026");
      QTest::mouseClick(GetNameF->BitBtn1, Qt::LeftButton);
    });
    EXPECT_FALSE(GetNameF->Cancelled);
    EXPECT_EQ(GetNameF->Name(), "Matters 2026");

    // The designer loads a numeric field's range, two decimals.
    MinMaxF->EditMin->setText("1");
    MinMaxF->EditMax->setText("99999999");
    MinMaxF->CheckBox1->setChecked(true);
    MinMaxF->SetDecimals(2);
    Boxes.Expect(MinMaxRangeMsg);
    RunModal(*MinMaxF, [&] {
      EXPECT_FALSE(MinMaxF->OK);
      MinMaxF->Focus->FocusControl(MinMaxF->EditMin);
      MinMaxF->EditMin->selectAll();
      keyboard::Type("12.5");
      EXPECT_FALSE(MinMaxF->CheckBox1->isChecked());
      keyboard::Type(Qt::Key_Tab);
      EXPECT_EQ(StoredText(MinMaxF->EditMin->text()), "12.50");
      MinMaxF->Focus->FocusControl(MinMaxF->EditMax);
      MinMaxF->EditMax->selectAll();
      keyboard::Type("200000000");
      QTest::mouseClick(MinMaxF->BitBtn1, Qt::LeftButton);  // the exit refuses: no OK
      EXPECT_TRUE(MinMaxF->isVisible());
      QApplication::processEvents();  // the refocus
      EXPECT_EQ(QApplication::focusWidget(), MinMaxF->EditMax);
      MinMaxF->EditMax->selectAll();
      keyboard::Type("2500");
      QTest::mouseClick(MinMaxF->BitBtn1, Qt::LeftButton);
    });
    EXPECT_TRUE(MinMaxF->OK);
    EXPECT_EQ(StoredText(MinMaxF->EditMax->text()), "2500.00");
    EXPECT_EQ(MinMaxF->Decimals(), 2);

    // A new field "Matter" gets a family-file lookup. Two fields are listed,
    // neither a client lookup.
    TFld plain;
    plain.Name = "Opened";
    plain.FldType = 'D';
    LookupHandOver& given = LKUPF->HandOver;
    given = LookupHandOver();
    given.FieldName = "Matter";
    given.Width = 10;
    given.ListCount = 2;
    given.ListedFields = {plain, plain};
    LKUPF->ResetForField();
    RunModal(*LKUPF, [&] {
      EXPECT_TRUE(LKUPF->PanelTiles->isHidden());
      for (int k = 0; k < 3; ++k) EXPECT_TRUE(LKUPF->RadioGroup1->Item(k)->isVisible());
      ClickIndicator(LKUPF->RadioGroup1->Item(TLKUPF::KindL));
      QTest::mouseClick(LKUPF->BitBtnSave, Qt::LeftButton);
      for (QWidget* box : {LKUPF->ScrollBoxClient, LKUPF->ScrollBoxCase, LKUPF->ScrollBoxEmp})
        EXPECT_TRUE(box->isVisible());
      for (int code = 0; code < TileCount; ++code)
        EXPECT_EQ(LKUPF->Tile(code)->isEnabled(), code == 0 || code == 22 || code == 62) << code;

      // The case suffix first; yes, make a client lookup.
      ClickTile(22);
      WhenModal<TMakeCliF>([](TMakeCliF& ask) {
        ClickIndicator(ask.RadioGroup1->Item(TMakeCliF::CreateOne));
        QTest::mouseClick(ask.BitBtnSave, Qt::LeftButton);
      });
      QTest::mouseClick(LKUPF->BitBtnDropDown, Qt::LeftButton);
      EXPECT_TRUE(given.AutoClientLookup);
      EXPECT_EQ(Items(LKUPF->ListBoxDropdown), Names{"Case suffix"});

      // Display fields by button, popup menu and drag.
      ClickTile(32);
      QTest::mouseClick(LKUPF->BitBtnDisplayed, Qt::LeftButton);
      emit LKUPF->Tile(34)->customContextMenuRequested(QPoint(4, 4));
      LKUPF->SelectForDisplay->trigger();
      LKUPF->PopupMenu1->hide();
      DragTile(54, LKUPF->ListBoxDisplayed);
      EXPECT_EQ(Items(LKUPF->ListBoxDisplayed), (Names{"Department code", "Case type 1 code", "Date case opened"}));

      // The date first, in the display editor.
      WhenModal<TEditDispF>([](TEditDispF& editor) {
        editor.ListBox1->setCurrentRow(2);
        QTest::mouseClick(editor.BitBtnUp, Qt::LeftButton);
        QTest::mouseClick(editor.BitBtnUp, Qt::LeftButton);
        QTest::mouseClick(editor.BitBtnSave, Qt::LeftButton);
      });
      QTest::mouseClick(LKUPF->BitBtnEditD, Qt::LeftButton);
      EXPECT_EQ(Items(LKUPF->ListBoxDisplayed), (Names{"Date case opened", "Department code", "Case type 1 code"}));

      // The preview on an entry screen.
      bool previewed = false;
      WhenModal<TEntryF>([&](TEntryF& entry) {
        previewed = true;
        EXPECT_EQ(StoredText(entry.windowTitle()), "Corvenstead Matterdesk Lookup Preview Screen");
        EXPECT_EQ(Store.FldTable[PreviewSlot].LkpSpec, "B 22");
        QTest::mouseClick(entry.BitBtnCancel, Qt::LeftButton);
      });
      QTest::mouseClick(LKUPF->BitBtnPreview, Qt::LeftButton);
      EXPECT_TRUE(previewed);
      QTest::mouseClick(LKUPF->BitBtnSave, Qt::LeftButton);
    });
    EXPECT_TRUE(given.LookupAccepted);
    EXPECT_EQ(given.Width, 7);

    // The designer writes the field, then the automatic client lookup.
    Store.FldCount = 3;
    TFld& matter = Store.FldTable[3];
    matter.Name = given.FieldName;
    matter.SeqNo = matter.FldId = 3;
    matter.FldType = 'C';
    matter.IsLookup = true;
    matter.Forced = LKUPF->CBForced->isChecked();
    LKUPF->StoreCorvensteadLookup(3);
    matter.LkpKind = StoredLookupKind(LKUPF->CBAltLookup->isChecked(), matter);
    Store.RecLen = 20;
    Store.FldCount = 4;
    LKUPF->AddClientLookupField();
    LKUPF->ResetForField();

    const std::string text = FormatFieldRecord(matter, 21);
    EXPECT_EQ(Column(text, DscField::Name).substr(0, 7), "Matter ");
    EXPECT_EQ(Column(text, DscField::Width), "  7");
    EXPECT_EQ(Column(text, DscField::KeyWidth), "  7");
    EXPECT_EQ(Column(text, DscField::UpperCase) + Column(text, DscField::IsLookup) + Column(text, DscField::Unique),
              "YYY");
    EXPECT_EQ(Column(text, DscField::LkpKind), "L");
    EXPECT_EQ(Column(text, DscField::LkpTarget), std::string(11, ' '));
    EXPECT_EQ(Column(text, DscField::LkpSpec), "B 22         ");
    EXPECT_EQ(Column(text, DscField::Forced), "Y");
    EXPECT_EQ(Column(text, DscField::DispCols), " 54 32 34" + std::string(231, ' '));
    const std::string client = FormatFieldRecord(Store.FldTable[4], 28);
    EXPECT_EQ(Column(client, DscField::Name), "Client Lookup             ");
    EXPECT_EQ(Column(client, DscField::LkpSpec), "A  0         ");
    EXPECT_EQ(Column(client, DscField::Width), "  7");
    EXPECT_EQ(Store.RecLen, 27);
  });
  EXPECT_EQ(status, 0);
  EXPECT_TRUE(looped);
  // The forms went with the main block.
  EXPECT_EQ(LKUPF, nullptr);
  EXPECT_EQ(MinMaxF, nullptr);
}

TEST_F(DesignerStartFormsTest, ANewUserDefinesATemplateLookupAndKeepsAUserList) {
  const std::string exports = TempPath("exports");
  std::filesystem::create_directory(exports);
  const auto fileBytes = [](const std::string& Path) {
    std::ifstream in(ResolvePath(Path), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  };
  const int status = Run([&] {
    ASSERT_TRUE(LKUPF);
    // The office has one template: clients by code, and by name two ways.
    if (!FileExists(MasterFileName())) {
      std::string msg;
      ASSERT_TRUE(BtrCreateFile(MasterFileName(), MasterRecordLength, int8_t(MasterKeySegments.size()), msg, 255,
                                true, MasterKeySegments))
          << msg;
    }
    {
      TTemplateTableBuilder t;
      t.Add("Code", 'C', 6);
      t.Add("Name", 'C', 30);
      t.Add("Phone", 'C', 12);
      t.Index(1, {1}, true, "By code").Index(2, {2}, false, "By name").Index(3, {2, 1}, true, "Name and code");
      ASSERT_TRUE(BuildTemplateDataFile("Clients"));
    }
    Store.FldCount = 0;
    std::string clientsTarget;
    LookupHandOver& given = LKUPF->HandOver;
    const auto handOver = [&] {
      given = LookupHandOver();
      given.FieldName = "Client";
      given.Width = 10;
    };

    // "Fields in another template": the template, its fields, the name
    // field beginning two indexes, the second chosen.
    handOver();
    LKUPF->ResetForField();
    RunModal(*LKUPF, [&] {
      ClickIndicator(LKUPF->RadioGroup1->Item(TLKUPF::KindM));
      QTest::mouseClick(LKUPF->BitBtnSave, Qt::LeftButton);
      EXPECT_EQ(QApplication::focusWidget(), LKUPF->ListBoxTables);
      ASSERT_GE(LKUPF->ListBoxTables->count(), 1);
      QListWidgetItem* clients = LKUPF->ListBoxTables->findItems("Clients", Qt::MatchExactly).value(0);
      ASSERT_TRUE(clients);
      QTest::mouseClick(LKUPF->ListBoxTables->viewport(), Qt::LeftButton, Qt::NoModifier,
                        LKUPF->ListBoxTables->visualItemRect(clients).center());
      EXPECT_EQ(LKUPF->SelectedTemplateName(), "Clients");
      clientsTarget = "MNGR" +
                      TTemplateNumber::Parse(LKUPF->TplNumbers.substr(size_t(LKUPF->ListBoxTables->currentRow()) * 3, 3))
                          .ZeroFilled() +
                      ".DSC";
      std::vector<std::string> tiles;
      for (TFieldTile* t : LKUPF->TemplateTiles)
        if (t->isVisible()) tiles.push_back(StoredText(t->text()) + (t->Bold() ? "*" : ""));
      EXPECT_EQ(tiles, (Names{"Code*", "Name*", "Phone"}));

      Clock.Advance(TLKUPF::PressGuardMs);
      QTest::mouseClick(LKUPF->TemplateTiles[1], Qt::LeftButton);
      WhenModal<TKeySelF>([](TKeySelF& ask) {
        EXPECT_EQ(ask.ComboBoxKeyChoice->count(), 2);
        ask.ComboBoxKeyChoice->setCurrentIndex(1);
        QTest::mouseClick(ask.SaveBitBtn, Qt::LeftButton);
      });
      QTest::mouseClick(LKUPF->BitBtnDropDown, Qt::LeftButton);
      EXPECT_EQ(Items(LKUPF->ListBoxDropdown), Names{"Name"});
      EXPECT_EQ(StoredText(LKUPF->LabelIndexName->text()), "Name and code");
      Clock.Advance(TLKUPF::PressGuardMs);
      QTest::mouseClick(LKUPF->TemplateTiles[2], Qt::LeftButton);
      QTest::mouseClick(LKUPF->BitBtnDisplayed, Qt::LeftButton);
      ClickIndicator(LKUPF->CBForced);
      QTest::mouseClick(LKUPF->BitBtnSave, Qt::LeftButton);
    });
    EXPECT_TRUE(given.LookupAccepted);
    EXPECT_EQ(given.Width, 30);
    TFld& client = Store.FldTable[1];
    client.Name = "Client";
    client.SeqNo = client.FldId = 1;
    client.FldType = 'C';
    client.IsLookup = true;
    client.LkpKind = "M";
    client.Forced = LKUPF->CBForced->isChecked();
    LKUPF->StoreTemplateLookup(1);
    const std::string text = FormatFieldRecord(client, 5);
    EXPECT_EQ(Column(text, DscField::LkpKind), "M");
    EXPECT_EQ(Column(text, DscField::LkpTarget), clientsTarget);
    EXPECT_EQ(Column(text, DscField::LkpSpec), "3  2         ");
    EXPECT_EQ(Column(text, DscField::Width), " 34");
    EXPECT_EQ(Column(text, DscField::KeyWidth), " 30");
    EXPECT_EQ(Column(text, DscField::Forced), "Y");
    EXPECT_EQ(Column(text, DscField::DispCols).substr(0, 6), "  3   ");
    LKUPF->ResetForField();

    // "User-created list": a new two-column list typed, sorted, accepted.
    handOver();
    RunModal(*LKUPF, [&] {
      ClickIndicator(LKUPF->RadioGroup1->Item(TLKUPF::KindU));
      QTest::mouseClick(LKUPF->BitBtnSave, Qt::LeftButton);
      ASSERT_TRUE(LKUPF->PanelUserList->isVisible());
      ClickIndicator(LKUPF->RadioGroup2->Item(1));
      QTest::mouseClick(LKUPF->StringGrid1->viewport(), Qt::LeftButton, Qt::NoModifier,
                        LKUPF->StringGrid1->visualItemRect(LKUPF->StringGrid1->item(1, 0)).center());
      EXPECT_EQ(QApplication::focusWidget(), LKUPF->Edit1);
      for (const char* typed : {"WIRE", "Wire transfer", "CHK", "Cheque"}) {
        keyboard::Type(typed);
        keyboard::Type(Qt::Key_Tab);
      }
      QTest::mouseClick(LKUPF->SortBitBtn, Qt::LeftButton);
      EXPECT_EQ(StoredText(LKUPF->StringGrid1->item(1, 0)->text()), "CHK");
      LKUPF->ComboBoxListNames->setFocus();
      keyboard::Type("Payment kinds");
      QTest::mouseClick(LKUPF->BitBtnSave, Qt::LeftButton);
    });
    EXPECT_TRUE(given.LookupAccepted);
    EXPECT_EQ(given.SelUserList, 1);
    EXPECT_EQ(given.ListCol2Width, 13);
    const std::string firstBytes = std::string("CHK\x01") + "Cheque\r\nWIRE\x01Wire transfer\r\n";
    EXPECT_EQ(fileBytes(UserListPath(1)), firstBytes + "\x01 \x01Payment kinds       \r\n");

    // Edited again: renamed under its number, exported, deleted, imported back.
    TFld listField;
    listField.IsLookup = true;
    listField.LkpKind = "U";
    listField.LkpTarget = "1.lst";
    listField.LkpSpec = "2 13";
    LKUPF->ResetForField();
    handOver();
    ASSERT_TRUE(LKUPF->LoadUserListLookup(listField));
    RunModal(*LKUPF, [&] {
      QTest::mouseClick(LKUPF->BitBtnSave, Qt::LeftButton);
      EXPECT_EQ(StoredText(LKUPF->ComboBoxListNames->currentText()), "Payment kinds");
      EXPECT_EQ(LKUPF->RadioGroup2->ItemIndex(), 1);
      LKUPF->ComboBoxListNames->setFocus();
      LKUPF->ComboBoxListNames->lineEdit()->selectAll();
      keyboard::Type("Payments");
      QTest::mouseClick(LKUPF->BitBtnSave, Qt::LeftButton);
    });
    EXPECT_EQ(given.SelUserList, 1);
    EXPECT_EQ(fileBytes(UserListPath(1)), firstBytes + "\x01 \x01Payments            \r\n");

    LKUPF->ResetForField();
    handOver();
    ASSERT_TRUE(LKUPF->LoadUserListLookup(listField));
    RunModal(*LKUPF, [&] {
      QTest::mouseClick(LKUPF->BitBtnSave, Qt::LeftButton);
      WhenModal<TDirBrowserForm>([&](TDirBrowserForm& browser) {
        EXPECT_EQ(browser.Caption(), "Select the folder to which you wish to export 'Payments'.");
        ASSERT_TRUE(browser.DirectoryListBox1->SetDirectory(exports));
        Boxes.Expect("Your list has been successfully exported.");
        QTest::mouseClick(browser.BitBtn1, Qt::LeftButton);
      });
      QTest::mouseClick(LKUPF->BitBtnExport, Qt::LeftButton);
      EXPECT_EQ(fileBytes(exports + "/1.lst"), firstBytes + "\x01 \x01Payments            \r\n");

      Boxes.Answer(mrYes).Expect("The list Payments has been successfully deleted.");
      QTest::mouseClick(LKUPF->BitBtnDeleteList, Qt::LeftButton);
      EXPECT_FALSE(FileExists(UserListPath(1)));
      EXPECT_EQ(LKUPF->ComboBoxListNames->count(), 0);

      WhenModal<TListImportDialog>([&](TListImportDialog& dialog) {
        dialog.setDirectory(QString::fromStdString(exports));
        // The file's whole path typed where a file name goes, then Open.
        auto* name = dialog.findChild<QLineEdit*>("fileNameEdit");
        ASSERT_TRUE(name);
        name->setFocus();
        keyboard::Type(exports + "/1.lst");
        keyboard::Type(Qt::Key_Return);
        if (dialog.isVisible()) {
          ADD_FAILURE() << "the import dialog stayed open";
          dialog.reject();
        }
      });
      QTest::mouseClick(LKUPF->BitBtnImport, Qt::LeftButton);
      EXPECT_EQ(StoredText(LKUPF->ComboBoxListNames->currentText()), "Payments");
      EXPECT_EQ(StoredText(LKUPF->StringGrid1->item(2, 1)->text()), "Wire transfer");
      QTest::mouseClick(LKUPF->CloseBitBtn, Qt::LeftButton);
    });
    EXPECT_FALSE(BtrIsFileOpen(BrowsedListsFileNo));
    EXPECT_FALSE(BtrIsFileOpen(ListImportFileNo));
    // Imported under the first free number above the highest catalogued.
    EXPECT_EQ(fileBytes(UserListPath(1)), firstBytes + "\x01 \x01Payments            \r\n");
    LKUPF->ResetForField();
  });
  EXPECT_EQ(status, 0);
}

}  // namespace
