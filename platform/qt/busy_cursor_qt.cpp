#include "platform/qt/busy_cursor_qt.h"

#include "platform/busy_cursor.h"
#include "platform/qt/cursor.h"

#include <memory>
#include <vector>

namespace {

// Scopes end in the reverse order they began (UI thread only), so the
// innermost hourglass is the one to end.
std::vector<std::unique_ptr<THourglass>>& Shown() {
  static auto* shown = new std::vector<std::unique_ptr<THourglass>>;
  return *shown;
}

void Show() { Shown().push_back(std::make_unique<THourglass>()); }

void Restore() {
  if (!Shown().empty()) Shown().pop_back();
}

const TBusyCursorHooks qtHooks{Show, Restore};

}  // namespace

void InstallQtBusyCursor() { SetBusyCursorHooks(&qtHooks); }
