// User lists and lookup targets on the real record manager.
//
//   list/store    a 500-item two-column list of the data folder loaded from
//                 its file, its rows sorted for a save and saved under its
//                 own name (catalogue read, file replaced and flushed)
//   list/plain    the same bytes read with plain file calls, split into
//                 lines, sorted once with AnsiCompareText, joined and written
//                 back in place with plain file calls and one flush
//   list/atomic   the same, written as a new file flushed and renamed over
//                 the old one, as the store writes it
//   target/read   the master of 999 templates walked in key-1 order, then
//                 a 50-field target with 5 indexes read for a lookup
//                 (ReadTemplateTarget: save lock, recovery check, open,
//                 records parsed, fields and indexes built, close)
//   target/walk   the same two files walked through the numbered-file layer
//                 alone: the master, then the descriptor opened, every
//                 record read, closed
//   dsc/read, dsc/walk   the descriptor's share of the two above
//   form/target   the lookup form's share: its template list filled from
//                 the master (names, "%3s" numbers, the edited lookup's
//                 template found) and that template's fields shown as tiles
//                 with its index entries (LoadTemplateList and
//                 ListBoxTablesClick), against target/walk
//
// The table at the end gives the means and the ratios store : plain (and
// : atomic) and read : walk.
#include "bench/bench_support.h"
#include "designer/qt/lookup_form.h"
#include "btrieve/create_file.h"
#include "btrieve/numbered_files.h"
#include "platform/text.h"
#include "templates/descriptor_codec.h"
#include "templates/master_codec.h"
#include "templates/master_file.h"
#include "templates/template_state.h"
#include "templates/template_target.h"
#include "templates/user_list_codec.h"
#include "templates/user_list_edit.h"
#include "templates/user_list_sort.h"
#include "templates/user_list_store.h"
#include "testing/template_fixture.h"

#include <QApplication>
#include <QListWidget>
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr int ListItems = 500;
constexpr int ListNumber = 1;
constexpr int TargetNo = 7;
constexpr int Templates = 999;

using bench::Check;
using bench::Timed;

fs::path Root() { return bench::Root("lookup_lists_bench"); }

// A list of 500 items in no order, each column 1 distinct.
std::vector<std::string> ListItemsInNoOrder() {
  std::vector<std::string> items;
  for (int i = 0; i < ListItems; ++i) {
    const int k = (i * 7919) % ListItems;
    items.push_back("Entry " + std::string(1, char('A' + k % 26)) + std::to_string(k) + ListSep +
                    "Description of entry number " + std::to_string(k));
  }
  return items;
}

void MakeList() {
  std::string msg;
  Check(CreateUserListFile(Store.DataDir, msg), "catalogue: " + msg);
  OpenUserListSlot();
  BtrInsertRecord(UserListFileNo, FormatUserListText(ListNumber, "Bench list", TListNumberLayout::Left));
  WriteUserListFile(ListNumber, SavedListLines(ListItemsInNoOrder(), "Bench list"));
}

void ListStore(benchmark::State& state) {
  TUserListState list;
  list.SelUserList = ListNumber;
  list.ListName = "Bench list";
  list.SingleColumn = false;
  Timed(state, "list/store", [&] {
    std::vector<std::string> items;
    Check(ReadUserListItems(ListNumber, items), "read list");
    std::vector<TListRow> rows;
    for (const std::string& item : items) {
      const TListItemColumns c = SplitListItem(item);
      rows.push_back({c.Col1, c.Col2});
    }
    const TListSort sort = SortUserListRows(rows, false, true, 40);
    Check(sort.Result == TListSortResult::Sorted && sort.Items.size() == size_t(ListItems), "sort");
    Check(SaveUserList(list, "Bench list", sort.Items) == TListSaveResult::Saved, "save");
  });
}

// Plain file calls: read, split, one sort, join, write back. In place
// (truncate and write) or, as the store does, through a new file moved
// over the old one, so a crash never leaves half a list.
void PlainRoundTrip(benchmark::State& state, bool atomic) {
  const std::string path = (Root() / "data" / ListFileName(ListNumber)).string();
  const std::string temp = path + ".new";
  Timed(state, atomic ? "list/atomic" : "list/plain", [&] {
    std::string bytes;
    const int in = open(path.c_str(), O_RDONLY);
    char buffer[65536];
    for (ssize_t n; (n = read(in, buffer, sizeof buffer)) > 0;) bytes.append(buffer, size_t(n));
    close(in);
    std::vector<std::string> lines;
    for (size_t at = 0; at < bytes.size();) {
      size_t end = bytes.find("\r\n", at);
      if (end == std::string::npos) end = bytes.size();
      lines.push_back(bytes.substr(at, end - at));
      at = end + 2;
    }
    const std::string header = lines.back();
    lines.pop_back();
    std::sort(lines.begin(), lines.end(),
              [](const std::string& a, const std::string& b) { return AnsiCompareText(a, b) < 0; });
    std::string out;
    for (const std::string& line : lines) out += line + "\r\n";
    out += header + "\r\n";
    const int o = atomic ? open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644) : open(path.c_str(), O_WRONLY | O_TRUNC);
    Check(write(o, out.data(), out.size()) == ssize_t(out.size()), "plain write");
    fsync(o);
    close(o);
    if (atomic) Check(rename(temp.c_str(), path.c_str()) == 0, "plain rename");
  });
}
void ListPlain(benchmark::State& state) { PlainRoundTrip(state, false); }
void ListAtomic(benchmark::State& state) { PlainRoundTrip(state, true); }

