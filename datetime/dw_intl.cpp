#include "datetime/dw_intl.h"

#include <array>
#include <cstddef>

namespace {

TdwIntl* globalIntl = nullptr;

// The list must name every text of its group: a group holds nothing but its
// texts and sub-groups, so its size tells when one is missing.
template <class Group, std::size_t N>
constexpr bool ListsEveryText(const std::array<TIntlText<Group>, N>&, std::size_t subGroupBytes = 0) {
  return sizeof(Group) == N * sizeof(std::string) + subGroupBytes;
}

template <class Group>
void VisitGroup(Group& group, const std::string& path,
                const std::function<void(const std::string&, std::string&)>& visit) {
  for (const TIntlText<Group>& text : Group::Texts()) visit(path + "." + text.Name, group.*text.Member);
}

}  // namespace

// One row per property: its name and its member.
#define INTL_TEXT(Group, Name) TIntlText<Group>{#Name, &Group::Name}

std::span<const TIntlText<TdwDBNavigatorIntlHints>> TdwDBNavigatorIntlHints::Texts() {
  using G = TdwDBNavigatorIntlHints;
  static constexpr std::array texts{
      INTL_TEXT(G, FirstHint),        INTL_TEXT(G, PriorHint),         INTL_TEXT(G, NextHint),
      INTL_TEXT(G, LastHint),         INTL_TEXT(G, InsertHint),        INTL_TEXT(G, DeleteHint),
      INTL_TEXT(G, EditHint),         INTL_TEXT(G, PostHint),          INTL_TEXT(G, CancelHint),
      INTL_TEXT(G, RefreshHint),      INTL_TEXT(G, PriorPageHint),     INTL_TEXT(G, NextPageHint),
      INTL_TEXT(G, SaveBookmarkHint), INTL_TEXT(G, RestoreBookmarkHint), INTL_TEXT(G, RecordViewDialogHint),
      INTL_TEXT(G, LocateDialogHint), INTL_TEXT(G, FilterDialogHint),  INTL_TEXT(G, SearchDialogHint),
  };
  static_assert(ListsEveryText(texts));
  return texts;
}

std::span<const TIntlText<TdwDBNavigatorIntl>> TdwDBNavigatorIntl::Texts() {
  using G = TdwDBNavigatorIntl;
  static constexpr std::array texts{INTL_TEXT(G, ConfirmDeleteMessage)};
  static_assert(ListsEveryText(texts, sizeof(TdwDBNavigatorIntlHints)));
  return texts;
}

std::span<const TIntlText<TdwSearchDialogIntl>> TdwSearchDialogIntl::Texts() {
  using G = TdwSearchDialogIntl;
  static constexpr std::array texts{
      INTL_TEXT(G, SearchCharLabel), INTL_TEXT(G, SearchCharShortLabel), INTL_TEXT(G, SearchByLabel),
      INTL_TEXT(G, StatusRecLabel),  INTL_TEXT(G, StatusOfLabel),        INTL_TEXT(G, SearchCharHint),
      INTL_TEXT(G, SearchByHint),
  };
  static_assert(ListsEveryText(texts));
  return texts;
}

std::span<const TIntlText<TdwLocateDialogIntl>> TdwLocateDialogIntl::Texts() {
  using G = TdwLocateDialogIntl;
  static constexpr std::array texts{
      INTL_TEXT(G, FieldValueLabel),   INTL_TEXT(G, SearchTypeLabel), INTL_TEXT(G, CaseSensitiveLabel),
      INTL_TEXT(G, MatchExactLabel),   INTL_TEXT(G, MatchStartLabel), INTL_TEXT(G, MatchAnyLabel),
      INTL_TEXT(G, FieldsLabel),       INTL_TEXT(G, BtnFirst),        INTL_TEXT(G, BtnNext),
      INTL_TEXT(G, BtnCancel),         INTL_TEXT(G, FieldValueHint),  INTL_TEXT(G, CaseSensitiveHint),
      INTL_TEXT(G, MatchExactHint),    INTL_TEXT(G, MatchStartHint),  INTL_TEXT(G, MatchAnyHint),
      INTL_TEXT(G, BtnFirstHint),      INTL_TEXT(G, BtnNextHint),     INTL_TEXT(G, FieldNameHint),
  };
  static_assert(ListsEveryText(texts));
  return texts;
}

std::span<const TIntlText<TdwMonthCalendarIntl>> TdwMonthCalendarIntl::Texts() {
  using G = TdwMonthCalendarIntl;
  static constexpr std::array texts{INTL_TEXT(G, PopupYearLabel), INTL_TEXT(G, EnterYearPrompt)};
  static_assert(ListsEveryText(texts));
  return texts;
}

