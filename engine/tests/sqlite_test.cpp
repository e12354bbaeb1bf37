// The files as SQLite sees them: readable with the system's SQLite, never
// read-locked between engine calls, and SQLite files of others refused.
#include "engine/tests/engine_harness.h"
#include "testing/temp_dir.h"

#include <dlfcn.h>
#include <sqlite3.h>

#include <filesystem>

using namespace engine;
namespace fs = std::filesystem;

namespace {

class EngineSqlite : public EngineFolderTest {
protected:
  // A connection of its own, as another program would hold it.
  sqlite3* Connect(const std::string& path, int flags = SQLITE_OPEN_READWRITE) {
    sqlite3* db = nullptr;
    EXPECT_EQ(sqlite3_open_v2(path.c_str(), &db, flags, nullptr), SQLITE_OK);
    return db;
  }
  static int Exec(sqlite3* db, const std::string& sql) { return sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr); }
  static std::string Text(sqlite3* db, const std::string& sql) {
    sqlite3_stmt* stmt = nullptr;
    std::string out;
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, nullptr) != SQLITE_OK) return "error: " + std::string(sqlite3_errmsg(db));
    while (sqlite3_step(stmt) == SQLITE_ROW) {
      for (int c = 0; c < sqlite3_column_count(stmt); ++c) {
        if (c) out += '|';
        out += reinterpret_cast<const char*>(sqlite3_column_text(stmt, c));
      }
      out += ';';
    }
    sqlite3_finalize(stmt);
    return out;
  }
};

TEST_F(EngineSqlite, WrittenFilesAreReadableWithSQLiteItself) {
  const std::string path = TempPath("p.dat");
  ASSERT_EQ(CreateFile(path, PeopleLayout()), 0);
  {
    BtrFile f;
    ASSERT_EQ(f.Open(path), 0);
    ASSERT_EQ(f.Insert(PersonRecord({0, "Ann", "red", "x"})), 0);
    ASSERT_EQ(f.Insert(PersonRecord({0, "Bob", "blue", "y"})), 0);
  }
  sqlite3* db = Connect(path, SQLITE_OPEN_READONLY);
  EXPECT_EQ(Text(db, "PRAGMA integrity_check"), "ok;");
  EXPECT_EQ(Text(db, "PRAGMA journal_mode"), "delete;");
  EXPECT_EQ(Text(db, "SELECT id, hex(record) FROM records ORDER BY id"),
            "1|" + Hex(PersonRecord({1, "Ann", "red", "x"})) + ";2|" + Hex(PersonRecord({2, "Bob", "blue", "y"})) + ";");
  EXPECT_EQ(Text(db, "SELECT value FROM metadata WHERE name = 'format'"), "Corvenstead record manager file 1;");
  EXPECT_EQ(Text(db, "SELECT hex(value) FROM metadata WHERE name = 'spec'"), Hex(PeopleLayout().replace(9, 1, 1, '\0')) + ";");
  sqlite3_close(db);
}

TEST_F(EngineSqlite, AWalkHoldsNoReadLockBetweenCalls) {
  const std::string path = TempPath("p.dat");
  ASSERT_EQ(CreateFile(path, PeopleLayout()), 0);
  BtrFile f;
  ASSERT_EQ(f.Open(path), 0);
  for (int i = 0; i < 300; ++i) ASSERT_EQ(f.Insert(PersonRecord({0, "N" + std::to_string(1000 + i), "g", ""})), 0);

  sqlite3* other = Connect(path);  // no busy wait: a held lock fails at once
  ASSERT_EQ(f.Get(op::GetFirst, "", 1), 0);
  for (int i = 0; i < 150; ++i) {
    ASSERT_EQ(f.Get(op::GetNext, "", 1), 0);
    // Another program commits between the calls: deletes the next row.
    const int next = uint8_t(f.Data()[0]) + (uint8_t(f.Data()[1]) << 8) + 1;
    ASSERT_EQ(Exec(other, "DELETE FROM records WHERE id = " + std::to_string(next)), SQLITE_OK) << i;
  }
  // Every deleted row stayed unseen: the walk read 1, 2, 4, 6, ...
  EXPECT_EQ(f.Data().substr(0, 4), LE(300, 4));
  sqlite3_close(other);
}

