// Whole-file operations through BTRCALL: Create, Open, Close, Stat, file
// names, foreign files, position blocks, start and stop.
#include "engine/tests/engine_harness.h"
#include "testing/temp_dir.h"

#include <cstdio>
#include <filesystem>
#include <set>

using namespace engine;
namespace fs = std::filesystem;

namespace {

class EngineFiles : public EngineFolderTest {};

// The Stat answer for a create buffer: bytes 6-15 carry only the count.
std::string StatOf(std::string create, uint32_t count) {
  create.replace(6, 10, LE(count, 4) + std::string(6, '\0'));
  return create;
}

TEST_F(EngineFiles, StatAnswersTheCreateBufferAndClonesByteForByte) {
  std::array<uint8_t, 256> weights;
  for (int i = 0; i < 256; ++i) weights[i] = uint8_t(255 - i);
  const std::string sequence = CollatingSequence("REVERSE", weights);
  using namespace key_flag;
  std::string create = CreateBuffer(40, {{1, 4, ExtendedType, key_type::AutoIncrement},
                                         {5, 8, ExtendedType | Segmented | Duplicates | Modifiable},
                                         {13, 2, ExtendedType | Duplicates | Modifiable | Descending, key_type::Integer},
                                         {15, 6, ExtendedType | AlternateCollating | Duplicates, 0, 0}},
                                    {sequence}, 1024);
  // Bytes Create ignores or a Stat answer never carries.
  std::string sent = create;
  sent[9] = 1;
  sent[16 + 16 + 7] = 9;
  ASSERT_EQ(CreateFile(TempPath("a.dat"), sent + std::string(200, 'x')), 0);

  BtrFile a;
  ASSERT_EQ(a.Open(TempPath("a.dat")), 0);
  ASSERT_EQ(a.Insert(std::string(40, 'r')), 0);
  ASSERT_EQ(a.Call(op::Stat, "", "", 0, 1920), 0);
  EXPECT_EQ(a.DataLen(), 16u + 4 * 16 + 265);
  EXPECT_EQ(Hex(a.Data()), Hex(StatOf(create, 1)));

  const std::string stat = a.DataBuffer();  // all 1920 bytes, as a clone sends them
  ASSERT_EQ(CreateFile(TempPath("b.dat"), stat, create_mode::Replace), 0);
  BtrFile b;
  ASSERT_EQ(b.Open(TempPath("b.dat")), 0);
  ASSERT_EQ(b.Call(op::Stat, "", "", 0, 1920), 0);
  EXPECT_EQ(Hex(b.Data()), Hex(StatOf(create, 0)));
}

TEST_F(EngineFiles, StatFillsWhatFitsAndAnswers22) {
  ASSERT_EQ(CreateFile(TempPath("a.dat"), PeopleLayout()), 0);
  BtrFile f;
  ASSERT_EQ(f.Open(TempPath("a.dat")), 0);
  EXPECT_EQ(f.Call(op::Stat, "", "", 0, 20), status::DataBufferTooShort);
  EXPECT_EQ(f.DataLen(), 20u);
  EXPECT_EQ(Hex(f.Data()), Hex(StatOf(PeopleLayout(), 0).substr(0, 20)));
  EXPECT_EQ(f.Call(op::Stat, "", "", 0, 64), status::Success);
  EXPECT_EQ(f.DataLen(), 64u);
}

struct CreateCase {
  const char* name;
  std::string buffer;
  int16_t status;
};

TEST_F(EngineFiles, CreateRefusesBadSpecificationsAndWritesNothing) {
  using namespace key_flag;
  std::vector<Seg> tooMany;
  for (int i = 0; i < 120; ++i) tooMany.push_back({1, 1});
  const std::string acsWithoutTable = CreateBuffer(10, {{1, 4, AlternateCollating}});
  std::string chainRunsOff = CreateBuffer(10, {{1, 2, Segmented}});
  chainRunsOff[4] = 1;
  const std::vector<CreateCase> cases = {
      {"zero record length", CreateBuffer(0, {}), status::InvalidRecordLength},
      {"short header", std::string(10, '\0'), status::DataBufferTooShort},
      {"too many keys", CreateBuffer(10, tooMany), status::InvalidNumberOfKeys},
      {"segment of length 0", CreateBuffer(10, {{1, 0}}), status::InvalidKeyLength},
      {"position 0", CreateBuffer(10, {{0, 2}}), status::InvalidKeyPosition},
      {"past the record", CreateBuffer(10, {{9, 3}}), status::InvalidKeyPosition},
      {"key over 255 bytes", CreateBuffer(300, {{1, 200, Segmented}, {201, 56}}), status::InvalidKeyLength},
      {"integer of 3 bytes", CreateBuffer(10, {{1, 3, ExtendedType, key_type::Integer}}), status::InvalidKeyLength},
      {"autoincrement of 8", CreateBuffer(10, {{1, 8, ExtendedType, key_type::AutoIncrement}}),
       status::InvalidKeyLength},
      {"unknown key type", CreateBuffer(10, {{1, 4, ExtendedType, 7}}), status::InvalidKeyLength},
      {"segments cut off", CreateBuffer(10, {{1, 2}, {3, 2}}).substr(0, 40), status::DataBufferTooShort},
      {"chain runs off", chainRunsOff, status::DataBufferTooShort},
      {"sequence missing", acsWithoutTable, status::DataBufferTooShort},
  };
  for (const CreateCase& c : cases) {
    EXPECT_EQ(CreateFile(TempPath("x.dat"), c.buffer), c.status) << c.name;
    EXPECT_TRUE(fs::is_empty(Temp.path())) << c.name;
  }
}

TEST_F(EngineFiles, ExistingFileIsKeptOrReplacedByMode) {
  const std::string path = TempPath("a.dat");
  ASSERT_EQ(CreateFile(path, PeopleLayout()), 0);
  {
    BtrFile f;
    ASSERT_EQ(f.Open(path), 0);
    ASSERT_EQ(f.Insert(PersonRecord({0, "Ann", "G", ""})), 0);
  }
  const std::string before = ReadFileBytes(path);
  EXPECT_EQ(CreateFile(path, CreateBuffer(8, {}), create_mode::NoReplace), status::FileAlreadyExists);
  EXPECT_EQ(ReadFileBytes(path), before);

  EXPECT_EQ(CreateFile(path, CreateBuffer(8, {}), create_mode::Replace), 0);
  BtrFile f;
  ASSERT_EQ(f.Open(path), 0);
  EXPECT_EQ(f.RecordCount(), 0u);
  EXPECT_EQ(f.RecordRoom, 8u);
  // Nothing but the file and its lock file stays in the folder.
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(Temp.path())) names.insert(entry.path().filename().string());
  EXPECT_EQ(names, (std::set<std::string>{"a.dat", "a.dat.lck"}));
}

