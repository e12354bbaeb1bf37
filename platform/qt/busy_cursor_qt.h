// The Qt side of the core's busy cursor (platform/busy_cursor.h): each
// TBusyCursor scope holds a THourglass. The program installs it at its start.
#pragma once

void InstallQtBusyCursor();
