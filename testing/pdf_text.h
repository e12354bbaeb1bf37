// What a PDF file of fixed-pitch lines says, as poppler's pdftotext reads
// it told the pitch: the text of each page, one entry per line, in the
// columns it was printed in. The page margin's blanks in front of every
// line and trailing blanks are cut. Started with posix_spawnp, never fork
// (see piped_process.h).
#pragma once

#include <gtest/gtest.h>

#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

extern char** environ;

// Pages of the PDF at Path whose characters are PitchPoints wide, each a
// list of lines (UTF-8). A file pdftotext cannot read fails the test and
// gives no page.
inline std::vector<std::vector<std::string>> PdfPages(const std::string& Path, double PitchPoints) {
  const std::string out = Path + ".txt";
  char pitch[32];
  std::snprintf(pitch, sizeof pitch, "%.4f", PitchPoints);
  std::vector<std::string> args{"pdftotext", "-fixed", pitch, "-enc", "UTF-8", Path, out};
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  pid_t pid = -1;
  const int rc = posix_spawnp(&pid, "pdftotext", nullptr, nullptr, argv.data(), environ);
  if (rc != 0) {
    ADD_FAILURE() << "starting pdftotext: " << std::strerror(rc);
    return {};
  }
  int status = 0;
  while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    ADD_FAILURE() << "pdftotext could not read " << Path;
    return {};
  }
  std::ifstream in(out, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  std::vector<std::vector<std::string>> pages;
  std::string page;
  std::istringstream all(text.str());
  // Every page ends with a form feed.
  while (std::getline(all, page, '\f')) {
    std::vector<std::string> lines;
    std::istringstream each(page);
    for (std::string line; std::getline(each, line);) {
      line.erase(line.find_last_not_of(' ') + 1);
      lines.push_back(line);
    }
    pages.push_back(lines);
  }
  // What follows the last form feed is no page.
  if (!pages.empty() && pages.back().empty()) pages.pop_back();
  size_t margin = std::string::npos;
  for (const auto& page : pages)
    for (const std::string& line : page)
      if (!line.empty()) margin = std::min(margin, line.find_first_not_of(' '));
  for (auto& page : pages)
    for (std::string& line : page) line.erase(0, std::min(margin, line.size()));
  return pages;
}
