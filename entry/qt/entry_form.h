// The entry screen, TEntryF: a window-modal dialog that holds no field
// controls of its own. Every showing builds them from the template in use
// (entry/entry_build.h plans them; this form only makes the widgets, binds
// their events and sets the tab order) inside ScrollBox1, placed by
// geometry as the plan gives it.
//
// Events keep the order the handlers expect, through one event filter on
// every field control: OnKeyDown first (a handler that sets Key to 0
// swallows the key), then OnKeyPress for a character (set to 0 it is
// dropped), OnKeyUp on release; OnClick on a click; OnChange is
// textChanged, so the program's changes fire it too. Every handler runs
// under GuardEvent.
//
// Escape never closes the screen and Enter clicks nothing: no button is a
// default one. Cancel (and Exit1) closes it.
#pragma once

#include "entry/dropdown_list.h"
#include "entry/doc_info.h"
#include "entry/entry_build.h"
#include "entry/entry_stopwatch.h"
#include "entry/record_print.h"
#include "entry/links_file.h"
#include "entry/qt/grid_form.h"

#include <QDialog>

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QAction;
class QCheckBox;
class QFrame;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QMenuBar;
class QPlainTextEdit;
class QPushButton;
class QScrollArea;
class QStandardItemModel;
class TStatusBar;
class QTableView;
class QTimer;
class QToolBar;
class QToolButton;
class TFocusModel;
struct TLinkSources;

// A flag the idle handler acts on. Setting it asks for the handler at once,
// by a zero-delay call, as well as each time the loop next waits; the
// handler itself waits while a handler, a box or a refocus is pending.
class TIdleFlag {
public:
  explicit TIdleFlag(std::function<void()> Post) : post_(std::move(Post)) {}
  TIdleFlag& operator=(bool Set) {
    set_ = Set;
    if (Set) post_();
    return *this;
  }
  explicit operator bool() const { return set_; }

private:
  std::function<void()> post_;
  bool set_ = false;
};

// What a handler is told and may change.
struct TEntryEventArgs {
  int Key = 0;  // OnKeyDown, OnKeyUp: the key; 0 swallows it
  QChar Char;   // OnKeyPress: the character; a null one drops it
  Qt::KeyboardModifiers Shift;
};

class TEntryF : public QDialog, public TGridActionSink, public TEntryStopwatchView {
public:
  explicit TEntryF(QWidget* Parent = nullptr);
  ~TEntryF() override;

  // The slots the next showing builds (1-50; a preview gives fewer).
  void SetBuildRange(int First, int Last) { range_ = {First, Last}; }
  TEntryBuildRange BuildRange() const { return range_; }

  // The build of the current showing.
  const TEntryBuild& Plan() const { return plan_; }
  // The widget made for plan control I.
  QWidget* ControlWidget(int I) const { return widgets_.at(size_t(I)); }

