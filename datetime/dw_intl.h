// The date controls' settings object: the texts and a few options of the
// data-aware controls, grouped by the control or dialog that shows them.
//
// One global instance lives from InitIntl() to FinalIntl(); the program's main
// (and every test main) calls them before any form and at the very end.
// Another TdwIntl with Connected set copies its values into the global one,
// which is how a form would localise the controls.
//
// The controls of this program read three values of the global instance:
// DefaultEpochYear (a new picker's Epoch), MonthCalendar.PopupYearLabel and
// MonthCalendar.EnterYearPrompt. The other texts serve grids, navigators and
// dialogs that the program does not have; they are kept all the same.
//
// Texts are Windows-1252. Each group is a plain value struct with one list of
// its texts by property name (Texts()), so that whole groups copy by
// assignment and a reader can walk every text without naming it.
#pragma once

#include <functional>
#include <span>
#include <string>
#include <string_view>

// One named text of a group.
template <class Group>
struct TIntlText {
  const char* Name;
  std::string Group::*Member;
};

struct TdwDBNavigatorIntlHints {
  std::string FirstHint = "Move to first record";
  std::string PriorHint = "Move to prior record";
  std::string NextHint = "Move to next record";
  std::string LastHint = "Move to last record";
  std::string InsertHint = "Insert new record";
  std::string DeleteHint = "Delete current record";
  std::string EditHint = "Edit current record";
  std::string PostHint = "Post changes of current record";
  std::string CancelHint = "Cancel changes made to current record";
  std::string RefreshHint = "Refresh the contents of the dataset";
  std::string PriorPageHint = "Move backward %d records";
  std::string NextPageHint = "Move forward %d records";
  std::string SaveBookmarkHint = "Bookmark current record";
  std::string RestoreBookmarkHint = "Go back to saved bookmark";
  std::string RecordViewDialogHint = "View current record";
  std::string LocateDialogHint = "Locate a specific record";
  std::string FilterDialogHint = "Filter the dataset";
  std::string SearchDialogHint = "Search the dataset";

  static std::span<const TIntlText<TdwDBNavigatorIntlHints>> Texts();
};

struct TdwDBNavigatorIntl {
  std::string ConfirmDeleteMessage = "Delete record?";
  TdwDBNavigatorIntlHints Hints;

  static std::span<const TIntlText<TdwDBNavigatorIntl>> Texts();
};

struct TdwSearchDialogIntl {
  std::string SearchCharLabel = "&Search for:";
  std::string SearchCharShortLabel = "&Search:";
  std::string SearchByLabel = "Search &by:";
  std::string StatusRecLabel = "Record";
  std::string StatusOfLabel = "of";
  std::string SearchCharHint = "Type the value to search for";
  std::string SearchByHint = "Choose the field to search by";

  static std::span<const TIntlText<TdwSearchDialogIntl>> Texts();
};

struct TdwLocateDialogIntl {
  std::string FieldValueLabel = "Field &Value:";
  std::string SearchTypeLabel = "Search Type";
  std::string CaseSensitiveLabel = "&Case Sensitive";
  std::string MatchExactLabel = "&Exact Match";
  std::string MatchStartLabel = "Match at &Beginning";
  std::string MatchAnyLabel = "Match &Anywhere";
  std::string FieldsLabel = "Fie&lds:";
  std::string BtnFirst = "&First";
  std::string BtnNext = "&Next";
  std::string BtnCancel = "Cancel";
  std::string FieldValueHint = "Type the value to locate";
  std::string CaseSensitiveHint = "Match upper and lower case exactly";
  std::string MatchExactHint = "The field must equal the value";
  std::string MatchStartHint = "The field must begin with the value";
  std::string MatchAnyHint = "The value may appear anywhere in the field";
  std::string BtnFirstHint = "Locate the first matching record";
  std::string BtnNextHint = "Locate the next matching record";
  std::string FieldNameHint = "Choose the field to search";

  static std::span<const TIntlText<TdwLocateDialogIntl>> Texts();
};

struct TdwMonthCalendarIntl {
  std::string PopupYearLabel = "Edit Year";
  std::string EnterYearPrompt = "Enter Valid Year";

  static std::span<const TIntlText<TdwMonthCalendarIntl>> Texts();
};

