#include "mainwin/main_block.h"

#include "btrieve/numbered_files.h"
#include "btrieve/record_files.h"
#include "datetime/dw_intl.h"
#include "designer/qt/designer_forms.h"
#include "entry/grid_layout_seam.h"
#include "entry/qt/dup_sel_form.h"
#include "entry/qt/grid_form.h"
#include "mainwin/mtdesk_form.h"
#include "mainwin/mtdesk_unit.h"
#include "platform/command_line.h"
#include "platform/dialogs.h"
#include "platform/qt/application.h"
#include "platform/qt/exception_reporter.h"
#include "platform/qt/instance_bus_qt.h"
#include "templates/layout_digest.h"

#include <QApplication>

#include <clocale>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int TerminatedStatus = 1;
constexpr int InstalledStatus = 0;

// A unit's initialization (false: the start-up must end) and finalization.
struct TUnit {
  const char* Name;
  bool (*Initialization)(const StartupContext&);
  void (*Finalization)();
};

bool InitDateControls(const StartupContext&) {
  InitIntl();
  return true;
}

// The units in the order they initialize; they finalize in reverse. The
// dataset library's units join ahead of the date controls.
constexpr TUnit Units[] = {
    {"numbered files", nullptr, FinalizeBtrLayer},
    {"date controls", InitDateControls, FinalIntl},
    {"MtdeskU", InitMtdeskU, nullptr},
};

// Runs the initializations up to a termination; the destructor finalizes
// every unit whose initialization ran.
class TUnitChain {
public:
  explicit TUnitChain(const StartupContext& Context) {
    for (const TUnit& unit : Units) {
      ++started_;
      if (unit.Initialization && !unit.Initialization(Context)) {
        Terminate();
        return;
      }
    }
  }
  ~TUnitChain() {
    while (started_ > 0) {
      const TUnit& unit = Units[--started_];
      if (unit.Finalization) unit.Finalization();
    }
  }
  TUnitChain(const TUnitChain&) = delete;
  TUnitChain& operator=(const TUnitChain&) = delete;

private:
  size_t started_ = 0;
};

// The forms made at start. Each lives until the main block ends.
struct TStartForms {
  std::unique_ptr<TMtdeskF> Mtdesk;
  // The designer's forms, freed before the main window.
  std::vector<std::unique_ptr<QWidget>> Designer;
  // The entry screen's grid view and record chooser.
  std::vector<std::unique_ptr<QWidget>> EntryViews;

  TStartForms() = default;
  TStartForms(const TStartForms&) = delete;
  TStartForms& operator=(const TStartForms&) = delete;
  ~TStartForms() {
    if (MtdeskF == Mtdesk.get()) MtdeskF = nullptr;
  }
};

void CreateMtdeskF(TStartForms& Forms, const char*) {
  Forms.Mtdesk = std::make_unique<TMtdeskF>();
  MtdeskF = Forms.Mtdesk.get();
  bool created = false;
  // An exception is reported as the default handler would, and ends the
  // start-up: the window would be half made.
  GuardEvent([&] { created = MtdeskF->FormCreate(); });
  if (!created) Terminate();
}

void CreateDesignerF(TStartForms& Forms, const char* Name) {
  GuardEvent([&] { Forms.Designer.push_back(CreateDesignerForm(Name, MtdeskF)); });
}

// The grid view's delete and replace refuse once another workstation has
// restructured the template since its field table was loaded.
void CreateEGridF(TStartForms& Forms, const char*) {
  SetGridLayoutCheck(LayoutStillCurrent);
  GuardEvent([&] { Forms.EntryViews.emplace_back(EGridF = new TEGridF); });
}

void CreateDupSelF(TStartForms& Forms, const char*) {
  GuardEvent([&] { Forms.EntryViews.emplace_back(DupSelF = new TDupSelF); });
}

struct TFormSlot {
  const char* Name;
  void (*Create)(TStartForms&, const char* Name);
};

// The order the main block makes them in; a form not built yet has no
// creation.
constexpr TFormSlot FormSlots[] = {
    {"TMtdeskF", CreateMtdeskF},
    {"TDescriptorF", CreateDesignerF},
    {"TMinMaxF", CreateDesignerF},
    {"TGetNameF", CreateDesignerF},
    {"TLKUPF", CreateDesignerF},
    {"TGetDescF", CreateDesignerF},
    {"TEditDispF", CreateDesignerF},
    {"TEGridF", CreateEGridF},
    {"TDupSelF", CreateDupSelF},
};

// Creates the forms in order until a termination.
void CreateForms(TStartForms& Forms) {
  for (const TFormSlot& slot : FormSlots) {
    if (Terminated()) return;
    if (slot.Create) slot.Create(Forms, slot.Name);
  }
}

// The instance bus from a successful start-up to the end of the main block.
// Joined before the main window's show, since what that show opens (a
// modal screen of a direct start) must already send, receive and say
// "ready".
class TBusMembership {
public:
  TBusMembership() { JoinInstanceBus(); }
  ~TBusMembership() { LeaveInstanceBus(); }
  TBusMembership(const TBusMembership&) = delete;
  TBusMembership& operator=(const TBusMembership&) = delete;
};

// Fills and shows the main window and runs the loop; TerminatedStatus when
// the start ended before. An installation ends here, successfully, without
// a window.
int ShowAndRun(StartupContext& Context) {
  if (Terminated()) return TerminatedStatus;
  const TBusMembership bus;
  TListOutcome shown = TListOutcome::Terminate;
  if (!GuardEvent([&] { shown = MtdeskF->FormShow(); })) Terminate();
  if (shown == TListOutcome::Installed) return InstalledStatus;
  bool showWindow = true;
  // What the entry command raises is reported; the list shows then.
  if (!Terminated()) GuardEvent([&] { showWindow = MtdeskF->OpenDirectTemplate(); });
  if (showWindow && !ShowUnlessTerminated(MtdeskF)) return TerminatedStatus;
  if (Terminated()) return TerminatedStatus;
  return Context.EventLoop ? Context.EventLoop() : QApplication::exec();
}

}  // namespace

int MainBlock(StartupContext& Context) {
  UseRegistryOf(Context);
  // Before any file is copied: batch files come from Desc.clo.
  RouteRecordFiles();
  std::string error;
  if (!SetCommandLine(Context.Params, error)) {
    MessageDlg(error, mtError, mbOKOnly);
    Terminate();
    return TerminatedStatus;
  }
  SetApplicationTitle("Corvenstead Matterdesk");
  TUnitChain units(Context);
  TStartForms forms;
  CreateForms(forms);
  return ShowAndRun(Context);
}

int RunWithApplication(int argc, char** argv, const std::function<int(StartupContext&)>& Body) {
  StartupContext context = ContextFromCommandLine(argc, argv);
  static char programName[] = "mtdesk";
  int qtArgc = 1;
  char* qtArgv[] = {argc > 0 && argv[0] ? argv[0] : programName, nullptr};
  QApplication app(qtArgc, qtArgv);
  // Qt sets the C library's locale from the environment; numbers stay ".".
  std::setlocale(LC_NUMERIC, "C");
  return Body(context);
}