  // Handlers.
  void FormShow();
  void BitBtnCancelClick();
  // The Save button (entry/qt/entry_save.cpp).
  void BitBtnSaveClick();
  // The idle handler, installed by every showing: closes the form after a
  // failed build, else runs a find that was asked for.
  void EntryIdle();
  // Installed by every showing: the grid view's cell hints (true: the hint
  // shows, with Text as the handler leaves it) and the reaction to the focus
  // moving between controls.
  virtual bool GridCellHint(QWidget* Widget, const QPoint& Pos, QString& Text);
  virtual void ActiveControlChange(QWidget* Now);
  // The grid view (entry/qt/entry_grid.cpp): the start-up form, parented
  // to this screen while it runs. PrepareGridView sets it up from the
  // showing's build and its format file; ShowGridView lays it out before a
  // find shows it (PickMode: compact, beside PickEdit, on PickColumn).
  TEGridF* GridView();
  void PrepareGridView();
  void ShowGridView(bool PickMode, QLineEdit* PickEdit = nullptr, int PickColumn = 0);
  // Closes the grid view when it is visible.
  void CloseGridView();
  // Hands the grid view back before this screen goes.
  void ReleaseGridView();
  // The size this screen was made at, kept by its opener before it is
  // maximized: the grid view takes it under MaximizeEntry.
  QSize DesignedSize;
  // Bound by the plan; their bodies belong to the dropdown, exit-check and
  // user-list code.
  virtual void FamilyLookupEnter(QWidget* Sender, TEntryEventArgs& Args);
  virtual void TemplateLookupEnter(QWidget* Sender, TEntryEventArgs& Args);
  virtual void UserListEnter(QWidget* Sender, TEntryEventArgs& Args);
  virtual void OwnIndexEnter(QWidget* Sender, TEntryEventArgs& Args);
  virtual void LookupExitCheck(QWidget* Sender, TEntryEventArgs& Args);
  virtual void IndexFieldExit(QWidget* Sender, TEntryEventArgs& Args);
  virtual void NumericFieldExit(QWidget* Sender, TEntryEventArgs& Args);
  virtual void DropdownKeyDown(QWidget* Sender, TEntryEventArgs& Args);
  virtual void UserListKeyDown(QWidget* Sender, TEntryEventArgs& Args);
  virtual void OwnIndexKeyDown(QWidget* Sender, TEntryEventArgs& Args);
  virtual void MemoKeyDown(QWidget* Sender, TEntryEventArgs& Args);
  virtual void LookupKeyPress(QWidget* Sender, TEntryEventArgs& Args);
  virtual void DropdownTextChange(QWidget* Sender, TEntryEventArgs& Args);
  virtual void UserListTextChange(QWidget* Sender, TEntryEventArgs& Args);
  // Keeps a memo within its field's width.
  virtual void MemoSizeGuard(QWidget* Sender, TEntryEventArgs& Args);
  virtual void FieldClick(QWidget* Sender, TEntryEventArgs& Args);
  virtual void FieldKeyUp(QWidget* Sender, TEntryEventArgs& Args);
  virtual void SBShowListClick(QWidget* Sender, TEntryEventArgs& Args);

