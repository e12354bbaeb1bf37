// A start for one template (parameter 2 named a listed template): its entry
// screen opens before the main window first shows, and Timer1 ends the
// program once it closed.
#include "mainwin/mtdesk_form.h"

#include "platform/command_line.h"
#include "templates/startup_globals.h"

#include <QTimer>

namespace {

// Parameter 2 names one of the two e-mail templates (numbers 0 and 1).
bool EmailTemplateNamed() { return ParamStr(2) == "0" || ParamStr(2) == "1"; }

}  // namespace

bool TMtdeskF::OpenDirectTemplate() {
  if (!Startup.DirectMode) return true;
  EntryMaintenancefor1Click();
  // An e-mail template's own start never shows the list; when its entry
  // screen did not open, no timer would end a hidden program, so it shows.
  if (Startup.SingleTemplateMode && EmailTemplateNamed() && Timer1->isActive()) {
    resize(0, 0);
    return false;
  }
  return true;
}
