// The quick time entry screen (TQEF): employee, date, client, case,
// grouping and narrative codes, hours and a description saved into the
// workstation's batch. A parentless top-level window, modeless beside the
// entry screen; the batch viewer is modal over it. What it decides lives in
// entry/qe_checks.h and entry/qe_lookup_list.h; the stopwatch is
// entry/qe_stopwatch.h; the save is entry/batch_files.h.
#pragma once

#include "entry/qe_checks.h"
#include "entry/qe_lookup_list.h"
#include "entry/qe_stopwatch.h"
#include "platform/datetime_value.h"

#include <QMainWindow>
#include <QPointer>

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>

class QAction;
class QFrame;
class QKeyEvent;
class QGridLayout;
class QHBoxLayout;
class QVBoxLayout;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTableWidget;
class QTimer;
class QToolButton;
class TFocusModel;
class TdwDBDateTimePicker;

class TQEF : public QMainWindow, public TQeStopwatchView {
public:
  static constexpr int LookupCount = 5;  // employee, client, case, grouping, narrative

  TQEF();
  ~TQEF() override;

  // Handlers.
  void FormShow();
  void FormActivate();
  void Employeecode1Click(int Tag);
  void ClientcodeCaseSuffix1Click(int Tag);
  void NumOrdClick();
  void EditClientEnter(TQeField Field);
  void EditClientChange(TQeField Field);
  void EditClientExit(TQeField Field);
  void EditHoursExit();
  void Memo1Exit();
  void DateChange();
  void ClearBitBtnClick();
  void BitBtnExitClick();
  void ShowBatchBitBtnClick();
  void SaveBitBtnClick();
  void BitBtnExportClick();
  void SBTimerClick();
  void PauseBitBtnClick();
  void Timer1Timer();
  void SBClHideListClick(TQeField Field, bool Show);
  void StringGrid1Click();
  // Page moves (list keys and scroll buttons): the focus in the list
  // meanwhile, back on the field afterwards.
  void SBPgDnClick();
  void SBPgUpClick();
  void SBFirstClick(bool Last);  // SBFirst, or SBLast when Last

  void ShowClientField(bool Show);
  bool EntryChanged() const;
  QLineEdit* ActiveEdit() const;
  QLineEdit* EditOf(TQeField Field) const;
  void HideList();

  // The stopwatch's view.
  void SetTimeText(const std::string& Text) override;
  std::string HoursText() const override;
  void SetHoursText(const std::string& Text) override;
  void SetPauseButton(bool Visible, const std::string& Caption) override;
  void SetStartItem(const std::string& Caption, bool Enabled) override;
  void SetTimer(bool Enabled, int IntervalMs) override;
  bool IsShowing() const override;

  // Hand-over values, applied on the next activation.
  std::string PendingClient, PendingCase, PendingEmployee;
  std::optional<std::pair<int64_t, bool>> PendingResume;

  TQeState State;
  int ActiveField = -1;
  bool SuppressSearch = true;
  bool ListVisible = false;
  bool ListMoved = false;             // until then no row is drawn as chosen
  bool ProgramScroll = false;         // only the program may select an empty row
  bool SelectAllPending = false;      // an arrow move: select the text on release
  bool NumericListRequested = false;  // Space asked for the case list in numeric order
  bool PagingList = false;            // a page move runs: a chosen row keeps the list open
  bool AltIdUpperCase = false;
  double ScaleFactor = 1;

  QLineEdit* EditEmp = nullptr;
  TdwDBDateTimePicker* Date = nullptr;
  QLineEdit* EditClient = nullptr;
  QLineEdit* EditCase = nullptr;
  QLineEdit* EditGroup = nullptr;
  QLineEdit* EditNarr = nullptr;
  QLineEdit* EditHours = nullptr;
  QPlainTextEdit* Memo1 = nullptr;
  QLineEdit* EditTime = nullptr;
  QLabel* LabelEmpName = nullptr;
  QLabel* LabelDayofWeek = nullptr;
  QLabel* LabelClientName = nullptr;
  QLabel* LabelPhone = nullptr;
  QLabel* LabelCaseDesc = nullptr;
  QLabel* LabelEditing = nullptr;
  QLabel* ClientCaption = nullptr;
  std::array<QToolButton*, 5> ShowListButtons{};  // SBEmpShowList .. SBNarrShowList
  std::array<QToolButton*, 5> HideListButtons{};
  QPushButton* ShowBatchBitBtn = nullptr;
  QPushButton* BitBtnExport = nullptr;
  QPushButton* SaveBitBtn = nullptr;
  QPushButton* ClearBitBtn = nullptr;
  QPushButton* BitBtnExit = nullptr;
  QToolButton* SBSpellCheck = nullptr;
  QToolButton* SBTimer = nullptr;
  QPushButton* PauseBitBtn = nullptr;
  QAction* StartTimer1 = nullptr;
  QAction* NumOrd = nullptr;
  QAction* Spellcheck1 = nullptr;
  std::array<QAction*, 2> EmpItems{};    // Employeecode1, EmployeeName1
  std::array<QAction*, 4> EntryItems{};  // ClientcodeCaseSuffix1 .. Alternateidentifier1
  QTimer* Timer1 = nullptr;
  QFrame* ListPanel = nullptr;
  QTableWidget* StringGrid1 = nullptr;
  std::array<QToolButton*, 4> ScrollButtons{};  // SBFirst, SBPgUp, SBPgDn, SBLast

