// Kind U of the lookup form driven offscreen: the grid and its editor under
// the keys, a new list typed, sorted and accepted, a long list loaded and
// saved whole, renaming under the list's number, refusals that keep the
// form open, deletion, the kind kept while the list panel shows, and the
// import dialog's moments.
#include "designer/qt/dialog_parts.h"
#include "designer/qt/list_import_dialog.h"
#include "designer/qt/lookup_form.h"
#include "platform/paths.h"
#include "platform/qt/focus_model.h"
#include "platform/qt/form_timer.h"
#include "platform/qt/widget_text.h"
#include "templates/store_constants.h"
#include "templates/tests/user_list_fixture.h"
#include "testing/dialog_driver.h"
#include "testing/dialog_responder.h"
#include "testing/keyboard.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace {

const std::string Sep = ListSep;

std::string Header(const std::string& Name) { return "\x01 \x01" + Name + std::string(20 - Name.size(), ' '); }

class LookupFormUserListTest : public UserListTest {
protected:
  void TearDown() override {
    form.reset();
    UserListTest::TearDown();
  }

  void MakeForm(int Width = 20) {
    form = std::make_unique<TLKUPF>();
    form->HandOver.FieldName = "Matter";
    form->HandOver.Width = Width;
    form->ResetForField();
  }
  // Kind U chosen and the first OK pressed: the list panel shows.
  void OpenListKind(int Width = 20) {
    MakeForm(Width);
    ShowActive(*form);
    ClickIndicator(form->RadioGroup1->Item(TLKUPF::KindU));
    QTest::mouseClick(form->BitBtnSave, Qt::LeftButton);
    ASSERT_TRUE(form->PanelUserList->isVisible());
  }
  std::string Cell(int Row, int Col) const {
    const QTableWidgetItem* item = form->StringGrid1->item(Row, Col);
    return item ? StoredText(item->text()) : "";
  }
  int EditorTag() const { return form->Edit1->property("tag").toInt(); }
  void ChooseList(const std::string& Name) {
    form->ComboBoxListNames->setCurrentIndex(form->ComboBoxListNames->findText(WidgetText(Name)));
    form->ComboBoxListNamesClick();
  }
  void NameList(const std::string& Name) {
    form->ComboBoxListNames->setEditText(WidgetText(Name));
  }

  THandDrivenTimers timers;
  DialogResponder boxes;
  std::unique_ptr<TLKUPF> form;
};

TEST_F(LookupFormUserListTest, ANewListIsTypedSortedAndAccepted) {
  OpenListKind();
  EXPECT_FALSE(form->PanelTiles->isVisible());
  EXPECT_EQ(form->StringGrid1->rowCount(), TLKUPF::MinGridRows);
  EXPECT_EQ(Cell(0, 0), "              Column 1");
  EXPECT_EQ(Cell(0, 1), "              Column 2");
  EXPECT_TRUE(Cell(0, 0).size() && form->StringGrid1->item(0, 0)->font().bold());
  EXPECT_EQ(form->StringGrid1->item(1, 1)->background().color(), QColor(192, 192, 192));
  EXPECT_EQ(form->RadioGroup2->ItemIndex(), 0);
  EXPECT_FALSE(form->BitBtnExport->isEnabled());
  EXPECT_TRUE(FileExists(UserListCatalogueName(Store.DataDir)));
  EXPECT_EQ(EditorTag(), 10);
  EXPECT_EQ(form->Edit1->geometry(), form->StringGrid1->visualItemRect(form->StringGrid1->item(1, 0)));

  ClickIndicator(form->RadioGroup2->Item(1));
  EXPECT_FALSE(form->UserList.SingleColumn);
  EXPECT_EQ(form->StringGrid1->item(1, 1)->background().style(), Qt::NoBrush);
  form->Edit1->setFocus();
  keyboard::Type("Beta");
  keyboard::Type(Qt::Key_Tab);
  EXPECT_EQ(EditorTag(), 11);
  keyboard::Type("Second");
  keyboard::Type(Qt::Key_Tab);
  EXPECT_EQ(EditorTag(), 20);
  keyboard::Type("alpha");
  keyboard::Type(Qt::Key_Right);
  EXPECT_EQ(EditorTag(), 21);
  keyboard::Type("First");
  keyboard::Type(Qt::Key_Up);
  EXPECT_EQ(EditorTag(), 11);
  keyboard::Type(Qt::Key_Left);
  EXPECT_EQ(EditorTag(), 10);
  keyboard::Type(Qt::Key_Down);
  keyboard::Type(Qt::Key_Down);
  EXPECT_EQ(EditorTag(), 30);
  // Tab goes on to column 2, and from a row past the list to Cancel.
  keyboard::Type(Qt::Key_Tab);
  EXPECT_EQ(EditorTag(), 31);
  keyboard::Type(Qt::Key_Tab);
  QApplication::processEvents();
  EXPECT_EQ(QApplication::focusWidget(), form->CloseBitBtn);
  EXPECT_EQ(Cell(1, 0), "Beta");
  EXPECT_EQ(Cell(2, 1), "First");

  // Sorting alone: by the whole text, no case; the editor back on row 1.
  QTest::mouseClick(form->SortBitBtn, Qt::LeftButton);
  EXPECT_EQ(Cell(1, 0), "alpha");
  EXPECT_EQ(Cell(2, 0), "Beta");
  EXPECT_EQ(EditorTag(), 10);

  boxes.Expect("You must select a name for your list.");
  QTest::mouseClick(form->BitBtnSave, Qt::LeftButton);
  EXPECT_TRUE(form->isVisible());
  NameList("Codes");
  QTest::mouseClick(form->BitBtnSave, Qt::LeftButton);
  EXPECT_FALSE(form->isVisible());
  EXPECT_TRUE(form->HandOver.LookupAccepted);
  EXPECT_EQ(form->HandOver.SelUserList, 1);
  EXPECT_EQ(form->HandOver.ListCol2Width, 6);
  EXPECT_EQ(ListBytes(1), "alpha" + Sep + "First\r\nBeta" + Sep + "Second\r\n" + Header("Codes") + "\r\n");
  EXPECT_EQ(CatalogueTexts(), std::vector<std::string>{"1       Codes               "});
}

