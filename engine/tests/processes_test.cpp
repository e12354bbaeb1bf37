// Workstations as separate processes: record locks and exclusive opens held
// by another process and gone with it, transactions over two files ended,
// aborted and cut by SIGKILL before and at every step of End, also when the
// folder is seen under another path afterwards, and many processes bumping
// one counter.
#include "engine/tests/counter_worker.h"
#include "engine/tests/engine_harness.h"
#include "engine/tests/peer.h"
#include "testing/temp_dir.h"

#include <filesystem>
#include <memory>
#include <set>
#include <sstream>

using namespace engine;
namespace fs = std::filesystem;

namespace {

constexpr uint16_t Locked = op::SingleNoWaitLock;

class EngineProcesses : public ShortWaitTest {};

using namespace two_files;

TEST_F(EngineProcesses, ARecordLockedByAnotherProcessHoldsUntilThatProcessIsKilled) {
  const std::string path = TempPath("p.dat");
  MakePeopleFile(path);
  Peer peer;
  ASSERT_EQ(peer.Open(0, path), 0);
  ASSERT_EQ(peer.Call(0, op::GetEqual + Locked, "", PersonName("Bob"), 1, 32).Status, 0);

  BtrFile f;
  ASSERT_EQ(f.Open(path), 0);
  EXPECT_EQ(f.Get(op::GetEqual + Locked, PersonName("Bob"), 1), status::RecordLocked);
  ASSERT_EQ(f.Get(op::GetEqual, PersonName("Bob"), 1), 0);
  EXPECT_EQ(f.Call(op::Update, PersonRecord({2, "Bob", "mine", ""}), "", 1), status::RecordLocked);
  EXPECT_EQ(f.Call(op::Delete), status::RecordLocked);
  EXPECT_EQ(f.Insert(PersonRecord({0, "Cleo", "g", ""})), 0);

  peer.Kill();
  EXPECT_EQ(f.Get(op::GetEqual + Locked, PersonName("Bob"), 1), 0);
  EXPECT_EQ(f.Call(op::Update, PersonRecord({2, "Bob", "mine", ""}), "", 1), 0);
  EXPECT_EQ(PeopleIn(path), "Ann/g Bob/mine Cleo/g ");
}

TEST_F(EngineProcesses, AnUpdateOfARecordAnotherProcessChangedSinceAnswers80) {
  const std::string path = TempPath("p.dat");
  MakePeopleFile(path);
  Peer peer;
  ASSERT_EQ(peer.Open(0, path), 0);
  ASSERT_EQ(peer.Call(0, op::GetEqual, "", PersonName("Bob"), 1, 32).Status, 0);
  BtrFile f;
  ASSERT_EQ(f.Open(path), 0);
  ASSERT_EQ(f.Get(op::GetEqual, PersonName("Bob"), 1), 0);
  ASSERT_EQ(f.Call(op::Update, PersonRecord({2, "Bob", "mine", ""}), "", 1), 0);
  EXPECT_EQ(peer.Call(0, op::Update, PersonRecord({2, "Bob", "theirs", ""}), "", 1).Status, status::Conflict);
  EXPECT_EQ(peer.Call(0, op::Delete).Status, status::Conflict);
  EXPECT_EQ(PeopleIn(path), "Ann/g Bob/mine ");
}

TEST_F(EngineProcesses, ExclusiveOpensShutOutOtherProcessesUntilClosedOrKilled) {
  const std::string path = TempPath("p.dat");
  MakePeopleFile(path);
  Peer peer;
  ASSERT_EQ(peer.Open(0, path, open_mode::Exclusive), 0);
  BtrFile f;
  EXPECT_EQ(f.Open(path), status::FileLocked);
  EXPECT_EQ(f.Open(path, open_mode::Exclusive), status::FileLocked);
  ASSERT_EQ(peer.Call(0, op::Close).Status, 0);
  ASSERT_EQ(f.Open(path), 0);
  EXPECT_EQ(peer.Open(0, path, open_mode::Exclusive), status::FileLocked);
  ASSERT_EQ(f.Close(), 0);

  ASSERT_EQ(peer.Open(0, path), 0);
  ASSERT_EQ(peer.Open(1, path, open_mode::Exclusive), 0);  // its own other block is no obstacle
  EXPECT_EQ(f.Open(path), status::FileLocked);
  peer.Kill();
  EXPECT_EQ(f.Open(path, open_mode::Exclusive), 0);
}

TEST_F(EngineProcesses, CreateDoesNotReplaceAFileAnotherProcessHasOpen) {
  const std::string path = TempPath("p.dat");
  MakePeopleFile(path);
  const std::string before = ReadFileBytes(path);
  Peer peer;
  ASSERT_EQ(peer.Open(0, path, open_mode::ReadOnly), 0);
  EXPECT_EQ(CreateFile(path, CreateBuffer(8, {}), create_mode::Replace), status::FileLocked);
  EXPECT_EQ(ReadFileBytes(path), before);
  peer.Kill();
  EXPECT_EQ(CreateFile(path, CreateBuffer(8, {}), create_mode::Replace), 0);
  BtrFile f;
  ASSERT_EQ(f.Open(path), 0);
  EXPECT_EQ(f.RecordRoom, 8u);
}

TEST_F(EngineProcesses, ATransactionOverTwoFilesLandsWholeOnlyWhenEnded) {
  struct Case {
    const char* what;
    bool lands;
  };
  for (const Case& c : {Case{"end", true}, Case{"abort", false}, Case{"kill", false}}) {
    SCOPED_TRACE(c.what);
    const std::string folder = TempPath(c.what);
    fs::create_directory(folder);
    const std::string a = folder + "/a.dat", b = folder + "/b.dat";
    MakePeopleFile(a);
    MakePeopleFile(b);
    Peer peer;
    ASSERT_NO_FATAL_FAILURE(two_files::Write(peer, a, b));
    // Meanwhile other workstations read the files as they were, and their
    // writes wait for the transaction and then give up.
    EXPECT_EQ(PeopleIn(a), OldA);
    EXPECT_EQ(PeopleIn(b), OldB);
    BtrFile f;
    ASSERT_EQ(f.Open(a), 0);
    EXPECT_EQ(f.Insert(PersonRecord({0, "Dan", "g", ""})), status::FileLocked);

    if (std::string(c.what) == "kill") {
      peer.Kill();
    } else {
      ASSERT_EQ(peer.Call(0, c.lands ? op::EndTransaction : op::AbortTransaction).Status, 0);
    }
    EXPECT_EQ(PeopleIn(a), c.lands ? NewA : OldA);
    EXPECT_EQ(PeopleIn(b), c.lands ? NewB : OldB);
    EXPECT_EQ(f.Insert(PersonRecord({0, "Dan", "g", ""})), 0);
  }
}

// Where the files are when the peer writes them, and how they are seen
// once it was killed: as they were; with their folder renamed, as a
// workstation that mounts the shared folder at another path sees it; or in
// two folders, the one holding the first file written (beside which SQLite
// keeps the super-journal) renamed while the other file is opened.
enum class Layout { OneFolder, FolderMoved, MainFolderMoved };

// The peer's End is cut by SIGKILL at its first flush to disk, then at its
// second, and so on until an End runs through. Each cut leaves both files
// with all of the transaction or none of it, files that open and take
// writes, and nothing else in the folders once both were opened. A file
// whose recovery cannot be settled from where it is seen is refused (2),
// never half applied.
void KillAtEveryStepOfEnd(const std::string& root, Layout layout) {
  std::set<std::string> outcomes;
  int refused = 0;
  bool ended = false;
  for (int step = 1; step <= 40 && !ended; ++step) {
    SCOPED_TRACE("killed at flush " + std::to_string(step));
    const std::string run = root + "/run" + std::to_string(step);
    const std::string x = layout == Layout::MainFolderMoved ? run + "/x" : run;
    const std::string y = layout == Layout::MainFolderMoved ? run + "/y" : run;
    fs::create_directories(x);
    fs::create_directories(y);
    MakePeopleFile(x + "/a.dat");
    MakePeopleFile(y + "/b.dat");
    {
      Peer peer;
      ASSERT_NO_FATAL_FAILURE(two_files::Write(peer, x + "/a.dat", y + "/b.dat"));
      ended = two_files::EndKilledAtFlush(peer, step);
    }
    std::string seenX = x, seenY = y;
    if (layout == Layout::FolderMoved) {
      seenX = seenY = run + "-elsewhere";
      fs::rename(run, seenX);
    }
    std::string early;
    if (layout == Layout::MainFolderMoved) {
      fs::rename(x, x + "-elsewhere");
      early = PeopleIn(y + "/b.dat");
      fs::rename(x + "-elsewhere", x);
      if (early == "open answered 2") ++refused;
    }
    const std::string a = PeopleIn(seenX + "/a.dat");
    const std::string b = PeopleIn(seenY + "/b.dat");
    const bool all = a == NewA && b == NewB;
    const bool none = a == OldA && b == OldB;
    EXPECT_TRUE(all || none) << "a: " << a << "b: " << b;
    if (!early.empty() && early != "open answered 2") {
      EXPECT_EQ(early, b);
    }
    if (ended) {
      EXPECT_TRUE(all);
    }
    outcomes.insert(all ? "all" : "none");
    for (const std::string& file : {seenX + "/a.dat", seenY + "/b.dat"}) {
      BtrFile f;
      ASSERT_EQ(f.Open(file), 0);
      EXPECT_EQ(f.Insert(PersonRecord({0, "Dan", "g", ""})), 0);
    }
    if (layout == Layout::MainFolderMoved) {
      EXPECT_EQ(FolderNames(x), (std::set<std::string>{"a.dat", "a.dat.lck"}));
      EXPECT_EQ(FolderNames(y), (std::set<std::string>{"b.dat", "b.dat.lck"}));
    } else {
      EXPECT_EQ(FolderNames(seenX), (std::set<std::string>{"a.dat", "a.dat.lck", "b.dat", "b.dat.lck"}));
    }
  }
  EXPECT_TRUE(ended);
  EXPECT_EQ(outcomes, (std::set<std::string>{"all", "none"}));
  if (layout == Layout::MainFolderMoved) {
    EXPECT_GT(refused, 0);
  }
}

TEST_F(EngineProcesses, AKillAtAnyStepOfEndLeavesAllOrNothing) { KillAtEveryStepOfEnd(Temp.path(), Layout::OneFolder); }

TEST_F(EngineProcesses, AKillAtAnyStepOfEndLeavesAllOrNothingUnderAnotherPath) {
  KillAtEveryStepOfEnd(Temp.path(), Layout::FolderMoved);
}

TEST_F(EngineProcesses, AFileWhoseSuperJournalCannotBeFoundIsRefusedNotHalfApplied) {
  KillAtEveryStepOfEnd(Temp.path(), Layout::MainFolderMoved);
}

// Scaled down from bench/engine_contention.
TEST_F(EngineProcesses, ProcessesBumpingOneCounterLoseNoUpdate) {
  constexpr int Processes = 4;
  constexpr int Cycles = 40;
  for (const bool locked : {true, false}) {
    SCOPED_TRACE(locked ? "locked reads" : "plain reads");
    const std::string path = TempPath(locked ? "locked.dat" : "plain.dat");
    ASSERT_EQ(CreateCounterFile(Wbtrv(), path), 0);
    std::vector<std::unique_ptr<Peer>> peers;
    for (int i = 0; i < Processes; ++i) peers.push_back(std::make_unique<Peer>());
    for (auto& peer : peers) peer->Send("counter " + path + " " + std::to_string(Cycles) + " " + (locked ? "1" : "0"));
    int conflicts = 0, lockedOut = 0;
    for (auto& peer : peers) {
      std::istringstream answer(peer->Receive());
      std::string word;
      int r84 = 0, r85 = 0, r80 = 0;
      ASSERT_TRUE(answer >> word >> r84 >> r85 >> r80) << answer.str();
      EXPECT_EQ(word, "done");
      conflicts += r80;
      lockedOut += r84;
    }
    uint32_t count = 0;
    ASSERT_EQ(ReadCounter(Wbtrv(), path, count), 0);
    EXPECT_EQ(count, uint32_t(Processes * Cycles));
    // A locked read leaves no other process a chance to write in between;
    // plain writers never lock each other out.
    EXPECT_EQ(locked ? conflicts : lockedOut, 0);
  }
}

}  // namespace
