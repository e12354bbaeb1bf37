#include "platform/paths.h"

#include <algorithm>

namespace {

// Where the file name begins: after the last separator or drive colon.
constexpr const char* kNameDelimiters = "\\/:";
// The same plus '.', to find an extension within the file name.
constexpr const char* kExtDelimiters = ".\\/:";

// The position of the extension's dot, or npos when the file name has none.
size_t ExtensionDot(const std::string& name) {
  const size_t i = name.find_last_of(kExtDelimiters);
  return i != std::string::npos && name[i] == '.' ? i : std::string::npos;
}

}  // namespace

bool IsPathSeparator(char c) { return c == '\\' || c == '/'; }

bool HasDrivePrefix(const std::string& name) {
  if (name.size() < 2 || name[1] != ':') return false;
  const char c = name[0];
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

std::string ExtractFilePath(const std::string& name) {
  const size_t i = name.find_last_of(kNameDelimiters);
  return i == std::string::npos ? std::string() : name.substr(0, i + 1);
}

std::string ExtractFileName(const std::string& name) {
  const size_t i = name.find_last_of(kNameDelimiters);
  return i == std::string::npos ? name : name.substr(i + 1);
}

std::string ExtractFileExt(const std::string& name) {
  const size_t dot = ExtensionDot(name);
  return dot == std::string::npos ? std::string() : name.substr(dot);
}

std::string ChangeFileExt(const std::string& name, const std::string& ext) {
  return name.substr(0, ExtensionDot(name)) + ext;
}

std::string IncludeTrailingBackslash(const std::string& name) {
  if (!name.empty() && IsPathSeparator(name.back())) return name;
  return name + '\\';
}

std::string ExcludeTrailingBackslash(const std::string& name) {
  if (!name.empty() && IsPathSeparator(name.back())) return name.substr(0, name.size() - 1);
  return name;
}

std::string DisplayPath(const std::string& text) {
  std::string shown = HasDrivePrefix(text) ? text.substr(2) : text;
  std::replace(shown.begin(), shown.end(), '\\', '/');
  return shown;
}
