// The hourglass for code without widgets, as a scope: shown while the
// scope lives and restored however it is left, also by an exception.
// Core modules cannot reach the widget toolkit, so the program installs
// what shows and restores it (InstallQtBusyCursor, platform/qt/
// busy_cursor_qt.h); without one (a core test, a tool) nothing is shown.
#pragma once

struct TBusyCursorHooks {
  void (*Show)();     // the hourglass over whatever was shown
  void (*Restore)();  // back to what the matching Show covered
};

// nullptr removes them. The object must outlive its use.
void SetBusyCursorHooks(const TBusyCursorHooks* Hooks);

class TBusyCursor {
public:
  TBusyCursor();
  ~TBusyCursor();
  TBusyCursor(const TBusyCursor&) = delete;
  TBusyCursor& operator=(const TBusyCursor&) = delete;

private:
  // The hooks this scope showed with, restored with the same ones.
  const TBusyCursorHooks* shown_ = nullptr;
};
