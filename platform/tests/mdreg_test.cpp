// mdreg as a command-line tool: asked for help it prints its usage on
// standard output and succeeds; a wrong command line gets the usage on
// standard error and status 2; a registry file it cannot use is one line
// on standard error, never a wait.
#include "testing/checked_folder.h"
#include "testing/scoped_env.h"
#include "testing/temp_dir.h"
#include "testing/watchdog.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

const std::string Usage =
    "usage: mdreg get KEY NAME\n"
    "       mdreg set [--dword|--hex] KEY NAME VALUE\n"
    "       mdreg list [KEY]\n"
    "       mdreg delete KEY [NAME]\n"
    "       mdreg --help\n";

class MdregTest : public TempDirTest {
protected:
  // Every run is bounded: a mdreg that waits ends the test program.
  static ProgramRun Mdreg(const std::vector<std::string>& args) {
    Watchdog watchdog;
    return RunProgram(MDREG_PATH, args);
  }

  std::string File = TempPath("registry.ini");
  ScopedEnv Registry{"MATTERDESK_REGISTRY", File};
};

TEST_F(MdregTest, HelpGoesToStandardOutputAndAWrongCommandLineToStandardError) {
  for (const std::string flag : {"--help", "-h"}) {
    SCOPED_TRACE(flag);
    const ProgramRun run = Mdreg({flag});
    EXPECT_EQ(run.Exit, 0);
    EXPECT_EQ(run.Out, Usage);
    EXPECT_EQ(run.Err, "");
  }
  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
           {}, {"--help", "x"}, {"get", "K"}, {"set", "--text", "K", "N", "V"}, {"frobnicate"}}) {
    SCOPED_TRACE(args.empty() ? "no arguments" : args[0]);
    const ProgramRun run = Mdreg(args);
    EXPECT_EQ(run.Exit, 2);
    EXPECT_EQ(run.Out, "");
    EXPECT_EQ(run.Err, Usage);
  }
  EXPECT_FALSE(std::filesystem::exists(File));
}

TEST_F(MdregTest, ARegistryFileItCannotUseIsOneLineNeverAWait) {
  ASSERT_EQ(mkfifo(File.c_str(), 0600), 0);
  const ProgramRun fifo = Mdreg({"get", "\\Software", "WSID"});
  EXPECT_EQ(fifo.Exit, 2);
  EXPECT_EQ(fifo.Err, "mdreg: The registry file " + File + " is not a regular file (a FIFO).\n");

  std::filesystem::remove(File);
  WriteFileBytes(File, "[HKEY_LOCAL_MACHINE\\Software]\n\"WSID\"=\"01\"\nbogus\n");
  const ProgramRun damaged = Mdreg({"set", "\\Software", "WSID", "02"});
  EXPECT_EQ(damaged.Exit, 2);
  EXPECT_EQ(damaged.Err,
            "mdreg: The registry file " + File + " is damaged at line 3: a line that is neither a key nor a value.\n");
  EXPECT_EQ(ReadFileBytes(File), "[HKEY_LOCAL_MACHINE\\Software]\n\"WSID\"=\"01\"\nbogus\n");
}

}  // namespace
