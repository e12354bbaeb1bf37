// User lists on the real record manager: the data folder's catalogue made
// with chosen records, list files written as bytes, and both read back.
#pragma once

#include "btrieve/numbered_files.h"
#include "platform/files.h"
#include "platform/text.h"
#include "templates/template_state.h"
#include "templates/user_list_codec.h"
#include "templates/user_list_store.h"
#include "testing/store_files_fixture.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

class UserListTest : public StoreFilesTest {
protected:
  static constexpr uint8_t ProbeFileNo = 9;

  struct Entry {
    int Number;
    std::string Name;
    TListNumberLayout Layout = TListNumberLayout::Left;
  };

  // The data folder's catalogue with these records, in order.
  void MakeCatalogue(const std::vector<Entry>& Entries) { MakeCatalogueIn(Store.DataDir, Entries); }
  static void MakeCatalogueIn(const std::string& Folder, const std::vector<Entry>& Entries) {
    std::string msg;
    ASSERT_TRUE(CreateUserListFile(Folder, msg)) << msg;
    BtrOpenFile(ProbeFileNo, UserListCatalogueName(Folder), 0);
    for (const Entry& e : Entries) BtrInsertRecord(ProbeFileNo, FormatUserListText(e.Number, e.Name, e.Layout));
    BtrCloseFile(ProbeFileNo);
  }

  // The catalogue's record texts (prefix dropped) in key-0 order.
  static std::vector<std::string> CatalogueTexts(const std::string& Folder = Store.DataDir) {
    std::vector<std::string> texts;
    for (const std::string& r : [&] {
           BtrOpenFile(ProbeFileNo, UserListCatalogueName(Folder), 0);
           std::vector<std::string> out = Records(ProbeFileNo, 0);
           BtrCloseFile(ProbeFileNo);
           return out;
         }())
      texts.push_back(r.substr(4));
    return texts;
  }

  std::string ListPath(int Number) const { return Temp / ListFileName(Number); }
  void WriteList(int Number, const std::string& Bytes) const { WriteFileBytes(ListPath(Number), Bytes); }
  std::string ListBytes(int Number) const { return ReadFileBytes(ListPath(Number)); }

  // Every name in the folder with its bytes ("<folder>" for a folder), the
  // catalogue and its companions left out: what a refused or failed change must leave as it was.
  std::map<std::string, std::string> FolderContents() const {
    std::map<std::string, std::string> out;
    for (const FileEntry& e : FindFiles(Store.DataDir + "\\*.*")) {
      // The catalogue and the record manager's companions of it.
      if (AnsiUpperCase(e.Name).starts_with("LISTS.USR")) continue;
      out[e.Name] = (e.Attr & faDirectory) ? "<folder>" : ReadFileBytes(Temp / e.Name);
    }
    return out;
  }
};
