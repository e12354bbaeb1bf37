// The program's main block: the unit initializations in their order, the
// application's title, the forms created at start, the main window shown
// and the event loop; then the finalizations in reverse order.
//
// A termination during start-up ends it there: no further step, form,
// window or event loop, and the exit status is 1.
#pragma once

#include "mainwin/startup_context.h"

#include <functional>

// REQUIRES: a QApplication exists. The dialog service in place shows the
// messages (the program installs the real boxes first, tests a responder).
int MainBlock(StartupContext& Context);

// For main(): copies the command line, makes the application with the
// program name alone (Qt neither strips nor obeys a parameter that looks
// like one of its options), sets LC_NUMERIC back to "C" and runs Body.
int RunWithApplication(int argc, char** argv, const std::function<int(StartupContext&)>& Body);
