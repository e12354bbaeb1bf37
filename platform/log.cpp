#include "platform/log.h"

#include <cerrno>
#include <cstdio>
#include <mutex>
#include <string>

namespace {

std::mutex sink_mutex;
LogSink sink;

void WriteToStderr(std::string_view text) {
  // The running program's own name: the tools share this log.
  std::string line = program_invocation_short_name;
  line.append(": ");
  line.append(text);
  line.push_back('\n');
  std::fwrite(line.data(), 1, line.size(), stderr);
}

}  // namespace

void LogWarning(std::string_view text) {
  std::lock_guard lock(sink_mutex);
  if (sink)
    sink(text);
  else
    WriteToStderr(text);
}

LogSink SetLogSink(LogSink replacement) {
  std::lock_guard lock(sink_mutex);
  LogSink previous = std::move(sink);
  sink = std::move(replacement);
  return previous;
}