std::span<const TIntlText<TdwFilterDialogIntl>> TdwFilterDialogIntl::Texts() {
  using G = TdwFilterDialogIntl;
  static constexpr std::array texts{
      INTL_TEXT(G, BtnViewSummary),      INTL_TEXT(G, BtnViewSummaryHint), INTL_TEXT(G, BtnNewSearch),
      INTL_TEXT(G, BtnNewSearchHint),    INTL_TEXT(G, FieldOrderLabel),    INTL_TEXT(G, FieldOrderHint),
      INTL_TEXT(G, AlphabeticLabel),     INTL_TEXT(G, LogicalLabel),       INTL_TEXT(G, AllFieldsLabel),
      INTL_TEXT(G, SearchedFieldsLabel), INTL_TEXT(G, StartingRangeLabel), INTL_TEXT(G, EndingRangeLabel),
      INTL_TEXT(G, StartingRangeHint),   INTL_TEXT(G, EndingRangeHint),    INTL_TEXT(G, BtnClearMin),
      INTL_TEXT(G, BtnClearMax),         INTL_TEXT(G, BtnClearFilterValue), INTL_TEXT(G, BtnClearMinHint),
      INTL_TEXT(G, BtnClearMaxHint),     INTL_TEXT(G, BtnClearFilterValueHint), INTL_TEXT(G, ByValueLabel),
      INTL_TEXT(G, ByRangeLabel),        INTL_TEXT(G, FieldValueLabel),    INTL_TEXT(G, FieldValueHint),
      INTL_TEXT(G, SearchTypeLabel),     INTL_TEXT(G, SearchTypeHint),     INTL_TEXT(G, MatchExactLabel),
      INTL_TEXT(G, MatchStartLabel),     INTL_TEXT(G, MatchAnyLabel),      INTL_TEXT(G, CaseSensitiveLabel),
      INTL_TEXT(G, CaseSensitiveHint),   INTL_TEXT(G, NonMatchingLabel),   INTL_TEXT(G, NonMatchingHint),
      INTL_TEXT(G, SummaryFieldLabel),   INTL_TEXT(G, SummarySearchLabel), INTL_TEXT(G, SummaryValueLabel),
      INTL_TEXT(G, FieldsLabel),         INTL_TEXT(G, ValueRangeTabHint),  INTL_TEXT(G, AllSearchedTabHint),
      INTL_TEXT(G, ViewSummaryNotText),
  };
  static_assert(ListsEveryText(texts));
  return texts;
}

std::span<const TIntlText<TdwRichEditMenuLabels>> TdwRichEditMenuLabels::Texts() {
  using G = TdwRichEditMenuLabels;
  static constexpr std::array texts{
      INTL_TEXT(G, FileCaption),          INTL_TEXT(G, LoadCaption),        INTL_TEXT(G, SaveAsCaption),
      INTL_TEXT(G, SaveExitCaption),      INTL_TEXT(G, PrintCaption),       INTL_TEXT(G, PageSetupCaption),
      INTL_TEXT(G, ExitCaption),          INTL_TEXT(G, EditCaption),        INTL_TEXT(G, UndoCaption),
      INTL_TEXT(G, CutCaption),           INTL_TEXT(G, CopyCaption),        INTL_TEXT(G, PasteCaption),
      INTL_TEXT(G, ClearCaption),         INTL_TEXT(G, SelectallCaption),   INTL_TEXT(G, FindCaption),
      INTL_TEXT(G, FindNextCaption),      INTL_TEXT(G, ReplaceCaption),     INTL_TEXT(G, InsertObjectCaption),
      INTL_TEXT(G, ViewCaption),          INTL_TEXT(G, ToolbarCaption),     INTL_TEXT(G, FormatBarCaption),
      INTL_TEXT(G, ViewStatusBarCaption), INTL_TEXT(G, OptionsCaption),     INTL_TEXT(G, FormatCaption),
      INTL_TEXT(G, FontCaption),          INTL_TEXT(G, BulletStyleCaption), INTL_TEXT(G, ParagraphCaption),
      INTL_TEXT(G, TabsCaption),          INTL_TEXT(G, HelpCaption),
  };
  static_assert(ListsEveryText(texts));
  return texts;
}

