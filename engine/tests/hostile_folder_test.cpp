// What names planted in a shared data folder make the record manager do:
// links, FIFOs, folders and devices under a file's name, its lock file's
// and its journal's, and, with two users of one office group, a planted
// journal naming a file of the other user as its super-journal, a racer
// swapping a copy's temporary for a link, lock files linked into the other
// user's home, and files made under one user's umask used by the other.
#include "engine/tests/engine_harness.h"
#include "engine/tests/peer.h"
#include "platform/byte_lock.h"
#include "testing/office_users.h"
#include "testing/planted_names.h"
#include "testing/temp_dir.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
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

// The journal's own trailer (big-endian): the super-journal's name, its
// length, the sum of its bytes and the journal magic, at the very end.
const std::string JournalMagic("\xd9\xd5\x05\xf9\x20\xa1\x63\xd7", 8);

uint32_t BigEndian32(const std::string& bytes, size_t at) {
  uint32_t value = 0;
  for (size_t i = 0; i < 4; ++i) value = (value << 8) | uint8_t(bytes[at + i]);
  return value;
}

std::string BigEndianBytes(uint32_t value) {
  std::string bytes(4, '\0');
  for (int i = 3; i >= 0; --i, value >>= 8) bytes[size_t(i)] = char(value & 0xFF);
  return bytes;
}

// The super-journal a journal names; "" when it names none.
std::string SuperJournalNamed(const std::string& journal) {
  const size_t size = journal.size();
  if (size < 16 || journal.compare(size - 8, 8, JournalMagic) != 0) return "";
  const uint32_t length = BigEndian32(journal, size - 16);
  if (length == 0 || length > size - 16) return "";
  return journal.substr(size - 16 - length, length);
}

// The journal naming `name` as its super-journal instead.
std::string NamingSuperJournal(const std::string& journal, const std::string& name) {
  const std::string old = SuperJournalNamed(journal);
  uint32_t sum = 0;
  for (const char c : name) sum += uint32_t(int(c));
  return journal.substr(0, journal.size() - 16 - old.size()) + name + BigEndianBytes(uint32_t(name.size())) +
         BigEndianBytes(sum) + JournalMagic;
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

  // A killed two-file commit leaves a.dat's journal hot, naming its
  // super-journal: the journal's path, or "" (with a failure) when no kill
  // left one.
  std::string LeaveHotJournal() const {
    const std::string a = In("a.dat"), b = In("b.dat"), journal = a + "-journal";
    for (int step = 1; step <= 40; ++step) {
      for (const auto& entry : fs::directory_iterator(Office())) fs::remove(entry.path());
      MakePeopleFile(a);
      MakePeopleFile(b);
      Peer peer;
      two_files::Write(peer, a, b);
      if (two_files::EndKilledAtFlush(peer, step)) break;
      if (!fs::exists(journal)) continue;
      // Hot: complete (its first byte is written last) and naming one.
      const std::string bytes = ReadFileBytes(journal);
      if (bytes.empty() || bytes[0] == '\0' || SuperJournalNamed(bytes).empty()) continue;
      return journal;
    }
    ADD_FAILURE() << "no kill left a hot journal naming a super-journal";
    return "";
  }
  // The same journal made to name victim as its super-journal instead.
  std::string PlantHotJournalNaming(const std::string& victim) const {
    const std::string journal = LeaveHotJournal();
    if (!journal.empty()) WriteFileBytes(journal, NamingSuperJournal(ReadFileBytes(journal), victim));
    return journal;
  }
  static std::string DamageWarning(const std::string& journal, const std::string& named) {
    return "the journal " + journal + " names " + named +
           " as its super-journal, which is no companion of a file of ours; nothing played back or deleted";
  }

  // The victim as it was, and nothing else in the home folder.
  void ExpectHomeUntouched() const {
    EXPECT_EQ(ReadFileBytes(Victim()), Secret);
    EXPECT_EQ(FolderNames(Home()), std::set<std::string>{"profile"});
  }
};

