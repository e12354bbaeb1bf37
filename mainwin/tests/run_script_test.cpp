// scripts/run as a new user meets it, on a fresh home folder, with the
// programs of this tree (MATTERDESK_BIN: nothing is installed or built) and
// "X", so that each run ends without a window: the default office is made
// and starts as the sample office with the e-mail templates; a second run
// writes nothing; a default office that went is made again; an office the
// user named is never written to by the script, nor made when it is
// missing. Every wait is bounded.
#include "mainwin/tests/startup_fixture.h"
#include "templates/family_files.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <map>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace {

constexpr auto RunWait = std::chrono::seconds(120);

class RunScriptTest : public CheckedFolderTest {
protected:
  void SetUp() override {
    std::filesystem::create_directory(Home());
    std::filesystem::create_directory(TempPath("run"));
    std::filesystem::permissions(TempPath("run"), std::filesystem::perms::owner_all);
  }

  std::string Home() const { return TempPath("home"); }
  std::string DefaultRoot() const { return Home() + "/.local/share/corvenstead/office"; }
  std::string UserRegistry() const { return Home() + "/.config/corvenstead/registry.ini"; }

  // scripts/run X with its output in files; the exit status, -1 when it did
  // not end in time (it is killed).
  int Run() {
    const std::string script = RUN_SCRIPT_PATH;
    const std::string out = TempPath("run.out"), err = TempPath("run.err");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    std::vector<char*> argv{const_cast<char*>(script.c_str()), const_cast<char*>("X"), nullptr};
    pid_t pid = -1;
    const int rc = posix_spawn(&pid, script.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) {
      ADD_FAILURE() << "starting " << script << ": " << rc;
      return -1;
    }
    const auto deadline = std::chrono::steady_clock::now() + RunWait;
    int status = 0;
    while (waitpid(pid, &status, WNOHANG) == 0) {
      if (std::chrono::steady_clock::now() > deadline) {
        ADD_FAILURE() << "scripts/run did not end in time";
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
        return -1;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    Err = ReadFileBytes(err);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  // Every file under Folder (lock files aside) with its bytes.
  static std::map<std::string, std::string> Contents(const std::string& Folder) {
    std::map<std::string, std::string> files;
    for (const auto& e : std::filesystem::recursive_directory_iterator(Folder)) {
      const std::string name = e.path().string();
      if (e.is_regular_file() && !name.ends_with(".lck") && !name.ends_with(".LCK")) files[name] = ReadFileBytes(name);
    }
    return files;
  }

  static std::vector<std::string> AllFamilyFiles() {
    std::vector<std::string> names;
    for (const TFamilyFile* f : FamilyFiles()) names.emplace_back(f->Name);
    return names;
  }

  // The family files lying in Root, by name.
  static std::vector<std::string> FamilyFilesIn(const std::string& Root) {
    std::vector<std::string> found;
    for (const std::string& name : AllFamilyFiles())
      if (std::filesystem::exists(Root + "/" + name)) found.push_back(name);
    return found;
  }

  // The office a run made: the nine family files, the e-mail templates.
  void ExpectSampleOfficeInstalled(const std::string& Root) {
    EXPECT_EQ(FamilyFilesIn(Root), AllFamilyFiles());
    EXPECT_EQ(LayoutOfFile(Root + "/mddata/master.dsc").RecordCount, 2);
    EXPECT_TRUE(std::filesystem::exists(Root + "/mddata/MNGR000.DSC"));
    EXPECT_TRUE(std::filesystem::exists(Root + "/mddata/MGRDT001.QMD"));
    ResetBtrLayer();
  }

  ScopedEnv HomeEnv{"HOME", Home()};
  ScopedEnv DataHome{"XDG_DATA_HOME", std::nullopt};
  ScopedEnv ConfigHome{"XDG_CONFIG_HOME", std::nullopt};
  ScopedEnv Registry{"MATTERDESK_REGISTRY", std::nullopt};
  ScopedEnv Runtime{"XDG_RUNTIME_DIR", TempPath("run")};
  ScopedEnv Programs{"MATTERDESK_BIN", BinDir};
  ScopedEnv Screen{"QT_QPA_PLATFORM", "offscreen"};
  std::string Err;
};

TEST_F(RunScriptTest, AFreshHomeGetsTheSampleOfficeOnceAndItsDefaultRootAgainWhenItWent) {
  ASSERT_EQ(Run(), 0) << Err;
  {
    ScopedEnv registry("MATTERDESK_REGISTRY", UserRegistry());
    EXPECT_EQ(GetRegValue(CvwinKey, "PhysicalName"), DefaultRoot());
    EXPECT_EQ(GetRegValue(HostKey, "WSID"), "01");
  }
  ExpectSampleOfficeInstalled(DefaultRoot());

  // A second run writes nothing new.
  const auto first = Contents(DefaultRoot());
  ASSERT_EQ(Run(), 0) << Err;
  EXPECT_EQ(Contents(DefaultRoot()), first);

  // A family file of the office's own stops the sample office for good.
  std::filesystem::remove(DefaultRoot() + "/yclient.qf");
  ASSERT_EQ(Run(), 0) << Err;
  EXPECT_FALSE(std::filesystem::exists(DefaultRoot() + "/yclient.qf"));

  // The default root gone, it is made again as on a first run.
  std::filesystem::remove_all(DefaultRoot());
  ASSERT_EQ(Run(), 0) << Err;
  ExpectSampleOfficeInstalled(DefaultRoot());
}

TEST_F(RunScriptTest, ARootTheUserNamedIsNeitherWrittenNorMadeByTheScript) {
  const std::string named = TempPath("named");
  {
    ScopedEnv registry("MATTERDESK_REGISTRY", UserRegistry());
    std::filesystem::create_directories(Home() + "/.config/corvenstead");
    PutRegValue(CvwinKey, "PhysicalName", named);
    PutRegValue(HostKey, "WSID", "01");
  }
  // Missing: the script stops naming it; nothing is made.
  EXPECT_EQ(Run(), 1);
  EXPECT_EQ(Err, "scripts/run: the data root " + named +
                     " (registry \\Software\\Orrin\\Btrieve\\Aliases\\CVWIN PhysicalName) does not exist\n");
  EXPECT_FALSE(std::filesystem::exists(named));
  EXPECT_FALSE(std::filesystem::exists(DefaultRoot()));

  // There: the program installs its templates, the script writes nothing.
  std::filesystem::create_directory(named);
  ASSERT_EQ(Run(), 0) << Err;
  EXPECT_EQ(FamilyFilesIn(named), std::vector<std::string>{});
  EXPECT_EQ(LayoutOfFile(named + "/mddata/master.dsc").RecordCount, 2);
  ResetBtrLayer();
  EXPECT_FALSE(std::filesystem::exists(DefaultRoot()));
}

}  // namespace
