#include "engine/tests/damage.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

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