// The master with 0..998 and template 7's descriptor of 50 fields, 5 indexes.
void MakeTemplates() {
  bench::MakeMaster(Templates);
  TTemplateTableBuilder table;
  for (int k = 1; k <= MaxFields; ++k)
    table.Add("Field number " + std::to_string(k), 'C', 10 + k % 20).RightJustify = k % 4 == 2;
  for (int i = 1; i <= MaxIndexes; ++i) table.Index(i, {i * 4, i * 4 + 1}, i % 2 == 1, "Index " + std::to_string(i));
  std::vector<std::string> texts;
  for (int k = 1; k <= MaxFields; ++k) texts.push_back(FormatFieldRecord(Store.FldTable[k], Store.FldTable[k].Offset));
  for (int i = 1; i <= MaxIndexes; ++i) {
    TIndexRecord index;
    index.Number = i;
    index.Name = Store.IndexNamesToWrite[i];
    for (int s = 1; s <= MaxSortFields; ++s) index.SortFlds[s] = Store.IndexRecs.SortFld(i, s);
    index.Unique = Store.IndexUnique[i];
    texts.push_back(FormatIndexRecord(index));
  }
  bench::MakeDescriptor(TargetNo, texts);
}

// The master in key-1 order into names and "%3s" numbers, as the template
// list of a lookup fills them.
void WalkMaster() {
  std::string numbers;
  std::vector<std::string> names;
  BtrOpenFile(MasterFileNo, MasterFileName(), 0);
  BtrSetKeyNumber(MasterFileNo, 1);
  TDynCharArr rec(MasterRecordLength);
  bool atEnd = false;
  for (BtrGetFirst(MasterFileNo, rec, atEnd, false); !atEnd; BtrGetNext(MasterFileNo, rec, atEnd, false)) {
    names.emplace_back(reinterpret_cast<const char*>(rec.data()) + 4, 30);
    numbers.append(reinterpret_cast<const char*>(rec.data()) + 34, 3);
  }
  BtrCloseFile(MasterFileNo);
  Check(names.size() == size_t(Templates), "master walk");
}

void ReadTarget() {
  TTemplateTarget target;
  Check(ReadTemplateTarget(TTemplateNumber(TargetNo), "Template 7", false, target) == TTargetRead::Read, "target");
  Check(target.Fields.size() == size_t(MaxFields), "target fields");
}

void WalkDescriptor() {
  BtrOpenFile(TargetDescriptorFileNo, DescriptorFileName(TTemplateNumber(TargetNo)), 0);
  BtrSetKeyNumber(TargetDescriptorFileNo, 1);
  TDynCharArr rec(DscRecordLength);
  bool atEnd = false;
  int records = 0;
  for (BtrGetFirst(TargetDescriptorFileNo, rec, atEnd, false); !atEnd;
       BtrGetNext(TargetDescriptorFileNo, rec, atEnd, false))
    ++records;
  BtrCloseFile(TargetDescriptorFileNo);
  Check(records == MaxFields + MaxIndexes, "descriptor walk");
}

void TargetRead(benchmark::State& state) {
  Timed(state, "target/read", [] {
    WalkMaster();
    ReadTarget();
  });
}
void TargetWalk(benchmark::State& state) {
  Timed(state, "target/walk", [] {
    WalkMaster();
    WalkDescriptor();
  });
}
// The form editing an M lookup on template 7: the list finds its entry,
// the click shows its 50 fields and 5 indexes and restores the lookup.
void FormTarget(benchmark::State& state) {
  TLKUPF form;
  TFld edited;
  edited.IsLookup = true;
  edited.LkpKind = "M";
  edited.LkpTarget = "MNGR007.DSC";
  edited.LkpSpec = "1  4";
  form.HandOver.ListedFields = {edited};
  form.HandOver.EditedField = 0;
  form.HandOver.Adding = false;
  Timed(state, "form/target", [&] {
    form.LoadTemplateList();
    form.ListBoxTablesClick();
  });
  Check(form.ListBoxTables->count() == Templates && form.MFlds.size() == size_t(MaxFields) &&
            form.ListBoxDropdown->count() == 1,
        "form target");
}

void DscRead(benchmark::State& state) { Timed(state, "dsc/read", ReadTarget); }
void DscWalk(benchmark::State& state) { Timed(state, "dsc/walk", WalkDescriptor); }

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  int qtArgc = 1;
  QApplication app(qtArgc, argv);
  using TBench = void (*)(benchmark::State&);
  const std::pair<const char*, TBench> benches[] = {{"list/store", ListStore},   {"list/plain", ListPlain},
                                                    {"list/atomic", ListAtomic},
                                                    {"target/read", TargetRead}, {"target/walk", TargetWalk},
                                                    {"dsc/read", DscRead},       {"dsc/walk", DscWalk},
                                                    {"form/target", FormTarget}};
  for (const auto& [name, fn] : benches)
    benchmark::RegisterBenchmark(name, fn)->Unit(benchmark::kMillisecond)->UseRealTime();
  benchmark::Initialize(&argc, argv);
  return bench::Run("lookup_lists_bench", [&] {
    const fs::path data = Root() / "data";
    fs::create_directories(data);
    Store.DataDir = data.string();
    MakeList();
    MakeTemplates();
    benchmark::RunSpecifiedBenchmarks();
    auto& means = bench::MeanMs();
    std::printf("\n%-14s %12s\n", "workload", "mean ms");
    for (const auto& [name, ms] : means) std::printf("%-14s %12.4f\n", name.c_str(), ms);
    auto ratio = [&](const char* a, const char* b) {
      if (means[b] > 0) std::printf("%s : %s = %.3fx\n", a, b, means[a] / means[b]);
    };
    ratio("list/store", "list/plain");
    ratio("list/store", "list/atomic");
    ratio("target/read", "target/walk");
    ratio("dsc/read", "dsc/walk");
    ratio("form/target", "target/walk");
  });
}
