// Real start-ups as separate processes: several at once on one fresh office
// folder, and the command line as the program receives it. Every wait is
// bounded; a process still running afterwards is killed and fails the test.
// The files left behind pass mdbtr check.
#include "mainwin/tests/startup_fixture.h"
#include "platform/instance_bus.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace {

constexpr auto ExitWait = std::chrono::seconds(90);

// A program started with its standard output in a file.
class Spawned {
public:
  Spawned(const std::string& path, const std::vector<std::string>& args, const std::string& output) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    std::vector<char*> argv{const_cast<char*>(path.c_str())};
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    const int rc = posix_spawn(&pid_, path.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) {
      ADD_FAILURE() << "starting " << path << ": " << rc;
      pid_ = -1;
    }
  }
  ~Spawned() {
    if (pid_ > 0) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
  }
  Spawned(const Spawned&) = delete;
  Spawned& operator=(const Spawned&) = delete;

  pid_t Pid() const { return pid_; }

  // The exit status; -1 when the program did not end in time (it is killed)
  // or ended by a signal.
  int Wait() {
    if (pid_ <= 0) return -1;
    const auto deadline = std::chrono::steady_clock::now() + ExitWait;
    int status = 0;
    while (waitpid(pid_, &status, WNOHANG) == 0) {
      if (std::chrono::steady_clock::now() > deadline) {
        ADD_FAILURE() << "the program did not end in time";
        return -1;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    pid_ = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

private:
  pid_t pid_ = -1;
};

class StartupProcessesTest : public CheckedFolderTest {
protected:
  void SetUp() override {
    std::filesystem::create_directory(TempPath("office"));
    std::filesystem::create_directory(TempPath("run"));
    std::filesystem::permissions(TempPath("run"), std::filesystem::perms::owner_all);
    PutRegValue(CvwinKey, "PhysicalName", TempPath("office"));
    PutRegValue(HostKey, "WSID", "01");
  }

  ScopedEnv Registry{"MATTERDESK_REGISTRY", TempPath("registry.ini")};
  ScopedEnv Runtime{"XDG_RUNTIME_DIR", TempPath("run")};
};

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

TEST_F(StartupProcessesTest, SeveralStartsAtOnceOnAFreshFolderAllSucceedWithOneSetOfBatchFiles) {
  ScopedEnv mode("MTDESK_PROBE", "start");
  constexpr int Starts = 6;
  std::vector<std::unique_ptr<Spawned>> starts;
  for (int i = 0; i < Starts; ++i)
    starts.push_back(std::make_unique<Spawned>(PROBE_PATH, std::vector<std::string>{},
                                               TempPath("out" + std::to_string(i))));
  for (auto& start : starts) EXPECT_EQ(start->Wait(), 0);
  // Each showed the window, listing the e-mail templates one of them
  // installed while the others took their turn.
  for (int i = 0; i < Starts; ++i) EXPECT_EQ(ReadFileBytes(TempPath("out" + std::to_string(i))), "loop\n");
  EXPECT_EQ(LayoutOfFile(TempPath("office/mddata/master.dsc")).RecordCount, 2);

  std::vector<std::string> files;
  for (const auto& entry : std::filesystem::directory_iterator(TempPath("office/mddata")))
    if (entry.path().extension() == ".MD") files.push_back(entry.path().filename().string());
  std::sort(files.begin(), files.end());
  EXPECT_EQ(files, (std::vector<std::string>{"DESC01.MD", "TRIN01.MD"}));
  EXPECT_EQ(LayoutOfFile(TempPath("office/mddata/TRIN01.MD")), ExpectedTrin);
  EXPECT_EQ(LayoutOfFile(TempPath("office/mddata/DESC01.MD")), ExpectedDesc);
  ResetBtrLayer();
}

TEST_F(StartupProcessesTest, InstallsStartedAtOnceMakeOneMasterAndOneSetOfEmailTemplates) {
  ScopedEnv mode("MTDESK_PROBE", "start");
  constexpr int Starts = 4;
  std::vector<std::unique_ptr<Spawned>> starts;
  for (int i = 0; i < Starts; ++i)
    starts.push_back(std::make_unique<Spawned>(PROBE_PATH, std::vector<std::string>{"X"},
                                               TempPath("out" + std::to_string(i))));
  for (auto& start : starts) EXPECT_EQ(start->Wait(), 0);
  // None reached the loop: "X" never shows the window.
  for (int i = 0; i < Starts; ++i) EXPECT_EQ(ReadFileBytes(TempPath("out" + std::to_string(i))), "");

  std::vector<std::string> files;
  for (const auto& entry : std::filesystem::directory_iterator(TempPath("office/mddata"))) {
    const std::string name = entry.path().filename().string();
    if (!name.ends_with(".lck") && !name.ends_with(".MD") && name != "CLCA.IDX") files.push_back(name);
  }
  // A start that found the master made by another lists it and registers
  // the workstation when the records were in by then.
  if (std::filesystem::exists(TempPath("office/mddata/CLCA.IDX"))) {
    EXPECT_EQ(ReadFileBytes(TempPath("office/mddata/CLCA.IDX")), "01  0  1\r\n");
  }
  std::sort(files.begin(), files.end());
  EXPECT_EQ(files, (std::vector<std::string>{"MGRDT000.QMD", "MGRDT001.QMD", "MNGR000.DSC", "MNGR001.DSC",
                                             "master.dsc"}));
  EXPECT_EQ(LayoutOfFile(TempPath("office/mddata/master.dsc")).RecordCount, 2);
  ResetBtrLayer();

  // Again at once on the office they made: no window, nothing added.
  starts.clear();
  for (int i = 0; i < Starts; ++i)
    starts.push_back(std::make_unique<Spawned>(PROBE_PATH, std::vector<std::string>{"X"},
                                               TempPath("again" + std::to_string(i))));
  for (auto& start : starts) EXPECT_EQ(start->Wait(), 0);
  for (int i = 0; i < Starts; ++i) EXPECT_EQ(ReadFileBytes(TempPath("again" + std::to_string(i))), "");
  EXPECT_EQ(LayoutOfFile(TempPath("office/mddata/master.dsc")).RecordCount, 2);
  ResetBtrLayer();
}

// The main window's show opens a modal window before the window itself
// shows (here the message of a template the start-up recovery cannot put
// back): the start is on the bus by then, so a parent waiting for it hears
// it is ready.
TEST_F(StartupProcessesTest, AStartWhoseShowOpensAModalWindowIsOnTheBusAndAnswersWaitForInputIdle) {
  {
    ScopedEnv mode("MTDESK_PROBE", "start");
    Spawned install(PROBE_PATH, {"X"}, TempPath("install"));
    ASSERT_EQ(install.Wait(), 0);
  }
  WriteFileBytes(TempPath("office/mddata/MNGR007.DSX"), "no record-manager file");
  ASSERT_EQ(OpenInstanceBus(), BusJoin::Joined);
  ScopedEnv mode("MTDESK_PROBE", "modal");
  Spawned probe(PROBE_PATH, {}, TempPath("out"));
  // Bounded well inside the test's timeout; a start off the bus never
  // answers.
  EXPECT_TRUE(WaitForInputIdle(probe.Pid(), 60000));
  CloseInstanceBus();
  EXPECT_EQ(Lines(ReadFileBytes(TempPath("out"))),
            std::vector<std::string>{"box Template 007 was left unfinished by a save that did not end, and its files "
                                     "do not agree:"});
  ResetBtrLayer();
}

TEST_F(StartupProcessesTest, QtLookingParametersStayInPlaceAndTextArrivesAsWindows1252) {
  ScopedEnv mode("MTDESK_PROBE", "params");
  Spawned probe(PROBE_PATH, {"X", "7", "-platform", "xcb", "-reverse", "\xc3\xa9"}, TempPath("out"));
  ASSERT_EQ(probe.Wait(), 0);
  EXPECT_EQ(Lines(ReadFileBytes(TempPath("out"))),
            (std::vector<std::string>{"6", "58", "37", "2D706C6174666F726D", "786362", "2D72657665727365", "E9",
                                      "ltr"}));
}

}  // namespace
