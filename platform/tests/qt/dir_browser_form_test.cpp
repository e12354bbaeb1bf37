#include "platform/qt/dir_browser_form.h"

#include "platform/qt/directory_list_box.h"
#include "platform/qt/widget_text.h"
#include "testing/dialog_responder.h"
#include "testing/fake_volumes.h"
#include "testing/temp_dir.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

// Readable failures.
void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

namespace {

class DirBrowserTest : public TempDirTest {
protected:
  void SetUp() override {
    for (const char* folder : {"Data/Alpha", "Data/beta", "Data/.hidden", "Data/Gamma/inner", "Usb/Lists", "Cd"})
      std::filesystem::create_directories(Temp / folder);
    WriteFileBytes(Temp / "Data/notes.txt", "x");
    fake_.List = {{"/", "/", true}, {Temp / "Cd", "DISC", false}, {Temp / "Usb", "STICK", true}};
  }

  // Picks the drive box's entry I as a user does: Change, then Click.
  static void ChooseDrive(TDirBrowserForm& Form, int I) {
    Form.DriveComboBox1->setCurrentIndex(I);
    Form.DriveComboBox1Change();
    Form.DriveComboBox1Click();
  }

  FakeVolumes fake_;
};

// Shows the form modally; Act runs once its loop turns. A showing Act
// leaves open is cancelled after a while so that a fault fails, not hangs.
int RunModal(TDirBrowserForm& Form, const std::function<void()>& Act) {
  QTimer::singleShot(0, &Form, Act);
  QTimer::singleShot(10000, &Form, &QDialog::reject);
  return Form.exec();
}

TEST(DirBrowserCaption, TheCallersPromptsSelectTheBrowseMode) {
  const struct {
    std::string caption;
    bool browse;
  } cases[] = {
      {"Select a directory to receive the exported batch", true},
      {"Select a directory to receive the exported batch ", false},
      {"Select the folder to which you wish to export your template:", true},
      {"Select the folder to which you wish to export 'Courts'.", true},
      {"Select the folder that contains the templates to import", true},
      {"Select the folder that con", true},
      {"Select the folder that co", false},
      {"select the folder to which you wish", false},
      {"", false},
  };
  for (const auto& c : cases) EXPECT_EQ(IsBrowseCaption(c.caption), c.browse) << c.caption;
}

TEST_F(DirBrowserTest, TheFormShowsTheVolumesAndTheFoldersOfTheCurrentFolderOnly) {
  TDirBrowserForm form;
  EXPECT_EQ(form.size(), QSize(571, 311));
  ASSERT_EQ(form.DriveComboBox1->count(), 3);
  EXPECT_EQ(form.DriveComboBox1->itemText(0), "/");
  EXPECT_EQ(form.DriveComboBox1->itemText(1), WidgetText(Temp / "Cd") + "  [DISC]");
  EXPECT_EQ(form.DriveComboBox1->itemText(2), WidgetText(Temp / "Usb") + "  [STICK]");
  EXPECT_EQ(form.BitBtn1->text(), "OK");
  EXPECT_EQ(form.CancelBitBtn->text(), "Cancel");

  // Preset through any spelling the file layer resolves.
  ASSERT_TRUE(form.DirectoryListBox1->SetDirectory(Temp / "DATA"));
  EXPECT_EQ(form.DirectoryListBox1->Directory(), Temp / "Data");
  EXPECT_EQ(form.Label1->text(), WidgetText(Temp / "Data"));
  std::vector<std::string> expected{"/"};
  for (const auto& part : std::filesystem::path(Temp / "Data")) {
    if (part != "/") expected.push_back(part.string());
  }
  for (const char* folder : {"Alpha", "beta", "Gamma"}) expected.push_back(folder);
  EXPECT_EQ(form.DirectoryListBox1->EntryNames(), expected);
  EXPECT_EQ(form.DriveComboBox1->currentIndex(), 0);

  // A folder that does not exist changes nothing.
  EXPECT_FALSE(form.DirectoryListBox1->SetDirectory(Temp / "Data/Missing"));
  EXPECT_FALSE(form.DirectoryListBox1->SetDirectory(Temp / "Data/notes.txt"));
  EXPECT_EQ(form.DirectoryListBox1->Directory(), Temp / "Data");
}

TEST_F(DirBrowserTest, EnterOrADoubleClickOpensAFolderAndAnAncestorGoesBackUp) {
  TDirBrowserForm form;
  form.show();
  ASSERT_TRUE(form.DirectoryListBox1->SetDirectory(Temp / "Data"));
  TDirectoryListBox& list = *form.DirectoryListBox1;
  const int gamma = list.count() - 1;
  list.setCurrentRow(gamma);
  list.setFocus();
  QTest::keyClick(&list, Qt::Key_Return);
  EXPECT_EQ(list.Directory(), Temp / "Data/Gamma");
  EXPECT_TRUE(form.isVisible());  // Enter opened the folder, it did not end the dialog
  EXPECT_EQ(list.EntryNames().back(), "inner");

  // The entry before the current folder is its parent.
  const int parent = list.count() - 3;
  QApplication::processEvents();  // lets the list lay its entries out
  const QRect place = list.visualItemRect(list.item(parent));
  // A person's double-click: a click, then the second press.
  QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, place.center());
  EXPECT_EQ(list.Directory(), Temp / "Data/Gamma");
  QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, place.center());
  EXPECT_EQ(list.Directory(), Temp / "Data");
  EXPECT_EQ(form.Label1->text(), WidgetText(Temp / "Data"));
}

