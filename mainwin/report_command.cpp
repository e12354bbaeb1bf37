// The report module started on the selected template. It runs on its own:
// nothing waits for it, and what it does with its arguments is its own
// business. Both menu items that start it ask it to add a report, so its
// verb is fixed.
#include "mainwin/mtdesk_form.h"

#include "mainwin/mtdesk_menus.h"
#include "platform/dialogs.h"
#include "platform/processes.h"
#include "platform/text.h"
#include "templates/startup_globals.h"

#include <QAction>

#include <climits>

namespace {

// The report module's code for this program.
constexpr char ReportProductCode[] = "5";
constexpr char ReportVerb[] = "Add";

// The caption names the template after a 40-character prefix and a quote,
// and ends with the closing quote; with nothing selected it names none.
std::string ReportTemplateName(const std::string& Caption) {
  const std::string quoted = Copy(Caption, 42, INT_MAX);
  return Copy(quoted, 1, int(quoted.size()) - 1);
}

}  // namespace

void TMtdeskF::Createreport1Click() {
  const std::vector<std::string> args{Startup.WorkDateStr, ReportProductCode, ReportTemplateName(Caption(*Reports1)),
                                      ReportVerb};
  int pid = 0;
  if (!CreateProcess(Startup.ExeDir + "\\quaps.exe", args, pid))
    MessageDlg("You may not access QUAP report functions at this time.\r", mtInformation, mbOKOnly);
}
