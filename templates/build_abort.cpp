#include "templates/build_abort.h"

#include "btrieve/numbered_files.h"
#include "platform/dialogs.h"
#include "platform/errors.h"

void SilentAbort() { throw EAbort(""); }

std::string AbortBuild(bool& InTrans) {
  if (!InTrans) return "";
  InTrans = false;
  try {
    BtrAbortTransaction();
  } catch (const Exception& e) {
    return e.Message;
  } catch (const std::exception& e) {
    return e.what();
  }
  return "";
}

void EndBuild(const std::string& Text, bool& InTrans) {
  const std::string rollback = AbortBuild(InTrans);
  MessageDlg(rollback.empty() ? Text : Text + "\r\r" + rollback, mtError, mbOKOnly);
  SilentAbort();
}