TEST_F(DirBrowserTest, AReadyVolumeMovesTheFolderToItsRootAndOneNotReadyIsRefused) {
  DialogResponder responder;
  TDirBrowserForm form;
  ASSERT_TRUE(form.DirectoryListBox1->SetDirectory(Temp / "Data/Alpha"));

  ChooseDrive(form, 2);
  EXPECT_EQ(form.DirectoryListBox1->Directory(), Temp / "Usb");
  EXPECT_EQ(form.DirectoryListBox1->EntryNames().back(), "Lists");
  EXPECT_EQ(form.DriveComboBox1->currentIndex(), 2);
  EXPECT_TRUE(responder.Boxes().empty());

  responder.Expect(DriveNotReadyMsg, mrOk);
  ChooseDrive(form, 1);
  EXPECT_EQ(responder.Boxes().at(0).type, mtError);
  EXPECT_EQ(form.DirectoryListBox1->Directory(), Temp / "Usb");
  EXPECT_EQ(form.DriveComboBox1->currentIndex(), 2);

  // Leaving the box on the drive it shows asks nothing.
  form.DriveComboBox1Exit();
  EXPECT_EQ(responder.Boxes().size(), 1u);

  ChooseDrive(form, 0);
  EXPECT_EQ(form.DirectoryListBox1->Directory(), "/");
}

TEST_F(DirBrowserTest, AVolumeWhoseRootIsGoneCannotBeReadEither) {
  DialogResponder responder;
  fake_.List.push_back({Temp / "Gone", "GONE", true});
  TDirBrowserForm form;
  ASSERT_TRUE(form.DirectoryListBox1->SetDirectory(Temp / "Data"));
  responder.Expect(DriveNotReadyMsg, mrOk);
  ChooseDrive(form, 3);
  EXPECT_EQ(form.DirectoryListBox1->Directory(), Temp / "Data");
  EXPECT_EQ(form.DriveComboBox1->currentIndex(), 0);
}

TEST_F(DirBrowserTest, OkChoosesTheFolderAndCancelOrEscapeLeavesNothingChosen) {
  TDirBrowserForm form;
  form.SetCaption("Select the folder to which you wish to export '\xC9tudes'.");
  ASSERT_TRUE(form.DirectoryListBox1->SetDirectory(Temp / "Usb"));
  EXPECT_EQ(RunModal(form, [&] { QTest::mouseClick(form.BitBtn1, Qt::LeftButton); }), QDialog::Accepted);
  EXPECT_TRUE(form.DirChosen);
  EXPECT_TRUE(form.BrowseMode);
  EXPECT_EQ(form.windowTitle(), QString::fromUtf8("Select the folder to which you wish to export '\xC3\x89tudes'."));
  EXPECT_EQ(form.DirectoryListBox1->Directory(), Temp / "Usb");

  EXPECT_EQ(RunModal(form, [&] { QTest::mouseClick(form.CancelBitBtn, Qt::LeftButton); }), QDialog::Rejected);
  EXPECT_FALSE(form.DirChosen);

  form.DirChosen = true;
  EXPECT_EQ(RunModal(form, [&] { QTest::keyClick(form.DirectoryListBox1, Qt::Key_Escape); }), QDialog::Rejected);
  EXPECT_FALSE(form.DirChosen);
}

}  // namespace
