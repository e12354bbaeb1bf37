#include "platform/fault_point.h"

#include "platform/files.h"
#include "testing/piped_process.h"
#include "testing/temp_dir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cerrno>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

class FaultPointTest : public TempDirTest {
protected:
  void SetUp() override { DisarmFaultPoint(); }
  void TearDown() override {
    DisarmFaultPoint();
    SetRecordFileOps(nullptr);
  }

  bool Exists(const std::string& name) const {
    struct stat st;
    return lstat(TempPath(name).c_str(), &st) == 0;
  }
  // Makes d1, d2 and d3: three counted steps. What each answered, with
  // errno for a refusal.
  std::vector<std::string> MakeThreeFolders() {
    std::vector<std::string> answers;
    for (const char* name : {"d1", "d2", "d3"}) {
      errno = 0;
      const bool made = CreateDir(TempPath(name));
      answers.push_back(made ? "made" : "refused " + std::to_string(errno));
    }
    return answers;
  }
};

TEST_F(FaultPointTest, EveryFileChangeCountsOnceAndReadsNotAtAllWhileUnarmed) {
  WriteFileBytes(TempPath("a.txt"), "abc");
  const struct {
    const char* what;
    std::function<bool()> step;
    bool done;
  } steps[] = {
      {"copy", [&] { return CopyFile(TempPath("a.txt"), TempPath("b.txt"), true); }, true},
      {"copy over an existing file", [&] { return CopyFile(TempPath("a.txt"), TempPath("b.txt"), true); }, false},
      {"rename", [&] { return RenameFile(TempPath("b.txt"), TempPath("c.txt")); }, true},
      {"delete", [&] { return DeleteFile(TempPath("c.txt")); }, true},
      {"delete of a missing file", [&] { return DeleteFile(TempPath("c.txt")); }, false},
      {"folder", [&] { return CreateDir(TempPath("f")); }, true},
      {"folders", [&] { return ForceDirectories(TempPath("g/h/i")); }, true},
  };
  uint64_t counted = 0;
  for (const auto& s : steps) {
    SCOPED_TRACE(s.what);
    EXPECT_EQ(s.step(), s.done);
    EXPECT_TRUE(FileExists(TempPath("a.txt")));
    EXPECT_FALSE(FindFiles(TempPath("*.txt")).empty());
    EXPECT_EQ(FaultStepCount(), ++counted);
  }
  EXPECT_EQ(ReadFileBytes(TempPath("a.txt")), "abc");
  EXPECT_TRUE(DirectoryExists(TempPath("g/h/i")));

  ArmFaultPoint(100, TFaultAction::FailFromN);
  EXPECT_EQ(FaultStepCount(), 0u);
  EXPECT_TRUE(CreateDir(TempPath("j")));
  EXPECT_EQ(FaultStepCount(), 1u);
  DisarmFaultPoint();
  EXPECT_EQ(FaultStepCount(), 0u);
}

