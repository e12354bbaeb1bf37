// The utility command that rebuilds the master file from the descriptors
// (templates/master_rebuild.h). The list stays as it is: the rebuild
// changes what the master holds, not the templates.
#include "mainwin/mtdesk_form.h"

#include "platform/qt/application.h"
#include "templates/master_rebuild.h"

void TMtdeskF::Recreatemasterfile1Click() {
  if (RecreateMasterFile() == TRebuild::Terminate) Terminate();
}