// ---- one user: the planted names at each opener ----

// Open (then an insert when it opened), the in-use probe, a copy to a new
// name, a delete and a rename (of what the delete left) of a file with a
// name planted beside it (or in its place): their statuses, what they
// warned, and nothing outside the folder changed.
TEST_F(HostileFolder, PlantedNamesAtTheFileItsLockFileAndItsJournalAreRefusedNamingThem) {
  const TWatchdog watchdog(120);
  struct TCase {
    const char* Name;            // planted under this name
    const char* Statuses[5];     // open+insert, in use, copy, delete, rename, per name in PlantedNames() order
    bool Warns[5];               // whether a warning names the planted file
  };
  const TCase cases[] = {
      // Never followed or opened: each call refuses the name as it stands.
      {"a.dat", {"30 30 30 30 30", "30 30 30 30 30", "30 30 30 30 30", "11 11 11 11 11", "30 30 30 30 30"},
       {true, true, true, true, true}},
      // No lock can be held through a name that is no file: the probe finds none.
      {"a.dat.lck", {"2 0 2 2 2", "2 0 2 2 2", "2 0 2 2 2", "2 0 2 2 2", "2 0 2 2 2"}, {true, true, true, true, true}},
      {"a.dat-journal", {"2 2 2 2 2", "2 0 0 0 12", "2 2 2 2 2", "2 2 2 2 2", "2 2 2 2 2"},
       {true, true, true, true, true}},
  };
  for (const TCase& c : cases) {
    for (size_t p = 0; p < PlantedNames().size(); ++p) {
      const TPlantedName& plant = PlantedNames()[p];
      SCOPED_TRACE(std::string(plant.What) + " as " + c.Name);
      fs::remove_all(Office());
      fs::remove_all(Home());
      fs::create_directory(Office());
      fs::create_directory(Home());
      WriteFileBytes(Victim(), Secret);
      if (std::string(c.Name) != "a.dat") MakePeopleFile(In("a.dat"));
      fs::remove(In(c.Name));
      plant.Make(In(c.Name), Victim(), Home() + "/new");
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
        const int16_t inUse = Wbtrv().FileInUse(In("a.dat").c_str());
        copy = Copy(In("a.dat"), In("b.dat"));
        const int16_t removal = Delete(In("a.dat"));
        const int16_t rename = Wbtrv().RenameFile(In("a.dat").c_str(), In("c.dat").c_str());
        statuses = std::to_string(open) + " " + std::to_string(inUse) + " " + std::to_string(copy) + " " +
                   std::to_string(removal) + " " + std::to_string(rename);
        warned = capture.Text();
      }
      EXPECT_EQ(statuses, c.Statuses[p]);
      const std::string line = RefusalWarning(In(c.Name), plant.Kind);
      const std::vector<std::string> warnings = Warnings(warned);
      EXPECT_EQ(std::count(warnings.begin(), warnings.end(), line) > 0, c.Warns[p]) << warned;
      for (const std::string& w : warnings) EXPECT_EQ(w, line) << warned;
      ExpectHomeUntouched();
      EXPECT_EQ(fs::exists(fs::symlink_status(In("b.dat"))), copy == 0);
    }
  }
}