TEST_F(EngineSqlite, PhysicalPositionsStopBelowTwoToThe32) {
  const std::string path = TempPath("p.dat");
  ASSERT_EQ(CreateFile(path, PeopleLayout()), 0);
  BtrFile f;
  ASSERT_EQ(f.Open(path), 0);
  ASSERT_EQ(f.Insert(PersonRecord({0, "Ann", "g", ""})), 0);
  sqlite3* db = Connect(path);
  ASSERT_EQ(Exec(db, "UPDATE sqlite_sequence SET seq = 4294967294 WHERE name = 'records'"), SQLITE_OK);
  sqlite3_close(db);
  ASSERT_EQ(f.Insert(PersonRecord({0, "Bob", "g", ""})), 0);
  EXPECT_EQ(f.Position(), 4294967295u);
  EXPECT_EQ(f.Insert(PersonRecord({0, "Cleo", "g", ""})), status::IoError);
  EXPECT_EQ(f.RecordCount(), 2u);
}

// The library registers its VFS with the process's SQLite, which may stay
// loaded when the library is unloaded and must not keep a VFS that is gone.
TEST_F(EngineSqlite, UnloadingTheLibraryLeavesSQLiteWhole) {
  auto engineVfsCount = [] {
    int n = 0;
    for (sqlite3_vfs* vfs = sqlite3_vfs_find(nullptr); vfs; vfs = vfs->pNext) n += std::string(vfs->zName) == "mdrm";
    return n;
  };
  const int before = engineVfsCount();
  // A copy is a library of its own, unloaded by its dlclose.
  const std::string copy = TempPath("libcopy.so");
  fs::copy_file(WBTRV32_PATH, copy);
  void* library = dlopen(copy.c_str(), RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(library, nullptr) << dlerror();
  auto call = reinterpret_cast<BtrCallFn>(dlsym(library, "BTRCALL"));
  auto stop = reinterpret_cast<StopFn>(dlsym(library, "WBTRVSTOP"));
  std::string spec = PeopleLayout(), name = TempPath("p.dat") + '\0';
  std::array<uint8_t, 128> pos{};
  uint32_t length = uint32_t(spec.size());
  ASSERT_EQ(call(op::Create, pos.data(), spec.data(), &length, name.data(), 255, 0), 0);
  length = 0;
  ASSERT_EQ(call(op::Open, pos.data(), nullptr, &length, name.data(), 255, 0), 0);
  EXPECT_EQ(engineVfsCount(), before + 1);
  EXPECT_EQ(stop(), 0);
  ASSERT_EQ(dlclose(library), 0);
  EXPECT_EQ(engineVfsCount(), before);
  sqlite3* db = Connect(TempPath("p.dat"), SQLITE_OPEN_READONLY);
  EXPECT_EQ(Text(db, "SELECT count(*) FROM records"), "0;");
  sqlite3_close(db);
}

TEST_F(EngineSqlite, OtherSQLiteFilesAreRefusedUntouched) {
  const std::string plain = TempPath("plain.db");
  const std::string wal = TempPath("wal.db");
  for (const std::string& path : {plain, wal}) {
    sqlite3* db = Connect(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
    if (path == wal) {
      ASSERT_EQ(Text(db, "PRAGMA journal_mode = WAL"), "wal;");
    }
    ASSERT_EQ(Exec(db, "CREATE TABLE records(id INTEGER PRIMARY KEY, record BLOB);"
                       "CREATE TABLE metadata(name TEXT PRIMARY KEY, value BLOB);"
                       "INSERT INTO records VALUES (1, x'00');"),
              SQLITE_OK);
    sqlite3_close(db);
  }
  for (const std::string& path : {plain, wal}) {
    const std::string before = ReadFileBytes(path);
    BtrFile f;
    EXPECT_EQ(f.Open(path), status::NotRecordManagerFile) << path;
    EXPECT_EQ(ReadFileBytes(path), before);
    EXPECT_FALSE(fs::exists(path + "-wal") || fs::exists(path + "-shm") || fs::exists(path + "-journal") ||
                 fs::exists(path + ".lck"));
  }
}

}  // namespace