TEST_F(EngineFiles, ReplacingAFileThatIsOpenAnswers85) {
  const std::string path = TempPath("a.dat");
  ASSERT_EQ(CreateFile(path, PeopleLayout()), 0);
  BtrFile f;
  ASSERT_EQ(f.Open(path), 0);
  EXPECT_EQ(CreateFile(path, CreateBuffer(8, {}), create_mode::Replace), status::FileLocked);
  EXPECT_EQ(f.RecordRoom, 32u);
  EXPECT_EQ(f.Insert(PersonRecord({0, "Ann", "G", ""})), 0);
}

TEST_F(EngineFiles, NamesResolveLikeTheFileLayer) {
  fs::create_directory(Temp.path() / "Data");
  ASSERT_EQ(CreateFile(TempPath("Data") + "\\Clients.DAT", PeopleLayout()), 0);
  EXPECT_TRUE(fs::exists(Temp.path() / "Data" / "Clients.DAT"));
  BtrFile f;
  EXPECT_EQ(f.Open(TempPath("DATA") + "\\clients.dat"), 0);
  EXPECT_EQ(f.RecordRoom, 32u);

  struct NameCase {
    const char* what;
    std::string key;  // the whole key buffer
    uint8_t keyLen;
    int16_t open, create;
  };
  const std::string missing = TempPath("none.dat");
  const std::vector<NameCase> cases = {
      {"empty", std::string(1, '\0'), 255, status::InvalidFileName, status::InvalidFileName},
      {"not terminated", missing, uint8_t(missing.size()), status::InvalidFileName, status::InvalidFileName},
      {"a folder", TempPath("data") + '\0', 255, status::InvalidFileName, status::InvalidFileName},
      {"trailing separator", TempPath("new") + "\\" + '\0', 255, status::InvalidFileName, status::InvalidFileName},
      {"missing file", missing + '\0', 255, status::FileNotFound, status::Success},
      {"missing folder", TempPath("nofolder") + "/x.dat" + '\0', 255, status::FileNotFound, status::CreateError},
  };
  for (const NameCase& c : cases) {
    BtrFile g;
    EXPECT_EQ(g.Call(op::Open, "", c.key, 0, 0, c.keyLen), c.open) << c.what;
    std::string create = PeopleLayout();
    std::array<uint8_t, 128> pos{};
    std::string key = c.key;
    key.resize(256, '\0');
    uint32_t len = uint32_t(create.size());
    EXPECT_EQ(Wbtrv().Call(op::Create, pos.data(), create.data(), &len, key.data(), c.keyLen, -1), c.create)
        << c.what;
  }
}

