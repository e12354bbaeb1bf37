// The utility command that prints the selected template's layout: its
// tables loaded, the lookup targets it shows read, then the pages made
// (layout_lines.h) and drawn (layout_print.h). A target that cannot be read
// stops the job before anything comes out.
#include "mainwin/mtdesk_form.h"

#include "mainwin/layout_lines.h"
#include "mainwin/layout_print.h"
#include "mainwin/template_commands.h"
#include "platform/dialogs.h"
#include "platform/text.h"
#include "templates/printer_list.h"
#include "templates/template_state.h"
#include "templates/template_target.h"

namespace {

std::string UnreadableTargetMsg(const std::string& Target) {
  return "Unable to read the description file " + Target + "." + "\r\r" +
         "You will not be able to print this file layout at this time.";
}

}  // namespace

void TMtdeskF::Printlayoutfor1Click() {
  if (commands_->Modify1Click(TModifySender::Print)) PrintTemplateLayout();
}

void TMtdeskF::PrintTemplateLayout() {
  std::unique_ptr<TPrintJob> job = ResetPrinter(Trim(Store.TplName));
  if (!job) {
    ShowMessage(NoPrintersMsg);
    return;
  }
  TLayoutTargets targets;
  for (const std::string& target : LayoutLookupTargets()) {
    if (!ReadTemplateFields(target, targets[target])) {
      job->Abort();
      MessageDlg(UnreadableTargetMsg(target), mtError, mbOKOnly);
      return;
    }
  }
  const TLayoutPageSize page = LayoutPageSize(*job);
  PaintLayout(*job, LayoutPages(page.Height, page.LineStep, targets));
  job->EndDoc();
}
