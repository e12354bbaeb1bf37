#include "templates/user_list_edit.h"

#include "btrieve/numbered_files.h"
#include "platform/dialogs.h"
#include "platform/files.h"
#include "platform/text.h"
#include "platform/volumes.h"
#include "templates/file_slot_guards.h"
#include "templates/store_constants.h"
#include "templates/store_utils.h"
#include "templates/template_state.h"

#include <cerrno>
#include <cstring>

namespace {

constexpr int MaxExportNumber = 9999;

void ErrorBox(const std::string& Text) { MessageDlg(Text, mtError, mbOKOnly); }

// Walks the catalogue in key-0 order until Match takes a record, which is
// then the current one; false when none did.
template <class F>
bool PositionOn(F&& Match, TDynCharArr& Rec) {
  BtrSetKeyNumber(UserListFileNo, 0);
  Rec.assign(UserListRecordLength, 0);
  bool atEnd = false;
  for (BtrGetFirst(UserListFileNo, Rec, atEnd, false); !atEnd; BtrGetNext(UserListFileNo, Rec, atEnd, false)) {
    const std::string_view record(reinterpret_cast<const char*>(Rec.data()), Rec.size());
    if (Match(record, ParseUserListRecord(record))) return true;
  }
  return false;
}

// The loaded list keeps its number and file under the new name: its record
// renamed (or made, when it has none) and its file rewritten, together.
void RenameLoadedList(const TUserListState& State, const std::string& Name, const std::vector<std::string>& Lines) {
  const std::string oldName = Trim(State.ListName);
  BtrBeginTransaction();
  try {
    TDynCharArr rec;
    std::string text;
    const bool found = PositionOn(
        [&](std::string_view record, const TUserListRecord& r) {
          if (r.Number != State.SelUserList || Trim(r.Name) != oldName) return false;
          text = RenamedUserListText(record, Name);
          return true;
        },
        rec);
    if (found)
      BtrUpdateRecord(UserListFileNo, text, rec);
    else
      BtrInsertRecord(UserListFileNo, FormatUserListText(State.SelUserList, Name, TListNumberLayout::Left));
  } catch (...) {
    AbortTransactionQuietly();
    throw;
  }
  // The file changes last, and goes back to its old bytes when the commit
  // fails, so the record and the file change together or not at all.
  std::string old;
  if (!ReadWholeListFile(State.SelUserList, old)) {
    AbortTransactionQuietly();
    throw EInOutError("The list file " + ListFileName(State.SelUserList) + " could not be read: " +
                      std::strerror(errno));
  }
  try {
    WriteUserListFile(State.SelUserList, Lines);
  } catch (...) {
    AbortTransactionQuietly();
    throw;
  }
  try {
    BtrEndTransaction();
  } catch (...) {
    AbortTransactionQuietly();
    ReplaceFileBytes(UserListPath(State.SelUserList), old);
    throw;
  }
}

}  // namespace

TListSaveResult SaveUserList(TUserListState& State, const std::string& Name, const std::vector<std::string>& Items) {
  const std::string name = Trim(Name);
  std::vector<TUserListRecord> records;
  try {
    OpenUserListSlot();
    records = ReadUserListCatalogue(UserListFileNo);
  } catch (const Exception& e) {
    ErrorBox("Unable to read records in the LISTS.USR in preparation for saving your list.\r\r" + e.Message);
    return TListSaveResult::Failed;
  }
  const std::optional<TUserListRecord> named = ListNamed(records, name);
  if (named && (IsBlank(State.ListName) || Trim(State.ListName) != name)) {
    ErrorBox("The name you have supplied for the current list (" + name +
             ") is already in use.  Please select a different name.");
    return TListSaveResult::Refused;
  }
  const std::vector<std::string> lines = SavedListLines(Items, name);
  int number = -1;
  try {
    if (named) {
      number = named->Number;
      WriteUserListFile(number, lines);
    } else if (!IsBlank(State.ListName) && State.SelUserList > 0 && FileExists(UserListPath(State.SelUserList))) {
      number = State.SelUserList;
      RenameLoadedList(State, name, lines);
    } else {
      number = CatalogueNewList(UserListFileNo, HighestListNumber(records), name, TListNumberLayout::Left, lines);
    }
  } catch (const Exception& e) {
    ErrorBox("Your list could not be saved at this time.\r\r" + e.Message + ContactMsg);
    return TListSaveResult::Failed;
  }
  State.SelUserList = number;
  State.ListName = name;
  return TListSaveResult::Saved;
}

