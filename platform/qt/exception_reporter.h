// The application's default exception handler: what reaches the event loop
// is shown in an error box, except EAbort, which unwinds silently. Event
// handlers run their body through GuardEvent so that no exception ever
// crosses Qt's event dispatch (Qt cannot unwind through it).
#pragma once

#include <exception>
#include <utility>

// Shows the message of E (Windows-1252 for Exception, what() otherwise)
// through the dialog seam; nothing for EAbort. Never throws.
void ReportException(const std::exception& e) noexcept;
// For a throw of something that is not a std::exception.
void ReportUnknownException() noexcept;

// Runs Fn and reports whatever it throws. True when Fn ran to its end.
template <class Fn>
bool GuardEvent(Fn&& fn) noexcept {
  try {
    std::forward<Fn>(fn)();
    return true;
  } catch (const std::exception& e) {
    ReportException(e);
  } catch (...) {
    ReportUnknownException();
  }
  return false;
}
