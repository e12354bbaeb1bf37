// Starting other programs: names through the program table, the argument
// vector byte for byte in a real child, what the child inherits and what it
// must not (descriptors, locks), reaping, and every way a start fails.
#include "platform/processes.h"

#include "platform/program_table.h"
#include "platform/registry.h"
#include "platform/session.h"
#include "testing/poll_until.h"
#include "testing/scoped_env.h"
#include "testing/temp_dir.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

using Entries = std::multimap<std::string, std::string>;

class ProcessesTest : public TempDirTest {
protected:
  void SetUp() override {
    ResetProgramTable();
    fs::create_directory(Bin());
  }
  void TearDown() override { ResetProgramTable(); }

  std::string Bin() const { return TempPath("bin"); }
  // Every test reads a registry of its own, empty until it writes one.
  const ScopedEnv registry_{"MATTERDESK_REGISTRY", TempPath("registry.ini")};
  // The probe standing in as Executable in the program folder.
  void Install(const std::string& Executable) const { fs::create_symlink(PROBE_PATH, Bin() + "/" + Executable); }

  // What the probe wrote, once it wrote it; kind -> values in order.
  static Entries ReadProbe(const std::string& out) {
    Entries entries;
    if (!PollUntil([&] { return fs::exists(out); })) {
      ADD_FAILURE() << "the probe wrote nothing";
      return entries;
    }
    const std::string bytes = ReadFileBytes(out);
    for (size_t start = 0, end; (end = bytes.find('\0', start)) != std::string::npos; start = end + 1) {
      const std::string entry = bytes.substr(start, end - start);
      const size_t colon = entry.find(':');
      entries.emplace(entry.substr(0, colon), entry.substr(colon + 1));
    }
    return entries;
  }
  static std::vector<std::string> All(const Entries& entries, const std::string& kind) {
    std::vector<std::string> values;
    for (auto [it, end] = entries.equal_range(kind); it != end; ++it) values.push_back(it->second);
    return values;
  }
  static bool Reaped(int pid) {
    return PollUntil([&] { return !ProcessRuns(pid); });
  }
};

TEST_F(ProcessesTest, NamesResolveThroughTheTable) {
  WriteFileBytes(Bin() + "/Zorvik", "");
  RegisterProgram("calc.exe", "calculator");
  ConfigureProgramCommand("WINWORD.EXE", {"lowriter", "--nologo"});
  const std::string bin = Bin();
  const struct {
    std::string name;
    std::vector<std::string> resolved;
  } cases[] = {
      {bin + "\\MtDESK.exe", {bin + "/mtdesk"}},
      {bin + "\\QUAPS.EXE", {bin + "/quaps"}},
      // The executable as the disk spells it.
      {bin + "/zorvik.exe", {bin + "/Zorvik"}},
      {bin + "\\calc.exe", {bin + "/calculator"}},
      // A configured command whatever folder the name gives.
      {"C:\\Program Files\\Microsoft Office\\Office\\WINWORD.EXE", {"lowriter", "--nologo"}},
      // No folder: the current one, never PATH.
      {"quaps.exe", {"./quaps"}},
      {bin + "\\notepad.exe", {}},
      {bin + "\\quaps", {}},
      {"", {}},
  };
  for (const auto& c : cases) EXPECT_EQ(ResolveProgram(c.name), c.resolved) << c.name;

  ConfigureProgramCommand("WINWORD.EXE", {});
  EXPECT_EQ(ResolveProgram("C:\\Office\\WINWORD.EXE"), std::vector<std::string>{"/Office/winword"});
  ResetProgramTable();
  EXPECT_EQ(ResolveProgram(bin + "\\calc.exe"), std::vector<std::string>{});
}

