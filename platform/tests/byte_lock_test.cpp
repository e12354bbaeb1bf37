#include "platform/byte_lock.h"

#include "testing/temp_dir.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <sys/stat.h>

namespace {

class ByteLockTest : public TempDirTest {
protected:
  std::string File() const { return TempPath("locks"); }
};

TEST_F(ByteLockTest, DescriptorsOfOneProcessConflictByteByByte) {
  TByteLock a = TByteLock::TryLock(File(), 7, true);
  EXPECT_EQ(a.State(), TByteLock::TState::Held);
  EXPECT_EQ(TByteLock::TryLock(File(), 7, false).State(), TByteLock::TState::Busy);
  EXPECT_TRUE(TByteLock::TryLock(File(), 8, true).Held());

  TByteLock s1 = TByteLock::TryLock(File(), 9, false);
  TByteLock s2 = TByteLock::TryLock(File(), 9, false);
  EXPECT_TRUE(s1.Held() && s2.Held());
  EXPECT_EQ(TByteLock::TryLock(File(), 9, true).State(), TByteLock::TState::Busy);
  s1.Release();
  EXPECT_EQ(s1.State(), TByteLock::TState::Free);
  EXPECT_EQ(TByteLock::TryLock(File(), 9, true).State(), TByteLock::TState::Busy);
  s2 = TByteLock();
  EXPECT_TRUE(TByteLock::TryLock(File(), 9, true).Held());
}

TEST_F(ByteLockTest, SharedLockMakesDoWithAFileItMayOnlyRead) {
  { TByteLock made = TByteLock::TryLock(File(), 0, true); }
  ASSERT_EQ(chmod(File().c_str(), 0444), 0);
  if (geteuid() == 0) GTEST_SKIP() << "root may write any file";
  EXPECT_TRUE(TByteLock::TryLock(File(), 3, false).Held());
  const TByteLock exclusive = TByteLock::TryLock(File(), 4, true);
  EXPECT_EQ(exclusive.State(), TByteLock::TState::Failed);
}

TEST_F(ByteLockTest, AFileThatCannotBeMadeFailsWithItsReason) {
  errno = 0;
  const TByteLock lock = TByteLock::TryLock(TempPath("missing/locks"), 1, false);
  EXPECT_EQ(lock.State(), TByteLock::TState::Failed);
  EXPECT_EQ(errno, ENOENT);
  EXPECT_EQ(TByteLock::TryLock("", 1, true).State(), TByteLock::TState::Failed);
}

}  // namespace
