#include "platform/busy_cursor.h"

#include <atomic>

namespace {

std::atomic<const TBusyCursorHooks*> hooks{nullptr};

}  // namespace

void SetBusyCursorHooks(const TBusyCursorHooks* Hooks) { hooks.store(Hooks); }

TBusyCursor::TBusyCursor() : shown_(hooks.load()) {
  if (shown_) shown_->Show();
}

TBusyCursor::~TBusyCursor() {
  if (shown_) shown_->Restore();
}
