// The whole-file functions: the in-use probe, copy, rename and delete,
// against files held open by another process or by a client of this one,
// free, missing, foreign and already existing, during another process's
// writes and after a process was killed inside a transaction.
#include "engine/tests/counter_worker.h"
#include "engine/tests/engine_harness.h"
#include "engine/tests/peer.h"
#include "testing/temp_dir.h"

#include <filesystem>
#include <functional>
#include <set>
#include <tuple>
#include <vector>

using namespace engine;
namespace fs = std::filesystem;

namespace {

class WholeFiles : public ShortWaitTest {
protected:
  static int16_t InUse(const std::string& path) { return Wbtrv().FileInUse(path.c_str()); }
  static int16_t Copy(const std::string& from, const std::string& to) {
    return Wbtrv().CopyFile(from.c_str(), to.c_str());
  }
  static int16_t Rename(const std::string& from, const std::string& to) {
    return Wbtrv().RenameFile(from.c_str(), to.c_str());
  }
  static int16_t Delete(const std::string& path) { return Wbtrv().DeleteFile(path.c_str()); }
  std::set<std::string> Names() const { return FolderNames(Temp.path()); }
};

TEST_F(WholeFiles, AFileAnotherProcessHasOpenIsCopiedButNeitherRenamedNorDeleted) {
  const std::string p = TempPath("p.dat"), q = TempPath("q.dat");
  MakePeopleFile(p);
  const std::string before = ReadFileBytes(p);
  Peer peer;
  ASSERT_EQ(peer.Open(0, p), 0);
  EXPECT_EQ(InUse(p), status::FileLocked);
  EXPECT_EQ(Rename(p, q), status::FileLocked);
  EXPECT_EQ(Delete(p), status::FileLocked);
  EXPECT_EQ(ReadFileBytes(p), before);
  EXPECT_EQ(Names(), (std::set<std::string>{"p.dat", "p.dat.lck"}));

  EXPECT_EQ(Copy(p, TempPath("c.dat")), 0);
  EXPECT_EQ(PeopleIn(TempPath("c.dat")), two_files::OldA);
  // Its own further block opened exclusively shuts copies out too.
  ASSERT_EQ(peer.Open(1, p, open_mode::Exclusive), 0);
  EXPECT_EQ(Copy(p, TempPath("d.dat")), status::FileLocked);
  EXPECT_FALSE(fs::exists(TempPath("d.dat")));

  peer.Kill();
  EXPECT_EQ(InUse(p), 0);
  EXPECT_EQ(Rename(p, q), 0);
  EXPECT_EQ(PeopleIn(q), two_files::OldA);
}

// The functions run beside this process's own connections to the file: the
// copy opens and closes the file through SQLite while a client of this
// process holds it in a transaction, and that client's SQLite lock stays.
TEST_F(WholeFiles, AClientOfThisProcessCountsAsAnyOtherAndKeepsItsLocks) {
  const std::string p = TempPath("p.dat");
  MakePeopleFile(p);
  BtrFile mine;
  ASSERT_EQ(mine.Open(p), 0);
  ASSERT_EQ(mine.Call(op::BeginTransaction), 0);
  ASSERT_EQ(mine.Insert(PersonRecord({0, "Cleo", "g", ""})), 0);

  EXPECT_EQ(InUse(p), status::FileLocked);
  EXPECT_EQ(Rename(p, TempPath("q.dat")), status::FileLocked);
  EXPECT_EQ(Delete(p), status::FileLocked);
  ASSERT_EQ(Copy(p, TempPath("c.dat")), 0);
  EXPECT_EQ(PeopleIn(TempPath("c.dat")), "Ann/g Bob/g ");

  Peer peer;
  ASSERT_EQ(peer.Open(0, p), 0);
  EXPECT_EQ(peer.Call(0, op::Insert, PersonRecord({0, "Dan", "g", ""}), "", 1).Status, status::FileLocked);
  ASSERT_EQ(mine.Call(op::EndTransaction), 0);
  EXPECT_EQ(peer.Call(0, op::Insert, PersonRecord({0, "Dan", "g", ""}), "", 1).Status, 0);
  EXPECT_EQ(PeopleIn(p), "Ann/g Bob/g Cleo/g Dan/g ");
}

TEST_F(WholeFiles, AFreeFileIsCopiedWithItsPositionsThenRenamedAndDeletedWithItsCompanions) {
  const std::string p = TempPath("p.dat");
  MakePeopleFile(p);
  std::string stat;
  {
    BtrFile f;
    ASSERT_EQ(f.Open(p), 0);
    ASSERT_EQ(f.Insert(PersonRecord({0, "Cleo", "g", ""})), 0);
    ASSERT_EQ(f.Get(op::GetEqual, PersonName("Bob"), 1), 0);
    ASSERT_EQ(f.Call(op::Delete), 0);
    ASSERT_EQ(f.Call(op::Stat, "", "", 0, 1920), 0);
    stat = f.Data();
  }
  EXPECT_EQ(InUse(p), 0);
  ASSERT_EQ(Copy(p, TempPath("c.dat")), 0);
  EXPECT_EQ(Names(), (std::set<std::string>{"c.dat", "p.dat", "p.dat.lck"}));
  {
    BtrFile c;
    ASSERT_EQ(c.Open(TempPath("c.dat")), 0);
    ASSERT_EQ(c.Call(op::Stat, "", "", 0, 1920), 0);
    EXPECT_EQ(Hex(c.Data()), Hex(stat));
    for (const auto& [position, status, name] :
         std::vector<std::tuple<uint32_t, int16_t, std::string>>{{1, 0, "Ann"}, {2, 43, ""}, {3, 0, "Cleo"}}) {
      SCOPED_TRACE(position);
      ASSERT_EQ(c.Call(op::GetDirect, LE(position, 4) + std::string(28, '\0'), "", 1), status);
      if (status == 0) {
        EXPECT_EQ(c.Data(), PersonRecord({int32_t(position), name, "g", ""}));
      }
    }
    // A position once used stays used in the copy too.
    ASSERT_EQ(c.Insert(PersonRecord({0, "Dan", "g", ""})), 0);
    EXPECT_EQ(c.Position(), 4u);
  }

  ASSERT_EQ(Rename(p, TempPath("r.dat")), 0);
  EXPECT_EQ(Names(), (std::set<std::string>{"c.dat", "c.dat.lck", "r.dat"}));
  EXPECT_EQ(PeopleIn(TempPath("r.dat")), "Ann/g Cleo/g ");
  ASSERT_EQ(Delete(TempPath("r.dat")), 0);
  ASSERT_EQ(Delete(TempPath("c.dat")), 0);
  EXPECT_EQ(Names(), std::set<std::string>{});
}

TEST_F(WholeFiles, MissingForeignAndExistingFilesAreRefusedAndLeftAsTheyWere) {
  const std::string p = TempPath("p.dat"), junk = TempPath("junk.dat"), text = TempPath("q.txt");
  MakePeopleFile(p);
  WriteFileBytes(junk, "SQLite format 3 but not really");
  WriteFileBytes(text, "a plain text\n");
  fs::create_directory(TempPath("folder"));
  const std::string missing = TempPath("none.dat");
  struct Case {
    const char* what;
    int16_t status;
    std::function<int16_t()> call;
  };
  const std::vector<Case> cases = {
      {"in use, missing", status::FileNotFound, [&] { return InUse(missing); }},
      {"copy, missing", status::FileNotFound, [&] { return Copy(missing, TempPath("x.dat")); }},
      {"rename, missing", status::FileNotFound, [&] { return Rename(missing, TempPath("x.dat")); }},
      {"delete, missing", status::FileNotFound, [&] { return Delete(missing); }},
      {"in use, foreign", status::NotRecordManagerFile, [&] { return InUse(junk); }},
      {"copy, foreign", status::NotRecordManagerFile, [&] { return Copy(junk, TempPath("x.dat")); }},
      {"rename, foreign", status::NotRecordManagerFile, [&] { return Rename(junk, TempPath("x.dat")); }},
      {"delete, foreign", status::NotRecordManagerFile, [&] { return Delete(text); }},
      {"copy onto a file", status::FileAlreadyExists, [&] { return Copy(p, text); }},
      {"copy onto a name in another case", status::FileAlreadyExists, [&] { return Copy(p, TempPath("Q.TXT")); }},
      {"copy onto itself", status::FileAlreadyExists, [&] { return Copy(p, TempPath("P.DAT")); }},
      {"copy onto a folder", status::FileAlreadyExists, [&] { return Copy(p, TempPath("folder")); }},
      {"rename onto a file", status::FileAlreadyExists, [&] { return Rename(p, junk); }},
      {"rename onto itself", status::FileAlreadyExists, [&] { return Rename(p, p); }},
      {"in use, a folder", status::InvalidFileName, [&] { return InUse(TempPath("folder")); }},
      {"in use, no name", status::InvalidFileName, [&] { return Wbtrv().FileInUse(nullptr); }},
      {"copy to no name", status::InvalidFileName, [&] { return Copy(p, ""); }},
      {"delete, a name ending in a separator", status::InvalidFileName, [&] { return Delete(p + "\\"); }},
  };
  const std::string pBytes = ReadFileBytes(p), junkBytes = ReadFileBytes(junk), textBytes = ReadFileBytes(text);
  const std::set<std::string> names = Names();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(c.call(), c.status);
    EXPECT_EQ(Names(), names);
  }
  EXPECT_EQ(ReadFileBytes(p), pBytes);
  EXPECT_EQ(ReadFileBytes(junk), junkBytes);
  EXPECT_EQ(ReadFileBytes(text), textBytes);
}

