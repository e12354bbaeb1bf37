// Warnings the program notes for whoever runs it but never shows in a box:
// a dropped message, a refused folder. Each is one line on stderr, prefixed
// with the program's name. Tests replace the sink to read the lines back.
#pragma once

#include <functional>
#include <string_view>

void LogWarning(std::string_view text);

using LogSink = std::function<void(std::string_view line)>;
// Installs `sink` (an empty one restores stderr) and returns the previous one.
LogSink SetLogSink(LogSink sink);
