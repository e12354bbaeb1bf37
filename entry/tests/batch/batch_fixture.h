// A test in a fresh folder with the batch of workstation "01": the layer,
// the globals and the batch state reset before and after, the files closed
// and checked with mdbtr when it ends.
#pragma once

#include "entry/batch_files.h"
#include "entry/batch_rows.h"
#include "entry/tests/batch/batch_scenario.h"
#include "platform/fault_point.h"
#include "templates/startup_globals.h"
#include "templates/template_state.h"
#include "testing/checked_folder.h"
#include "templates/grid_position.h"
#include "testing/dialog_responder.h"
#include "testing/recorded_dialogs.h"

#include <gtest/gtest.h>

class BatchTest : public CheckedFolderTest {
protected:
  void SetUp() override {
    ResetBtrLayer();
    LockRetryMs = 0;
  }
  void TearDown() override {
    DisarmFaultPoint();
    ResetBtrLayer();
    ResetBatchFileState();
    Store.Reset();
    Startup.Reset();
    CheckedFolderTest::TearDown();
  }

  // An empty batch in the test's folder.
  void UseEmptyBatch() {
    std::filesystem::create_directories(DataFolder(Temp.path()));
    std::filesystem::create_directories(ExportFolder(Temp.path()));
    UseBatchFolder(Temp.path());
    MakeEmptyBatch();
  }
  void UseScenario() {
    BuildBatchScenario(Temp.path());
    ResetBtrLayer();
    UseBatchFolder(Temp.path());
  }

  // The batch as the viewer reads it; the files stay open.
  static std::vector<TBatchRow> Rows() {
    EXPECT_TRUE(OpenBatchFiles());
    return LoadBatchRows();
  }
  static std::vector<std::string> Links(const std::vector<TBatchRow>& rows) {
    std::vector<std::string> links;
    for (const TBatchRow& row : rows) links.push_back(row.Link);
    return links;
  }
  static TBtrPosition ParsedPosition(const std::string& cell) {
    TBtrPosition pos{};
    EXPECT_TRUE(ParseGridPosition(cell, pos)) << cell;
    return pos;
  }
  static TBatchEntry Entry(const std::string& hours, const std::string& description) {
    TBatchEntry entry;
    entry.Client = "ACME";
    entry.CaseSuffix = "12";
    entry.Employee = "JD";
    entry.Hours = hours;
    entry.Date = 47000;
    entry.Description = description;
    return entry;
  }
};
