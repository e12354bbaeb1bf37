// The template store's files on the real record manager: a fresh data
// folder per test (Store.DataDir), the numbered-file layer and the store
// reset before and after, and helpers that make and read master files and
// descriptors through the layer.
#pragma once

#include "btrieve/create_file.h"
#include "btrieve/numbered_files.h"
#include "templates/master_codec.h"
#include "templates/master_file.h"
#include "templates/template_state.h"
#include "testing/checked_folder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

class StoreFilesTest : public CheckedFolderTest {
protected:
  void SetUp() override {
    ResetBtrLayer();
    Store.Reset();
    Store.DataDir = Temp.path().string();
  }
  void TearDown() override {
    ResetBtrLayer();
    Store.Reset();
    CheckedFolderTest::TearDown();
  }

  // An empty master file.
  static void CreateMaster() {
    std::string msg;
    ASSERT_TRUE(BtrCreateFile(MasterFileName(), MasterRecordLength, int8_t(MasterKeySegments.size()), msg, 255, true,
                              MasterKeySegments))
        << msg;
  }

  // The master file with a record "Template <n>" for each value, written in
  // one transaction; file 1 is closed again.
  static void CreateMasterWith(const std::vector<int>& values) {
    CreateMaster();
    BtrOpenFile(MasterFileNo, MasterFileName(), 0);
    BtrBeginTransaction();
    for (int v : values) InsertMasterRecord(TTemplateNumber(v).Stored(), "Template " + std::to_string(v));
    BtrEndTransaction();
    BtrCloseFile(MasterFileNo);
  }

  // Every record of an open file in the order of key KeyNo, as read.
  static std::vector<std::string> Records(uint8_t fileNo, int8_t keyNo) {
    std::vector<std::string> out;
    BtrSetKeyNumber(fileNo, keyNo);
    TDynCharArr rec(1);
    bool atEnd = false;
    for (BtrGetFirst(fileNo, rec, atEnd, false); !atEnd; BtrGetNext(fileNo, rec, atEnd, false))
      out.emplace_back(rec.begin(), rec.end());
    return out;
  }

  // The texts (prefix dropped) of a file's records in key-1 order, opened
  // as FileNo and closed again.
  static std::vector<std::string> TextsOfFile(const std::string& name, uint8_t fileNo = 9) {
    BtrOpenFile(fileNo, name, 0);
    std::vector<std::string> texts;
    for (const std::string& r : Records(fileNo, 1)) texts.push_back(r.substr(4));
    BtrCloseFile(fileNo);
    return texts;
  }
};
