// Tests over the family files with the real record manager: a fresh
// numbered-file layer, lookup state and buffers per test, and the sample
// office written once per test program into a folder of its own.
#pragma once

#include "btrieve/numbered_files.h"
#include "templates/template_state.h"
#include "templates/validation_files.h"
#include "templates/sample_office.h"
#include "testing/checked_folder.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

// Every record of open file FileNo in physical order (key 0), whole.
inline std::vector<std::string> ReadRecords(uint8_t FileNo) {
  std::vector<std::string> records;
  BtrSetKeyNumber(FileNo, 0);
  TDynCharArr rec(1);
  bool atEnd = false;
  for (BtrGetFirst(FileNo, rec, atEnd, false); !atEnd; BtrGetNext(FileNo, rec, atEnd, false))
    records.emplace_back(rec.begin(), rec.end());
  return records;
}

class FamilyDataTest : public CheckedFolderTest {
protected:
  static void SetUpTestSuite() {
    ResetBtrLayer();
    folder_ = std::make_unique<ScopedTempDir>();
    std::vector<TSampleFileCount> counts;
    std::string msg;
    ASSERT_TRUE(WriteSampleOffice(SampleFolder(), Office(), counts, msg)) << msg;
    ResetBtrLayer();
  }
  static void TearDownTestSuite() {
    ResetBtrLayer();
    CheckRecordFiles(folder_->path());
    folder_.reset();
  }

  void SetUp() override { ResetAll(); }
  void TearDown() override {
    ResetAll();
    CheckedFolderTest::TearDown();
  }

  static void ResetAll() {
    ResetBtrLayer();
    FamilyLookup.Reset();
    ResetValidationBuffers();
    Store.Reset();
  }

  static const TSampleOffice& Office() {
    static const TSampleOffice office = BuildSampleOffice();
    return office;
  }
  static std::string SampleFolder() { return *folder_ / "data"; }

private:
  static inline std::unique_ptr<ScopedTempDir> folder_;
};
