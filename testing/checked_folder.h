// Every record-manager file a test leaves behind must pass mdbtr check, the
// tool an office runs on its files: a test that writes through the record
// manager proves on its way out that what it wrote is sound.
//
// The files are told by the record manager itself (its in-use probe), never
// by their extension, so descriptors, data files and user lists are all
// checked. Both the library and mdbtr are taken from the folder of the test
// program, where every binary of the tree is built.
#pragma once

#include "testing/temp_dir.h"

#include <filesystem>
#include <string>
#include <vector>

// A program run to its end: its exit status (-1 when it could not be run or
// did not exit) and what it wrote to standard output and standard error.
struct ProgramRun {
  int Exit = -1;
  std::string Out;
  std::string Err;
};
ProgramRun RunProgram(const std::string& path, const std::vector<std::string>& args);
// mdbtr from the test program's folder.
ProgramRun RunMdbtr(const std::vector<std::string>& args);

// Runs mdbtr check on every record-manager file in the folder and below, and
// fails the test when one is unsound or still open: the caller closes its
// files (or stops the engine) first, since a file a client of this process
// holds open cannot be told apart from one another workstation holds.
void CheckRecordFiles(const std::filesystem::path& folder);

// A test in a temporary folder whose record-manager files are checked when
// it ends. A fixture that keeps files open closes them in its own TearDown
// before calling this one.
class CheckedFolderTest : public TempDirTest {
protected:
  void TearDown() override { CheckRecordFiles(Temp.path()); }
};
