// The exception family of the runtime. Every library error derives from
// Exception; EAbort is the silent one that unwinds without a message.
// Messages are Windows-1252 bytes, as every stored or shown text.
#pragma once

#include <exception>
#include <string>

class Exception : public std::exception {
public:
  explicit Exception(std::string message) : Message(std::move(message)) {}
  const char* what() const noexcept override { return Message.c_str(); }
  std::string Message;
};

// Unwinds to the event loop without a message box.
class EAbort : public Exception {
public:
  explicit EAbort(std::string message = "Operation aborted") : Exception(std::move(message)) {}
};

// A text that is not a number, a date or a valid format for its arguments.
class EConvertError : public Exception {
public:
  using Exception::Exception;
};

// A file routine that failed with the operating system's reason.
class EInOutError : public Exception {
public:
  using Exception::Exception;
};

[[noreturn]] void Abort();

// The text of a failure to show: an Exception's message whole (it may
// quote record bytes, NULs included), else what the library says.
std::string ExceptionText(const std::exception& E);
