// The main window, TMtdeskF: the application's main form, so closing it ends
// the program. Its creation handler runs the start-up's share
// (MtdeskFormCreate) and shows the data folder and the workstation in the
// status bar's two panels; FormShow fills the template list before the
// window first shows and again whenever a command changed the templates.
//
// Every template command works on the item selected in ListBox1; the menu
// captions name it. Commands whose screens do not exist yet are shown with
// their captions, disabled (mainwin/mtdesk_menus.h).
#pragma once

#include "mainwin/instance_dispatch.h"
#include "mainwin/mtdesk_unit.h"
#include "mainwin/template_command_screens.h"
#include "mainwin/template_commands.h"
#include "mainwin/template_list.h"
#include "platform/window_messages.h"

#include <QMainWindow>
#include <QStyle>

#include <array>
#include <memory>
#include <string>

class QAction;
class QFileDialog;
class QKeyEvent;
class QLabel;
class QListWidget;
class QMenu;
class QMenuBar;
class QPainter;
class QPushButton;
class TStatusBar;
class QTimer;
class TEntryF;

class TMtdeskF : public QMainWindow, public TMtdeskStartupHost {
public:
  explicit TMtdeskF(QWidget* parent = nullptr);
  // Runs FormDestroy.
  ~TMtdeskF() override;

  // The creation handler; false when the start-up must end.
  bool FormCreate();
  // Fills the list from the master file (and makes the master, or installs,
  // where none exists). Terminate and Installed have asked the program to
  // end; the window must not show then.
  TListOutcome FormShow();
  // Direct mode, after FormShow and before the window first shows: the
  // template the command line named opened for entry (mainwin/direct_mode.cpp).
  // False when the window must stay hidden until Timer1 ends the program.
  bool OpenDirectTemplate();

  // Panel I (0 or 1) of StatusBar1, Windows-1252.
  std::string StatusPanelText(int I) const;
  void SetStatusPanels(const std::string& DataLocation, const std::string& WorkStation) override;

  // Handlers.
  void ListBox1Click();
  void ListBox1MouseDown(Qt::MouseButton Button, const QPoint& Pos);
  void ListBox1DrawItem(QPainter& Canvas, int Index, const QRect& Rect, QStyle::State State) const;
  void Image1MouseDown(Qt::MouseButton Button);
  void Shape3MouseMove(QObject* Sender);
  void BitBtnAddEnter(QPushButton* Sender);
  void BitBtnAddExit();
  void ResetButtonStyles();
  void BitBtnExitClick();
  void Timer1Timer();
  void FormDestroy();
  void Setupclientandcaseemailtemplates1Click();
  // The template commands (mainwin/template_commands.h), each on the
  // selected template.
  void Userdefined1Click();
  void Copy1Click();
  void Rename1Click();
  void Modify1Click();
  void Delete1Click();
  void EntryMaintenancefor1Click();
  TemplateCommands& Commands() { return *commands_; }
  // Entry steps 3-5: the loaded template's entry screen, shown window-modal
  // and freed (mainwin/entry_command.cpp).
  void RunEntryScreen();
  // The program file's time (mainwin/about_command.cpp).
  void About1Click();
  // The user settings dialog (mainwin/setup_command.cpp).
  void SetupOptions1Click();
  // The master file rebuilt from the descriptors (mainwin/rebuild_command.cpp).
  void Recreatemasterfile1Click();
  // The selected template's layout printed (mainwin/layout_command.cpp);
  // also the answer to a new template's print question.
  void Printlayoutfor1Click();
  // The report module on the selected template (mainwin/report_command.cpp).
  void Createreport1Click();
  // Template export and import (mainwin/transfer_commands.cpp).
  void ExportTemplate1Click();
  void Importfrom1Click();
  // The open dialog's checks: only an export set's main descriptor closes
  // it; a selected one shows the template name it holds in the title.
  bool OpenDialog1CanClose();
  void OpenDialog1SelectionChange(const QString& Path);