TEST_F(FaultPointTest, FailuresRefuseTheirStepsAndChangeNothing) {
  const std::string refused = "refused " + std::to_string(EIO);
  const struct {
    uint64_t step;
    TFaultAction action;
    std::vector<std::string> answers;
  } cases[] = {
      {2, TFaultAction::FailOnce, {"made", refused, "made"}},
      {2, TFaultAction::FailFromN, {"made", refused, refused}},
      {1, TFaultAction::FailFromN, {refused, refused, refused}},
      {4, TFaultAction::FailOnce, {"made", "made", "made"}},
      {0, TFaultAction::FailFromN, {"made", "made", "made"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "step " << c.step << " action " << int(c.action));
    for (const char* name : {"d1", "d2", "d3"}) rmdir(TempPath(name).c_str());
    ArmFaultPoint(c.step, c.action);
    EXPECT_EQ(MakeThreeFolders(), c.answers);
    EXPECT_EQ(FaultStepCount(), 3u);
    for (size_t i = 0; i < 3; ++i) EXPECT_EQ(Exists("d" + std::to_string(i + 1)), c.answers[i] == "made");
  }
}

// Whole-file operations handed to the record manager are one step each, and
// a failed one never reaches it.
TEST_F(FaultPointTest, RecordManagerFileOperationsCountOnceAndFailBeforeTheEngine) {
  static std::vector<std::string> reached;
  reached.clear();
  static const RecordFileOps ops{
      [](const std::string& path) { return path.ends_with(".DAT"); },
      [](const std::string&, const std::string&) {
        reached.push_back("copy");
        return true;
      },
      [](const std::string&, const std::string&) {
        reached.push_back("rename");
        return true;
      },
      [](const std::string&) {
        reached.push_back("delete");
        return true;
      }};
  WriteFileBytes(TempPath("A.DAT"), "records");
  SetRecordFileOps(&ops);
  EXPECT_TRUE(CopyFile(TempPath("A.DAT"), TempPath("B.DAT"), false));
  EXPECT_TRUE(RenameFile(TempPath("A.DAT"), TempPath("C.DAT")));
  EXPECT_TRUE(DeleteFile(TempPath("A.DAT")));
  EXPECT_EQ(FaultStepCount(), 3u);
  EXPECT_EQ(reached, (std::vector<std::string>{"copy", "rename", "delete"}));

  ArmFaultPoint(2, TFaultAction::FailOnce);
  EXPECT_TRUE(CopyFile(TempPath("A.DAT"), TempPath("B.DAT"), false));
  errno = 0;
  EXPECT_FALSE(RenameFile(TempPath("A.DAT"), TempPath("C.DAT")));
  EXPECT_EQ(errno, EIO);
  EXPECT_TRUE(DeleteFile(TempPath("A.DAT")));
  EXPECT_EQ(reached, (std::vector<std::string>{"copy", "rename", "delete", "copy", "delete"}));
}

TEST_F(FaultPointTest, APauseReleasedBeforeItIsReachedPassesAtOnce) {
  std::vector<uint64_t> notified;
  SetFaultPauseNotifier([&](uint64_t step) {
    notified.push_back(step);
    EXPECT_FALSE(Exists("d2"));
  });
  ArmFaultPoint(2, TFaultAction::Pause);
  ReleaseFaultPause();
  EXPECT_EQ(MakeThreeFolders(), (std::vector<std::string>{"made", "made", "made"}));
  EXPECT_EQ(notified, (std::vector<uint64_t>{2}));
  SetFaultPauseNotifier(nullptr);
}

// The kills and the pause run in a program of their own, which arms the
// point and makes d1, d2 and d3.
class FaultPointChildTest : public FaultPointTest {
protected:
  std::unique_ptr<PipedProcess> Start(uint64_t step, TFaultAction action) {
    return std::make_unique<PipedProcess>(
        FAULT_CHILD_PATH, std::vector<std::string>{Temp.path().string(), std::to_string(step),
                                                   std::to_string(int(action))});
  }
  std::vector<bool> Made() const { return {Exists("d1"), Exists("d2"), Exists("d3")}; }
};

TEST_F(FaultPointChildTest, KillBeforeAndAfterEndTheProcessAroundTheirStep) {
  const struct {
    TFaultAction action;
    std::vector<bool> made;
  } cases[] = {
      {TFaultAction::KillBefore, {true, false, false}},
      {TFaultAction::KillAfter, {true, true, false}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(int(c.action));
    for (const char* name : {"d1", "d2", "d3"}) rmdir(TempPath(name).c_str());
    auto child = Start(2, c.action);
    EXPECT_TRUE(child->EndedByKill());
    EXPECT_EQ(Made(), c.made);
  }
}

TEST_F(FaultPointChildTest, APauseAnnouncesItselfAndWaitsForSigusr1FromAnotherProcess) {
  auto child = Start(2, TFaultAction::Pause);
  const std::string paused = child->Receive();
  ASSERT_EQ(paused.rfind("paused 2 ", 0), 0u) << paused;
  EXPECT_EQ(Made(), (std::vector<bool>{true, false, false}));
  const pid_t pid = pid_t(std::stol(paused.substr(9)));
  ASSERT_EQ(kill(pid, SIGUSR1), 0);
  EXPECT_EQ(child->Receive(), "done");
  EXPECT_FALSE(child->EndedByKill());
  EXPECT_EQ(Made(), (std::vector<bool>{true, true, true}));
}

}  // namespace
