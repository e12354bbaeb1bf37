// The sample office written once per test program into a folder of its own
// that lives until the program ends: screens under test whose lookups read
// the family files point Store.DataRoot at it.
#pragma once

#include "btrieve/numbered_files.h"
#include "templates/sample_office.h"
#include "testing/temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

inline const TSampleOffice& SampleOffice() {
  static const TSampleOffice office = BuildSampleOffice();
  return office;
}

// A sample client's name as a lookup shows it: "Last, First", or the last
// name alone.
inline std::string ShownClientName(const TSampleClient& C) {
  return C.FirstName.empty() ? C.LastName : C.LastName + ", " + C.FirstName;
}

// The sample client with Code, or null.
inline const TSampleClient* SampleClientWithCode(const std::string& Code) {
  const std::vector<TSampleClient>& all = SampleOffice().Clients;
  const auto it = std::find_if(all.begin(), all.end(), [&](const TSampleClient& C) { return C.Code == Code; });
  return it == all.end() ? nullptr : &*it;
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
