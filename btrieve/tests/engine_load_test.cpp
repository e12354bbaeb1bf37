// The real record manager, reached by its Windows name from the program
// folder as the access layer reaches it.
#include "btrieve/binding.h"

#include <gtest/gtest.h>

namespace {

TEST(BtrieveEngineLoad, TheRealEngineLoadsUnderItsWindowsNames) {
  for (const char* name : {"wbtrv32.dll", "WBTRV32.DLL"}) {
    SCOPED_TRACE(name);
    const int16_t status = LoadBtrieveDll("", name);
    EXPECT_TRUE(status == BtrStatus::Success || status == BtrStatus::AlreadyStarted) << status;
    ASSERT_TRUE(BtrieveDllLoaded());

    // A position block that was never opened reaches the engine and is refused there.
    char posBlock[128] = {};
    char data[16] = {};
    uint32_t len = sizeof data;
    char key[255] = {};
    EXPECT_EQ(BTRCALL(BtrOp::Stat, posBlock, data, &len, key, sizeof key, 0), BtrStatus::FileNotOpen);

    EXPECT_EQ(UnloadBtrieveDll(), BtrStatus::Success);
    EXPECT_FALSE(BtrieveDllLoaded());
  }
}

TEST(BtrieveEngineLoad, AMissingLibraryAnswers20) {
  EXPECT_EQ(LoadBtrieveDll("", "wbtrv33.dll"), BtrStatus::NotLoaded);
  EXPECT_FALSE(BtrieveDllLoaded());
}

}  // namespace
