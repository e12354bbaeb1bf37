// The application object's share of the runtime: its title and Terminate.
// Terminate only asks: the current handler runs to its end and the program
// leaves its event loop at the loop's next turn, as the Parts expect of a
// start-up that finds its data unusable.
#pragma once

#include <string>

class QDialog;
class QString;
class QWidget;

// Sets a flag and queues a quit of the event loop; safe before the loop runs.
void Terminate();
bool Terminated();
// Clears the flag (tests, and a fresh start in the same process).
void ResetTerminated();

// The application as a whole on the desktop. Only visible top-level
// windows are touched: a window kept hidden (the main window of a direct
// start) is never shown by them. A desktop that refuses to activate a
// window is no error.
// The window last active (the active modal one first; minimized or not)
// shown as it was before it was minimized, raised and activated.
void ApplicationBringToFront();
// Every visible top-level window minimized; they are remembered, with the
// one that was active.
void ApplicationMinimize();
// The windows ApplicationMinimize remembered shown again in their earlier
// state, the one active then raised and activated.
void ApplicationRestore();

// Runs Dialog modally over Owner's window: a dialog owned by the main
// window would otherwise have the desktop raise the main window with it,
// between Owner and the dialog. Returns exec()'s result.
int ExecOver(QDialog& Dialog, QWidget* Owner);

// Shows the window unless the program is ending: after a termination during
// start-up no window may flash up. True when shown.
bool ShowUnlessTerminated(QWidget* window);

// The caption of message boxes; the product name until a title is set.
QString ApplicationTitle();
// Title is Windows-1252.
void SetApplicationTitle(const std::string& title);
