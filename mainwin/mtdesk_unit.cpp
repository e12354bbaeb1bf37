#include "mainwin/mtdesk_unit.h"

#include "mainwin/batch_files.h"
#include "mainwin/read_settings.h"
#include "platform/command_line.h"
#include "platform/date_clock.h"
#include "platform/date_format.h"
#include "platform/dialogs.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/program_table.h"
#include "platform/registry.h"
#include "platform/spelling.h"
#include "platform/text.h"
#include "templates/product_dates.h"
#include "templates/registry_settings.h"
#include "templates/startup_globals.h"
#include "templates/template_state.h"
#include "templates/workstation_id.h"

namespace {

const std::string DataFolderFailure =
    "Unable to locate or create a data folder.  Application will be terminated.\r\r"
    "Please contact Ondral, Inc. for assistance.";

// One level only: a missing root is a failure, not something to make. A
// folder another instance made between the look and the creation is there.
bool EnsureFolder(const std::string& Dir) { return DirectoryExists(Dir) || CreateDir(Dir) || DirectoryExists(Dir); }

}  // namespace

bool InitMtdeskU(const StartupContext& Context) {
  // A registry that cannot be used says so once, by its own message, rather
  // than as every value it fails to give.
  try {
    CheckRegistryFile();
  } catch (const ERegistryException& e) {
    MessageDlg(e.Message, mtError, mbOKOnly);
    return false;
  }
  ReadRegValue("PhysicalName", DataRootKeyId, Store.DataRoot);
  // An empty root would put the data folder at the top of the file system.
  const std::string dataDir = Store.DataRoot + "\\mddata";
  if (Trim(Store.DataRoot).empty() || !EnsureFolder(dataDir)) {
    MessageDlg(DataFolderFailure, mtError, mbOKOnly);
    return false;
  }
  Store.DataDir = dataDir;
  Startup.ExeDir = ExcludeTrailingBackslash(Context.ProgramFolder);
  // Outside programs named with a folder of another machine are looked
  // for beside this program.
  SetProgramFolder(Startup.ExeDir);
  ReadRegValue("WSID", HostKeyId, Startup.WSID);
  if (!IsWorkstationId(Startup.WSID)) {
    MessageDlg(BadWorkstationIdMsg(Startup.WSID), mtError, mbOKOnly);
    return false;
  }
  return true;
}

bool SetWorkDate(const std::string& Param1) {
  // Every path of the conversions that does not give the date counts, the
  // ones that fall back to a default with a message included.
  ResetDateConversionFailed();
  if (Param1.size() == 6) {
    Startup.WorkDateStr = Param1;
  } else {
    DateToFileDate(false, Startup.WorkDateStr, Date());
    if (DateConversionFailed()) return false;
  }
  Startup.WorkDate = FileDateToDate(Startup.WorkDateStr);
  // Before the display text, which would tell the same fault again.
  if (DateConversionFailed()) return false;
  FileDateToShortDisplayDate(Startup.WorkDateStr, false, Startup.WorkDateText);
  return !DateConversionFailed();
}

bool MtdeskFormCreate(TMtdeskStartupHost& Host) {
  Host.HookAppActivate();
  if (!SetWorkDate(ParamStr(1))) return false;
  // The run's number formats: numbers always convert with "." (the platform
  // never reads the machine's locale), and the day halves are fixed here.
  FormatSettings.TimeAMString = "AM";
  FormatSettings.TimePMString = "PM";
  Startup.DescCloName = Startup.ExeDir + "\\Desc.clo";
  Startup.DescFileName = DescFileName();
  Host.HookAppMessage();
  Host.SetStatusPanels("Data Location:  " + DisplayPath(Store.DataDir), "WorkStation:  " + Startup.WSID);
  Startup.DirectMode = false;
  Store.Modifying = false;
  Store.HasData = false;
  if (!EnsureTrinFile() || !EnsureDescFile()) return false;
  SSCE_SetRegTreeName(SpellingRegTree);
  ReadSettings();
  return true;
}
