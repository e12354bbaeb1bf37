// Another instance of workstation "01" for the batch kill tests: a process
// of its own (started by exec, so it shares no lock with the test) running
// the commands a test sends on standard input, one answer line each.
//   arm STEP ACTION   the fault point: fail-once, fail-from, kill-before,
//                     kill-after
//   export            ExportBatch to the scenario's export folder
//   erase             EraseBatch, its question answered Yes
//   recover           OpenBatchFiles, then the files closed
//   steps             steps counted since the last arm
//   exit
// argv[1] is the scenario's folder. Boxes are answered at once (Yes to a
// question) and counted: export, erase and recover answer "boxes <n>".
#include "entry/batch_export.h"
#include "entry/tests/batch/batch_scenario.h"
#include "platform/dialogs.h"
#include "platform/fault_point.h"
#include "testing/peer_loop.h"

#include <map>
#include <sstream>
#include <string>

namespace {

class CountedDialogs : public DialogService {
public:
  int MessageDlg(const std::string&, TMsgDlgType, TMsgDlgButtons buttons, int) override {
    ++Count;
    return HasButton(buttons, mbYes) ? mrYes : mrOk;
  }
  bool InputQuery(const std::string&, const std::string&, std::string&) override { return false; }
  int Count = 0;
};

CountedDialogs dialogs;
std::string folder;

std::string Boxes() {
  const std::string answer = "boxes " + std::to_string(dialogs.Count);
  dialogs.Count = 0;
  return answer;
}

std::string Run(const std::string& command, std::istringstream& in) {
  static const std::map<std::string, TFaultAction> actions{{"fail-once", TFaultAction::FailOnce},
                                                           {"fail-from", TFaultAction::FailFromN},
                                                           {"kill-before", TFaultAction::KillBefore},
                                                           {"kill-after", TFaultAction::KillAfter}};
  if (command == "arm") {
    uint64_t step = 0;
    std::string action;
    in >> step >> action;
    if (!actions.contains(action)) return "bad command";
    ArmFaultPoint(step, actions.at(action));
    return "ok";
  }
  if (command == "export") {
    ExportBatch(ExportFolder(folder).string());
    return Boxes();
  }
  if (command == "erase") {
    EraseBatch();
    return Boxes();
  }
  if (command == "recover") {
    OpenBatchFiles();
    CloseBatchFiles();
    return Boxes();
  }
  if (command == "steps") return std::to_string(FaultStepCount());
  if (command == "exit") return "bye";
  return "bad command";
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  folder = argv[1];
  UseBatchFolder(folder);
  SetDialogService(&dialogs);
  LockRetryMs = 0;
  ServePeerCommands("exit", Run);
  FinalizeBtrLayer();
  return 0;
}
