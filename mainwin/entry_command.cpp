// The main window's entry command: the selected template's entry screen,
// shown window-modal over the main window and freed when it closes.
#include "mainwin/mtdesk_form.h"

#include "entry/qt/entry_form.h"
#include "platform/qt/app_hooks.h"
#include "platform/qt/widget_text.h"
#include "platform/text.h"
#include "templates/descriptor_loader.h"
#include "templates/startup_globals.h"
#include "templates/template_number.h"
#include "templates/template_state.h"

#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QTimer>

namespace {

constexpr int FirstBuiltSlot = 1;
constexpr int LastBuiltSlot = 50;

// The selected template's tables loaded, its name and number kept; false
// when nothing is selected or its descriptor does not load (after its
// message).
bool LoadSelectedTemplate(const std::string& Item) {
  const std::string name = Trim(Item);
  if (name.empty()) return false;
  TTemplateNumber number(0);
  if (!TTemplateNumber::TryParse(TemplateNumberOf(name), number)) return false;
  if (!LoadTemplateDescriptor(number.ZeroFilled())) return false;
  Store.TplName = name;
  Store.TplNumber = number.Stored();
  Store.HasData = false;
  return true;
}

}  // namespace

void TMtdeskF::EntryMaintenancefor1Click() {
  if (!LoadSelectedTemplate(SelectedItem())) return;
  Store.OpenTplNumber = TTemplateNumber::Parse(Store.TplNumber).ZeroFilled();
  {
    TEntryF entry(this);
    entry.DesignedSize = entry.size();
    if (Startup.MaximizeEntry) {
      const QScreen* screen = QGuiApplication::primaryScreen();
      if (screen) entry.resize(screen->geometry().width() - 8, entry.height());
      entry.setWindowState(Qt::WindowMaximized);
    }
    entry.LabelTableName->setText(WidgetText(Store.TplName));
    entry.SetBuildRange(FirstBuiltSlot, LastBuiltSlot);
    entry.LinkedTemplates = true;
    entry.setWindowModality(Qt::WindowModal);
    entry.exec();
    entry.CloseGridView();
  }
  ClearOnActiveControlChange();
  if (Startup.DirectMode) Timer1->start();
}