// mdbtr at each planted name: refused before anything opens it, one line
// naming the file, a failing exit, no hang, nothing outside changed.
TEST_F(HostileFolder, MdbtrRefusesPlantedNamesNamingThem) {
  const TWatchdog watchdog(120);
  for (const TPlantedName& plant : PlantedNames()) {
    SCOPED_TRACE(plant.What);
    fs::remove_all(Office());
    fs::remove_all(Home());
    fs::create_directory(Office());
    fs::create_directory(Home());
    WriteFileBytes(Victim(), Secret);
    plant.Make(In("a.dat"), Victim(), Home() + "/new");
    const std::string line = std::string(plant.Kind) == "a folder"
                                 ? In("a.dat") + ": is a folder, not a record manager file"
                                 : RefusalWarning(In("a.dat"), plant.Kind);
    for (const char* command : {"stat", "dump", "check"}) {
      SCOPED_TRACE(command);
      const ProgramRun run = RunMdbtr({command, In("a.dat")});
      EXPECT_EQ(run.Exit, 2);
      EXPECT_EQ(run.Out, "");
      EXPECT_EQ(run.Err, "mdbtr: " + line + "\n");
    }
    ExpectHomeUntouched();
    EXPECT_FALSE(fs::exists(fs::symlink_status(In("a.dat.lck"))));
  }
}

// A journal an interrupted write left to be played back is not played back
// by a look: the file and the journal stay byte for byte, the refusal names
// the journal. The record manager's next open plays it back, and the look
// goes ahead.
TEST_F(HostileFolder, MdbtrNeverPlaysBackAJournalAnInterruptedWriteLeft) {
  const TWatchdog watchdog(300);
  fs::create_directory(Office());
  const std::string journal = LeaveHotJournal();
  ASSERT_FALSE(journal.empty());
  const std::string a = In("a.dat");
  const std::string file = ReadFileBytes(a), left = ReadFileBytes(journal);
  for (const char* command : {"check", "stat", "dump"}) {
    SCOPED_TRACE(command);
    const ProgramRun run = RunMdbtr({command, a});
    EXPECT_EQ(run.Exit, 2);
    EXPECT_EQ(run.Err, "mdbtr: " + a + ": " + journal +
                           " holds an interrupted write the record manager plays back when it next opens the file;"
                           " nothing read\n");
    EXPECT_EQ(ReadFileBytes(a), file);
    EXPECT_EQ(ReadFileBytes(journal), left);
  }
  {
    BtrFile f;
    ASSERT_EQ(f.Open(a), 0);
  }
  Wbtrv().Stop();
  EXPECT_FALSE(fs::exists(journal));
  const ProgramRun run = RunMdbtr({"check", a});
  EXPECT_EQ(run.Exit, 0) << run.Err;
}

// The same with one user, who may run anything: a journal naming a file
// outside, or a name of the super-journal shape lying elsewhere, is damage
// whoever opens it.
TEST_F(HostileFolder, AJournalNamingAFileOutsideAsSuperJournalIsDamageNotPlayedBack) {
  const TWatchdog watchdog(300);
  fs::create_directory(Office());
  fs::create_directory(Home());
  WriteFileBytes(Victim(), Secret);
  const std::string shaped = Home() + "/profile-mj0123459AB";
  WriteFileBytes(shaped, In("b.dat-journal") + '\0');
  for (const std::string& named : {Victim(), shaped}) {
    SCOPED_TRACE(named);
    const std::string a = In("a.dat"), journal = PlantHotJournalNaming(named);
    ASSERT_FALSE(journal.empty());
    const std::string before = ReadFileBytes(a), planted = ReadFileBytes(journal);
    const StderrCapture capture(Log());
    BtrFile f;
    EXPECT_EQ(f.Open(a), 2);
    EXPECT_EQ(ReadFileBytes(Victim()), Secret);
    EXPECT_EQ(ReadFileBytes(shaped), In("b.dat-journal") + '\0');
    EXPECT_EQ(ReadFileBytes(a), before);
    EXPECT_EQ(ReadFileBytes(journal), planted);
    EXPECT_EQ(Warnings(capture.Text()), std::vector<std::string>{DamageWarning(journal, named)});
  }
}

// ---- two users of one office group ----

