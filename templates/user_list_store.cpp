#include "templates/user_list_store.h"

#include "btrieve/create_file.h"
#include "btrieve/numbered_files.h"
#include "platform/dialogs.h"
#include "platform/files.h"
#include "platform/folder_file.h"
#include "platform/text.h"
#include "templates/busy_creation.h"
#include "templates/store_constants.h"
#include "templates/template_state.h"

#include <fcntl.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace {

constexpr size_t CreateMsgLength = 255;
// A list file larger than this is no list of this system's.
constexpr size_t MaxListFileSize = 16 << 20;
constexpr int MaxListNumber = 99999999;

void ErrorBox(const std::string& Text) { MessageDlg(Text, mtError, mbOKOnly); }

std::string ErrnoText(int Error) { return std::strerror(Error); }

}  // namespace

std::string UserListCatalogueName(const std::string& Folder) { return Folder + "\\Lists.usr"; }

std::string UserListPath(int Number) { return Store.DataDir + "\\" + ListFileName(Number); }

bool CreateUserListFile(const std::string& Folder, std::string& Msg) {
  const std::string name = UserListCatalogueName(Folder);
  const TMaking made = MakeUnlessMadeMeanwhile(name, [&] {
    return CreationAttempt(BtrCreateFile(name, UserListRecordLength, int8_t(UserListKeySegments.size()), Msg,
                                         CreateMsgLength, true, UserListKeySegments),
                           Msg);
  });
  return made != TMaking::Failed;
}

void OpenUserListSlot() {
  if (!BtrIsFileOpen(UserListFileNo)) BtrOpenFile(UserListFileNo, UserListCatalogueName(Store.DataDir), 0);
}

bool OpenUserListFile(const TUserListState& State) {
  if (!FileExists(UserListCatalogueName(Store.DataDir))) {
    if (State.SelUserList != -1) {
      ErrorBox("The file LISTS.USR could not be found.  You will not be able to edit your user list at this time." +
               ContactMsg);
      return false;
    }
    std::string msg;
    if (!CreateUserListFile(Store.DataDir, msg)) {
      ErrorBox("Unable to create a necessary file:  LISTS.USR.\r\rError:  " + msg + "\r\r" +
               "You will not be able to access the user list module at this time." + ContactMsg);
      return false;
    }
  }
  try {
    OpenUserListSlot();
  } catch (const Exception& e) {
    ErrorBox("Unable to read from user list file (LISTS.USR).\r\r" + e.Message + "\r\r" +
             "You will not be able to access the user list module at this time.");
    return false;
  }
  return true;
}

std::vector<TUserListRecord> ReadUserListCatalogue(uint8_t FileNo) {
  std::vector<TUserListRecord> records;
  BtrSetKeyNumber(FileNo, 0);
  TDynCharArr rec(UserListRecordLength);
  bool atEnd = false;
  for (BtrGetFirst(FileNo, rec, atEnd, false); !atEnd; BtrGetNext(FileNo, rec, atEnd, false))
    records.push_back(ParseUserListRecord(std::string_view(reinterpret_cast<const char*>(rec.data()), rec.size())));
  return records;
}

int HighestListNumber(const std::vector<TUserListRecord>& Records) {
  int highest = 0;
  for (const TUserListRecord& r : Records) highest = std::max(highest, r.Number);
  return highest;
}

std::optional<TUserListRecord> ListNamed(const std::vector<TUserListRecord>& Records, const std::string& Name) {
  const std::string name = Trim(Name);
  for (const TUserListRecord& r : Records)
    if (Trim(r.Name) == name) return r;
  return std::nullopt;
}

bool LoadUserListNames(const TUserListState& State, std::vector<std::string>& Names, std::string& Selected) {
  Names.clear();
  Selected.clear();
  try {
    OpenUserListSlot();
    for (const TUserListRecord& r : ReadUserListCatalogue(UserListFileNo)) {
      Names.push_back(Trim(r.Name));
      if (r.Number == State.SelUserList && State.SelUserList != -1) Selected = Names.back();
    }
  } catch (const Exception& e) {
    ErrorBox("Unable to read from user list file (LISTS.USR).\r\r" + e.Message + "\r\r" +
             "You will not be able to access the user list module at this time.");
    return false;
  }
  return true;
}

bool FindUserListNumber(const std::string& Name, int& Number) {
  Number = -1;
  try {
    OpenUserListSlot();
    if (const auto found = ListNamed(ReadUserListCatalogue(UserListFileNo), Name)) Number = found->Number;
  } catch (const Exception& e) {
    ErrorBox("Unable to read existing lists from LISTS.USR.\r\r" + e.Message);
    return false;
  }
  return true;
}

bool ReadWholeListFile(int Number, std::string& Bytes) {
  return ReadFolderFile(ResolvePath(UserListPath(Number)), MaxListFileSize, Bytes);
}

bool ReadUserListItems(int Number, std::vector<std::string>& Items) {
  std::string bytes;
  if (!ReadWholeListFile(Number, bytes)) {
    ErrorBox("An error was encountered while attempting to read a list from file.\r\r" + ErrnoText(errno));
    return false;
  }
  Items = ListItems(SplitListLines(bytes));
  return true;
}

int ReserveListNumber(int Highest) {
  for (int n = std::max(Highest, 0) + 1; n <= MaxListNumber; ++n) {
    const std::string path = ResolvePath(UserListPath(n));
    TFolderFile made = TFolderFile::Open(path, O_WRONLY, TCreate::Only);
    if (made.IsOpen()) {
      if (made.Close()) return n;
      const int error = errno;
      DeleteFile(path);
      throw EInOutError("The list file " + ListFileName(n) + " could not be made: " + ErrnoText(error));
    }
    // Taken, by a file or by anything else standing under the name.
    if (errno != EEXIST)
      throw EInOutError("The list file " + ListFileName(n) + " could not be made: " + ErrnoText(errno));
  }
  throw EInOutError("No list number is free.");
}

void WriteUserListFile(int Number, const std::vector<std::string>& Lines) {
  if (!ReplaceFileBytes(UserListPath(Number), JoinListLines(Lines)))
    throw EInOutError("The list file " + ListFileName(Number) + " could not be written: " + ErrnoText(errno));
}

int CatalogueNewList(uint8_t FileNo, int Highest, const std::string& Name, TListNumberLayout Layout,
                     const std::vector<std::string>& Lines) {
  const int number = ReserveListNumber(Highest);
  try {
    WriteUserListFile(number, Lines);
    BtrInsertRecord(FileNo, FormatUserListText(number, Name, Layout));
  } catch (...) {
    DeleteFile(UserListPath(number));
    throw;
  }
  return number;
}

void UncatalogueLists(uint8_t FileNo, const std::vector<int>& Numbers) {
  BtrSetKeyNumber(FileNo, 0);
  TDynCharArr rec(UserListRecordLength);
  bool atEnd = false;
  std::vector<TBtrPosition> found;
  for (BtrGetFirst(FileNo, rec, atEnd, false); !atEnd; BtrGetNext(FileNo, rec, atEnd, false)) {
    const int number = ParseUserListRecord(std::string_view(reinterpret_cast<const char*>(rec.data()), rec.size())).Number;
    if (std::find(Numbers.begin(), Numbers.end(), number) != Numbers.end()) found.push_back(BtrSavePosition(FileNo, rec));
  }
  for (const TBtrPosition& position : found) {
    BtrGetDirect(FileNo, rec, position);
    BtrDeleteRecord(FileNo);
  }
  for (int number : Numbers) DeleteFile(UserListPath(number));
}
