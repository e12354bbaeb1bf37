// A second workstation for the save tests: a process of its own (started
// by exec, so it shares no lock with the test) running the commands a test
// sends on standard input, one answer line each on standard output.
//   lock shared|exclusive N   TryAcquireSaveLock; "held" or "busy"
//   release                   lets go of every lock taken
//   build                     the scenario's folder made in the empty folder
//   modify                    the scenario's template loaded and changed
//   new                       a new template's table (PrepareNewTemplate)
//   arm STEP ACTION           the fault point: fail-once, fail-from,
//                             kill-before, kill-after
//   kill-at-sync N            the Nth flush to disk from now on kills this
//                             process (SIGKILL) instead
//   save                      the scenario's save: "saved" or "aborted"
//   save-new                  the new template's first save, answered so
//   restructure N NAME        template N (named NAME) loaded, a text field
//                             "Added" appended, saved: "saved" or "not saved"
//   steps | syncs             steps / flushes counted since the last arm
//   recover                   the start-up recovery of the folder
//   load N                    LoadTemplateDescriptor: "ok <fields>" or "false"
//   open                      OpenTemplateDataFile of template 0 as file 52
//   insert CODE               a record with that code through file 52
//   lock-first                the first record of file 52 by its key read
//                             with a lock, held until file 52 closes
//   close                     file 52 closed
//   exit
// argv[1] is the data folder. A message box shows as a line "box <text>"
// before the answer and is answered OK; a question as "ask <text>", and the
// next input line ("yes" or "no") answers it. In texts "\r" is written as
// "\\r". A failure answers "error <status> <text>".
#include "btrieve/numbered_files.h"
#include "platform/dialogs.h"
#include "platform/fault_point.h"
#include "templates/data_file_open.h"
#include "templates/descriptor_loader.h"
#include "templates/save_lock.h"
#include "templates/template_build.h"
#include "templates/template_recovery.h"
#include "templates/template_state.h"
#include "templates/tests/save/save_scenario.h"
#include "testing/peer_loop.h"
#include "testing/sync_kill.h"

#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr uint8_t DataFileNo = 52;

std::vector<TSaveLock> locks;

std::string Escaped(const std::string& text) {
  std::string out;
  for (char c : text) out += c == '\r' ? std::string("\\r") : c == '\n' ? std::string("\\n") : std::string(1, c);
  return out;
}

class LineDialogs : public DialogService {
public:
  int MessageDlg(const std::string& text, TMsgDlgType, TMsgDlgButtons buttons, int) override {
    if (buttons == TMsgDlgButtons(mbYesNo)) {
      std::cout << "ask " << Escaped(text) << std::endl;
      std::string answer;
      std::getline(std::cin, answer);
      return answer == "yes" ? mrYes : mrNo;
    }
    std::cout << "box " << Escaped(text) << std::endl;
    return mrOk;
  }
  bool InputQuery(const std::string&, const std::string&, std::string&) override { return false; }
};

std::string Run(const std::string& command, std::istringstream& in) {
  static const std::map<std::string, TFaultAction> actions{{"fail-once", TFaultAction::FailOnce},
                                                           {"fail-from", TFaultAction::FailFromN},
                                                           {"kill-before", TFaultAction::KillBefore},
                                                           {"kill-after", TFaultAction::KillAfter}};
  if (command == "lock") {
    std::string mode;
    int number = -1;
    in >> mode >> number;
    TSaveLock lock = TryAcquireSaveLock(Store.DataDir, number,
                                        mode == "exclusive" ? TSaveLockMode::Exclusive : TSaveLockMode::Shared);
    if (!lock.Held()) return "busy";
    locks.push_back(std::move(lock));
    return "held";
  }
  if (command == "release") {
    locks.clear();
    return "released";
  }
  if (command == "build") {
    BuildScenarioFolder();
  } else if (command == "modify") {
    PrepareScenarioChange();
  } else if (command == "new") {
    PrepareNewTemplate();
  } else if (command == "arm") {
    uint64_t step = 0;
    std::string action;
    in >> step >> action;
    if (!actions.contains(action)) return "bad command";
    ArmFaultPoint(step, actions.at(action));
  } else if (command == "kill-at-sync") {
    int n = 0;
    in >> n;
    ArmKillAtSync(n);
  } else if (command == "save" || command == "save-new") {
    try {
      return BuildTemplateDataFile(command == "save" ? ScenarioName : NewTemplateName) ? "saved" : "not saved";
    } catch (const EAbort& e) {
      if (e.Message.empty()) return "aborted";
      throw;
    }
  } else if (command == "restructure") {
    int number = -1;
    std::string name;
    in >> number;
    std::getline(in >> std::ws, name);
    LoadForModification(number, true);
    TTemplateTableBuilder(TTableStart::AsItIs).Add("Added", 'C', 5);
    return BuildTemplateDataFile(name) ? "saved" : "not saved";
  } else if (command == "steps") {
    return std::to_string(FaultStepCount());
  } else if (command == "syncs") {
    return std::to_string(SyncsCounted());
  } else if (command == "recover") {
    RecoverTemplatesAtStartup(Store.DataDir);
  } else if (command == "load") {
    std::string number;
    in >> number;
    return LoadTemplateDescriptor(number) ? "ok " + std::to_string(Store.FldCount) : "false";
  } else if (command == "open") {
    Store.OpenTplNumber = "000";
    OpenTemplateDataFile(DataFileNo);
  } else if (command == "insert") {
    std::string code;
    in >> code;
    std::string text(size_t(TplTextLen), ' ');
    text.replace(0, code.size(), code);
    BtrInsertRecord(DataFileNo, text);
  } else if (command == "lock-first") {
    TDynCharArr rec(1);
    bool atEnd = false;
    BtrGetFirst(DataFileNo, rec, atEnd, true);
    if (atEnd) return "none";
  } else if (command == "close") {
    BtrCloseFile(DataFileNo);
  } else if (command == "exit") {
    return "bye";
  } else {
    return "bad command";
  }
  return "ok";
}

std::string Failure() {
  try {
    throw;
  } catch (const EBtrAbort& e) {
    return "error " + std::to_string(e.Status) + " " + Escaped(e.Message);
  } catch (const Exception& e) {
    return "error 0 " + Escaped(e.Message);
  } catch (const std::exception& e) {
    return std::string("error 0 ") + Escaped(e.what());
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  Store.DataDir = argv[1];
  LineDialogs dialogs;
  SetDialogService(&dialogs);
  // Questions come at once: the test decides when a wait is over.
  LockRetryMs = 0;
  ServePeerCommands("exit", Run, Failure);
  FinalizeBtrLayer();
  return 0;
}
