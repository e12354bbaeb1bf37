#include "templates/save_lock.h"

#include "btrieve/numbered_files.h"
#include "btrieve/status_text.h"
#include "btrieve/tests/expect_btr_abort.h"
#include "testing/dialog_responder.h"
#include "testing/piped_process.h"
#include "testing/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

const std::string FileName = "\\data\\MGRDT007.QMD";
const std::string LockMsg = "The data file is in use.\r\rRetry?";
const std::string Question = "File:  " + FileName + "\r\r" + LockMsg;

class SaveLockTest : public TempDirTest {
protected:
  void SetUp() override {
    ResetBtrLayer();
    // Every look at the clock is a second later: the wait runs out after a
    // few attempts, without waiting.
    SetBtrTickSource([this] { return ticks_ += 1000; });
  }
  void TearDown() override { ResetBtrLayer(); }

  std::string Dir() const { return Temp.path().string(); }
  bool Try(int number, TSaveLockMode mode) const { return TryAcquireSaveLock(Dir(), number, mode).Held(); }

  uint64_t ticks_ = 0;
};

TEST_F(SaveLockTest, SharedLocksShareAndExclusiveExcludesAcrossProcessesAndDescriptors) {
  PipedProcess peer(SAVE_PEER_PATH, {Dir()});
  ASSERT_EQ(peer.Ask("lock shared 7"), "held");
  EXPECT_TRUE(Try(7, TSaveLockMode::Shared));
  EXPECT_FALSE(Try(7, TSaveLockMode::Exclusive));
  EXPECT_TRUE(Try(8, TSaveLockMode::Exclusive));  // one byte per number

  ASSERT_EQ(peer.Ask("lock exclusive 9"), "held");
  EXPECT_FALSE(Try(9, TSaveLockMode::Shared));
  EXPECT_FALSE(Try(9, TSaveLockMode::Exclusive));

  // Two locks of this process conflict as two processes' do.
  TSaveLock mine = TryAcquireSaveLock(Dir(), 20, TSaveLockMode::Exclusive);
  ASSERT_TRUE(mine.Held());
  EXPECT_FALSE(Try(20, TSaveLockMode::Shared));
  EXPECT_EQ(peer.Ask("lock shared 20"), "busy");

  EXPECT_EQ(peer.Ask("release"), "released");
  EXPECT_TRUE(Try(7, TSaveLockMode::Exclusive));
  EXPECT_TRUE(Try(9, TSaveLockMode::Exclusive));
}

TEST_F(SaveLockTest, ReleasedByReleaseMoveAndDestructor) {
  TSaveLock a = TryAcquireSaveLock(Dir(), 3, TSaveLockMode::Exclusive);
  ASSERT_TRUE(a.Held());
  TSaveLock b = std::move(a);
  EXPECT_FALSE(a.Held());
  EXPECT_TRUE(b.Held());
  EXPECT_FALSE(Try(3, TSaveLockMode::Shared));
  b.Release();
  EXPECT_FALSE(b.Held());
  {
    TSaveLock c = TryAcquireSaveLock(Dir(), 3, TSaveLockMode::Exclusive);
    EXPECT_TRUE(c.Held());
    // Assigning over a held lock gives the old one up.
    c = TryAcquireSaveLock(Dir(), 4, TSaveLockMode::Exclusive);
    EXPECT_TRUE(Try(3, TSaveLockMode::Exclusive));
  }
  EXPECT_TRUE(Try(4, TSaveLockMode::Exclusive));
  EXPECT_FALSE(TSaveLock().Held());
}

TEST_F(SaveLockTest, LockDiesWithItsProcessAndIsNeverInherited) {
  {
    PipedProcess peer(SAVE_PEER_PATH, {Dir()});
    ASSERT_EQ(peer.Ask("lock exclusive 7"), "held");
    peer.Kill();
  }
  EXPECT_TRUE(Try(7, TSaveLockMode::Exclusive));

  // A program started while this process holds a lock does not carry it on
  // after this process lets go.
  TSaveLock held = TryAcquireSaveLock(Dir(), 5, TSaveLockMode::Exclusive);
  ASSERT_TRUE(held.Held());
  PipedProcess peer(SAVE_PEER_PATH, {Dir()});
  EXPECT_EQ(peer.Ask("lock shared 5"), "busy");
  held.Release();
  EXPECT_EQ(peer.Ask("lock exclusive 5"), "held");
}