// A name whose folder holds no program (the word processor's own path on
// another machine) is looked for beside this program, by any of its names
// in any case, and else started as the registry configures it.
TEST_F(ProcessesTest, OutsideProgramsResolveBesideTheProgramElseThroughTheRegistry) {
  const std::string exeDir = TempPath("exe");
  fs::create_directory(exeDir);
  WriteFileBytes(exeDir + "/WinWord.exe", "");
  WriteFileBytes(exeDir + "/ZORVIK", "");
  WriteFileBytes(Bin() + "/zorvik.EXE", "");
  {
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey(ProgramsRegistryKey, true));
    reg.WriteString("quaps.exe", "\"/opt/report tool/quaps\"  --batch \"two words\" \"\" caf\xE9");
    reg.WriteString("MtDESK.exe", "");
  }
  const std::string word = "C:\\Program Files\\Microsoft Office\\Office\\WINWORD.EXE";
  const struct {
    std::string name;
    std::vector<std::string> resolved;
  } before[] = {
      // No program folder yet: the name's own folder, else the registry.
      {word, {"/Program Files/Microsoft Office/Office/winword"}},
      {Bin() + "\\zorvik.exe", {Bin() + "/zorvik.EXE"}},
      {Bin() + "\\quaps.exe", {"/opt/report tool/quaps", "--batch", "two words", "", "caf\xC3\xA9"}},
      // An empty configured line configures nothing.
      {Bin() + "\\MtDESK.exe", {Bin() + "/mtdesk"}},
  };
  for (const auto& c : before) EXPECT_EQ(ResolveProgram(c.name), c.resolved) << c.name;

  SetProgramFolder(exeDir);
  const struct {
    std::string name;
    std::vector<std::string> resolved;
  } after[] = {
      {word, {exeDir + "/WinWord.exe"}},
      // The name's own folder comes first.
      {Bin() + "\\zorvik.exe", {Bin() + "/zorvik.EXE"}},
      {TempPath("elsewhere") + "\\zorvik.exe", {exeDir + "/ZORVIK"}},
      {Bin() + "\\quaps.exe", {"/opt/report tool/quaps", "--batch", "two words", "", "caf\xC3\xA9"}},
  };
  for (const auto& c : after) EXPECT_EQ(ResolveProgram(c.name), c.resolved) << c.name;

  // A command configured in the program outranks the others.
  ConfigureProgramCommand("WINWORD.EXE", {"lowriter"});
  EXPECT_EQ(ResolveProgram(word), std::vector<std::string>{"lowriter"});
  ResetProgramTable();
  EXPECT_EQ(ResolveProgram(TempPath("elsewhere") + "\\zorvik.exe"),
            std::vector<std::string>{TempPath("elsewhere") + "/zorvik"});
}

TEST_F(ProcessesTest, CommandTextSplitsAtBlanksOutsideQuotes) {
  const struct {
    std::string text;
    std::vector<std::string> words;
  } cases[] = {
      {"", {}},
      {"   ", {}},
      {"a", {"a"}},
      {"  a   b ", {"a", "b"}},
      {"\"C:\\Program Files\\x.exe\" /m", {"C:\\Program Files\\x.exe", "/m"}},
      {"a\"b c\"d e", {"ab cd", "e"}},
      {"\"\" x", {"", "x"}},
      {"\"open to the end", {"open to the end"}},
  };
  for (const auto& c : cases) EXPECT_EQ(SplitCommandText(c.text), c.words) << c.text;
}

TEST_F(ProcessesTest, TheChildGetsEachArgumentAsGivenInItsFolderAndEnvironment) {
  Install("quaps");
  const std::string out = TempPath("probe.out");
  const ScopedEnv probeOut("PROBE_OUT", out);
  const ScopedEnv mark("PROBE_MARK", "same bus");
  fs::create_directory(TempPath("work"));
  const ScopedCurrentDir cwd(TempPath("work"));

  // Windows-1252 as the program keeps text.
  const std::vector<std::string> args{"261211", "5", "Smith & \"Jones\" Caf\xE9", "", " two  blanks ",
                                      "-leading", "\x80\x81\x9D\xFF", "Add"};
  int pid = 0;
  ASSERT_TRUE(CreateProcess(Bin() + "\\quaps.exe", args, pid));
  ASSERT_GT(pid, 0);
  const Entries got = ReadProbe(out);
  EXPECT_EQ(All(got, "argv"), (std::vector<std::string>{Bin() + "/quaps", "261211", "5",
                                                       "Smith & \"Jones\" Caf\xC3\xA9", "", " two  blanks ",
                                                       "-leading", "\xE2\x82\xAC\xC2\x81\xC2\x9D\xC3\xBF", "Add"}));
  EXPECT_EQ(All(got, "param"), args);
  EXPECT_EQ(All(got, "cwd"), std::vector<std::string>{fs::canonical(TempPath("work")).string()});
  EXPECT_EQ(All(got, "env"), std::vector<std::string>{"same bus"});
  EXPECT_TRUE(Reaped(pid)) << "the child stayed a zombie";
}

