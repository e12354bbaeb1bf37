// A fresh temporary folder per test, removed with everything in it afterwards.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

class ScopedTempDir {
public:
  ScopedTempDir();
  ~ScopedTempDir();
  ScopedTempDir(const ScopedTempDir&) = delete;
  ScopedTempDir& operator=(const ScopedTempDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  // The native path of a name inside the folder.
  std::string operator/(const std::string& name) const { return (path_ / name).string(); }

private:
  std::filesystem::path path_;
};

class TempDirTest : public ::testing::Test {
protected:
  ScopedTempDir Temp;
  std::string TempPath(const std::string& name) const { return Temp / name; }
};

// Writes bytes to a file, replacing it; reads a whole file back.
void WriteFileBytes(const std::string& path, const std::string& bytes);
std::string ReadFileBytes(const std::string& path);