class TwoUsers : public HostileFolder {
protected:
  void SetUp() override {
    SKIP_UNLESS_ROOT();
    HostileFolder::SetUp();
    MakeOfficeFolder(Office(), 02775);
    MakePrivateFolder(Home(), UserB);
    WriteFileBytes(Victim(), Secret);
    ASSERT_EQ(::chown(Victim().c_str(), UserB.Uid, UserB.Gid), 0);
    ASSERT_EQ(::chmod(Victim().c_str(), 0600), 0);
  }
  // Makes the office's files A's, as A would have made them (umask 002).
  void GiveToA() const {
    for (const auto& entry : fs::directory_iterator(Office())) {
      ASSERT_EQ(::lchown(entry.path().c_str(), UserA.Uid, OfficeGroup), 0);
      if (!entry.is_symlink()) {
        ASSERT_EQ(::chmod(entry.path().c_str(), 0664), 0);
      }
    }
  }
  // B's open of file (and an insert when it opens): the status.
  int OpenAsB(const std::string& file) const {
    return RunAs(UserB, 022, [&] {
      BtrFile f;
      const int16_t open = f.Open(file);
      return int(open != 0 ? open : f.Insert(PersonRecord({0, "Dan", "g", ""})));
    }, Log());
  }
};

// A killed two-file commit leaves a hot journal naming its super-journal;
// A rewrites that name to a file in B's private folder. B's open of the
// file answers 2, plays nothing back and deletes nothing.
TEST_F(TwoUsers, APlantedJournalNamingAnotherUsersFileAsSuperJournalIsDamageNotPlayedBack) {
  const TWatchdog watchdog(300);
  // The killed writer's umask is no concern of the files' modes: the
  // journal has its file's, the super-journal its folder's.
  const mode_t mask = ::umask(077);
  const std::string a = In("a.dat"), journal = PlantHotJournalNaming(Victim());
  ::umask(mask);
  ASSERT_FALSE(journal.empty());
  int superJournals = 0;
  for (const auto& entry : fs::directory_iterator(Office())) {
    const std::string name = entry.path().filename().string();
    if (name.starts_with("a.dat")) {
      EXPECT_EQ(ModeOf(entry.path().string()), 0664) << name;
    }
    superJournals += name.find("-mj") != std::string::npos;
  }
  EXPECT_EQ(superJournals, 1);
  GiveToA();
  const std::string before = ReadFileBytes(a), planted = ReadFileBytes(journal);
  EXPECT_EQ(OpenAsB(a), 2);
  ExpectHomeUntouched();
  EXPECT_EQ(ReadFileBytes(a), before);
  EXPECT_EQ(ReadFileBytes(journal), planted);
  EXPECT_EQ(Warnings(ReadFileBytes(Log())), std::vector<std::string>{DamageWarning(journal, Victim())});
}

// While B copies a file 300 times, A swaps every temporary it sees for a
// link to B's private file: no copy answers 0 with a link under its name,
// and B's file stays as it was.
TEST_F(TwoUsers, ARacerSwappingCopyTemporariesForLinksNeverGetsAFileOutsideWritten) {
  const TWatchdog watchdog(300);
  const std::string a = In("a.dat");
  MakePeopleFile(a);
  GiveToA();
  const std::string office = Office(), victim = Victim();
  const pid_t racer = StartAs(UserA, 002, [&] {
    for (;;) {
      DIR* dir = ::opendir(office.c_str());
      if (!dir) return 1;
      while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name.size() < 3 || name[0] != '.' || name == "..") continue;
        const std::string path = office + "/" + name;
        if (::unlink(path.c_str()) == 0) ::symlink(victim.c_str(), path.c_str());
      }
      ::closedir(dir);
    }
  });
  const std::string counts = TempPath("counts");
  const int copier = RunAs(UserB, 002, [&] {
    int placed = 0, linked = 0;
    for (int i = 0; i < 300; ++i) {
      const std::string target = office + "/c" + std::to_string(i) + ".dat";
      const int16_t status = Wbtrv().CopyFile(a.c_str(), target.c_str());
      struct stat st;
      if (status == 0) ++placed;
      if (status == 0 && (::lstat(target.c_str(), &st) != 0 || !S_ISREG(st.st_mode))) ++linked;
    }
    std::fprintf(stderr, "%d placed, %d of them links\n", placed, linked);
    return linked == 0 ? 0 : 1;
  }, counts);
  ::kill(racer, SIGKILL);
  WaitFor(racer);
  EXPECT_EQ(copier, 0) << ReadFileBytes(counts);
  ExpectHomeUntouched();
  for (const auto& entry : fs::directory_iterator(Office())) {
    const std::string name = entry.path().filename().string();
    if (name[0] != '.') {
      EXPECT_FALSE(entry.is_symlink()) << name;
    }
  }
}

