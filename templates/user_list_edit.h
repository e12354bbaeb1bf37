// What the lookup form does to a whole user list of the data folder: save
// it under a name (new, renamed or its own), delete it, export a copy. The
// Part's questions, refusals and failures are shown here through the dialog
// seam; the form reloads its grid and names from the state afterwards.
#pragma once

#include "templates/user_list_store.h"

#include <string>
#include <vector>

enum class TListSaveResult {
  Saved,    // State names the list saved
  Refused,  // the name belongs to another list; nothing written
  Failed,   // after the failure's message; files and catalogue as they were
};

// Saves Items (in order, as the sort left them) under the trimmed Name
// (REQUIRES: not blank, at most 20 bytes), through UserListFileNo:
// - a name no list has: a loaded list (ListName set, its file there) is
//   renamed: its record and header take the new name and its file keeps
//   its number, so every field using it keeps it. Otherwise a new list gets
//   the first free number above the highest catalogued one.
// - the name of the list loaded: its file is rewritten under its number.
// - the name of another list (also for a new list): refused.
// The file gets the header line unless an item begins with its marker.
TListSaveResult SaveUserList(TUserListState& State, const std::string& Name, const std::vector<std::string>& Items);

// Deletes the list named Name (trimmed): the file first, then, only when
// it is gone, its record, in one transaction. AskedByUser asks first and
// reports the deletion, and clears State's list; without it (the form's
// own use) nothing is asked or reported. True when the list was deleted.
bool DeleteUserList(TUserListState& State, const std::string& Name, bool AskedByUser);

// The browser's prompt for an export of the list ListName.
std::string ExportListCaption(const std::string& ListName);
// Copies list State.SelUserList into Folder as the first "<n>.lst" (n from
// 1 to 9999) that is free there, never over a file. A drive root and the
// data folder itself are refused. True when copied.
bool ExportUserList(const TUserListState& State, const std::string& Folder);