TEST_F(EngineFiles, ForeignDamagedAndEmptyFilesAnswer30AndStayAsTheyWere) {
  const std::string good = TempPath("good.dat");
  ASSERT_EQ(CreateFile(good, PeopleLayout()), 0);
  {
    BtrFile f;
    ASSERT_EQ(f.Open(good), 0);
    for (int i = 0; i < 200; ++i) ASSERT_EQ(f.Insert(PersonRecord({0, "N" + std::to_string(i), "G", ""})), 0);
  }
  const std::string bytes = ReadFileBytes(good);
  std::string wrongId = bytes;
  wrongId[70] ^= 1;
  std::string walMode = bytes;
  walMode[18] = walMode[19] = 2;
  const std::vector<std::pair<const char*, std::string>> cases = {
      {"empty", ""},
      {"text", "Client list\r\nAnn\r\n"},
      {"junk", std::string(5000, '\x5A')},
      {"header only", bytes.substr(0, 100)},
      {"truncated", bytes.substr(0, bytes.size() / 2)},
      {"another application id", wrongId},
      {"write-ahead log mode", walMode},
  };
  for (const auto& [what, content] : cases) {
    const std::string path = TempPath(std::string(what) + ".dat");
    WriteFileBytes(path, content);
    BtrFile f;
    EXPECT_EQ(f.Open(path), status::NotRecordManagerFile) << what;
    EXPECT_EQ(f.Get(op::GetFirst, "", 0, 32), status::FileNotOpen) << what;
    EXPECT_EQ(ReadFileBytes(path), content) << what;
    EXPECT_FALSE(fs::exists(path + "-journal") || fs::exists(path + "-wal") || fs::exists(path + "-shm") ||
                 fs::exists(path + ".lck"))
        << what;
  }
}

