#include "datetime/dw_intl.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

namespace {

// Each test starts and ends with a fresh global instance.
class DwIntl : public testing::Test {
protected:
  void SetUp() override { Renew(); }
  void TearDown() override { Renew(); }
  static void Renew() {
    FinalIntl();
    InitIntl();
  }
};

std::map<std::string, std::string> TextsOf(TdwIntl& intl) {
  std::map<std::string, std::string> texts;
  ForEachIntlText(intl, [&](const std::string& path, std::string& text) { texts[path] = text; });
  return texts;
}

// A changed value for every text, with a Windows-1252 byte in it.
void ChangeEveryText(TdwIntl& intl) {
  ForEachIntlText(intl, [](const std::string& path, std::string& text) { text = "\xE9 " + path; });
}

// Every option the copy carries, changed from its default.
void ChangeCopiedOptions(TdwIntl& intl) {
  intl.DialogFontStyle = FontStyles(fsBold) | FontStyles(fsStrikeOut);
  intl.UseLocateMethodForSearch = false;
  intl.UnpublishedFlag = false;
  intl.DefaultEpochYear = 1980;
  intl.FilterMemoSize = 4096;
}

void ExpectCopiedOptionsArrived(const TdwIntl& global, TdwCheckBoxInGridStyle style) {
  EXPECT_EQ(global.DialogFontStyle, FontStyles(fsBold) | FontStyles(fsStrikeOut));
  EXPECT_FALSE(global.UseLocateMethodForSearch);
  EXPECT_FALSE(global.UnpublishedFlag);
  EXPECT_EQ(global.DefaultEpochYear, 1980);
  EXPECT_EQ(global.FilterMemoSize, 4096);
  EXPECT_EQ(global.CheckBoxInGridStyle(), style);
  // Never copied.
  EXPECT_FALSE(global.OKCancelBitmapped);
  EXPECT_FALSE(global.Connected());
  EXPECT_EQ(global.ControlsVersion(), "4.0B");
}

TEST_F(DwIntl, QuotedDefaultsByteForByte) {
  TdwIntl intl;
  const std::map<std::string, std::string> texts = TextsOf(intl);
  const std::pair<const char*, const char*> quoted[] = {
      {"MonthCalendar.PopupYearLabel", "Edit Year"},
      {"MonthCalendar.EnterYearPrompt", "Enter Valid Year"},
      {"BtnOKCaption", "&OK"},
      {"BtnCancelCaption", "Cancel"},
      {"Navigator.ConfirmDeleteMessage", "Delete record?"},
      {"Navigator.Hints.FirstHint", "Move to first record"},
      {"Navigator.Hints.PriorHint", "Move to prior record"},
      {"Navigator.Hints.NextHint", "Move to next record"},
      {"Navigator.Hints.LastHint", "Move to last record"},
      {"Navigator.Hints.InsertHint", "Insert new record"},
      {"Navigator.Hints.DeleteHint", "Delete current record"},
      {"Navigator.Hints.EditHint", "Edit current record"},
      {"Navigator.Hints.PostHint", "Post changes of current record"},
      {"Navigator.Hints.CancelHint", "Cancel changes made to current record"},
      {"Navigator.Hints.RefreshHint", "Refresh the contents of the dataset"},
      {"Navigator.Hints.PriorPageHint", "Move backward %d records"},
      {"Navigator.Hints.NextPageHint", "Move forward %d records"},
      {"Navigator.Hints.SaveBookmarkHint", "Bookmark current record"},
      {"Navigator.Hints.RestoreBookmarkHint", "Go back to saved bookmark"},
      {"Navigator.Hints.RecordViewDialogHint", "View current record"},
      {"Navigator.Hints.LocateDialogHint", "Locate a specific record"},
      {"Navigator.Hints.FilterDialogHint", "Filter the dataset"},
      {"Navigator.Hints.SearchDialogHint", "Search the dataset"},
      {"UserMessages.dwDBGridDiscardChanges", "Discard changes to this record?"},
      {"UserMessages.PictureValidateError", "Invalid characters. Field : "},
      {"UserMessages.LocateNoMatches", "No matches found"},
      {"UserMessages.LocateNoMoreMatches", "No more matches found"},
      {"UserMessages.MemoChangesWarning", "Changes have been made!  Are you sure you wish to cancel?"},
      {"UserMessages.RichEditExitWarning", "Changes have been made!  Do you wish to save your changes?"},
      {"UserMessages.RichEditClearWarning", "Clear entire text?"},
      {"UserMessages.FilterDlgNoCriteria", "You have not selected any search criteria"},
      {"RichEdit.BoldButtonHint", "Bold | Makes the selection bold (toggle)"},
      {"RichEdit.MenuLabels.FileCaption", "&File"},
  };
  for (const auto& [path, text] : quoted) {
    ASSERT_TRUE(texts.contains(path)) << path;
    EXPECT_EQ(texts.at(path), text) << path;
  }
}

TEST_F(DwIntl, NonTextDefaults) {
  TdwIntl intl;
  EXPECT_FALSE(intl.OKCancelBitmapped);
  EXPECT_EQ(intl.CheckBoxInGridStyle(), cbStyleAuto);
  EXPECT_EQ(intl.ControlsVersion(), "4.0B");
  EXPECT_EQ(intl.FilterMemoSize, 65536);
  EXPECT_TRUE(intl.UseLocateMethodForSearch);
  EXPECT_EQ(intl.DialogFontStyle, 0u);
  EXPECT_EQ(intl.DefaultEpochYear, 1950);
  EXPECT_FALSE(intl.Connected());
  EXPECT_TRUE(intl.UnpublishedFlag);
}

// The lists name each text once, under its own name, and no text is empty.
TEST_F(DwIntl, EveryTextIsListedOnceAndFilled) {
  TdwIntl intl;
  std::set<std::string> paths;
  std::set<const std::string*> members;
  ForEachIntlText(intl, [&](const std::string& path, std::string& text) {
    EXPECT_TRUE(paths.insert(path).second) << path;
    EXPECT_TRUE(members.insert(&text).second) << path;
    EXPECT_FALSE(text.empty()) << path;
  });
  EXPECT_TRUE(paths.contains("RichEdit.TabDialog.ClearAllButtonHint"));
  EXPECT_TRUE(paths.contains("FilterDialog.ViewSummaryNotText"));
  EXPECT_TRUE(paths.contains("UserMessages.RecordViewExitWarning"));
}

TEST_F(DwIntl, ConnectingCopiesEverythingButTheInstanceOwnValues) {
  TdwIntl local;
  ChangeEveryText(local);
  ChangeCopiedOptions(local);
  local.SetCheckBoxInGridStyle(cbStyleXmark);
  local.OKCancelBitmapped = true;

  TdwIntl& global = *GlobalIntl();
  local.SetConnected(true);
  EXPECT_EQ(TextsOf(global), TextsOf(local));
  EXPECT_EQ(global.MonthCalendar.PopupYearLabel, "\xE9 MonthCalendar.PopupYearLabel");
  ExpectCopiedOptionsArrived(global, cbStyleXmark);
}

// A loader sets the values, Connected among them, then calls Loaded.
TEST_F(DwIntl, LoadedCopiesOnlyWhenConnected) {
  TdwIntl& global = *GlobalIntl();
  const auto defaults = TextsOf(global);

  TdwIntl unconnected;
  ChangeEveryText(unconnected);
  unconnected.Loaded();
  EXPECT_EQ(TextsOf(global), defaults);

  TdwIntl loaded;
  loaded.SetConnected(true);
  ChangeEveryText(loaded);
  ChangeCopiedOptions(loaded);
  loaded.SetCheckBoxInGridStyle(cbStyleCheckmark);
  EXPECT_EQ(TextsOf(global), defaults);
  loaded.Loaded();
  EXPECT_EQ(TextsOf(global), TextsOf(loaded));
  ExpectCopiedOptionsArrived(global, cbStyleCheckmark);
}

// A new picker takes its Epoch from the global instance at its creation.
TEST_F(DwIntl, ConnectedChangeOfTheEpochYearReachesTheGlobal) {
  EXPECT_EQ(GlobalIntl()->DefaultEpochYear, 1950);
  TdwIntl local;
  local.DefaultEpochYear = 1930;
  EXPECT_EQ(GlobalIntl()->DefaultEpochYear, 1950);
  local.SetConnected(true);
  EXPECT_EQ(GlobalIntl()->DefaultEpochYear, 1930);
  local.SetConnected(false);
  local.DefaultEpochYear = 1960;
  local.Loaded();
  EXPECT_EQ(GlobalIntl()->DefaultEpochYear, 1930);
}

TEST_F(DwIntl, CheckBoxStyleReachesTheGlobalOnlyFromAnotherConnectedInstance) {
  TdwIntl& global = *GlobalIntl();
  TdwIntl local;
  local.SetCheckBoxInGridStyle(cbStyleXmark);
  EXPECT_EQ(local.CheckBoxInGridStyle(), cbStyleXmark);
  EXPECT_EQ(global.CheckBoxInGridStyle(), cbStyleAuto);

  local.SetConnected(true);
  local.SetCheckBoxInGridStyle(cbStyleCheckmark);
  EXPECT_EQ(global.CheckBoxInGridStyle(), cbStyleCheckmark);

  // The global instance connected to itself copies nothing and just stores.
  global.SetConnected(true);
  global.SetCheckBoxInGridStyle(cbStyleXmark);
  global.Loaded();
  EXPECT_EQ(global.CheckBoxInGridStyle(), cbStyleXmark);
  EXPECT_EQ(local.CheckBoxInGridStyle(), cbStyleCheckmark);
}

TEST_F(DwIntl, ControlsVersionIgnoresItsSetter) {
  TdwIntl intl;
  intl.SetControlsVersion("5.0");
  EXPECT_EQ(intl.ControlsVersion(), "4.0B");
}

TEST_F(DwIntl, WithoutAGlobalInstanceConnectingChangesNothingElse) {
  FinalIntl();
  ASSERT_EQ(GlobalIntl(), nullptr);
  TdwIntl local;
  local.DefaultEpochYear = 1930;
  local.SetConnected(true);
  local.SetCheckBoxInGridStyle(cbStyleXmark);
  local.Loaded();
  EXPECT_EQ(GlobalIntl(), nullptr);
  EXPECT_EQ(local.DefaultEpochYear, 1930);
  EXPECT_EQ(local.CheckBoxInGridStyle(), cbStyleXmark);
  EXPECT_TRUE(local.Connected());
}

TEST_F(DwIntl, LifetimeOfTheGlobalInstance) {
  TdwIntl* global = GlobalIntl();
  ASSERT_NE(global, nullptr);
  InitIntl();
  EXPECT_EQ(GlobalIntl(), global);

  {
    TdwIntl other;
  }
  EXPECT_EQ(GlobalIntl(), global);

  delete global;
  EXPECT_EQ(GlobalIntl(), nullptr);
  FinalIntl();
  EXPECT_EQ(GlobalIntl(), nullptr);

  InitIntl();
  ASSERT_NE(GlobalIntl(), nullptr);
  FinalIntl();
  EXPECT_EQ(GlobalIntl(), nullptr);
}

}  // namespace
