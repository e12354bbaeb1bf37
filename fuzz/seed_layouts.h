// The layouts of the files the program makes, with a few records each, as
// the project's own writers make them: the source of the seeds of every
// target that reads a record-manager file or its parts.
#pragma once

#include "fuzz/stored_file.h"

#include <string>
#include <vector>

struct SeedLayout {
  std::string name;
  std::string spec;  // the create buffer BtrCreateFile hands the engine
  int keyCount = 0;
  std::vector<std::string> records;  // whole records, prefix first
};

// The master file, a descriptor, and the nine family files.
std::vector<SeedLayout> SeedLayouts();

// Makes the file of layout at path and inserts its records through the
// engine entry point given; the file's bytes, empty when the engine refused.
std::string WriteSeedFile(StoredBtrCall call, const std::string& path, const SeedLayout& layout);
