// The numbered-file layer over the recording fake engine: a fixture that
// starts each test with a fresh layer and fake, opens files through the
// layer, and reads back the calls made since a mark.
#pragma once

#include "btrieve/binding.h"
#include "btrieve/numbered_files.h"
#include "btrieve/tests/expect_btr_abort.h"
#include "btrieve/tests/fake_call_log.h"
#include "btrieve/tests/fake_engine.h"
#include "btrieve/tests/stat_answer.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

inline FakeAnswer Returns(const std::string& data) {
  FakeAnswer a;
  a.Data = data;
  return a;
}

inline FakeAnswer Fails(int16_t status) {
  FakeAnswer a;
  a.Status = status;
  return a;
}

class FakeLayerTest : public ::testing::Test, public FakeCallMark {
protected:
  static constexpr uint16_t RecLen = 40;
  static inline const std::string FileName = "C:\\DATA\\CLIENTS.DAT";

  void SetUp() override {
    FakeEngine::Reset();
    ResetBtrLayer();
    SetBtrLibraryName("btrfake.dll");
  }
  void TearDown() override {
    ResetBtrLayer();
    while (BtrieveDllLoaded()) UnloadBtrieveDll();
  }

  // Key 0 the prefix, key 1 in two segments; 7 records.
  static std::string TwoKeys() { return StatAnswer(RecLen, 2, {{1, 4, 256, 15}, {5, 6, 16 | 3}, {11, 4, 3}}, 7); }

  // The position block the fake hands to the open of name.
  static std::string BlockOf(const std::string& name) {
    std::string block = "BLOCK " + name;
    block.resize(128, '\0');
    return block;
  }

  // Opens FileNo through the layer: the open and the two Stats it makes.
  void Open(uint8_t fileNo, const std::string& name = FileName) {
    FakeAnswer opened;
    opened.PosBlock = BlockOf(name);
    FakeEngine::Answer(opened);
    FakeEngine::Answer(Returns(TwoKeys()));
    FakeEngine::Answer(Returns(TwoKeys()));
    BtrOpenFile(fileNo, name, 0);
    ASSERT_TRUE(BtrIsFileOpen(fileNo));
    Mark();
  }
};