TEST_F(SaveLockTest, LockFileMadeOnceNeverWrittenFoundWithoutCase) {
  EXPECT_FALSE(std::filesystem::exists(Temp.path() / "Templates.lck"));
  TSaveLock a = TryAcquireSaveLock(Dir(), 998, TSaveLockMode::Exclusive);
  ASSERT_TRUE(a.Held());
  EXPECT_EQ(ReadFileBytes(TempPath("Templates.lck")), "");
  a.Release();

  // A lock file spelt otherwise is the same lock file.
  ScopedTempDir other;
  WriteFileBytes(other / "TEMPLATES.LCK", "");
  TSaveLock b = TryAcquireSaveLock(other.path().string(), 1, TSaveLockMode::Exclusive);
  ASSERT_TRUE(b.Held());
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(other.path()))
    names.push_back(entry.path().filename().string());
  EXPECT_EQ(names, std::vector<std::string>{"TEMPLATES.LCK"});
}

TEST_F(SaveLockTest, WaitAsksAfterTheRetryPeriodAndNoRefusesAsAnOpen) {
  PipedProcess peer(SAVE_PEER_PATH, {Dir()});
  ASSERT_EQ(peer.Ask("lock exclusive 7"), "held");
  DialogResponder dialogs;
  dialogs.Expect(Question, mrYes).Expect(Question, mrNo);
  ExpectBtrAbort([&] { AcquireSaveLock(Dir(), 7, TSaveLockMode::Shared, FileName, LockMsg); },
                 "The file " + FileName + " could not be opened.\r\rBtrieve status 85.\r" + BtrieveStatusText(85) + ".",
                 85);
  ASSERT_EQ(dialogs.Boxes().size(), 2u);
  EXPECT_EQ(dialogs.Boxes()[0].type, mtConfirmation);
  EXPECT_EQ(dialogs.Boxes()[0].buttons, TMsgDlgButtons(mbYesNo));
  EXPECT_FALSE(Try(7, TSaveLockMode::Shared));
}

TEST_F(SaveLockTest, YesWaitsAgainUntilTheLockIsFree) {
  PipedProcess peer(SAVE_PEER_PATH, {Dir()});
  ASSERT_EQ(peer.Ask("lock shared 7"), "held");
  std::vector<std::string> asked;
  SetBtrAsker([&](const std::string& question) {
    asked.push_back(question);
    // The other side finishes while the user decides.
    EXPECT_EQ(peer.Ask("release"), "released");
    return true;
  });
  TSaveLock lock = AcquireSaveLock(Dir(), 7, TSaveLockMode::Exclusive, FileName, LockMsg);
  EXPECT_TRUE(lock.Held());
  EXPECT_EQ(asked, std::vector<std::string>{Question});
  EXPECT_EQ(peer.Ask("lock shared 7"), "busy");

  // A free lock is taken at once, nobody asked.
  asked.clear();
  EXPECT_TRUE(AcquireSaveLock(Dir(), 8, TSaveLockMode::Shared, FileName, LockMsg).Held());
  EXPECT_TRUE(asked.empty());
}

TEST_F(SaveLockTest, LockFileOutOfReachFailsAsAnOpenWithoutAsking) {
  const std::string missing = TempPath("no such folder");
  EXPECT_FALSE(TryAcquireSaveLock(missing, 7, TSaveLockMode::Shared).Held());
  ExpectBtrAbort([&] { AcquireSaveLock(missing, 7, TSaveLockMode::Exclusive, FileName, LockMsg); },
                 "The file " + FileName + " could not be opened.\r\rBtrieve status 2.\r" + BtrieveStatusText(2) + ".",
                 2);
}

}  // namespace