TEST_F(ProcessesTest, TheChildHoldsNoDescriptorOrLockOfTheParent) {
  Install("mtdesk");
  const std::string out = TempPath("probe.out");
  const std::string go = TempPath("go");
  const ScopedEnv probeOut("PROBE_OUT", out);
  const ScopedEnv hold("PROBE_HOLD", go);

  // A record lock as the record manager takes it, on a descriptor that is
  // not close-on-exec, and a socket.
  const std::string lockFile = TempPath("MASTER.DSC.lck");
  WriteFileBytes(lockFile, "");
  const int held = open(lockFile.c_str(), O_RDWR);
  ASSERT_GE(held, 0);
  struct flock lock {};
  lock.l_type = F_WRLCK;
  lock.l_whence = SEEK_SET;
  lock.l_start = 7;
  lock.l_len = 1;
  ASSERT_EQ(fcntl(held, F_OFD_SETLK, &lock), 0);
  int sockets[2];
  ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM, 0, sockets), 0);

  // Whether anyone holds byte 7, asked through a description of our own.
  const auto lockedByOthers = [&] {
    const int probe = open(lockFile.c_str(), O_RDWR | O_CLOEXEC);
    struct flock query = lock;
    query.l_pid = 0;
    EXPECT_EQ(fcntl(probe, F_OFD_GETLK, &query), 0);
    close(probe);
    return query.l_type != F_UNLCK;
  };
  ASSERT_TRUE(lockedByOthers());

  int pid = 0;
  ASSERT_TRUE(CreateProcess(Bin() + "\\MtDESK.exe", {}, pid));
  const Entries got = ReadProbe(out);
  const std::vector<std::string> fds = All(got, "fd");
  ASSERT_FALSE(fds.empty());
  for (const std::string& fd : fds) EXPECT_LE(std::stoi(fd), 2) << "descriptor " << fd << " reached the child";

  // The parent lets go while the child runs: the lock must go with it.
  close(held);
  EXPECT_FALSE(lockedByOthers()) << "the child kept the parent's lock";
  close(sockets[0]);
  close(sockets[1]);
  WriteFileBytes(go, "");
  EXPECT_TRUE(Reaped(pid)) << "the child stayed a zombie";
}

TEST_F(ProcessesTest, AFailedStartAnswersFalse) {
  WriteFileBytes(Bin() + "/zorvik", "#!/bin/sh\n");  // not executable
  const struct {
    std::string program;
    std::vector<std::string> args;
    int error;
  } cases[] = {
      {Bin() + "\\quaps.exe", {"1"}, ENOENT},         // nothing in the program folder
      {Bin() + "\\zorvik.exe", {}, EACCES},           // there, but no program
      {Bin() + "\\unknown.exe", {}, ENOENT},          // not in the table
      {TempPath("gone") + "\\quaps.exe", {}, ENOENT}, // no such folder
  };
  for (const auto& c : cases) {
    int pid = 77;
    errno = 0;
    EXPECT_FALSE(CreateProcess(c.program, c.args, pid)) << c.program;
    EXPECT_EQ(pid, 0);
    EXPECT_EQ(errno, c.error) << c.program;
  }
}

TEST_F(ProcessesTest, TheLauncherSeamSeesTheVectorAndItsFailure) {
  std::vector<std::vector<std::string>> started;
  int answer = 4242;
  {
    const ScopedLauncher recording([&](const std::vector<std::string>& argv) {
      started.push_back(argv);
      if (answer < 0) errno = EAGAIN;
      return answer;
    });
    int pid = 0;
    ASSERT_TRUE(CreateProcess(Bin() + "\\quaps.exe", {"a b", "\xE9"}, pid));
    EXPECT_EQ(pid, 4242);
    answer = -1;
    EXPECT_FALSE(CreateProcess(Bin() + "\\quaps.exe", {}, pid));
    EXPECT_EQ(pid, 0);
    EXPECT_EQ(errno, EAGAIN);
    // A NUL would cut the argument short in the child: nothing starts.
    EXPECT_FALSE(CreateProcess(Bin() + "\\quaps.exe", {std::string("a\0b", 3)}, pid));
    EXPECT_EQ(errno, EINVAL);
  }
  EXPECT_EQ(started, (std::vector<std::vector<std::string>>{{Bin() + "/quaps", "a b", "\xC3\xA9"},
                                                            {Bin() + "/quaps"}}));
  // The real start is back: an empty program folder fails.
  int pid = 0;
  EXPECT_FALSE(CreateProcess(Bin() + "\\quaps.exe", {}, pid));
}

}  // namespace
