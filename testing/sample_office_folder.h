// The sample office written once per test program into a folder of its own
// that lives until the program ends: screens under test whose lookups read
// the family files point Store.DataRoot at it.
#pragma once

#include "btrieve/numbered_files.h"
#include "templates/sample_office.h"
#include "testing/temp_dir.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

inline const TSampleOffice& SampleOffice() {
  static const TSampleOffice office = BuildSampleOffice();
  return office;
}

// Writes through the numbered-file layer (its own file numbers, closed
// again); call it with the layer free of a test's files.
inline std::string SampleOfficeFolder() {
  static const std::unique_ptr<ScopedTempDir> folder = [] {
    auto dir = std::make_unique<ScopedTempDir>();
    std::vector<TSampleFileCount> counts;
    std::string msg;
    EXPECT_TRUE(WriteSampleOffice(*dir / "office", SampleOffice(), counts, msg)) << msg;
    return dir;
  }();
  return *folder / "office";
}