  // The dropdown list (entry/qt/entry_dropdown.cpp). FillDropdown reads the
  // list of Edit's field into the grid: Direction 0 from its text, 1 the
  // records before the list's start, 2 on past the list's end (the list's
  // bounds kept). ReadOnFromRow puts row Row's text into Edit and reads on
  // from it.
  void FillDropdown(QLineEdit* Edit, int Direction);
  void ReadOnFromRow(QLineEdit* Edit, int Row);
  void ShowDropdown();
  void HideDropdown();
  void ClearDropdown();
  // The panel under the current edit, the grid TotalWidth + 10 wide (cut to
  // the room right of it).
  void PlaceDropdownPanel(int EditLeft, int& TotalWidth);
  // SBHideList where dropdown button N is.
  void ShowHideListButton(int ButtonNo);
  void SelectTypedRow(QLineEdit* Edit, int FirstRow);
  void SelectLastRow();
  void SelectRowAfterBackFill(int FirstRow);
  // The list's current row: moved there, then the row choice runs.
  int DropdownRow() const;
  void MoveDropdownRow(int Row);
  // The row choice (a row clicked, or the current row moved by the list's
  // handlers); the choice itself belongs to the exit checks.
  virtual void StringGrid1Click();
  // The scroll buttons' page handler (Sender SBPgUp or SBPgDn).
  virtual void SBPgDnClick(QObject* Sender);
  // The scroll buttons' first and last handler (Sender SBFirst or SBLast).
  virtual void SBFirstClick(QObject* Sender);
  // The find (entry/qt/entry_find.cpp): "&Find All", and the entry point
  // of the callers' modes: the exit of index 1's sort fields when their
  // values name a stored record (Dropdown.FoundByExit set), the re-read
  // (FindByMsg), the grid's new key order (its IndexChange), the column
  // lookup (ColumnLookupSlot).
  virtual void BitBtnFindClick();
  // "&Use Filter": the find of the records whose typed index-1 values match.
  void BitBtnFilterClick();
  // Re-read: the grid's current row rewritten from Store.TplRec.
  bool FindByMsg = false;
  // Column lookup: the field whose stored values the find lists; 0 none.
  int ColumnLookupSlot = 0;
  // "&Clear": back to a new entry, the controls reset under AutoClear.
  void BitBtnClearClick();
  // The grid's current row into the controls: editing that record.
  void LoadRecordFromGrid();
  // The record LoadRecordFromGrid loaded, as Store.TplRec held it (prefix
  // included): a save compares its fresh read with it.
  std::string LoadedRecord;
  // The grid view's commands (GridCommand), for this screen's template.
  void GridAction(char Command, const std::string& TemplateName) override;
  // Any control shows something else than its field's CurValue.
  bool ScreenChanged() const;
  // The values on the screen become the fields' recall values (PrevValue).
  void TakeRecallValues();
  // The focus to the first visible control with tab order 0, then F2
  // replayed F2Replays times from there, each once the last has moved on.
  void FocusRoutine();
  int F2Replays = 0;
  // What a control of field Slot shows as its field stores it: texts
  // trimmed, dates "YYYYMMDD" or "0" when empty, check boxes "Y"/"N",
  // documents their path; "" without a control.
  std::string ControlValue(int Slot) const;
  // The quick time entry's part of the reaction to a focus move.
  std::function<void(QWidget* Now)> QuickEntryFocusHook;
  // Focus arriving on the button bar from a field.
  void Panel1Enter(QWidget* From);
  // The grid's own move keys, once the focus is in it: the row reached is
  // taken as a move by keys. False lets the key go on as usual.
  bool GridOwnKey(QKeyEvent* Event);
  // The grid's current row taken as a click on it takes it.
  void TakeGridRow();
  void StringGrid1KeyDown(TEntryEventArgs& Args);
  // Tells the hub (status kind Kind) the screen's codes and name.
  void SendEntryStatus(int Kind);
  // The field in Slot is a family lookup whose display rows a choice fills.
  bool DisplayRowsDefined(int Slot) const;
  // The index-1 key text the screen's sort fields make.
  std::string IndexKey;
  // The client and employee texts last sent to the hub.
  std::string SentClient, SentEmp;
  // The limited find of a first or second sort field of index 1 while
  // LimitDD1 is checked; it belongs to the find and the grid view.
  virtual void RunLimitedFind(QWidget* Edit);
  // Command-line parameters 3, 5 and 6 into the client, case and employee
  // key fields, each focus move through the focus model so that the
  // fields' entry and exit handlers run; the focus ends on BitBtnSave.
  void PresetFromCommandLine();
  // Every text the program puts into an edit goes through here: no fill
  // starts from it.
  void SetProgramText(QLineEdit* Edit, const std::string& Text);
  // The edit with number N in EditsArr (1..), or null.
  QLineEdit* EditNumber(int N) const;