struct TdwFilterDialogIntl {
  std::string BtnViewSummary = "&View Summary";
  std::string BtnViewSummaryHint = "Show the criteria entered so far";
  std::string BtnNewSearch = "&New Search";
  std::string BtnNewSearchHint = "Clear every criterion and start again";
  std::string FieldOrderLabel = "Field Order";
  std::string FieldOrderHint = "Choose how the fields are listed";
  std::string AlphabeticLabel = "&Alphabetic";
  std::string LogicalLabel = "&Logical";
  std::string AllFieldsLabel = "All &Fields";
  std::string SearchedFieldsLabel = "Searched Fiel&ds";
  std::string StartingRangeLabel = "&Starting Range:";
  std::string EndingRangeLabel = "&Ending Range:";
  std::string StartingRangeHint = "Type the lowest value to include";
  std::string EndingRangeHint = "Type the highest value to include";
  std::string BtnClearMin = "Clear";
  std::string BtnClearMax = "Clear";
  std::string BtnClearFilterValue = "Clear";
  std::string BtnClearMinHint = "Clear the starting range";
  std::string BtnClearMaxHint = "Clear the ending range";
  std::string BtnClearFilterValueHint = "Clear the field value";
  std::string ByValueLabel = "By &Value";
  std::string ByRangeLabel = "By &Range";
  std::string FieldValueLabel = "Field Value:";
  std::string FieldValueHint = "Type the value to filter on";
  std::string SearchTypeLabel = "Search Type";
  std::string SearchTypeHint = "Choose how the value must match";
  std::string MatchExactLabel = "E&xact Match";
  std::string MatchStartLabel = "Match at &Beginning";
  std::string MatchAnyLabel = "Match An&ywhere";
  std::string CaseSensitiveLabel = "&Case Sensitive";
  std::string CaseSensitiveHint = "Match upper and lower case exactly";
  std::string NonMatchingLabel = "N&on-Matching Records";
  std::string NonMatchingHint = "Show the records that do not match";
  std::string SummaryFieldLabel = "Field";
  std::string SummarySearchLabel = "Search";
  std::string SummaryValueLabel = "Value";
  std::string FieldsLabel = "Fields:";
  std::string ValueRangeTabHint = "Filter by one value or by a range of values";
  std::string AllSearchedTabHint = "List every field or only the searched ones";
  std::string ViewSummaryNotText = "Not";

  static std::span<const TIntlText<TdwFilterDialogIntl>> Texts();
};

struct TdwRichEditMenuLabels {
  std::string FileCaption = "&File";
  std::string LoadCaption = "&Load...";
  std::string SaveAsCaption = "Save &As...";
  std::string SaveExitCaption = "&Save and Exit";
  std::string PrintCaption = "&Print...";
  std::string PageSetupCaption = "Page Set&up...";
  std::string ExitCaption = "E&xit";
  std::string EditCaption = "&Edit";
  std::string UndoCaption = "&Undo";
  std::string CutCaption = "Cu&t";
  std::string CopyCaption = "&Copy";
  std::string PasteCaption = "&Paste";
  std::string ClearCaption = "Cle&ar";
  std::string SelectallCaption = "Select A&ll";
  std::string FindCaption = "&Find...";
  std::string FindNextCaption = "Find &Next";
  std::string ReplaceCaption = "R&eplace...";
  std::string InsertObjectCaption = "&Insert Object...";
  std::string ViewCaption = "&View";
  std::string ToolbarCaption = "&Toolbar";
  std::string FormatBarCaption = "&Format Bar";
  std::string ViewStatusBarCaption = "&Status Bar";
  std::string OptionsCaption = "&Options...";
  std::string FormatCaption = "F&ormat";
  std::string FontCaption = "&Font...";
  std::string BulletStyleCaption = "&Bullet Style";
  std::string ParagraphCaption = "&Paragraph...";
  std::string TabsCaption = "&Tabs...";
  std::string HelpCaption = "&Help";

  static std::span<const TIntlText<TdwRichEditMenuLabels>> Texts();
};

struct TdwRichEditPopupMenuLabels {
  std::string EditCaption = "&Edit";
  std::string ViewCaption = "&View";
  std::string CutCaption = "Cu&t";
  std::string CopyCaption = "&Copy";
  std::string PasteCaption = "&Paste";
  std::string FontCaption = "&Font...";
  std::string BulletStyleCaption = "&Bullet Style";
  std::string BoldCaption = "&Bold";
  std::string ItalicCaption = "&Italic";
  std::string UnderlineCaption = "&Underline";
  std::string ParagraphCaption = "P&aragraph...";
  std::string TabsCaption = "Ta&bs...";
  std::string FindCaption = "Fi&nd...";
  std::string ReplaceCaption = "&Replace...";
  std::string InsertObjectCaption = "In&sert Object...";

