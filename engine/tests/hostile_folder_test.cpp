// What names planted in a shared data folder make the record manager do:
// links, FIFOs, folders and devices under a file's name, its lock file's
// and its journal's, and, with two users of one office group, a planted
// journal naming a file of the other user as its super-journal, a racer
// swapping a copy's temporary for a link, lock files linked into the other
// user's home, and files made under one user's umask used by the other.
#include "engine/tests/engine_harness.h"
#include "engine/tests/peer.h"
#include "testing/office_users.h"
#include "testing/temp_dir.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

using namespace engine;
namespace fs = std::filesystem;

namespace {

constexpr const char* Secret = "private bytes\n";

// What this process writes to its standard error (the engine's warnings)
// while the object lives.
class StderrCapture {
public:
  explicit StderrCapture(std::string file) : file_(std::move(file)) {
    std::fflush(stderr);
    saved_ = ::dup(2);
    const int fd = ::open(file_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    ::dup2(fd, 2);
    ::close(fd);
  }
  ~StderrCapture() {
    std::fflush(stderr);
    ::dup2(saved_, 2);
    ::close(saved_);
  }
  StderrCapture(const StderrCapture&) = delete;
  StderrCapture& operator=(const StderrCapture&) = delete;
  std::string Text() const {
    std::fflush(stderr);
    return ReadFileBytes(file_);
  }

private:
  std::string file_;
  int saved_ = -1;
};

// The warning lines of a text, without the program's name in front.
std::vector<std::string> Warnings(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    const size_t at = line.find(": ");
    if (at != std::string::npos) lines.push_back(line.substr(at + 2));
  }
  return lines;
}

mode_t ModeOf(const std::string& path) {
  struct stat st;
  EXPECT_EQ(::lstat(path.c_str(), &st), 0) << path;
  return st.st_mode & 07777;
}

class HostileFolder : public TempDirTest {
protected:
  void SetUp() override {
    Wbtrv().Stop();
    ASSERT_EQ(Wbtrv().Init("busy=100"), 0);
  }
  void TearDown() override { Wbtrv().Stop(); }

  std::string Office() const { return TempPath("office"); }
  std::string In(const std::string& name) const { return Office() + "/" + name; }
  std::string Home() const { return TempPath("home"); }
  std::string Victim() const { return Home() + "/profile"; }
  std::string Log() const { return TempPath("stderr"); }

  static int16_t Copy(const std::string& from, const std::string& to) {
    return Wbtrv().CopyFile(from.c_str(), to.c_str());
  }
  static int16_t Delete(const std::string& path) { return Wbtrv().DeleteFile(path.c_str()); }

  // The victim as it was, and nothing else in the home folder.
  void ExpectHomeUntouched() const {
    EXPECT_EQ(ReadFileBytes(Victim()), Secret);
    EXPECT_EQ(FolderNames(Home()), std::set<std::string>{"profile"});
  }
};

// ---- one user: the planted names at each opener ----

struct TPlant {
  const char* What;
  std::function<void(const std::string& at, const std::string& home)> Make;
  const char* Kind;
};

const std::vector<TPlant>& Plants() {
  static const std::vector<TPlant> plants = {
      {"link to a file outside", [](const std::string& at, const std::string& home) {
         fs::create_symlink(home + "/profile", at);
       }, "a symbolic link"},
      {"dangling link", [](const std::string& at, const std::string& home) {
         fs::create_symlink(home + "/new", at);
       }, "a symbolic link"},
      {"FIFO", [](const std::string& at, const std::string&) { ASSERT_EQ(::mkfifo(at.c_str(), 0666), 0); },
       "a FIFO (named pipe)"},
      {"folder", [](const std::string& at, const std::string&) { fs::create_directory(at); }, "a folder"},
      {"link to /dev/zero", [](const std::string& at, const std::string&) { fs::create_symlink("/dev/zero", at); },
       "a symbolic link"},
  };
  return plants;
}

// Open (then an insert when it opened), a copy to a new name and a delete
// of a file with a name planted beside it (or in its place): their
// statuses, what they warned, and nothing outside the folder changed.
TEST_F(HostileFolder, PlantedNamesAtTheFileItsLockFileAndItsJournalAreRefusedNamingThem) {
  const TWatchdog watchdog(120);
  struct TCase {
    const char* Name;            // planted under this name
    const char* Statuses[5];     // open+insert, copy, delete, per plant in Plants() order
    bool Warns[5];               // whether a warning names the planted file
  };
  const TCase cases[] = {
      {"a.dat", {"2 2 2", "12 12 12", "30 30 30", "11 11 11", "30 30 30"}, {true, false, false, false, false}},
      {"a.dat.lck", {"2 2 2", "2 2 2", "2 2 2", "2 2 2", "2 2 2"}, {true, true, true, true, true}},
      {"a.dat-journal", {"2 2 2", "2 0 0", "2 2 2", "2 2 2", "2 2 2"}, {true, true, true, true, true}},
  };
  for (const TCase& c : cases) {
    for (size_t p = 0; p < Plants().size(); ++p) {
      const TPlant& plant = Plants()[p];
      SCOPED_TRACE(std::string(plant.What) + " as " + c.Name);
      fs::remove_all(Office());
      fs::remove_all(Home());
      fs::create_directory(Office());
      fs::create_directory(Home());
      WriteFileBytes(Victim(), Secret);
      if (std::string(c.Name) != "a.dat") MakePeopleFile(In("a.dat"));
      fs::remove(In(c.Name));
      plant.Make(In(c.Name), Home());
      std::string statuses;
      std::string warned;
      int16_t copy = -1;
      {
        const StderrCapture capture(Log());
        BtrFile f;
        int16_t open = f.Open(In("a.dat"));
        if (open == 0) {
          open = f.Insert(PersonRecord({0, "Dan", "g", ""}));
          f.Close();
        }
        copy = Copy(In("a.dat"), In("b.dat"));
        const int16_t removal = Delete(In("a.dat"));
        statuses = std::to_string(open) + " " + std::to_string(copy) + " " + std::to_string(removal);
        warned = capture.Text();
      }
      EXPECT_EQ(statuses, c.Statuses[p]);
      const std::string line = In(c.Name) + " is " + plant.Kind + ", not a file; refused";
      const std::vector<std::string> warnings = Warnings(warned);
      EXPECT_EQ(std::count(warnings.begin(), warnings.end(), line) > 0, c.Warns[p]) << warned;
      for (const std::string& w : warnings) EXPECT_EQ(w, line) << warned;
      ExpectHomeUntouched();
      EXPECT_EQ(fs::exists(fs::symlink_status(In("b.dat"))), copy == 0);
    }
  }
}

}  // namespace
