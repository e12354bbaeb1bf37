// Damage done to a record-manager file behind the record manager's back,
// as a bad disk, another program or a hand with the sqlite3 shell would do
// it, through SQLite itself.
#pragma once

#include <string>

// Runs sql on the file with SQLite; fails the test when SQLite refuses it.
// The schema's NOT NULL rules are dropped first, so a column may be set to
// NULL as a damaged page could leave it.
void DamageFile(const std::string& path, const std::string& sql);