  // The side tools (entry/qt/entry_tools.cpp).
  // The screen's own keys on any field control, before the control's
  // handlers: F2 recalls the field's last saved value (Key 0 swallows it).
  void FormKeyDown(QWidget* Sender, TEntryEventArgs& Args);
  void CalBitBtnClick();
  // A document field's buttons and its path edit (Sender any of them).
  void SBAddClick(QWidget* Sender);
  void SBEditClick(QWidget* Sender);
  void SBDeleteClick(QWidget* Sender);
  void ComboBoxDocsEnter(QWidget* Sender);
  void SBTimerClick();
  // FromMainWindow: the main window's message handler asks.
  void PauseBitBtnClick(bool FromMainWindow = false);
  void TimerEntryTimer();
  void BitBtnQuickEntryClick();
  void Checkspelling1Click();
  void Createdocument1Click();
  // Prints the record on the default printer.
  void BitBtnPrintClick();
  // The printout's rows: the screen's layout rows up to the first empty
  // one, each control with its label and shown value.
  std::vector<TPrintRow> PrintRows() const;
  // The menu's dropdown limit, refused while a list is in use.
  void LimitDD1Click();
  // What the word processor is handed: each field's name and shown text,
  // and a lookup's display columns (a user list's excepted).
  std::vector<TDocItem> DocItems() const;
  // The entry's client, case and employee codes as a linked template's
  // child gets them, trimmed; "" where the template has no such lookup or
  // it holds none.
  struct TEntryCodes {
    std::string Client, Case, Employee;
  };
  virtual TEntryCodes CollectEntryCodes();
  // Add's file chooser: the chosen file's name, "" when cancelled. The
  // default asks with the open dialog.
  std::function<std::string()> ChooseDocument;
  // Opens a document (a native file name) in its own application; false
  // when none takes it. The default asks the desktop.
  std::function<bool(const std::string& Path)> OpenDocument;
  TEntryStopwatch& Stopwatch() { return *stopwatch_; }
  // The stopwatch's view.
  void ShowStarted(bool Started) override;
  // The timer button's height and the pause button as for a running or a
  // stopped stopwatch; the button's own icon and hint left as they are.
  void ShowTimerPanel(bool Running);
  void SetPauseCaption(const std::string& Caption) override;
  void SetTimer(bool Enabled) override;
  // Linked templates (entry/qt/entry_links.cpp). The table of children
  // lives for the process (entry/linked_children.h); the tool bar shows its
  // buttons in every showing.
  // A link button's click: its list beside it, the first item selected,
  // the focus through the kind's lookup edit to the list.
  void SBClientLinkClick(QToolButton* Sender);
  // A link list left: hidden.
  void ListBoxClientExit(QListWidget* Sender);
  // Double click or Enter in a link list: opens the selected template in a
  // child instance (or the line of the links file being reloaded).
  void ListBoxClientDblClick(QListWidget* Sender);
  // A child's tool button captioned Trim(Name), unless one carries it.
  void AddLinkedTemplateButton(const std::string& Name);
  // The child button captioned Trim(Name), or null.
  QToolButton* ChildButtonOf(const std::string& Name) const;
  // The child Name has ended: its button marked indeterminate and its entry
  // not in use, so that opening it again revives it. False without such a
  // button.
  bool MarkChildEnded(const std::string& Name);
  // The child Name is alive again (it said so): its button's mark cleared.
  // False without such a button.
  bool MarkChildAlive(const std::string& Name);
  // A child button's click: the child's instance is told to come forward.
  void ChildButtonClick(int Index);
  // The showing's reload of the links its template's screen wrote when it
  // last closed; never in a child instance.
  void ReloadLinks();
  // OnClose: hooks off, grid view and dropdown away, the files of the
  // screen closed, the links written, the quick entry closed, the hub told.
  void FormClose();
  // The children's tool buttons, as many as the table holds.
  QToolBar* ToolBar1 = nullptr;
  std::array<QToolButton*, 3> ChildButtons{};
  int ChildIdx() const;
  // The screen takes part in linked templates (the entry command's screen,
  // not a designer's preview): its showing reopens its template's links,
  // its close writes them and tells the hub it ended.
  bool LinkedTemplates = false;
  // Closing sends status "T" with "TerminateAll" in place of "I".
  bool TerminateAllOnClose = false;

  // Runs the handlers bound to an event of plan control I, in order.
  void RunHandlers(const std::vector<THandler>& Handlers, QWidget* Sender, TEntryEventArgs& Args);

  // Screen state the showing resets.
  // A record is being edited (the save code sets it).
  bool Editing = false;
  // Set by a build that could not read what a lookup needs; the idle
  // handler then closes the form.
  TIdleFlag BuildFailed{[this] { PostIdle(); }};
  // A find waits for the screen to be idle.
  TIdleFlag PendingFind{[this] { PostIdle(); }};
  // The header row height the grid view takes when it is made.
  int GridHeaderRowHeight = 0;
  // The dropdown list's state, its rows, and the reader that fills them.
  TDropdownState Dropdown;
  TDropdownRows ListRows;
  TDropdownList DropdownReader{Dropdown, ListRows};
  // The edit a dropdown button opened while LimitDD1 is checked.
  QWidget* LimitedEdit = nullptr;

  // The focus model of the current showing: every field's OnEnter and
  // OnExit run through it; handlers ask it for the destination and move
  // the focus with its FocusControl. Null while the form is closed.
  TFocusModel* Focus = nullptr;

