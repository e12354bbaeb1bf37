// The program's membership of the instance bus (platform/instance_bus.h),
// served from the Qt event loop: a socket notifier on the UI thread delivers
// messages, nested modal loops included, and the instance announces that it
// is ready the first time its loop goes idle with one of its top-level
// windows (a main window or a dialog) shown. Needs a QApplication.
#pragma once

#include "platform/instance_bus.h"

// Joins once start-up has succeeded. Off or refused, the program runs on
// alone; the reason is in the log.
BusJoin JoinInstanceBus(BusRole role = BusRole::Instance);
// Leaves at exit, removing this instance's socket.
void LeaveInstanceBus();