TEST_F(EngineFiles, KilledCommitsLeftoversGoOnlyWhenNobodyHasTheFileOpen) {
  const std::string path = TempPath("a.dat");
  ASSERT_EQ(CreateFile(path, PeopleLayout()), 0);
  const uint8_t other[16] = {9};
  BtrFile theirs;
  theirs.ClientId = other;
  ASSERT_EQ(theirs.Open(path), 0);
  // A journal SQLite never plays back, a super-journal whose journals are
  // all gone, one whose journal SQLite would play back, and one whose
  // journal it never would.
  WriteFileBytes(path + "-journal", std::string(512, '\0'));
  WriteFileBytes(path + "-mj0123459AB", "/gone/a.dat-journal" + std::string(1, '\0'));
  WriteFileBytes(TempPath("b.dat-journal"), "\xD9\xD5\x05\xF9");
  WriteFileBytes(path + "-mjABCDEF9AB", TempPath("b.dat-journal") + '\0');
  WriteFileBytes(TempPath("c.dat-journal"), std::string(28, '\0'));
  WriteFileBytes(path + "-mj13579B9CD", TempPath("c.dat-journal") + '\0');
  const std::set<std::string> all = {"a.dat", "a.dat.lck", "a.dat-journal", "a.dat-mj0123459AB", "a.dat-mjABCDEF9AB",
                                     "a.dat-mj13579B9CD", "b.dat-journal", "c.dat-journal"};
  auto names = [&] {
    std::set<std::string> found;
    for (const auto& entry : fs::directory_iterator(Temp.path())) found.insert(entry.path().filename().string());
    return found;
  };
  {
    BtrFile mine;
    ASSERT_EQ(mine.Open(path), 0);
    EXPECT_EQ(names(), all);
  }
  ASSERT_EQ(theirs.Close(), 0);
  BtrFile mine;
  ASSERT_EQ(mine.Open(path), 0);
  EXPECT_EQ(names(),
            (std::set<std::string>{"a.dat", "a.dat.lck", "a.dat-mjABCDEF9AB", "b.dat-journal", "c.dat-journal"}));
  EXPECT_EQ(mine.Insert(PersonRecord({0, "Ann", "g", ""})), 0);
}

TEST_F(EngineFiles, PositionBlocksNeverOpenedClosedOrGarbageAnswer3) {
  ASSERT_EQ(CreateFile(TempPath("a.dat"), PeopleLayout()), 0);
  BtrFile never;
  EXPECT_EQ(never.Get(op::GetFirst, "", 0, 32), status::FileNotOpen);
  BtrFile garbage;
  for (size_t i = 0; i < garbage.Pos.size(); ++i) garbage.Pos[i] = uint8_t(i * 37 + 11);
  EXPECT_EQ(garbage.Call(op::Stat, "", "", 0, 1920), status::FileNotOpen);

  BtrFile f;
  ASSERT_EQ(f.Open(TempPath("a.dat")), 0);
  BtrFile copy;
  copy.Pos = f.Pos;
  EXPECT_EQ(f.Close(), 0);
  EXPECT_EQ(f.Close(), status::FileNotOpen);
  EXPECT_EQ(copy.Call(op::Stat, "", "", 0, 1920), status::FileNotOpen);

  // A block reopened elsewhere does not bring the old copy back.
  ASSERT_EQ(f.Open(TempPath("a.dat")), 0);
  EXPECT_EQ(copy.Call(op::Stat, "", "", 0, 1920), status::FileNotOpen);
  // Another client does not reach this client's block.
  const uint8_t other[16] = {7};
  copy.Pos = f.Pos;
  copy.ClientId = other;
  EXPECT_EQ(copy.Call(op::Stat, "", "", 0, 1920), status::FileNotOpen);
  copy.ClientId = nullptr;
}

TEST_F(EngineFiles, OpeningAnOpenBlockAgainKeepsTheOldOpenOnFailure) {
  ASSERT_EQ(CreateFile(TempPath("a.dat"), PeopleLayout()), 0);
  ASSERT_EQ(CreateFile(TempPath("b.dat"), CreateBuffer(8, {})), 0);
  BtrFile f;
  ASSERT_EQ(f.Open(TempPath("a.dat")), 0);
  EXPECT_EQ(f.Open(TempPath("missing.dat")), status::FileNotFound);
  EXPECT_EQ(f.RecordCount(), 0u);
  EXPECT_EQ(f.Open(TempPath("b.dat")), 0);
  EXPECT_EQ(f.RecordRoom, 8u);
}

