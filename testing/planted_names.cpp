#include "testing/planted_names.h"

#include <sys/stat.h>

#include <filesystem>
#include <stdexcept>

namespace fs = std::filesystem;

const std::vector<TPlantedName>& PlantedNames() {
  static const std::vector<TPlantedName> names = {
      {"link to a file outside", "a symbolic link",
       [](const std::string& at, const std::string& file, const std::string&) { fs::create_symlink(file, at); }},
      {"dangling link", "a symbolic link",
       [](const std::string& at, const std::string&, const std::string& missing) { fs::create_symlink(missing, at); }},
      {"FIFO", "a FIFO (named pipe)",
       [](const std::string& at, const std::string&, const std::string&) {
         if (::mkfifo(at.c_str(), 0666) != 0) throw std::runtime_error("cannot make a FIFO at " + at);
       }},
      {"folder", "a folder",
       [](const std::string& at, const std::string&, const std::string&) { fs::create_directory(at); }},
      {"link to /dev/zero", "a symbolic link",
       [](const std::string& at, const std::string&, const std::string&) { fs::create_symlink("/dev/zero", at); }},
  };
  return names;
}

std::string RefusalWarning(const std::string& path, const std::string& kind) {
  return path + " is " + kind + ", not a file; refused";
}