  static std::span<const TIntlText<TdwRichEditPopupMenuLabels>> Texts();
};

struct TdwRichEditParagraphDlg {
  std::string ParagraphDlgCaption = "Paragraph";
  std::string IndentationGroupBoxCaption = "Indentation";
  std::string LeftEditHint = "Indent from the left margin";
  std::string RightEditHint = "Indent from the right margin";
  std::string FirstLineEditHint = "Indent of the first line";
  std::string AlignmentHint = "Alignment of the paragraph";
  std::string LeftEditCaption = "&Left:";
  std::string RightEditCaption = "&Right:";
  std::string FirstLineEditCaption = "&First Line:";
  std::string SpacingGroupCaption = "Spacing";
  std::string BeforeParagraphCaption = "&Before:";
  std::string AfterParagraphCaption = "Aft&er:";
  std::string WithinParagraphCaption = "Li&ne Spacing:";
  std::string WithinParagraphAtCaption = "&At:";
  std::string AlignmentCaption = "Ali&gnment:";
  std::string AlignLeft = "Left";
  std::string AlignRight = "Right";
  std::string AlignCenter = "Center";

  static std::span<const TIntlText<TdwRichEditParagraphDlg>> Texts();
};

struct TdwRichEditTabDlg {
  std::string TabDlgCaption = "Tabs";
  std::string TabGroupBoxCaption = "Tab Stop Position";
  std::string SetTabButtonCaption = "&Set";
  std::string ClearTabButtonCaption = "&Clear";
  std::string ClearAllButtonCaption = "Clear &All";
  std::string TabPositionEditHint = "Position of the new tab stop";
  std::string ListBoxHint = "The tab stops set";
  std::string SetButtonHint = "Set a tab stop at the position";
  std::string ClearButtonHint = "Clear the selected tab stop";
  std::string ClearAllButtonHint = "Clear every tab stop";

  static std::span<const TIntlText<TdwRichEditTabDlg>> Texts();
};

struct TdwDBRichEditIntl {
  std::string FontNameComboHint = "Font Name | Changes the font of the selection";
  std::string FontSizeComboHint = "Font Size | Changes the font size of the selection";
  std::string NewButtonHint = "New | Clears the text to start anew";
  std::string LoadButtonHint = "Load | Loads the text from a file";
  std::string SaveAsButtonHint = "Save As | Saves the text to a file";
  std::string PrintButtonHint = "Print | Prints the text";
  std::string FindButtonHint = "Find | Finds text";
  std::string CutButtonHint = "Cut | Cuts the selection to the clipboard";
  std::string CopyButtonHint = "Copy | Copies the selection to the clipboard";
  std::string UndoButtonHint = "Undo | Undoes the last change";
  std::string PasteButtonHint = "Paste | Pastes the clipboard's contents";
  std::string BoldButtonHint = "Bold | Makes the selection bold (toggle)";
  std::string UnderlineButtonHint = "Underline | Underlines the selection (toggle)";
  std::string ItalicButtonHint = "Italic | Makes the selection italic (toggle)";
  std::string LeftButtonHint = "Align Left | Aligns the paragraph to the left margin";
  std::string CenterButtonHint = "Center | Centers the paragraph";
  std::string RightButtonHint = "Align Right | Aligns the paragraph to the right margin";
  std::string BulletButtonHint = "Bullets | Starts or ends a bulleted list (toggle)";
  std::string SaveExitHint = "Save and Exit | Saves the changes and closes the editor";
  std::string PageSetupHint = "Page Setup | Changes the page layout";
  std::string ExitHint = "Exit | Closes the editor";
  std::string ClearHint = "Clear | Deletes the selection";
  std::string SelectAllHint = "Select All | Selects the whole text";
  std::string FindNextHint = "Find Next | Finds the next occurrence";
  std::string ReplaceHint = "Replace | Replaces text";
  std::string InsertObjectHint = "Insert Object | Inserts an object";
  std::string ToolbarHint = "Toolbar | Shows or hides the toolbar";
  std::string FormatBarHint = "Format Bar | Shows or hides the format bar";
  std::string ViewStatusBarHint = "Status Bar | Shows or hides the status bar";
  std::string OptionsHint = "Options | Changes the editor's options";
  std::string FontHint = "Font | Changes the font of the selection";
  std::string ParagraphHint = "Paragraph | Changes the paragraph's format";
  std::string TabsHint = "Tabs | Sets the tab stops";
  std::string CAPLockCaption = "CAP";
  std::string NUMLockCaption = "NUM";
  TdwRichEditMenuLabels MenuLabels;
  TdwRichEditPopupMenuLabels PopupMenuLabels;
  TdwRichEditParagraphDlg ParagraphDialog;
  TdwRichEditTabDlg TabDialog;