// A plants a file's lock file as a link into B's home, where nothing
// exists yet, and the templates' lock file as well: B's open answers 2 (not
// 85 for ever), its save lock fails, and nothing appears in B's home.
TEST_F(TwoUsers, LockFilesLinkedIntoAnotherUsersHomeAreRefusedAndMakeNothingThere) {
  const TWatchdog watchdog(120);
  const std::string a = In("a.dat");
  MakePeopleFile(a);
  fs::remove(a + ".lck");
  fs::create_symlink(Home() + "/made", a + ".lck");
  fs::create_symlink(Home() + "/templates", In("Templates.lck"));
  GiveToA();
  EXPECT_EQ(OpenAsB(a), 2);
  EXPECT_EQ(RunAs(UserB, 022, [&] { return TByteLock::TryLock(In("Templates.lck"), 5, true).Held() ? 1 : 0; }), 0);
  ExpectHomeUntouched();
  EXPECT_EQ(Warnings(ReadFileBytes(Log())), std::vector<std::string>{RefusalWarning(a + ".lck", "a symbolic link")});
}

// Files A makes under umask 077 or 022 take the office folder's modes, so
// B still opens and writes them; a lock file an earlier build left 0600 is
// refused with a message naming it and its owner.
TEST_F(TwoUsers, OneUsersUmaskNeverLocksTheOtherOut) {
  const TWatchdog watchdog(120);
  ASSERT_EQ(::chmod(Office().c_str(), 02770), 0);
  for (const mode_t mask : {mode_t(077), mode_t(022)}) {
    SCOPED_TRACE("umask " + std::to_string(mask));
    for (const auto& entry : fs::directory_iterator(Office())) fs::remove(entry.path());
    const std::string a = In("a.dat"), b = In("b.dat");
    EXPECT_EQ(RunAs(UserA, mask, [&] {
      if (CreateFile(a, PeopleLayout()) != 0) return 1;
      BtrFile f;
      if (f.Open(a) != 0 || f.Insert(PersonRecord({0, "Ann", "g", ""})) != 0 || f.Close() != 0) return 2;
      return int(Wbtrv().CopyFile(a.c_str(), b.c_str()));
    }), 0);
    for (const std::string& file : {a, a + ".lck", b}) {
      EXPECT_EQ(ModeOf(file), 0660) << file;
    }
    EXPECT_EQ(OpenAsB(a), 0);
    EXPECT_EQ(OpenAsB(b), 0);
    EXPECT_EQ(PeopleIn(a), "Ann/g Dan/g ");
  }
  const std::string a = In("a.dat");
  ASSERT_EQ(::chown((a + ".lck").c_str(), UserA.Uid, OfficeGroup), 0);
  ASSERT_EQ(::chmod((a + ".lck").c_str(), 0600), 0);
  EXPECT_EQ(OpenAsB(a), 2);
  EXPECT_EQ(Warnings(ReadFileBytes(Log())),
            std::vector<std::string>{"the lock file " + a + ".lck belongs to user 46001 (mode 0600) and cannot be "
                                     "opened by user 46002: Permission denied"});
}

}  // namespace
