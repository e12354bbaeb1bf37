#include "templates/user_list_import.h"

#include "btrieve/numbered_files.h"
#include "platform/dialogs.h"
#include "platform/files.h"
#include "platform/folder_file.h"
#include "platform/paths.h"
#include "platform/text.h"
#include "templates/file_slot_guards.h"
#include "templates/store_constants.h"
#include "templates/template_state.h"
#include "templates/user_list_store.h"

#include <array>
#include <cerrno>
#include <cstring>
#include <vector>

namespace {

constexpr size_t MaxImportSize = 16 << 20;
constexpr int8_t ExclusiveMode = -4;
constexpr int KeptNameLength = 19;

void ErrorBox(const std::string& Text) { MessageDlg(Text, mtError, mbOKOnly); }

bool HasFolderPart(const std::string& FileName) {
  return FileName.find_first_of("\\/:") != std::string::npos || FileName == "." || FileName == "..";
}

void ReportMissing(const std::string& FileName, bool ForTemplateImport) {
  if (ForTemplateImport)
    ErrorBox("A user list (" + FileName + ") needed by an imported template could not be found." + "\r\r" +
             "Corvenstead will proceed with the template import operation, " +
             "but you will need to import this list using the Matterdesk List Import/Export " +
             "functions, before your list lookup will function properly." + ContactMsg);
  else
    ErrorBox("The list to be imported (" + FileName + ") could not be found." + ContactMsg);
}

// Whether a name occurs anywhere in the joined names.
bool Taken(const std::string& Name, const std::string& Joined) { return Pos(Name, Joined) > 0; }

std::string FreeName(const std::string& Name, const std::string& Joined) {
  const std::string kept = TrimRight(Copy(Name, 1, KeptNameLength));
  for (char digit = '2'; digit <= '9'; ++digit)
    if (!Taken(kept + digit, Joined)) return kept + digit;
  for (const char* symbols : {"***", "###", "~~~", "@@@"})
    if (!Taken(symbols, Joined)) return symbols;
  return "*@~%*^";
}

}  // namespace

std::optional<TImportedList> ImportUserList(const std::string& Folder, const std::string& FileName,
                                            bool ForTemplateImport) {
  const std::string source = Folder + "\\" + FileName;
  if (HasFolderPart(FileName) || (ForTemplateImport && !ListFileNumber(FileName)) || !FileExists(source)) {
    ReportMissing(FileName, ForTemplateImport);
    return std::nullopt;
  }
  std::string bytes;
  if (!ReadFolderFile(ResolvePath(source), MaxImportSize, bytes)) {
    ErrorBox("An error was encountered while attempting to read a list from file.\r\r" + std::string(std::strerror(errno)));
    return std::nullopt;
  }
  std::vector<std::string> lines = SplitListLines(bytes);
  std::string name = "Unnamed";
  int header = -1;
  for (size_t i = 0; i < lines.size() && header < 0; ++i) {
    if (!IsListHeader(lines[i])) continue;
    header = int(i);
    name = ListHeaderName(lines[i]);
  }

  // A caller importing several lists may hold the catalogue open already.
  const bool wasOpen = BtrIsFileOpen(ListImportFileNo);
  const TSlotCloser closer(ListImportFileNo, !wasOpen);
  std::vector<TUserListRecord> records;
  try {
    std::string msg;
    if (!CreateUserListFile(Store.DataDir, msg)) throw EInOutError(msg);
    if (!wasOpen) BtrOpenFile(ListImportFileNo, UserListCatalogueName(Store.DataDir), ExclusiveMode);
    records = ReadUserListCatalogue(ListImportFileNo);
  } catch (const Exception& e) {
    ErrorBox("Unable to open user list file (LISTS.USR).\r\r" + e.Message + "\r\r" +
             "You will not be able to import the list " + name + " at this time.");
    return std::nullopt;
  }

  std::string joined;
  for (const TUserListRecord& r : records) joined += TrimRight(r.Name) + "^~";
  if (Taken(name, joined)) {
    const std::string renamed = FreeName(name, joined);
    MessageDlg(name + " is already used as a list name in this database.  " + "Your list has been renamed to " +
                   renamed + "." + "\r\r" +
                   "If you wish, you may edit any and all list names after your import operation has completed." +
                   ContactMsg,
               mtInformation, mbOKOnly);
    name = renamed;
    if (header >= 0)
      lines[size_t(header)] = RenamedListHeader(lines[size_t(header)], name);
    else
      lines.push_back(ListHeaderLine(name));
  }

  TImportedList imported;
  imported.Name = name;
  try {
    imported.Number =
        CatalogueNewList(ListImportFileNo, HighestListNumber(records), name, TListNumberLayout::Right, lines);
  } catch (const Exception& e) {
    ErrorBox("The list " + name + " could not be imported.\r\r" + e.Message + ContactMsg);
    return std::nullopt;
  }
  if (ForTemplateImport)
    MessageDlg("The list " + name + " has been successfully imported." + "\r\r" +
                   "Select it from the drop down list to view it.",
               mtInformation, mbOKOnly);
  return imported;
}
