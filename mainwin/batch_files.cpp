#include "mainwin/batch_files.h"

#include "platform/dialogs.h"
#include "platform/files.h"
#include "templates/batch_create.h"
#include "templates/busy_creation.h"
#include "templates/startup_globals.h"
#include "templates/store_constants.h"

#include <cerrno>

bool EnsureTrinFile() {
  const std::string name = TrinFileName();
  if (FileExists(name)) return true;
  std::string msg;
  const TMaking made = MakeUnlessMadeMeanwhile(name, [&] {
    return CreationAttempt(CreateTrinFile(name, msg, CreateMsgMax), msg);
  });
  if (made != TMaking::Failed) return true;
  MessageDlg("Unable to create file \\TRIN" + Startup.WSID + ".MD." + "\r\r" + msg + ContactMsg, mtError, mbOKOnly);
  return false;
}

bool EnsureDescFile() {
  const std::string& name = Startup.DescFileName;
  if (FileExists(name)) return true;
  const TMaking made = MakeUnlessMadeMeanwhile(name, [&] {
    if (CopyFile(Startup.DescCloName, name, true)) return TAttempt::Made;
    return errno == EBUSY ? TAttempt::Busy : TAttempt::Failed;
  });
  if (made != TMaking::Failed) return true;
  MessageDlg("Corvenstead cannot find an existing DESC.MD file for\rWorkstation " + Startup.WSID +
                 " and it was also unable" + "\r" + "to create a new file of that type." + ContactMsg,
             mtError, mbOKOnly);
  return false;
}
