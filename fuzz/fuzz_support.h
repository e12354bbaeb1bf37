// What every fuzz target shares: a scratch folder for the files it feeds
// its reader, quiet message boxes, and the seed list each target gives.
//
// A target is one file defining LLVMFuzzerTestOneInput and FuzzSeeds. Built
// with clang and libFuzzer it is fuzzed (scripts/fuzz); built by the
// ordinary tree it links replay_main.cpp, which runs it over its corpus
// folder as a test, or writes its seeds with --write-seeds FOLDER.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

using FuzzSeedList = std::vector<std::pair<std::string, std::string>>;  // name, bytes

// The target's seeds, made by the project's own writers.
FuzzSeedList FuzzSeeds();

// A folder of this process's own, on a memory file system when there is
// one, removed with everything in it when the process ends.
const std::string& ScratchFolder();
// ScratchFolder() + "/" + name.
std::string ScratchPath(std::string_view name);

void WriteWholeFile(const std::string& path, std::string_view bytes);
std::string ReadWholeFile(const std::string& path);
// Removes the file and the lock file and journal the engine keeps beside it.
void RemoveStoredFile(const std::string& path);

// Message boxes answered as the fallback answers them (Cancel, else No,
// else OK) without writing their texts anywhere; with MD_FUZZ_SHOW_MESSAGES
// set in the environment each text goes to standard error.
void InstallQuietDialogs();
