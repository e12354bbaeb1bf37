// Damage done to a record-manager file behind the record manager's back,
// as a bad disk, another program or a hand with the sqlite3 shell would do
// it, through SQLite itself.
#pragma once

#include <string>

// Runs sql on the file with SQLite; fails the test when SQLite refuses it.
// The schema's NOT NULL rules are dropped first, so a column may be set to
// NULL as a damaged page could leave it.
void DamageFile(const std::string& path, const std::string& sql);

// Runs sql on the file in another process, through SQLite with no wait for
// locks: the SQLite result code, or -1 when the process could not be run.
// A lock this process left behind shows as SQLITE_BUSY.
int WriteFromAnotherProcess(const std::string& path, const std::string& sql);