  // Fixed parts.
  QMenuBar* MainMenu1 = nullptr;
  QMenu* File1 = nullptr;
  QAction* Exit1 = nullptr;
  QAction* LimitDD1 = nullptr;
  QAction* Createdocument1 = nullptr;
  QAction* Checkspelling1 = nullptr;
  QAction* Print1 = nullptr;
  QFrame* PanelTop = nullptr;
  QLabel* LabelTableName = nullptr;
  QScrollArea* ScrollBox1 = nullptr;
  QWidget* ScrollContent = nullptr;
  QFrame* ListPanel = nullptr;
  QTableView* StringGrid1 = nullptr;
  QStandardItemModel* DropdownGrid = nullptr;
  QFrame* PanelScrollBtns = nullptr;
  QToolButton* SBFirst = nullptr;
  QToolButton* SBPgUp = nullptr;
  QToolButton* SBPgDn = nullptr;
  QToolButton* SBLast = nullptr;
  QToolButton* SBHideList = nullptr;
  QFrame* PanelDoc = nullptr;
  QLineEdit* EditDoc = nullptr;
  QToolButton* SBShowList = nullptr;
  QToolButton* SBEdit = nullptr;
  QToolButton* SBAdd = nullptr;
  QToolButton* SBDelete = nullptr;
  QToolButton* SBClientLink = nullptr;
  QToolButton* SBCaseLink = nullptr;
  QToolButton* SBEmpLink = nullptr;
  QListWidget* ListBoxClient = nullptr;
  QListWidget* ListboxCase = nullptr;
  QListWidget* ListBoxEmp = nullptr;
  QFrame* Panel1 = nullptr;
  QPushButton* BitBtnSave = nullptr;
  QPushButton* BitBtnCancel = nullptr;
  QPushButton* BitBtnClear = nullptr;
  QPushButton* BitBtnFind = nullptr;
  QPushButton* BitBtnFilter = nullptr;
  QPushButton* BitBtnQuickEntry = nullptr;
  QPushButton* BitBtnPrint = nullptr;
  QPushButton* CalBitBtn = nullptr;
  QToolButton* SBTimer = nullptr;
  QPushButton* PauseBitBtn = nullptr;
  QTimer* TimerEntry = nullptr;
  // The screen state: "New entry" or the record's stamp; the shapes mark
  // editing (ShapeEditing shown, Shape2 red) and a new entry (Shape2 navy).
  QLabel* LabelEditing = nullptr;
  QFrame* ShapeEditing = nullptr;
  QFrame* Shape2 = nullptr;
  TStatusBar* StatusBar1 = nullptr;
  // Panel 0 the name, panel 1 the stopwatch's time.
  std::array<QLabel*, 2> StatusPanels{};

protected:
  // The screen's logical pixels per inch: 96 lays the screen out for small
  // fonts.
  virtual int PixelsPerInch() const;
  void showEvent(QShowEvent* Event) override;
  void hideEvent(QHideEvent* Event) override;
  void resizeEvent(QResizeEvent* Event) override;
  void keyPressEvent(QKeyEvent* Event) override;
  void closeEvent(QCloseEvent* Event) override;
  bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
  // A memo's property: its text as the size guard last let it stand.
  static constexpr const char* MemoAcceptedText = "acceptedText";
  friend class TEntrySaveScreen;
  void BuildFixedParts();
  // The stopwatch's buttons and timer, the tools' menu items.
  void BuildToolParts();
  // A document panel's buttons and path edit wired to their handlers.
  void BindDocPanel(QWidget* Panel);
  std::unique_ptr<TEntryStopwatch> stopwatch_;
  void BuildLinkParts();
  // Each showing: a link list left is hidden.
  void BindLinkLists();
  // Enter in a link list opens its template; true when the key was that.
  bool LinkListKey(QObject* Watched, QEvent* Event);
  // The tool bar's buttons made anew from the table, the bar placed.
  void ShowChildButtons();
  void PlaceToolBar();
  // The link list's kind (0 client, 1 case, 2 employee), its button and
  // the lookup edit of its kind (null when the screen has none).
  int LinkKindOf(const QListWidget* List) const;
  QLineEdit* LinkEditOf(int Kind) const;
  // The screen's family key fields for the code collection.
  TLinkSources LinkSources() const;
  // Steps 1-2 of opening a link: the template's number and name, or
  // nothing (after its message).
  std::optional<TLinkLine> ChosenLink(QListWidget* Sender);
  // Starts a child for Link; false when it did not start (after its
  // message).
  bool StartChild(const TLinkLine& Link, QListWidget* Sender);
  // The links file's line being reopened, for its ListBoxClientDblClick.
  std::optional<TLinkLine> reloading_;
  void ClearGenerated();
  void MakeWidgets();
  QWidget* MakeWidget(const TCtlPlan& Plan);
  void BindEvents(int I);
  void SetTabOrder();
  // Labels in one column, controls behind them, narrow rows packed side by
  // side, dropdown buttons beside their edits.
  void LayOutRows();
  // Side controls to the right edge, the scrolled area around the controls.
  void FitScrollContent();
  void FocusFirstField();
  void LayoutDropdownPanel();
  void ShowLinkButtons();
  void CenterEntryForm();
  void PlaceFromStartupInfo();
  void ScaleForSmallFonts();
  // A zero-delay call of the idle handler.
  void PostIdle();
  int ControlOf(QObject* Watched) const;
  void RemoveFocusModel();
  void ScrollIntoView(QWidget* Now);
  // Dropdown helpers (entry/qt/entry_dropdown.cpp).
  void BuildDropdownParts();
  void ShowDropdownRows();
  int SlotOf(const QWidget* W) const;
  int EditNumberOf(const QWidget* W) const;
  // The display edits of the field whose edit is W (a pseudo-field's edit
  // among them), in row order.
  std::vector<QLineEdit*> DisplayEditsOf(const QWidget* W) const;
  // The opening of a list by button, Alt+Down or typing.
  void OpenDropdown(QLineEdit* Edit);
  // Page, Backspace, Enter, Up, Down and Alt+Down, shared by both key
  // handlers; true when the key was one of them.
  bool ListKey(QLineEdit* Edit, TEntryEventArgs& Args);
  bool IsLimitedSortField(int Slot) const;
  // The exit checks (entry/qt/entry_checks.cpp).
  bool IsLeavingToCommand(const QWidget* To) const;
  bool IsMovingToPartner(const QWidget* From, const QWidget* To) const;
  bool IsLinkListOpen() const;
  static bool IsFieldControlActive(const QWidget* W);
  void ResolveClientName(const QLineEdit* KeyEdit);
  void ResolveEmployeeName(const QLineEdit* KeyEdit);
  bool PseudoValueMatches(int Slot, const std::string& Text) const;
  bool MatchClientByName(QLineEdit* Edit);
  bool MatchEmployeeByName(QLineEdit* Edit);
  bool MatchByName(QLineEdit* Edit, std::string& Code);
  void ClearCaseField();
  void RefuseExit(QWidget* Edit);
  void RememberChosenRecord(int Slot, int Row);
  void FillTemplateDisplays(QLineEdit* Edit, int Row);
  bool FindChosenRecord(int Slot, int Row);
  void FillFamilyDisplays(QLineEdit* Edit, int Row);
  // The display rows from the family record just read, or "not found".
  void PutFamilyDisplays(QLineEdit* Edit, bool Found);
  int CurrentEditNumber() const { return Dropdown.EditNo; }
  bool UpdateIndexKeyText(int Slot, int& Part, const std::string& Text);
  // The key field of a pseudo-field's slot (52-54), else Slot itself.
  int KeySlotOf(int Slot) const;
  QLineEdit* EditOfSlot(int Slot) const;
  // User lists.
  void FillUserList(QLineEdit* Edit);
  // The page handlers' stepping of the list by eight rows.
  void PageDown(QLineEdit* Edit);
  void PageUp(QLineEdit* Edit);
  bool gridClicked_ = false;
  bool moveRefused_ = false;
  void CloseLookupFiles();
  int shownRows_ = 0;
  // The find, the reload and the clearing (entry/qt/entry_find.cpp).
  void BuildEditingParts();
  void RunFind(bool Filter);
  void ShowEditingState(const std::string& Stamp);
  int ControlOfSlot(int Slot) const;
  std::vector<std::string> ScreenSortValues() const;
  void ClearControl(int I);
  void LoadControl(int I, const std::string& Cell);
  void ReloadCaseCaptions(const std::string& Client, const std::string& Case);
  bool findFilter_ = false;

  TEntryBuildRange range_;
  TEntryBuild plan_;
  std::vector<QWidget*> widgets_;
  std::vector<QLabel*> labels_;
  std::vector<QFrame*> bevels_;
};