std::span<const TIntlText<TdwRichEditPopupMenuLabels>> TdwRichEditPopupMenuLabels::Texts() {
  using G = TdwRichEditPopupMenuLabels;
  static constexpr std::array texts{
      INTL_TEXT(G, EditCaption),        INTL_TEXT(G, ViewCaption),      INTL_TEXT(G, CutCaption),
      INTL_TEXT(G, CopyCaption),        INTL_TEXT(G, PasteCaption),     INTL_TEXT(G, FontCaption),
      INTL_TEXT(G, BulletStyleCaption), INTL_TEXT(G, BoldCaption),      INTL_TEXT(G, ItalicCaption),
      INTL_TEXT(G, UnderlineCaption),   INTL_TEXT(G, ParagraphCaption), INTL_TEXT(G, TabsCaption),
      INTL_TEXT(G, FindCaption),        INTL_TEXT(G, ReplaceCaption),   INTL_TEXT(G, InsertObjectCaption),
  };
  static_assert(ListsEveryText(texts));
  return texts;
}

std::span<const TIntlText<TdwRichEditParagraphDlg>> TdwRichEditParagraphDlg::Texts() {
  using G = TdwRichEditParagraphDlg;
  static constexpr std::array texts{
      INTL_TEXT(G, ParagraphDlgCaption),    INTL_TEXT(G, IndentationGroupBoxCaption),
      INTL_TEXT(G, LeftEditHint),           INTL_TEXT(G, RightEditHint),
      INTL_TEXT(G, FirstLineEditHint),      INTL_TEXT(G, AlignmentHint),
      INTL_TEXT(G, LeftEditCaption),        INTL_TEXT(G, RightEditCaption),
      INTL_TEXT(G, FirstLineEditCaption),   INTL_TEXT(G, SpacingGroupCaption),
      INTL_TEXT(G, BeforeParagraphCaption), INTL_TEXT(G, AfterParagraphCaption),
      INTL_TEXT(G, WithinParagraphCaption), INTL_TEXT(G, WithinParagraphAtCaption),
      INTL_TEXT(G, AlignmentCaption),       INTL_TEXT(G, AlignLeft),
      INTL_TEXT(G, AlignRight),             INTL_TEXT(G, AlignCenter),
  };
  static_assert(ListsEveryText(texts));
  return texts;
}

std::span<const TIntlText<TdwRichEditTabDlg>> TdwRichEditTabDlg::Texts() {
  using G = TdwRichEditTabDlg;
  static constexpr std::array texts{
      INTL_TEXT(G, TabDlgCaption),       INTL_TEXT(G, TabGroupBoxCaption),    INTL_TEXT(G, SetTabButtonCaption),
      INTL_TEXT(G, ClearTabButtonCaption), INTL_TEXT(G, ClearAllButtonCaption), INTL_TEXT(G, TabPositionEditHint),
      INTL_TEXT(G, ListBoxHint),         INTL_TEXT(G, SetButtonHint),         INTL_TEXT(G, ClearButtonHint),
      INTL_TEXT(G, ClearAllButtonHint),
  };
  static_assert(ListsEveryText(texts));
  return texts;
}

std::span<const TIntlText<TdwDBRichEditIntl>> TdwDBRichEditIntl::Texts() {
  using G = TdwDBRichEditIntl;
  static constexpr std::array texts{
      INTL_TEXT(G, FontNameComboHint),   INTL_TEXT(G, FontSizeComboHint), INTL_TEXT(G, NewButtonHint),
      INTL_TEXT(G, LoadButtonHint),      INTL_TEXT(G, SaveAsButtonHint),  INTL_TEXT(G, PrintButtonHint),
      INTL_TEXT(G, FindButtonHint),      INTL_TEXT(G, CutButtonHint),     INTL_TEXT(G, CopyButtonHint),
      INTL_TEXT(G, UndoButtonHint),      INTL_TEXT(G, PasteButtonHint),   INTL_TEXT(G, BoldButtonHint),
      INTL_TEXT(G, UnderlineButtonHint), INTL_TEXT(G, ItalicButtonHint),  INTL_TEXT(G, LeftButtonHint),
      INTL_TEXT(G, CenterButtonHint),    INTL_TEXT(G, RightButtonHint),   INTL_TEXT(G, BulletButtonHint),
      INTL_TEXT(G, SaveExitHint),        INTL_TEXT(G, PageSetupHint),     INTL_TEXT(G, ExitHint),
      INTL_TEXT(G, ClearHint),           INTL_TEXT(G, SelectAllHint),     INTL_TEXT(G, FindNextHint),
      INTL_TEXT(G, ReplaceHint),         INTL_TEXT(G, InsertObjectHint),  INTL_TEXT(G, ToolbarHint),
      INTL_TEXT(G, FormatBarHint),       INTL_TEXT(G, ViewStatusBarHint), INTL_TEXT(G, OptionsHint),
      INTL_TEXT(G, FontHint),            INTL_TEXT(G, ParagraphHint),     INTL_TEXT(G, TabsHint),
      INTL_TEXT(G, CAPLockCaption),      INTL_TEXT(G, NUMLockCaption),
  };
  static_assert(ListsEveryText(texts, sizeof(TdwRichEditMenuLabels) + sizeof(TdwRichEditPopupMenuLabels) +
                                          sizeof(TdwRichEditParagraphDlg) + sizeof(TdwRichEditTabDlg)));
  return texts;
}

