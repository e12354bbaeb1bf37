#include "engine/tests/damage.h"

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

void DamageFile(const std::string& path, const std::string& sql) {
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr), SQLITE_OK);
  // The table's text loses its NOT NULL rules; the stored rows stay as they are.
  const std::string relax =
      "PRAGMA writable_schema = ON;"
      "UPDATE sqlite_schema SET sql = replace(sql, ' NOT NULL', '') WHERE type = 'table';"
      "PRAGMA writable_schema = OFF;";
  EXPECT_EQ(sqlite3_exec(db, relax.c_str(), nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
  sqlite3_close(db);
  ASSERT_EQ(sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr), SQLITE_OK);
  EXPECT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK) << sql << ": " << sqlite3_errmsg(db);
  sqlite3_close(db);
}

int WriteFromAnotherProcess(const std::string& path, const std::string& sql) {
  const pid_t pid = fork();
  if (pid < 0) return -1;
  if (pid == 0) {
    // Only SQLite runs here, and the child leaves without running this
    // process's exit handlers.
    sqlite3* db = nullptr;
    int rc = sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);
    if (rc == SQLITE_OK) rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr);
    sqlite3_close(db);
    _exit(rc & 0xFF);
  }
  int status = 0;
  if (waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}
