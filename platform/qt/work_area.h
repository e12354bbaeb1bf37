// Sizing a form to the screen's work area: the whole screen less the task
// bar, panels and docks the desktop reserves.
#pragma once

class QWidget;

// The form's frame (decorations included) takes exactly the available
// geometry of the form's screen, the primary screen when it has none.
void FitFormToWorkArea(QWidget& form);
// The platform lets a program place its windows (a Wayland compositor
// places them itself and ignores every move).
bool PlatformPlacesWindows();