  static std::span<const TIntlText<TdwDBRichEditIntl>> Texts();
};

struct TdwUserMessagesIntl {
  std::string dwDBGridDiscardChanges = "Discard changes to this record?";
  std::string PictureValidateError = "Invalid characters. Field : ";
  std::string LocateNoMatches = "No matches found";
  std::string LocateNoMoreMatches = "No more matches found";
  std::string MemoChangesWarning = "Changes have been made!  Are you sure you wish to cancel?";
  std::string RichEditExitWarning = "Changes have been made!  Do you wish to save your changes?";
  std::string RichEditClearWarning = "Clear entire text?";
  std::string FilterDlgNoCriteria = "You have not selected any search criteria";
  std::string RecordViewExitWarning = "Record has been changed!  Do you wish to save your changes?";

  static std::span<const TIntlText<TdwUserMessagesIntl>> Texts();
};

enum TdwCheckBoxInGridStyle { cbStyleAuto, cbStyleCheckmark, cbStyleXmark };

// A set of font styles: one bit per TFontStyle.
enum TFontStyle { fsBold, fsItalic, fsUnderline, fsStrikeOut };
using TFontStyles = unsigned;
constexpr TFontStyles FontStyles(TFontStyle s) { return 1u << s; }

class TdwIntl {
public:
  // Sets the defaults. Becomes the global instance only through InitIntl().
  TdwIntl();
  // Destroying the global instance clears the global reference.
  ~TdwIntl();
  TdwIntl(const TdwIntl&) = delete;
  TdwIntl& operator=(const TdwIntl&) = delete;

  TdwDBNavigatorIntl Navigator;
  TdwSearchDialogIntl SearchDialog;
  TdwLocateDialogIntl LocateDialog;
  TdwMonthCalendarIntl MonthCalendar;
  TdwFilterDialogIntl FilterDialog;
  TdwDBRichEditIntl RichEdit;
  TdwUserMessagesIntl UserMessages;
  bool OKCancelBitmapped = false;
  std::string BtnOKCaption = "&OK";
  std::string BtnCancelCaption = "Cancel";
  TdwCheckBoxInGridStyle CheckBoxInGridStyle() const { return FCheckBoxInGridStyle; }
  // Stores; a connected instance other than the global one passes it on.
  void SetCheckBoxInGridStyle(TdwCheckBoxInGridStyle Value);
  const std::string& ControlsVersion() const { return FControlsVersion; }
  // Read-only: the value is ignored.
  void SetControlsVersion(std::string_view) {}
  int FilterMemoSize = 65536;
  bool UseLocateMethodForSearch = true;
  TFontStyles DialogFontStyle = 0;
  int DefaultEpochYear = 1950;
  bool Connected() const { return FConnected; }
  // Stores; True copies every value into the global instance.
  void SetConnected(bool Value);
  // Not shown to form designers; true from construction and copied with the
  // rest. Nothing in this program reads it.
  bool UnpublishedFlag = true;

  // After a loader has set the values (Connected among them): a connected
  // instance copies them into the global one.
  void Loaded();

private:
  // Every text and option but OKCancelBitmapped, ControlsVersion and
  // Connected. Nothing happens on the global instance itself or without one.
  void CopyIntoGlobal() const;

  TdwCheckBoxInGridStyle FCheckBoxInGridStyle = cbStyleAuto;
  std::string FControlsVersion = "4.0B";
  bool FConnected = false;
};

// The global instance; null before InitIntl(), after FinalIntl() and after
// the instance has been destroyed.
TdwIntl* GlobalIntl();
// Creates the global instance unless one exists.
void InitIntl();
// Destroys the global instance, if any.
void FinalIntl();

// Every copied text of `intl` (each group's and sub-group's texts, then
// BtnOKCaption and BtnCancelCaption), named by its path from the object
// ("Navigator.Hints.FirstHint").
void ForEachIntlText(TdwIntl& intl, const std::function<void(const std::string& path, std::string& text)>& visit);