std::span<const TIntlText<TdwUserMessagesIntl>> TdwUserMessagesIntl::Texts() {
  using G = TdwUserMessagesIntl;
  static constexpr std::array texts{
      INTL_TEXT(G, dwDBGridDiscardChanges), INTL_TEXT(G, PictureValidateError), INTL_TEXT(G, LocateNoMatches),
      INTL_TEXT(G, LocateNoMoreMatches),    INTL_TEXT(G, MemoChangesWarning),   INTL_TEXT(G, RichEditExitWarning),
      INTL_TEXT(G, RichEditClearWarning),   INTL_TEXT(G, FilterDlgNoCriteria),  INTL_TEXT(G, RecordViewExitWarning),
  };
  static_assert(ListsEveryText(texts));
  return texts;
}

#undef INTL_TEXT

TdwIntl::TdwIntl() = default;

TdwIntl::~TdwIntl() {
  if (globalIntl == this) globalIntl = nullptr;
}

void TdwIntl::SetCheckBoxInGridStyle(TdwCheckBoxInGridStyle Value) {
  FCheckBoxInGridStyle = Value;
  if (FConnected && globalIntl != nullptr && globalIntl != this) globalIntl->FCheckBoxInGridStyle = Value;
}

void TdwIntl::SetConnected(bool Value) {
  FConnected = Value;
  if (Value) CopyIntoGlobal();
}

void TdwIntl::Loaded() {
  if (FConnected) CopyIntoGlobal();
}

void TdwIntl::CopyIntoGlobal() const {
  TdwIntl* global = globalIntl;
  if (global == nullptr || global == this) return;
  global->Navigator = Navigator;
  global->SearchDialog = SearchDialog;
  global->LocateDialog = LocateDialog;
  global->MonthCalendar = MonthCalendar;
  global->FilterDialog = FilterDialog;
  global->RichEdit = RichEdit;
  global->UserMessages = UserMessages;
  global->BtnOKCaption = BtnOKCaption;
  global->BtnCancelCaption = BtnCancelCaption;
  global->FCheckBoxInGridStyle = FCheckBoxInGridStyle;
  global->DialogFontStyle = DialogFontStyle;
  global->UseLocateMethodForSearch = UseLocateMethodForSearch;
  global->UnpublishedFlag = UnpublishedFlag;
  global->DefaultEpochYear = DefaultEpochYear;
  global->FilterMemoSize = FilterMemoSize;
}

TdwIntl* GlobalIntl() { return globalIntl; }

void InitIntl() {
  if (globalIntl == nullptr) globalIntl = new TdwIntl;
}

void FinalIntl() { delete globalIntl; }

void ForEachIntlText(TdwIntl& intl, const std::function<void(const std::string& path, std::string& text)>& visit) {
  VisitGroup(intl.Navigator, "Navigator", visit);
  VisitGroup(intl.Navigator.Hints, "Navigator.Hints", visit);
  VisitGroup(intl.SearchDialog, "SearchDialog", visit);
  VisitGroup(intl.LocateDialog, "LocateDialog", visit);
  VisitGroup(intl.MonthCalendar, "MonthCalendar", visit);
  VisitGroup(intl.FilterDialog, "FilterDialog", visit);
  VisitGroup(intl.RichEdit, "RichEdit", visit);
  VisitGroup(intl.RichEdit.MenuLabels, "RichEdit.MenuLabels", visit);
  VisitGroup(intl.RichEdit.PopupMenuLabels, "RichEdit.PopupMenuLabels", visit);
  VisitGroup(intl.RichEdit.ParagraphDialog, "RichEdit.ParagraphDialog", visit);
  VisitGroup(intl.RichEdit.TabDialog, "RichEdit.TabDialog", visit);
  VisitGroup(intl.UserMessages, "UserMessages", visit);
  visit("BtnOKCaption", intl.BtnOKCaption);
  visit("BtnCancelCaption", intl.BtnCancelCaption);
}