  // The screen's stopwatch, for the main window's forwarded commands.
  QeStopwatch& Stopwatch() { return *stopwatch_; }
  TFocusModel& Focus() { return *focus_; }

protected:
  void showEvent(QShowEvent* Event) override;
  void closeEvent(QCloseEvent* Event) override;
  void changeEvent(QEvent* Event) override;
  bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
  void BuildControls();
  void BuildMenus();
  void BindFocus();
  void ShowStateLabels();
  void TakeSnapshot();
  // The name and phone labels where the client row's presence puts them.
  void PlaceNameLabels(bool ClientRow);
  // After rows were shown or hidden: the form grows or shrinks with them.
  void FollowRows(int HoursWas);
  void BuildList(QWidget* Central);
  void LayoutList();
  // KeepOpen: the list shows even for an empty field (the first-row button).
  void FillList(TQeField Field, bool KeepOpen = false);
  void ShowList(TQeField Field);
  void ShowListRows();
  // Mode 1: the records before the first row; false when none lay there.
  bool FillListBack();
  void ShowListMoved(bool Moved);
  void RequestNumericList();
  // A row without a record is refused unless the program selects it.
  bool RefusesRow(int Row) const;
  void ScrollListTo(int TopRow);
  int TopListRow() const;
  // Row selected and chosen, the field's text selected.
  void SelectListRow(int Row);
  void Page(const std::function<void()>& Move);
  void MoveInList(int Step);
  // The key table of a lookup field; true when the key is used up.
  bool FieldKeyDown(TQeField Field, const QKeyEvent& Key);
  // The program's own change of a field's text: no search, but what
  // depends on the field follows.
  void SetFieldText(TQeField Field, const std::string& Text);
  // Labels and edits that show what the field's old text chose.
  void ClearDependents(TQeField Field);
  // The list row selected for Field, or none.
  TQeSelectedRow SelectedListRow(TQeField Field) const;
  // A typed character Windows-1252 cannot hold is taken back with a message.
  bool TakeBackUnstorable(QLineEdit* Edit);
  void ShowMessage(const TQeCheck& Check);
  void FocusField(TQeField Field);
  bool LeavingToSkipButton(bool PauseToo) const;
  void LoadEditedEntry();
  TQeEntryTexts EntryTexts() const;

  struct TSnapshot {
    std::string Employee, Client, Case, Group, Hours, Description;
    int64_t Day = 0;
    bool operator==(const TSnapshot&) const = default;
  };
  TSnapshot Current() const;

  TSnapshot snapshot_;
  QeLookupList list_;
  int selectedRow_ = -1;
  std::unique_ptr<QeStopwatch> stopwatch_;
  TFocusModel* focus_ = nullptr;
  bool shown_ = false;
  bool formShowing_ = false;  // the mode switches of FormShow move no focus
  bool redirected_ = false;   // a refused exit sends the focus to another field
  QString lastMemo_;          // the description as last storable
  bool clientRowShown_ = true;
  QGridLayout* grid_ = nullptr;
  QVBoxLayout* caseLabels_ = nullptr;  // beside the case edit
  QHBoxLayout* hoursCell_ = nullptr;
};

// Typing into Edit stops at Limit characters; the program's own texts are
// not cut. TypingLimit: that limit, 0 for none.
void SetTypingLimit(QLineEdit* Edit, int Limit);
int TypingLimit(const QLineEdit* Edit);

// The one screen, null when none.
extern QPointer<TQEF> QEF;

// The entry screen's hand-over: creates QEF when absent with its family
// files open, stores the pending client, case, employee and an optional
// stopwatch resume, restores a minimized screen, shows and activates it.
// False, after showing the opener's text, when a family file failed.
struct TQeHandOver {
  std::string Client, Case, Employee;
  std::optional<std::pair<int64_t, bool>> Resume;  // seconds, paused
};
bool OpenQuickEntry(const TQeHandOver& HandOver);
