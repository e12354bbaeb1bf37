#include "platform/qt/exception_reporter.h"

#include "platform/dialogs.h"
#include "platform/errors.h"

#include <cstdio>
#include <string>
#include <string_view>

namespace {

// A failure while showing the box must not escape either: the last resort
// is standard error.
void ShowError(std::string_view text) noexcept {
  try {
    MessageDlg(std::string(text), mtError, mbOKOnly, 0);
  } catch (...) {
    std::fwrite(text.data(), 1, text.size(), stderr);
    std::fputc('\n', stderr);
  }
}

}  // namespace

void ReportException(const std::exception& e) noexcept {
  if (dynamic_cast<const EAbort*>(&e)) return;
  if (const auto* own = dynamic_cast<const Exception*>(&e)) {
    ShowError(own->Message);
    return;
  }
  ShowError(e.what());
}

void ReportUnknownException() noexcept { ShowError("An unexpected error occurred."); }
