// The child side of PipedProcess (testing/piped_process.h): a test's helper
// program reads one command per line on standard input and writes one
// answer line for each on standard output.
#pragma once

#include <functional>
#include <sstream>
#include <string>

// The answer to one command; Arguments holds the rest of its line.
using TPeerCommand = std::function<std::string(const std::string& Command, std::istringstream& Arguments)>;

// The answer when a command threw. It is called inside the handler, so it
// tells the kinds apart with `throw;` in a try of its own; what it does not
// catch ends the program as before.
using TPeerFailure = std::function<std::string()>;

// Answers the lines of standard input until it ends or until LastCommand
// has been answered. Without OnFailure an exception is answered
// "error <what()>".
void ServePeerCommands(const std::string& LastCommand, const TPeerCommand& Run, const TPeerFailure& OnFailure = {});