TEST_F(LookupFormUserListTest, ALongListLoadsWholeAndIsSavedWhole) {
  MakeCatalogue({{4, "Long"}});
  std::string bytes;
  for (int k = 100; k < 250; ++k) bytes += "item " + std::to_string(k) + "\r\n";
  WriteList(4, bytes + Header("Long") + "\r\n");
  OpenListKind();
  ChooseList("Long");
  EXPECT_EQ(form->UserList.SelUserList, 4);
  EXPECT_EQ(form->UserList.ListName, "Long");
  EXPECT_TRUE(form->BitBtnExport->isEnabled());
  EXPECT_EQ(StoredText(form->LabelListLocation->text()), DisplayPath(UserListPath(4)));
  // Every item and a blank row below.
  EXPECT_EQ(form->StringGrid1->rowCount(), 152);
  EXPECT_EQ(Cell(150, 0), "item 249");
  EXPECT_EQ(Cell(151, 0), "");
  QTest::mouseClick(form->BitBtnSave, Qt::LeftButton);
  EXPECT_TRUE(form->HandOver.LookupAccepted);
  EXPECT_EQ(form->HandOver.SelUserList, 4);
  EXPECT_EQ(ListBytes(4), bytes + Header("Long") + "\r\n");
}

TEST_F(LookupFormUserListTest, RefusalsKeepTheFormOpenAndTheFilesAsTheyWere) {
  MakeCatalogue({{1, "Codes"}, {2, "Other"}});
  WriteList(1, "b\r\na\r\n" + Header("Codes") + "\r\n");
  WriteList(2, "x\r\n" + Header("Other") + "\r\n");
  const auto before = FolderContents();
  OpenListKind(1);
  ChooseList("Codes");
  // A duplicate in column 1, case included.
  form->Edit1->setFocus();
  form->Edit1->setText("a");
  keyboard::Type(Qt::Key_Down);
  boxes.Expect("The value a is duplicated in the list.\rThis is not allowed.");
  QTest::mouseClick(form->BitBtnSave, Qt::LeftButton);
  EXPECT_TRUE(form->isVisible());
  EXPECT_EQ(FolderContents(), before);

  // Another list's name for this one.
  form->PlaceCellEditor(1, 0);
  form->Edit1->setText("c");
  form->Edit1->setFocus();
  keyboard::Type(Qt::Key_Down);
  NameList("Other");
  // The name typed stands in the refusal.
  boxes.Expect("The name you have supplied for the current list (Other) is already in use.  Please select a "
               "different name.");
  QTest::mouseClick(form->BitBtnSave, Qt::LeftButton);
  EXPECT_TRUE(form->isVisible());
  EXPECT_EQ(FolderContents(), before);

  // A longer item widens the field when the user agrees.
  NameList("Codes");
  form->PlaceCellEditor(3, 0);
  form->Edit1->setText("longer");
  form->Edit1->setFocus();
  keyboard::Type(Qt::Key_Up);
  boxes.Expect("One or more of your list entries exceeds the width you haved specified for this field.\r\r"
               "Adjust the field width to accommodate all list entries?  (recommended)\r\r"
               "(If you select NO, longer list entries will be truncated)",
               mrYes);
  QTest::mouseClick(form->BitBtnSave, Qt::LeftButton);
  EXPECT_FALSE(form->isVisible());
  EXPECT_EQ(form->HandOver.Width, 6);
  EXPECT_EQ(ListBytes(1), "a\r\nc\r\nlonger\r\n" + Header("Codes") + "\r\n");
}

