// The settings command: the dialog shows the seven settings as they are;
// only OK changes them, in the registry and for the rest of the run.
#include "mainwin/mtdesk_form.h"

#include "mainwin/setup_form.h"
#include "mainwin/user_flags.h"
#include "templates/startup_globals.h"

#include <QCheckBox>

#include <exception>

namespace {

// SetupF names the dialog while it exists.
class TSetupFScope {
public:
  explicit TSetupFScope(TSetupF& Form) { SetupF = &Form; }
  ~TSetupFScope() { SetupF = nullptr; }
  TSetupFScope(const TSetupFScope&) = delete;
  TSetupFScope& operator=(const TSetupFScope&) = delete;
};

}  // namespace

void TMtdeskF::SetupOptions1Click() {
  TSetupF dialog(this);
  const TSetupFScope named(dialog);
  for (const TUserFlag& flag : UserFlags) dialog.BoxOfTag(flag.Tag)->setChecked(Startup.*flag.Flag);
  if (Startup.MaximizeGrid) FitGridViewToWorkArea();
  try {
    dialog.exec();
  } catch (const std::exception&) {
    ListBox1Click();
    return;
  }
  if (!dialog.SettingsSaved) return;
  for (const TUserFlag& flag : UserFlags) Startup.*flag.Flag = dialog.BoxOfTag(flag.Tag)->isChecked();
  if (Startup.MaximizeGrid) FitGridViewToWorkArea();
}