TEST_F(WholeFiles, NamesResolveAsOpenResolvesThemAndACaseOnlyRenameTakesTheNewSpelling) {
  fs::create_directory(TempPath("Data"));
  MakePeopleFile(TempPath("Data/Master.Bak"));
  const std::string windows = Temp.path().string() + "\\DATA\\";
  ASSERT_EQ(Copy(windows + "MASTER.BAK", windows + "copy.dat"), 0);
  EXPECT_EQ(InUse(windows + "Copy.Dat"), 0);
  ASSERT_EQ(Rename(windows + "master.bak", windows + "MASTER.BAK"), 0);
  EXPECT_EQ(FolderNames(TempPath("Data")), (std::set<std::string>{"MASTER.BAK", "copy.dat"}));
  EXPECT_EQ(PeopleIn(TempPath("Data/MASTER.BAK")), two_files::OldA);
  ASSERT_EQ(Delete(windows + "Copy.DAT"), 0);
  EXPECT_EQ(FolderNames(TempPath("Data")), (std::set<std::string>{"MASTER.BAK", "MASTER.BAK.lck"}));
}

// Copies taken while another process keeps committing are whole: each opens
// and checks clean (the folder's check when the test ends) and holds a
// counter the writer had reached.
TEST_F(WholeFiles, ACopyTakenWhileAnotherProcessWritesIsWhole) {
  const std::string counter = TempPath("counter.dat");
  ASSERT_EQ(CreateCounterFile(Wbtrv(), counter), 0);
  Peer writer;
  writer.Send("counter " + counter + " 1000000 0");
  int copies = 0;
  uint32_t last = 0;
  for (int attempt = 0; attempt < 40 && copies < 5; ++attempt) {
    const std::string copy = TempPath("copy" + std::to_string(attempt) + ".dat");
    const int16_t s = Copy(counter, copy);
    ASSERT_TRUE(s == 0 || s == status::FileLocked) << s;
    if (s != 0) continue;
    ++copies;
    uint32_t count = 0;
    ASSERT_EQ(ReadCounter(Wbtrv(), copy, count), 0);
    EXPECT_GE(count, last);
    last = count;
  }
  EXPECT_GT(copies, 0);
  writer.Kill();
}

