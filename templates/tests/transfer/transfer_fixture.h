// Two offices and an export folder in one temporary folder: office A
// ("A", its templates built through the real save), office B ("B", numbers
// and a name overlapping A's) and the folder sets are written to ("sets").
// Each office is a data root with its data folder "mddata" in it, where a
// program started on that root finds it. Store.DataDir names the office a
// step works in; the layer is reset between offices as a separate
// workstation would start afresh.
#pragma once

#include "btrieve/numbered_files.h"
#include "platform/files.h"
#include "templates/master_file.h"
#include "templates/template_build.h"
#include "templates/template_state.h"
#include "templates/user_list_codec.h"
#include "templates/user_list_store.h"
#include "testing/checked_folder.h"
#include "testing/store_files_fixture.h"
#include "testing/template_fixture.h"

#include <filesystem>
#include <string>
#include <vector>

class TransferTest : public StoreFilesTest {
protected:
  void SetUp() override {
    StoreFilesTest::SetUp();
    for (const char* f : {"A", "B"}) std::filesystem::create_directories(Temp.path() / f / "mddata");
    std::filesystem::create_directory(Temp.path() / "sets");
  }

  // The office's data root and its data folder.
  std::string Root(const char* Name) const { return (Temp.path() / Name).string(); }
  std::string Office(const char* Name) const { return (Temp.path() / Name / "mddata").string(); }
  std::string Sets() const { return (Temp.path() / "sets").string(); }

  void WorkIn(const char* Name) {
    ResetBtrLayer();
    Store.Reset();
    Store.DataDir = Office(Name);
  }

  // Master records "Filler <n>" for numbers First..Last, so that the next
  // template takes Last + 1.
  static void FillNumbers(int First, int Last) {
    BtrOpenFile(MasterFileNo, MasterFileName(), 0);
    BtrBeginTransaction();
    for (int n = First; n <= Last; ++n) InsertMasterRecord(TTemplateNumber(n).Stored(), "Filler " + std::to_string(n));
    BtrEndTransaction();
    BtrCloseFile(MasterFileNo);
  }

  // A user list file with a header and two items.
  static void WriteList(int Number, const std::string& Name) {
    WriteUserListFile(Number, {"Alpha", "Beta", ListHeaderLine(Name)});
  }

  // "Clients" (C 6) with one index; its number.
  static void BuildClients(const std::string& Name = "Clients") {
    TTemplateTableBuilder t;
    t.Add("Code", 'C', 6);
    t.Index(1, {1}, true, "By code");
    ASSERT_TRUE(BuildTemplateDataFile(Name));
  }

  // "Matters": Code, an "M" lookup on template Sub (twice), a self-lookup
  // on Self, and two "U" lookups on list List.
  static void BuildMatters(int Sub, int Self, int List, const std::string& Name = "Matters") {
    TTemplateTableBuilder t;
    t.Add("Code", 'C', 6);
    for (const char* f : {"Client", "Client 2"}) AddTemplateLookup(t, f, Sub);
    AddTemplateLookup(t, "Parent", Self);
    for (const char* f : {"Kind", "Kind 2"}) {
      TFld& u = t.Add(f, 'C', 10);
      u.IsLookup = true;
      u.LkpKind = "U";
      u.LkpTarget = ListFileName(List);
      u.LkpSpec = "1";
    }
    t.Index(1, {1}, true, "By code");
    ASSERT_TRUE(BuildTemplateDataFile(Name));
  }

  // Office A: numbers 0..99 taken, Clients 100 with two records, list 4
  // "Kinds" (Alpha, Beta), and
  // Matters 101 looking up Clients twice, itself once and list 4 twice,
  // with two records.
  void MakeOfficeA() {
    WorkIn("A");
    CreateMaster();
    FillNumbers(0, 99);
    BuildClients();
    InsertRecords(DataFileName(TTemplateNumber(100)),
                  {WithPrefix(0, FillRecord({{1, "ALPHA"}})), WithPrefix(0, FillRecord({{1, "BRAVO"}}))});
    WriteList(4, "Kinds");
    BuildMatters(100, 101, 4);
    InsertRecords(DataFileName(TTemplateNumber(101)),
                  {WithPrefix(0, FillRecord({{1, "M1"}, {2, "C1"}})), WithPrefix(0, FillRecord({{1, "M2"}, {5, "Alpha"}}))});
  }

  // The names in a folder, sorted; the record manager's lock sidecars and
  // the save lock file ("*.lck") come and go with opens and are left out.
  static std::vector<std::string> FolderNames(const std::string& Folder) {
    std::vector<std::string> names;
    for (const FileEntry& e : FindFiles(Folder + "\\*"))
      if (!e.Name.ends_with(".lck")) names.push_back(e.Name);
    return names;
  }

  // What an office holds: its file names, and its master and catalogue as
  // mdbtr dumps them.
  std::string Snapshot(const char* Name) {
    ResetBtrLayer();
    std::string all;
    for (const std::string& n : FolderNames(Office(Name))) all += n + "\n";
    for (const char* f : {"master.dsc", "LISTS.USR"}) {
      const std::string path = Office(Name) + "/" + f;
      if (FileExists(path)) all += RunMdbtr({"dump", ResolvePath(path)}).Out;
    }
    return all;
  }
};
