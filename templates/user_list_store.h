// The user lists of the data folder (Store.DataDir) on disk: the catalogue
// LISTS.USR and the list files beside it (templates/user_list_codec.h), as
// the lookup form, the entry screen and the template import reach them.
// Failures the user must hear of are shown here with the system's texts,
// through the dialog seam; the functions then answer false (or nothing).
#pragma once

#include "templates/user_list_codec.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// File numbers: the catalogue while the lookup form uses it, during an
// import, and another folder's catalogue while the import dialog browses.
constexpr uint8_t UserListFileNo = 3;
constexpr uint8_t ListImportFileNo = 251;
constexpr uint8_t BrowsedListsFileNo = 66;

// Folder + "\Lists.usr".
std::string UserListCatalogueName(const std::string& Folder);
// Store.DataDir + "\" + "<n>.lst".
std::string UserListPath(int Number);

// Makes an empty catalogue in Folder unless one is there. One made by
// another workstation meanwhile counts as made. False with the reason in Msg.
bool CreateUserListFile(const std::string& Folder, std::string& Msg);

// The lookup form's state of the list in its grid.
struct TUserListState {
  int SelUserList = -1;      // number of the list in the grid, -1 none
  std::string ListName;      // name of the list loaded, empty for a new one
  bool SingleColumn = true;
  int ListCol2Width = 0;     // longest second column after a save
  int Width = 0;             // the field's width, handed over and back
};

// Makes sure the data folder's catalogue exists (made when missing and no
// list is in the grid yet) and is open as UserListFileNo. False after the
// message; the form then closes.
bool OpenUserListFile(const TUserListState& State);

// Opens the data folder's catalogue as UserListFileNo unless it is open.
// Raises EBtrAbort.
void OpenUserListSlot();

// Every record of the catalogue open as FileNo, in the order of key 0.
// Raises EBtrAbort.
std::vector<TUserListRecord> ReadUserListCatalogue(uint8_t FileNo);
// The highest number the records name, 0 for none.
int HighestListNumber(const std::vector<TUserListRecord>& Records);
// The record whose trimmed name is the trimmed Name, or nothing.
std::optional<TUserListRecord> ListNamed(const std::vector<TUserListRecord>& Records, const std::string& Name);

// The trimmed names of the catalogue (UserListFileNo, opened when needed)
// and the one of SelUserList ("" for none). False after the message.
bool LoadUserListNames(const TUserListState& State, std::vector<std::string>& Names, std::string& Selected);
// The number of the list of that name, -1 when there is none. False after
// the message.
bool FindUserListNumber(const std::string& Name, int& Number);
// The items of list Number, from its file. False after the message.
bool ReadUserListItems(int Number, std::vector<std::string>& Items);
// The bytes of list Number's file; false, errno set, when it cannot be read.
bool ReadWholeListFile(int Number, std::string& Bytes);

// Takes the number of a new list: the first n above Highest whose file does
// not exist, made empty there and then, exclusively, so that a number
// another workstation takes at the same moment is passed over. Raises
// EInOutError when no file can be made.
int ReserveListNumber(int Highest);
// The lines as the whole file of list Number, CR LF after each, replacing
// it in one step. Raises EInOutError.
void WriteUserListFile(int Number, const std::vector<std::string>& Lines);
// A new list catalogued: its number reserved above Highest, Lines written
// as its file, the record (Layout, Name) inserted through FileNo. Returns
// the number. A failure removes the file again and raises: EInOutError for
// the file, EBtrAbort or EUserListError for the record.
int CatalogueNewList(uint8_t FileNo, int Highest, const std::string& Name, TListNumberLayout Layout,
                     const std::vector<std::string>& Lines);
// Takes lists out again that an unfinished operation catalogued: every
// record naming one of Numbers deleted through FileNo, then their files.
// Raises EBtrAbort; files already gone are no failure.
void UncatalogueLists(uint8_t FileNo, const std::vector<int>& Numbers);
