// Collects the lines of platform/log.h for the life of the object.
#pragma once

#include "platform/log.h"

#include <algorithm>
#include <string>
#include <vector>

class LogCapture {
 public:
  LogCapture() : previous_(SetLogSink([this](std::string_view line) { lines_.emplace_back(line); })) {}
  ~LogCapture() { SetLogSink(std::move(previous_)); }
  LogCapture(const LogCapture&) = delete;
  LogCapture& operator=(const LogCapture&) = delete;

  const std::vector<std::string>& Lines() const { return lines_; }
  std::size_t CountContaining(const std::string& part) const {
    return std::size_t(std::count_if(lines_.begin(), lines_.end(),
                                     [&](const std::string& line) { return line.find(part) != std::string::npos; }));
  }

 private:
  std::vector<std::string> lines_;
  LogSink previous_;
};
