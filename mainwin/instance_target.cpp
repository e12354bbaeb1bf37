#include "mainwin/instance_target.h"

#include "entry/linked_children.h"
#include "entry/qe_files.h"
#include "entry/qt/entry_form.h"
#include "entry/qt/quick_entry_form.h"
#include "mainwin/mtdesk_form.h"
#include "platform/qt/application.h"
#include "platform/qt/focus_model.h"
#include "platform/qt/status_bar.h"
#include "platform/qt/widget_text.h"
#include "platform/text.h"
#include "templates/startup_globals.h"
#include "templates/template_state.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

bool QuickEntryShown() { return QEF && QEF->isVisible(); }

}  // namespace

TEntryF& TScreenInstanceTarget::Entry() const { return *main_.OpenEntryScreen(); }

bool TScreenInstanceTarget::EntryScreenOpen() const { return main_.OpenEntryScreen() != nullptr; }
bool TScreenInstanceTarget::Terminating() const { return Terminated(); }
std::string TScreenInstanceTarget::TemplateName() const { return Trim(Store.TplName); }
bool TScreenInstanceTarget::IsChildApp() const { return Startup.IsChildApp; }
bool TScreenInstanceTarget::SingleTemplateMode() const { return Startup.SingleTemplateMode; }

bool TScreenInstanceTarget::OwnEntryRegistered() const { return LinkedChildren().OwnEntryRegistered; }
void TScreenInstanceTarget::ClearOwnEntryRegistered() { LinkedChildren().OwnEntryRegistered = false; }

bool TScreenInstanceTarget::HasChildButton(const std::string& Name) const {
  return LinkedChildren().FindButton(Name) >= 0;
}

void TScreenInstanceTarget::MarkChildButton(const std::string& Name, bool Indeterminate) {
  if (Indeterminate)
    Entry().MarkChildEnded(Name);
  else
    Entry().MarkChildAlive(Name);
}

bool TScreenInstanceTarget::AddChildButton(const std::string& Name) {
  Entry().AddLinkedTemplateButton(Name);
  return HasChildButton(Name);
}

bool TScreenInstanceTarget::StatusBarVisible() const { return !Entry().StatusBar1->isHidden(); }
bool TScreenInstanceTarget::QuickEntryExists() const { return QEF; }
bool TScreenInstanceTarget::QuickEntryVisible() const { return QuickEntryShown(); }

std::array<TKeyFieldRole, 3> TScreenInstanceTarget::KeyFieldRoles() const {
  std::array<TKeyFieldRole, 3> roles{TKeyFieldRole::None, TKeyFieldRole::None, TKeyFieldRole::None};
  const TFamilyKeys& keys = Entry().Plan().Keys;
  const auto place = [&roles](int SortPos, int Edit, TKeyFieldRole Role) {
    if (SortPos >= 1 && SortPos <= 3 && Edit > 0) roles[size_t(SortPos - 1)] = Role;
  };
  place(keys.ClientSortPos, keys.ClientEdit, TKeyFieldRole::Client);
  place(keys.CaseSortPos, keys.CaseEdit, TKeyFieldRole::Case);
  place(keys.EmpSortPos, keys.EmpEdit, TKeyFieldRole::Employee);
  return roles;
}

void TScreenInstanceTarget::BringToFront() { ApplicationBringToFront(); }

void TScreenInstanceTarget::MinimizeAndRestore() {
  ApplicationMinimize();
  ApplicationRestore();
}

void TScreenInstanceTarget::FocusEntryScreen() {
  Entry().raise();
  Entry().activateWindow();
}

// Closed as Cancel closes it, so everything its close does (the links
// written, the hub told) happens before the program ends.
void TScreenInstanceTarget::EndChild() {
  Entry().BitBtnCancelClick();
  Terminate();
}

void TScreenInstanceTarget::ShowStatusBar() { Entry().StatusBar1->show(); }

void TScreenInstanceTarget::SetStatusPanel(int I, const std::string& Text) {
  TEntryF& entry = Entry();
  entry.StatusPanels.at(size_t(I))->setText(WidgetText(Text));
  entry.StatusBar1->repaint();
}

// Both stopwatches stop: the quick entry's as its button stops it, the entry
// screen's quietly (the hub sent the "0:00").
void TScreenInstanceTarget::StopStopwatches() {
  if (QuickEntryShown() && QEF->Stopwatch().Running()) QEF->SBTimerClick();
  Entry().Stopwatch().Halt();
}

// Another instance's time runs: the pause button shows beside it. This
// screen's own stopwatch may be stopped, so its button keeps saying "start".
void TScreenInstanceTarget::ShowPauseButton() {
  TEntryF& entry = Entry();
  if (entry.PauseBitBtn->isHidden()) entry.ShowTimerPanel(true);
}

// Asked from here, so no pause notice goes back to the hub.
void TScreenInstanceTarget::PauseEntryStopwatch() { Entry().PauseBitBtnClick(true); }

void TScreenInstanceTarget::PauseQuickEntry() { QEF->PauseBitBtnClick(); }

void TScreenInstanceTarget::OpenQuickEntry() {
  QEFRequested = true;
  Entry().BitBtnQuickEntryClick();
}

void TScreenInstanceTarget::SetQuickEntryRunning(bool Running) { QEFRunning = Running; }
void TScreenInstanceTarget::ShowQuickEntryButton() { Entry().BitBtnQuickEntry->show(); }
void TScreenInstanceTarget::ShowEntryScreen() { Entry().show(); }

void TScreenInstanceTarget::RestoreQuickEntry() {
  if (QEF->isMinimized()) QEF->setWindowState(QEF->windowState() & ~Qt::WindowMinimized);
}

void TScreenInstanceTarget::QuickEntryToFront() {
  if (!QEF) return;
  QEF->show();
  QEF->raise();
  QEF->activateWindow();
}

void TScreenInstanceTarget::ClearEntryScreen() { Entry().BitBtnClearClick(); }

void TScreenInstanceTarget::FillKeyField(TKeyFieldRole Role, const std::string& Code) {
  TEntryF& entry = Entry();
  const TFamilyKeys& keys = entry.Plan().Keys;
  const int number = Role == TKeyFieldRole::Client ? keys.ClientEdit
                     : Role == TKeyFieldRole::Case ? keys.CaseEdit
                                                   : keys.EmpEdit;
  QLineEdit* edit = entry.EditNumber(number);
  if (!edit || !entry.Focus) return;
  entry.Focus->FocusControl(edit);
  entry.SetProgramText(edit, Code);
}

void TScreenInstanceTarget::FocusSaveButton() {
  TEntryF& entry = Entry();
  if (entry.Focus) entry.Focus->FocusControl(entry.BitBtnSave);
}
