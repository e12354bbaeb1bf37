// The date/time picker: a one-line edit box that holds one date-time value
// and never free text (datetime/picker_model.h decides every edit), with a
// drop-down month calendar behind its button.
//
// Every way a line edit lets free text in is shut: keys never reach the
// base class, cut, copy and paste are the picker's own (a paste is parsed,
// never inserted), the context menu has no Undo, drops and input methods
// are refused, a middle click pastes nothing and the mouse selects fields,
// never a dragged range. A caller's setText or clear passes into the value:
// an empty text blanks it, any other text is replaced by the value's.
//
// OnChange is textChanged: it fires for the program's changes too. Focus
// moves to and from the drop-down are not entries or exits of the field;
// FromWidget maps a widget inside a drop-down to its picker for whoever
// tracks fields. Every handler runs under GuardEvent; a range error from a
// paste or the calendar is reported after an open drop-down has closed.
//
// Unbound only: no data source, no data link.
#pragma once

#include "datetime/picker_model.h"
#include "datetime/qt/calendar_options.h"
#include "datetime/qt/popup_calendar.h"

#include <QLineEdit>
#include <QPointer>

#include <functional>

class QMenu;
class TdwDateComboButton;

class TdwDBCustomDateTimePicker : public QLineEdit {
public:
  explicit TdwDBCustomDateTimePicker(QWidget* parent = nullptr);
  ~TdwDBCustomDateTimePicker() override;

  // The picker a widget belongs to: itself, a child, or anything inside its
  // drop-down; null for others.
  static TdwDBCustomDateTimePicker* FromWidget(QWidget* widget);

  // Properties.
  TdwCalendarOptions& CalendarAttributes() { return FCalendarAttributes; }
  TDTDateFormat DateFormat() const { return FModel.DateFormat(); }
  void SetDateFormat(TDTDateFormat value);
  const std::string& DisplayFormat() const { return FModel.DisplayFormat(); }
  void SetDisplayFormat(const std::string& value);
  int Epoch() const { return FModel.Epoch; }
  void SetEpoch(int value) { FModel.Epoch = value; }
  TDateTime MinDate() const { return FModel.MinDate(); }
  TDateTime MaxDate() const { return FModel.MaxDate(); }
  // A limit crossing the other raises EDateTimeError; the value is not re-checked.
  void SetMinDate(TDateTime value) { FModel.SetMinDate(value); }
  void SetMaxDate(TDateTime value) { FModel.SetMaxDate(value); }
  bool ReadOnly() const { return FModel.ReadOnly; }
  void SetReadOnly(bool value);
  bool ShowButton() const { return FShowButton; }
  void SetShowButton(bool value);
  TdwDTEditDataType UnboundDataType() const { return FModel.UnboundDataType(); }
  void SetUnboundDataType(TdwDTEditDataType value);

  // The value. Date is 0 in time-only mode, Time 0 in date-only mode; both
  // commit pending digits. Setting a day beyond a set limit raises
  // EDateTimeError; the same day changes nothing.
  TDateTime Date();
  void SetDate(TDateTime value);
  TDateTime Time();
  void SetTime(TDateTime value);
  // The value as held, pending digits not taken: what an OnChange handler
  // reads without ending the typing of a field.
  TDateTime Value() const { return FModel.Value(); }

  // Events. OnChange is textChanged.
  std::function<void()> OnDropDown;
  std::function<void()> OnCloseUp;
  TCalcBoldDayEvent OnCalcBoldDay;

  // The drop-down.
  bool DroppedDown() const;
  void DropDown();
  // Accept keeps the calendar's date (the picker already holds it); else
  // the value from before the drop-down comes back.
  void CloseUp(bool accept);
  // The drop-down calendar; null until the first drop-down and after the focus left.
  TdwPopupCalendar* PopupCalendar() const { return FPopup; }
  TdwDateComboButton* Button() const { return FButton; }

  // Cut, copy and paste as the keys and the menu do them.
  void CopyToClipboard();
  void CutToClipboard();
  void PasteFromClipboard();
  // The context menu as it would open now; the caller owns it.
  QMenu* CreateContextMenu();

  // The model, for what the widget does not show.
  PickerModel& Model() { return FModel; }

  // Where the picker's text lies in its widget coordinates: the x of its
  // first character.
  int TextLeft() const;

protected:
  bool event(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  void inputMethodEvent(QInputMethodEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;

private:
  friend class TdwPopupCalendar;

  // The model's text, selection and caret shown in the line edit.
  void ShowModel();
  // Runs a handler: errors go to the exception reporter after an open
  // drop-down has closed.
  template <class Fn>
  void Guarded(Fn&& fn);
  // A text set by a caller (setText, clear) passed into the value.
  void OutsideTextChanged();
  // Ctrl+C, Ctrl+X, Ctrl+V and their Insert and Delete forms; `act` runs the one found.
  bool ClipboardKey(const QKeyEvent& event, bool act);
  bool DropDownKey(const KeyInput& key);
  void ButtonPressed();
  // Tab out of the drop-down: the focus moves on as from the picker.
  void MoveFocusOn(bool forward);
  // The model's text into the line edit (not the selection).
  void ShowText();
  void Enter();
  void Exit();
  void FreePopup();
  // The button's place and the text's margin.
  void SetEditRect();
  bool ButtonVisible() const;
  // The calendar takes the picker's settings and the value.
  void PrepareCalendar();
  // The calendar's date changed by the user while dropped down.
  void CalendarChanged(TDateTime date);
  // The popup hid: a close nobody asked for accepts.
  void PopupHidden();
  void FinishCloseUp(bool accept);
  // Where a press at `global` lies.
  bool OnText(QPoint global) const;
  bool OnButton(QPoint global) const;

  PickerModel FModel;
  TdwCalendarOptions FCalendarAttributes;
  TdwDateComboButton* FButton = nullptr;
  QPointer<TdwPopupCalendar> FPopup;
  bool FShowButton = true;
  bool FShowing = false;  // the model's text going into the line edit
  TDateTime FShownValue = 0;  // the value when OnChange last ran
  int FBatch = 0;         // inside a handler: the text is shown at its end
  bool FDropped = false;
  bool FClosing = false;
  bool FEnteredByButton = false;
  bool FFocused = false;  // entered and not yet left
  TDateTime FValueBeforeDropDown = 0;
};

// The published face: no code of its own.
class TdwDBDateTimePicker : public TdwDBCustomDateTimePicker {
public:
  using TdwDBCustomDateTimePicker::TdwDBCustomDateTimePicker;
};
