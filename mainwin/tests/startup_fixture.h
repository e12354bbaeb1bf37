// Shared pieces of the start-up tests: a registry file of the test's own,
// the office folder it names, and the Stat of a record-manager file as rows
// a test compares with a table typed from the layout it expects.
#pragma once

#include "btrieve/numbered_files.h"
#include "btrieve/stat_layout.h"
#include "mainwin/template_list.h"
#include "platform/date_format.h"
#include "platform/qt/application.h"
#include "platform/registry.h"
#include "platform/session.h"
#include "platform/spelling.h"
#include "templates/product_dates.h"
#include "templates/startup_globals.h"
#include "templates/template_state.h"
#include "testing/checked_folder.h"
#include "testing/dialog_responder.h"
#include "testing/scoped_env.h"
#include "testing/temp_dir.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <string>
#include <tuple>
#include <vector>

inline const std::string CvwinKey = "\\Software\\Orrin\\Btrieve\\Aliases\\CVWIN";
inline const std::string HostKey = "\\Software\\Ondral\\Corvenstead\\Host";
inline const std::string ProgramKey = "\\Software\\Ondral\\Corvenstead\\Matterdesk";
inline const std::string ContactLine = "\r\rPlease contact Ondral, Inc. for assistance.";

// The folder of the test programs, where the build wrote Desc.clo.
inline const std::string BinDir = ProgramFolder();

inline void PutRegValue(const std::string& key, const std::string& name, const std::string& value) {
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKey(key, true));
  reg.WriteString(name, value);
}

inline std::string GetRegValue(const std::string& key, const std::string& name) {
  TRegistry reg;
  if (!reg.OpenKeyReadOnly(key) || !reg.ValueExists(name)) return "<absent>";
  return reg.ReadString(name);
}

// What a start of the program sets, back as before any start: a test starts
// the program afresh each time, as a new process would.
inline void ResetStartState() {
  ResetTerminated();
  ResetBtrLayer();
  ResetDateConversionFailed();
  ResetFormatSettings();
  Startup.Reset();
  Store.Reset();
  MainFlags.Reset();
  SSCE_SetRegTreeName("");
}

// One key segment as a layout table states it.
struct SegmentRow {
  int Key;
  int Position;
  int Length;
  bool Duplicates;
  bool Modifiable;
  bool AutoIncrement;
  bool operator==(const SegmentRow&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const SegmentRow& r) {
  return out << "{key " << r.Key << " @" << r.Position << "/" << r.Length << (r.Duplicates ? " dup" : "")
             << (r.Modifiable ? " mod" : "") << (r.AutoIncrement ? " autoinc" : "") << "}";
}

struct FileLayout {
  int RecordLength = 0;
  int PageSize = 0;
  int KeyCount = 0;
  int RecordCount = 0;
  std::vector<SegmentRow> Segments;
  bool operator==(const FileLayout&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const FileLayout& l) {
  out << "{length " << l.RecordLength << ", page " << l.PageSize << ", keys " << l.KeyCount << ", records "
      << l.RecordCount << ",";
  for (const SegmentRow& r : l.Segments) out << " " << r;
  return out << "}";
}

// The Stat of the file open as FileNo, as rows. A segment counts as
// string unless its type byte says auto-increment; only the flags a layout
// table states are read.
inline FileLayout LayoutOf(uint8_t FileNo) {
  TWinBtr& e = *FileSlots[FileNo].Engine;
  e.Stat();
  const TFileSpecBuffer& spec = e.FileSpec();
  const TStatLayout stat(spec.data(), spec.size());
  FileLayout layout{stat.RecordLength(), stat.PageSize(), stat.KeyCount(), int(stat.RecordCount()), {}};
  int key = 0;
  for (size_t i = 0; i < stat.SegmentCount(); ++i) {
    const TStatSegment s = stat.Segment(i);
    layout.Segments.push_back({key, s.Position, s.Length, (s.Flags & 1) != 0, (s.Flags & 2) != 0, s.Type == 15});
    if ((s.Flags & 16) == 0) ++key;
  }
  return layout;
}

// Opens Path as FileNo, reads its layout and closes it again.
inline FileLayout LayoutOfFile(const std::string& Path, uint8_t FileNo = 200) {
  BtrOpenFile(FileNo, Path, 0);
  FileLayout layout = LayoutOf(FileNo);
  BtrCloseFile(FileNo);
  return layout;
}

// TRIN as start-up must make it, typed from its key table.
inline const FileLayout ExpectedTrin{127, 4096, 5, 0,
                                     {
                                         {0, 1, 4, false, false, true},
                                         {1, 104, 8, false, false, false},
                                         {2, 40, 4, true, true, false},
                                         {2, 117, 4, true, true, false},
                                         {3, 117, 4, true, true, false},
                                         {3, 40, 4, true, true, false},
                                         {4, 19, 1, true, true, false},
                                         {4, 26, 1, true, true, false},
                                         {4, 40, 4, true, true, false},
                                         {4, 20, 6, true, true, false},
                                     }};

// The empty DESC file: the link (5-12) and the line letter (13) as one
// unique, fixed key.
inline const FileLayout ExpectedDesc{91, 4096, 1, 0, {{0, 5, 9, false, false, false}}};