// A process killed inside a transaction over two files, before End and at
// each flush of End, leaves files that copy and rename with all of the
// transaction or none of it, check clean, and leave nothing else behind.
TEST_F(WholeFiles, FilesAProcessWasKilledWritingCopyAndRenameWhole) {
  bool ended = false;
  std::set<std::string> outcomes;
  for (int step = 0; step <= 40 && !ended; ++step) {
    SCOPED_TRACE("killed at flush " + std::to_string(step));
    const std::string folder = TempPath("run" + std::to_string(step));
    fs::create_directory(folder);
    const std::string a = folder + "/a.dat", b = folder + "/b.dat";
    MakePeopleFile(a);
    MakePeopleFile(b);
    {
      Peer peer;
      ASSERT_NO_FATAL_FAILURE(two_files::Write(peer, a, b));
      ended = two_files::EndKilledAtFlush(peer, step);
    }
    // The copy leaves what the kill left beside its source (a transaction in
    // progress looks the same); the renames take it with them.
    ASSERT_EQ(Copy(a, folder + "/copy.dat"), 0);
    ASSERT_EQ(Rename(a, folder + "/a2.dat"), 0);
    ASSERT_EQ(Rename(b, folder + "/b2.dat"), 0);
    EXPECT_EQ(FolderNames(folder), (std::set<std::string>{"a2.dat", "b2.dat", "copy.dat"}));
    const ProgramRun check = RunMdbtr({"check", folder + "/a2.dat", folder + "/copy.dat", folder + "/b2.dat"});
    EXPECT_EQ(check.Exit, 0) << check.Out << check.Err;
    const std::string seenA = PeopleIn(folder + "/a2.dat"), seenB = PeopleIn(folder + "/b2.dat");
    EXPECT_EQ(PeopleIn(folder + "/copy.dat"), seenA);
    const bool all = seenA == two_files::NewA && seenB == two_files::NewB;
    const bool none = seenA == two_files::OldA && seenB == two_files::OldB;
    EXPECT_TRUE(all || none) << "a: " << seenA << "b: " << seenB;
    if (step == 0 || ended) {
      EXPECT_EQ(all, ended);
    }
    if (!ended) outcomes.insert(all ? "all" : "none");
  }
  EXPECT_TRUE(ended);
  // Kills on both sides of the commit point.
  EXPECT_EQ(outcomes, (std::set<std::string>{"all", "none"}));
}

}  // namespace
