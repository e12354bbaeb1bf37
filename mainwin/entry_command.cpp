// The main window's entry screen for the template the entry command loaded,
// shown window-modal over the main window and freed when it closes.
#include "mainwin/mtdesk_form.h"

#include "entry/qt/entry_form.h"
#include "platform/qt/app_hooks.h"
#include "platform/qt/widget_text.h"
#include "templates/startup_globals.h"
#include "templates/template_state.h"

#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QTimer>

namespace {

constexpr int FirstBuiltSlot = 1;
constexpr int LastBuiltSlot = 50;

}  // namespace

void TMtdeskF::RunEntryScreen() {
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