TEST_F(LookupFormUserListTest, RenamingKeepsTheNumberAndDeletingEmptiesTheGrid) {
  MakeCatalogue({{3, "Codes"}});
  WriteList(3, "a\r\n" + Header("Codes") + "\r\n");
  OpenListKind();
  ChooseList("Codes");
  NameList("Letters");
  QTest::mouseClick(form->BitBtnSave, Qt::LeftButton);
  EXPECT_EQ(form->HandOver.SelUserList, 3);
  EXPECT_EQ(ListBytes(3), "a\r\n" + Header("Letters") + "\r\n");
  EXPECT_EQ(CatalogueTexts(), std::vector<std::string>{"3       Letters             "});

  OpenListKind();
  boxes.Expect("Nothing to delete!.  Please select a list first.");
  QTest::mouseClick(form->BitBtnDeleteList, Qt::LeftButton);
  ChooseList("Letters");
  boxes.Answer(mrYes).Expect("The list Letters has been successfully deleted.");
  QTest::mouseClick(form->BitBtnDeleteList, Qt::LeftButton);
  EXPECT_EQ(form->UserList.SelUserList, -1);
  EXPECT_EQ(Cell(1, 0), "");
  EXPECT_EQ(form->ComboBoxListNames->count(), 0);
  EXPECT_FALSE(FileExists(UserListPath(3)));
  EXPECT_TRUE(CatalogueTexts().empty());
}

TEST_F(LookupFormUserListTest, AKindButtonFocusedWhileTheListShowsSetsTheKindBack) {
  OpenListKind();
  form->RadioGroup1->Item(TLKUPF::KindM)->setFocus();
  QApplication::processEvents();
  EXPECT_EQ(form->Kind(), TLKUPF::KindU);
  QWidget* focus = QApplication::focusWidget();
  EXPECT_TRUE(focus == form->ComboBoxListNames || focus == form->ComboBoxListNames->lineEdit());
  EXPECT_TRUE(form->PanelUserList->isVisible());
}

TEST_F(LookupFormUserListTest, APressOnTheGridWhileEditingIsNotedAndMovesTheEditorThere) {
  MakeCatalogue({{1, "Codes"}});
  WriteList(1, "a\r\nb\r\nc\r\n" + Header("Codes") + "\r\n");
  OpenListKind();
  ChooseList("Codes");
  form->Edit1->setFocus();
  const QPoint at = form->StringGrid1->visualItemRect(form->StringGrid1->item(3, 0)).center();
  bool noted = false;
  QTest::mousePress(form->StringGrid1->viewport(), Qt::LeftButton, Qt::NoModifier, at);
  noted = form->GridClicked;
  QTest::mouseRelease(form->StringGrid1->viewport(), Qt::LeftButton, Qt::NoModifier, at);
  EXPECT_TRUE(noted);
  EXPECT_FALSE(form->GridClicked);
  EXPECT_EQ(EditorTag(), 30);
  EXPECT_EQ(StoredText(form->Edit1->text()), "c");
}

TEST_F(LookupFormUserListTest, TheImportDialogNamesBrowsedListsAndRefusesTheDataFolder) {
  const std::string other = Temp / "other";
  std::filesystem::create_directory(other);
  MakeCatalogueIn(other, {{7, "Theirs"}});
  WriteFileBytes(other + "/7.lst", "z\r\n" + Header("Theirs") + "\r\n");
  OpenListKind();
  TListImportDialog dialog(form.get());
  form->OpenDialog1 = &dialog;
  form->OpenDialog1SelectionChange(other + "/7.lst");
  EXPECT_EQ(StoredText(dialog.windowTitle()), "Theirs");
  EXPECT_TRUE(BtrIsFileOpen(BrowsedListsFileNo));
  form->OpenDialog1FolderChange();
  EXPECT_FALSE(BtrIsFileOpen(BrowsedListsFileNo));
  boxes.Expect(Store.DataDir + " is the current Matterdesk data folder.  There is no need to import user lists "
               "that already reside in that folder.");
  EXPECT_FALSE(form->OpenDialog1CanClose(Store.DataDir + "/1.lst"));
  EXPECT_TRUE(form->OpenDialog1CanClose(other + "/7.lst"));
  form->OpenDialog1 = nullptr;
}

}  // namespace