bool DeleteUserList(TUserListState& State, const std::string& Name, bool AskedByUser) {
  const std::string name = Trim(Name);
  if (State.SelUserList == -1) {
    ErrorBox("Nothing to delete!.  Please select a list first.");
    return false;
  }
  if (AskedByUser &&
      MessageDlg("Are you SURE you want to delete the list " + name + "\r" +
                     "so that it is no longer available to any users of the Matterdesk system?" + "\r\r" +
                     "(To simply disassociate this list from a field to which it is assigned, just uncheck" + "\r" +
                     "the Lookup Field check box.  The list will remain available for later use, as needed." +
                     "\r" + "You do not need to delete it.)" + "\r\r" +
                     "I am SURE I want to PERMANENTLY delete this list from disc so that it is no longer" + "\r" +
                     "available to anyone.",
                 mtConfirmation, mbYesCancel) != mrYes)
    return false;

  const std::string readFailure = "Unable to update LISTS.USR (deleting or renaming list).\r\r";
  TDynCharArr rec;
  int number = -1;
  try {
    OpenUserListSlot();
    BtrBeginTransaction();
    const bool found = PositionOn(
        [&](std::string_view, const TUserListRecord& r) {
          number = r.Number;
          return Trim(r.Name) == name;
        },
        rec);
    if (!found) {
      BtrAbortTransaction();
      return false;
    }
  } catch (const Exception& e) {
    AbortTransactionQuietly();
    ErrorBox(readFailure + e.Message + "\r\r" + ContactMsg);
    return false;
  }

  // The file first: a record without its file is harmless and a missing
  // file counts as gone, so a list half deleted once deletes at the next try.
  bool deleted = number > 0 && (DeleteFile(UserListPath(number)) || errno == ENOENT);
  if (deleted) {
    try {
      BtrDeleteRecord(UserListFileNo);
    } catch (const Exception&) {
      deleted = false;
    }
  }
  if (!deleted) ErrorBox("Unable to delete list." + ContactMsg);
  try {
    BtrEndTransaction();
  } catch (const Exception& e) {
    AbortTransactionQuietly();
    if (deleted) ErrorBox(readFailure + e.Message + "\r\r" + ContactMsg);
    return false;
  }
  if (!deleted) return false;
  if (AskedByUser) {
    MessageDlg("The list " + name + " has been successfully deleted.", mtInformation, mbOKOnly);
    State.SelUserList = -1;
    State.ListName.clear();
  }
  return true;
}

std::string ExportListCaption(const std::string& ListName) {
  return "Select the folder to which you wish to export '" + ListName + "'.";
}

bool ExportUserList(const TUserListState& State, const std::string& Folder) {
  if (IsDriveRoot(Folder)) {
    ErrorBox("You may not export a list to the root directory of a drive.");
    return false;
  }
  if (SameFolder(Folder, Store.DataDir)) {
    ErrorBox("This is your current data folder.  There is no need to export your list to this location.");
    return false;
  }
  const std::string source = UserListPath(State.SelUserList);
  for (int n = 1; n <= MaxExportNumber && State.SelUserList > 0; ++n) {
    const std::string target = Folder + "\\" + ListFileName(n);
    if (FileExists(target)) continue;
    if (CopyFile(source, target, true)) {
      MessageDlg("Your list has been successfully exported.", mtInformation, mbOKOnly);
      return true;
    }
    // Anything else under the name, or a copy made there meanwhile: the next.
    if (errno != EEXIST) break;
  }
  ErrorBox("Your list could not be exported at this time. " + ContactMsg);
  return false;
}
