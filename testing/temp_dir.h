// A fresh temporary folder per test, removed with everything in it afterwards,
// and the current folder moved for one scope.
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

// The process's current folder for one scope, the old one back afterwards.
class ScopedCurrentDir {
public:
  explicit ScopedCurrentDir(const std::filesystem::path& dir) : saved_(std::filesystem::current_path()) {
    std::filesystem::current_path(dir);
  }
  ~ScopedCurrentDir() { std::filesystem::current_path(saved_); }
  ScopedCurrentDir(const ScopedCurrentDir&) = delete;
  ScopedCurrentDir& operator=(const ScopedCurrentDir&) = delete;

private:
  std::filesystem::path saved_;
};

// Writes bytes to a file, replacing it; reads a whole file back.
void WriteFileBytes(const std::string& path, const std::string& bytes);
std::string ReadFileBytes(const std::string& path);
