#include "mainwin/batch_files.h"

#include "btrieve/binding.h"
#include "btrieve/status_text.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/files.h"
#include "templates/startup_globals.h"
#include "templates/store_constants.h"
#include "templates/template_state.h"

#include <cerrno>

namespace {

enum class TAttempt { Made, Busy, Failed };

// Another instance of this workstation may be making the same file: while
// it holds the name the record manager answers "locked", and once it is
// done the file exists. Either way the file is there for this one too.
constexpr int BusyAttempts = 250;
constexpr uint32_t BusyWaitMs = 20;

template <class F>
bool MakeUnlessMadeMeanwhile(const std::string& Name, F&& Attempt) {
  for (int attempt = 1;; ++attempt) {
    const TAttempt result = Attempt();
    if (result == TAttempt::Made || FileExists(Name)) return true;
    if (result != TAttempt::Busy || attempt == BusyAttempts) return false;
    Sleep(BusyWaitMs);
  }
}

}  // namespace

std::string TrinFileName() { return Store.DataDir + "\\TRIN" + Startup.WSID + ".MD"; }

bool EnsureTrinFile() {
  const std::string name = TrinFileName();
  if (FileExists(name)) return true;
  std::string msg;
  const bool made = MakeUnlessMadeMeanwhile(name, [&] {
    if (BtrCreateFile(name, TrinRecLen, int8_t(TrinKeySpecs.size()), msg, CreateMsgMax, true, TrinKeySpecs))
      return TAttempt::Made;
    return msg == BtrieveStatusText(BtrStatus::FileLocked) ? TAttempt::Busy : TAttempt::Failed;
  });
  if (made) return true;
  MessageDlg("Unable to create file \\TRIN" + Startup.WSID + ".MD." + "\r\r" + msg + ContactMsg, mtError, mbOKOnly);
  return false;
}

bool EnsureDescFile() {
  const std::string& name = Startup.DescFileName;
  if (FileExists(name)) return true;
  const bool made = MakeUnlessMadeMeanwhile(name, [&] {
    if (CopyFile(Startup.DescCloName, name, true)) return TAttempt::Made;
    return errno == EBUSY ? TAttempt::Busy : TAttempt::Failed;
  });
  if (made) return true;
  MessageDlg("Corvenstead cannot find an existing DESC.MD file for\rWorkstation " + Startup.WSID +
                 " and it was also unable" + "\r" + "to create a new file of that type." + ContactMsg,
             mtError, mbOKOnly);
  return false;
}