  // Instance messages and the application hooks
  // (mainwin/instance_handling.cpp). DefaultHandler is the handler of the
  // three registered messages from the form's creation to FormDestroy.
  void DefaultHandler(UINT Msg, WPARAM wParam, LPARAM lParam);
  void HookAppActivate() override;
  void HookAppMessage() override;
  // Every key press of the program passes here first; none is consumed.
  void AppMessage(QKeyEvent* Key);
  void AppActivate();
  // The entry screen shown over this window; null when none is.
  TEntryF* OpenEntryScreen() const;
  TInstanceDispatcher& InstanceDispatcher() { return *instanceDispatcher_; }

  // The item selected in ListBox1 as stored (30 bytes); "" for none.
  std::string SelectedItem() const;

  // Components, in the order the form declares them.
  QMenuBar* MainMenu1 = nullptr;
  QMenu* Edit1 = nullptr;
  QAction* Modify1 = nullptr;
  QAction* Delete1 = nullptr;
  QAction* SetupOptions1 = nullptr;
  QMenu* Createa1 = nullptr;
  QAction* Userdefined1 = nullptr;
  QAction* Copy1 = nullptr;
  QAction* Importfrom1 = nullptr;
  QMenu* Data1 = nullptr;
  QAction* EntryMaintenancefor1 = nullptr;
  QAction* Reports1 = nullptr;
  QWidget* PanelButtons = nullptr;
  QListWidget* ListBox1 = nullptr;
  QAction* N1 = nullptr;
  QAction* Importdata1 = nullptr;
  QAction* Rename1 = nullptr;
  QMenu* PopupMenu1 = nullptr;
  QAction* Modify2 = nullptr;
  QAction* Createreport1 = nullptr;
  QAction* N2 = nullptr;
  QAction* Printlayoutfor1 = nullptr;
  TStatusBar* StatusBar1 = nullptr;
  QWidget* Shape3 = nullptr;
  QWidget* Shape1 = nullptr;
  QTimer* Timer1 = nullptr;
  QWidget* Panel6 = nullptr;
  QLabel* Image1 = nullptr;
  QPushButton* BitBtnAdd = nullptr;
  QLabel* Label1 = nullptr;
  QLabel* Label2 = nullptr;
  QPushButton* BitBtnModify = nullptr;
  QPushButton* BitBtnAccess = nullptr;
  QPushButton* BitBtnExit = nullptr;
  QMenu* Utilities1 = nullptr;
  QAction* Recreatemasterfile1 = nullptr;
  QAction* Rebuildallfiles1 = nullptr;
  QAction* N3 = nullptr;
  QAction* ExportTemplate1 = nullptr;
  QAction* Setupclientandcaseemailtemplates1 = nullptr;
  QMenu* Help1 = nullptr;
  QAction* About1 = nullptr;
  // Made by the first import.
  QFileDialog* OpenDialog1 = nullptr;

protected:
  bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
  void BuildLayout();
  void FillList(const TTemplateListing& Listing);
  // The buttons whose look follows the mouse and the focus.
  std::array<QPushButton*, 4> HighlightButtons() const;
  // The layout of the template whose tables are loaded printed on the
  // default printer; the no-printer message when there is none.
  void PrintTemplateLayout();

  std::array<QLabel*, 2> statusPanels_{};
  std::unique_ptr<TMtdeskScreens> screens_;
  std::unique_ptr<TemplateCommands> commands_;
  void InstallInstanceHandler();
  void RemoveAppHooks();
  std::unique_ptr<TInstanceTarget> instanceTarget_;
  std::unique_ptr<TInstanceDispatcher> instanceDispatcher_;
  QObject* keyForwarder_ = nullptr;
};

// The global form variable; null while no main window exists.
extern TMtdeskF* MtdeskF;

// True until the program's first activation has been handled (tests set
// it back).
extern bool FirstActivation;

// Margin (the space around a button's glyph) as the button keeps it.
int ButtonMargin(const QPushButton& Button);
