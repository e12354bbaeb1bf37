// What another user may plant in a shared data folder under a name the
// program expects a file at, for the tables of tests that try each opener
// with each: the kind is how the program's warning names it
// (platform/folder_file.h).
#pragma once

#include <string>
#include <vector>

struct TPlantedName {
  const char* What;
  const char* Kind;
  // Plants it at `at`; the links lead to outsideFile (which exists) or to
  // outsideMissing (which must never come to exist).
  void (*Make)(const std::string& at, const std::string& outsideFile, const std::string& outsideMissing);
};

// A link to a file outside the folder, a dangling link, a FIFO, a folder,
// a link to /dev/zero.
const std::vector<TPlantedName>& PlantedNames();

// The warning a refused name gives: "<path> is <kind>, not a file; refused".
std::string RefusalWarning(const std::string& path, const std::string& kind);
