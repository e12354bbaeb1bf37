// The about box: when the running program file was last written, which for
// an installed program is when it was built.
#include "mainwin/mtdesk_form.h"

#include "platform/date_format.h"
#include "platform/dialogs.h"
#include "platform/files.h"
#include "platform/session.h"
#include "templates/startup_globals.h"

void TMtdeskF::About1Click() {
  TDateTime built = 0;
  // The program file is there while it runs; should it have gone, the box
  // still shows, without a time.
  const std::string when =
      FileAge(Startup.ExeDir + "\\" + ProgramFileName(), built) ? DateTimeToStr(built) : std::string();
  MessageDlg("MTDESK.EXE   compiled " + when, mtInformation, mbOKOnly);
}