TEST_F(EngineFiles, UnknownAndDeferredOperationsAnswer1) {
  ASSERT_EQ(CreateFile(TempPath("a.dat"), PeopleLayout()), 0);
  BtrFile f;
  ASSERT_EQ(f.Open(TempPath("a.dat")), 0);
  for (uint16_t op : {16, 26, 28, 17, 18, 31, 32, 44, 45, 56, 99, 150, 202, 215, 250, 305, 1000, 65535}) {
    EXPECT_EQ(f.Call(op, "", "", 0, 64), status::InvalidOperation) << op;
  }
  // Owner names and unknown open modes.
  BtrFile g;
  std::string name = TempPath("a.dat") + '\0';
  EXPECT_EQ(g.Call(op::Open, std::string("owner") + '\0', name, 0), status::InvalidOperation);
  EXPECT_EQ(g.Call(op::Open, "", name, 3), status::InvalidOperation);
  EXPECT_EQ(g.Call(op::Open, std::string(1, '\0'), name, 0), status::Success);
}

TEST_F(EngineFiles, StartStopAndClientStop) {
  ASSERT_EQ(CreateFile(TempPath("a.dat"), PeopleLayout()), 0);
  BtrFile f;
  ASSERT_EQ(f.Open(TempPath("a.dat")), 0);
  EXPECT_EQ(Wbtrv().Init(""), status::AlreadyInitialized);
  EXPECT_EQ(Wbtrv().Stop(), 0);
  EXPECT_EQ(Wbtrv().Init(""), 0);
  EXPECT_EQ(Wbtrv().Init(nullptr), status::AlreadyInitialized);
  EXPECT_EQ(f.RecordCount(), 0xFFFFFFFFu);  // the open ended with the engine
  // After a stop the first call starts the engine again by itself.
  EXPECT_EQ(Wbtrv().Stop(), 0);
  EXPECT_EQ(f.Call(op::Stat, "", "", 0, 1920), status::FileNotOpen);
  EXPECT_EQ(Wbtrv().Init(""), status::AlreadyInitialized);

  const uint8_t id[16] = {1, 2, 3};
  BtrFile mine, theirs;
  mine.ClientId = id;
  ASSERT_EQ(mine.Open(TempPath("a.dat")), 0);
  ASSERT_EQ(theirs.Open(TempPath("a.dat")), 0);
  BtrFile stopper;
  stopper.ClientId = id;
  EXPECT_EQ(stopper.Call(op::Stop), 0);
  EXPECT_EQ(mine.Call(op::Stat, "", "", 0, 1920), status::FileNotOpen);
  EXPECT_EQ(theirs.Call(op::Stat, "", "", 0, 1920), status::Success);
}

TEST(EngineLibrary, ExportsExactlyTheEntryPointsAndTheWholeFileFunctions) {
  FILE* nm = popen("nm -D --defined-only " WBTRV32_PATH " 2>/dev/null", "r");
  ASSERT_NE(nm, nullptr);
  std::set<std::string> names;
  char line[512];
  while (fgets(line, sizeof line, nm)) {
    std::string s(line);
    s.erase(s.find_last_not_of("\r\n") + 1);
    names.insert(s.substr(s.rfind(' ') + 1));
  }
  if (pclose(nm) != 0 && names.empty()) GTEST_SKIP() << "nm is not available";
  EXPECT_EQ(names, (std::set<std::string>{"BTRCALL", "BTRCALLID", "WBTRVINIT", "WBTRVSTOP", "WBTRVFILEINUSE",
                                          "WBTRVCOPYFILE", "WBTRVRENAMEFILE", "WBTRVDELETEFILE"}));
}

}  // namespace
