// The record manager's entry points, loaded with dlopen as the program
// loads them. Shared by the test harness, the helper processes the tests
// start, and the benchmarks.
#pragma once

#include <cstdint>
#include <string>

using BtrCallFn = int16_t (*)(uint16_t, void*, void*, uint32_t*, void*, uint8_t, int8_t);
using BtrCallIdFn = int16_t (*)(uint16_t, void*, void*, uint32_t*, void*, uint8_t, int8_t, const uint8_t*);
using InitFn = int16_t (*)(const char*);
using StopFn = int16_t (*)();
using FileFn = int16_t (*)(const char*);
using FileToFileFn = int16_t (*)(const char*, const char*);

struct Library {
  BtrCallFn Call = nullptr;
  BtrCallIdFn CallId = nullptr;
  InitFn Init = nullptr;
  StopFn Stop = nullptr;
  FileFn FileInUse = nullptr;
  FileToFileFn CopyFile = nullptr;
  FileToFileFn RenameFile = nullptr;
  FileFn DeleteFile = nullptr;
};

// Loads the library at path (RTLD_NOW) and resolves the entry points and the
// whole-file functions; false with the reason in error.
bool LoadWbtrv(const char* path, Library& library, std::string& error);
