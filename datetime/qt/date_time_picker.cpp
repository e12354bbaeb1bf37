#include "datetime/qt/date_time_picker.h"

#include "datetime/date_text_parser.h"
#include "datetime/qt/date_combo_button.h"
#include "datetime/qt/key_translation.h"
#include "datetime/qt/popup_calendar.h"
#include "platform/clipboard.h"
#include "platform/date_clock.h"
#include "platform/datetime_value.h"
#include "platform/errors.h"
#include "platform/qt/exception_reporter.h"
#include "platform/qt/widget_text.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QScopedValueRollback>
#include <QScreen>
#include <QStyle>
#include <QStyleOptionFrame>

#include <algorithm>

namespace {

// The model's text for the line edit; its texts are nearly always ASCII,
// which needs no code page.
QString Shown(const std::string& text) {
  const bool ascii = std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
  return ascii ? QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())) : WidgetText(text);
}

// The first line of a text.
std::string FirstLine(const std::string& text) { return text.substr(0, text.find_first_of("\r\n")); }

// QLineEdit keeps its text this far inside its contents rectangle.
constexpr int kLineEditTextMargin = 2;

QAction* AddMenuItem(QMenu& menu, const char* caption, bool enabled, std::function<void()> act) {
  QAction* item = menu.addAction(QString::fromLatin1(caption));
  item->setEnabled(enabled);
  QObject::connect(item, &QAction::triggered, &menu, std::move(act));
  return item;
}

}  // namespace

TdwDBCustomDateTimePicker::TdwDBCustomDateTimePicker(QWidget* parent) : QLineEdit(parent) {
  setAcceptDrops(false);
  setAttribute(Qt::WA_InputMethodEnabled, false);
  setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  FButton = new TdwDateComboButton(this);
  FButton->OnPress = [this] { Guarded([&] { ButtonPressed(); }); };
  // Within a key or a press the text is shown once, when the model is done.
  FModel.OnChange = [this] {
    if (FBatch == 0) ShowText();
  };
  FModel.OnDropDownKey = [this](const KeyInput& key) { return DropDownKey(key); };
  connect(this, &QLineEdit::textChanged, this, [this] {
    if (!FShowing) Guarded([&] { OutsideTextChanged(); });
  });
  SetEditRect();
  ShowModel();
}

TdwDBCustomDateTimePicker::~TdwDBCustomDateTimePicker() {
  // The drop-down goes while the picker is whole: its hide must not reach a
  // picker half destroyed.
  FClosing = true;
  delete FPopup.data();
}

TdwDBCustomDateTimePicker* TdwDBCustomDateTimePicker::FromWidget(QWidget* widget) {
  for (; widget; widget = widget->parentWidget())
    if (auto* picker = dynamic_cast<TdwDBCustomDateTimePicker*>(widget)) return picker;
  return nullptr;
}

template <class Fn>
void TdwDBCustomDateTimePicker::Guarded(Fn&& fn) {
  GuardEvent([&] {
    try {
      {
        QScopedValueRollback batch(FBatch, FBatch + 1);
        fn();
      }
      ShowModel();
    } catch (...) {
      // A box under an open popup would get no keys.
      GuardEvent([&] {
        CloseUp(true);
        ShowModel();
      });
      throw;
    }
  });
}

// ---- properties

void TdwDBCustomDateTimePicker::SetDateFormat(TDTDateFormat value) {
  FModel.SetDateFormat(value);
  ShowModel();
}

void TdwDBCustomDateTimePicker::SetDisplayFormat(const std::string& value) {
  FModel.SetDisplayFormat(value);
  ShowModel();
}

void TdwDBCustomDateTimePicker::SetReadOnly(bool value) {
  FModel.ReadOnly = value;
  ShowModel();
}

void TdwDBCustomDateTimePicker::SetShowButton(bool value) {
  FShowButton = value;
  SetEditRect();
}

void TdwDBCustomDateTimePicker::SetUnboundDataType(TdwDTEditDataType value) {
  FModel.SetUnboundDataType(value);
  SetEditRect();
  ShowModel();
}

TDateTime TdwDBCustomDateTimePicker::Date() {
  const TDateTime value = FModel.GetDate();
  ShowModel();
  return value;
}

void TdwDBCustomDateTimePicker::SetDate(TDateTime value) {
  FModel.SetDate(value);
  ShowModel();
}

TDateTime TdwDBCustomDateTimePicker::Time() {
  const TDateTime value = FModel.GetTime();
  ShowModel();
  return value;
}

void TdwDBCustomDateTimePicker::SetTime(TDateTime value) {
  FModel.SetTime(value);
  ShowModel();
}

// ---- the model shown

void TdwDBCustomDateTimePicker::ShowText() {
  const QString shown = Shown(FModel.Text());
  QScopedValueRollback showing(FShowing, true);
  const bool valueChanged = FModel.Value() != FShownValue;
  FShownValue = FModel.Value();
  if (text() != shown) {
    QLineEdit::setText(shown);
  } else if (valueChanged) {
    // Digits shown while they waited are taken under the same text: OnChange
    // handlers hear of the new value all the same.
    Q_EMIT textChanged(shown);
  }
}

void TdwDBCustomDateTimePicker::ShowModel() {
  ShowText();
  // The line edit draws its caret unless it is read-only; keys never reach
  // it, so its read-only state only hides the caret while a field is selected.
  const bool caret = FModel.CaretShown() && !FModel.ReadOnly && !FDropped;
  if (QLineEdit::isReadOnly() == caret) {
    QLineEdit::setReadOnly(!caret);
    setAttribute(Qt::WA_InputMethodEnabled, false);
    setCursor(Qt::IBeamCursor);
  }
  // A picker left shows its text alone.
  if (!FFocused) {
    if (hasSelectedText()) deselect();
    return;
  }
  const int start = FModel.SelStart(), length = FModel.SelLength();
  if (length > 0) {
    if (selectionStart() != start || selectionLength() != length) setSelection(start, length);
  } else if (hasSelectedText() || cursorPosition() != start) {
    setCursorPosition(start);
  }
}

void TdwDBCustomDateTimePicker::OutsideTextChanged() {
  bool empty = false;
  try {
    empty = StoredText(text()).empty();
  } catch (const EConvertError&) {
  }
  if (empty) {
    FModel.SetText("");
  } else {
    FModel.ShowValue();
  }
}

bool TdwDBCustomDateTimePicker::ButtonVisible() const {
  return FShowButton && FModel.UnboundDataType() != dwDTEdtTime;
}

void TdwDBCustomDateTimePicker::SetEditRect() {
  const bool visible = ButtonVisible();
  const int buttonWidth = DropDownButtonWidth(style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this));
  QStyleOptionFrame option;
  initStyleOption(&option);
  const int frame = hasFrame() ? style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, this) : 0;
  FButton->setGeometry(width() - frame - buttonWidth, frame, buttonWidth, height() - 2 * frame);
  FButton->setVisible(visible);
  setTextMargins(0, 0, visible ? buttonWidth : 0, 0);
}

int TdwDBCustomDateTimePicker::TextLeft() const {
  QStyleOptionFrame option;
  initStyleOption(&option);
  const QRect contents = style()->subElementRect(QStyle::SE_LineEditContents, &option, this);
  return contents.x() + textMargins().left() + kLineEditTextMargin;
}

// ---- keys

bool TdwDBCustomDateTimePicker::event(QEvent* event) {
  if (event->type() != QEvent::ShortcutOverride) return QLineEdit::event(event);
  // The keys the picker uses are its own, before any shortcut.
  const auto* key = static_cast<QKeyEvent*>(event);
  const Qt::KeyboardModifiers modifiers = key->modifiers() & ~Qt::KeypadModifier;
  const int code = key->key();
  const bool plain = !(modifiers & (Qt::ControlModifier | Qt::AltModifier));
  const bool passedOn = code == Qt::Key_Tab || code == Qt::Key_Backtab || code == Qt::Key_Return ||
                        code == Qt::Key_Enter || (code >= Qt::Key_F1 && code <= Qt::Key_F35);
  const bool dropDown = modifiers == Qt::AltModifier && (code == Qt::Key_Up || code == Qt::Key_Down);
  if ((plain && !passedOn) || dropDown || ClipboardKey(*key, false)) {
    event->accept();
    return true;
  }
  return false;
}

bool TdwDBCustomDateTimePicker::ClipboardKey(const QKeyEvent& event, bool act) {
  const Qt::KeyboardModifiers modifiers =
      event.modifiers() & (Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier | Qt::MetaModifier);
  const int key = event.key();
  void (TdwDBCustomDateTimePicker::*action)() = nullptr;
  if (modifiers == Qt::ControlModifier && (key == Qt::Key_C || key == Qt::Key_Insert))
    action = &TdwDBCustomDateTimePicker::CopyToClipboard;
  else if ((modifiers == Qt::ControlModifier && key == Qt::Key_X) ||
           (modifiers == Qt::ShiftModifier && key == Qt::Key_Delete))
    action = &TdwDBCustomDateTimePicker::CutToClipboard;
  else if ((modifiers == Qt::ControlModifier && key == Qt::Key_V) ||
           (modifiers == Qt::ShiftModifier && key == Qt::Key_Insert))
    action = &TdwDBCustomDateTimePicker::PasteFromClipboard;
  if (!action) return false;
  if (act) (this->*action)();
  return true;
}

void TdwDBCustomDateTimePicker::keyPressEvent(QKeyEvent* event) {
  // The base class never sees a key: it would type free text.
  const int code = event->key();
  bool taken = true;
  Guarded([&] {
    if (ClipboardKey(*event, true)) return;
    const TTranslatedKey translated = TranslateKey(*event);
    KeyInput key = translated.Key;
    if (key.Key == 0 && !translated.Types) {
      taken = false;
      return;
    }
    if (key.Key != 0) FModel.KeyDown(key);
    if (translated.Types) {
      char typed = translated.Typed;
      FModel.KeyPress(typed);
    }
  });
  // Enter stays for the dialog's default button, Tab for the focus chain.
  if (code == Qt::Key_Return || code == Qt::Key_Enter || code == Qt::Key_Tab || code == Qt::Key_Backtab ||
      (code >= Qt::Key_F1 && code <= Qt::Key_F35))
    taken = false;
  event->setAccepted(taken);
}

void TdwDBCustomDateTimePicker::keyReleaseEvent(QKeyEvent* event) { QWidget::keyReleaseEvent(event); }

bool TdwDBCustomDateTimePicker::DropDownKey(const KeyInput& key) {
  if (key.Alt && (key.Key == vk::Up || key.Key == vk::Down)) {
    if (FDropped) {
      CloseUp(true);
    } else {
      DropDown();
    }
    return true;
  }
  if (!FDropped) return false;
  CloseUp(key.Key == vk::Return);
  return true;
}

void TdwDBCustomDateTimePicker::MoveFocusOn(bool forward) { focusNextPrevChild(forward); }

// ---- focus

void TdwDBCustomDateTimePicker::focusInEvent(QFocusEvent* event) {
  QLineEdit::focusInEvent(event);
  // Back from the drop-down, or from another window after an entry: not an entry.
  const bool back = event->reason() == Qt::PopupFocusReason ||
                    (event->reason() == Qt::ActiveWindowFocusReason && FFocused);
  if (back) {
    ShowModel();
    return;
  }
  Guarded([&] { Enter(); });
}

void TdwDBCustomDateTimePicker::focusOutEvent(QFocusEvent* event) {
  QLineEdit::focusOutEvent(event);
  if (event->reason() == Qt::PopupFocusReason) return;
  if (event->reason() == Qt::ActiveWindowFocusReason) {
    Guarded([&] { CloseUp(true); });
    return;
  }
  // Into the drop-down: not an exit.
  if (FromWidget(QApplication::focusWidget()) == this) return;
  Guarded([&] { Exit(); });
}

void TdwDBCustomDateTimePicker::Enter() {
  FFocused = true;
  // Saved at every entry, blank too: Esc never brings back an earlier visit's value.
  FModel.FocusValue = FModel.Text().empty() ? 0 : FModel.Value();
  if (FModel.Value() == 0 || FModel.Text().empty()) {
    FModel.SetText("");
    return;
  }
  FModel.ShowValue();
  if (!FEnteredByButton) FModel.SetSelection(0, static_cast<int>(FModel.Text().size()));
}

void TdwDBCustomDateTimePicker::Exit() {
  FFocused = false;
  FModel.CommitTyping();
  CloseUp(true);
  FreePopup();
}

void TdwDBCustomDateTimePicker::FreePopup() {
  if (!FPopup) return;
  // Never deleted inside one of its own handlers.
  FPopup->deleteLater();
  FPopup = nullptr;
}

// ---- the mouse

void TdwDBCustomDateTimePicker::mousePressEvent(QMouseEvent* event) {
  event->accept();
  if (event->button() != Qt::LeftButton) return;
  const int x = event->position().toPoint().x() - TextLeft();
  const QFontMetrics metrics = fontMetrics();
  Guarded([&] {
    FModel.MouseDown(x, [&](std::string_view prefix) {
      return metrics.horizontalAdvance(WidgetText(std::string(prefix)));
    });
  });
}

// No drag selection, no middle-click paste: the fields are the selection.
void TdwDBCustomDateTimePicker::mouseMoveEvent(QMouseEvent* event) { event->accept(); }
void TdwDBCustomDateTimePicker::mouseReleaseEvent(QMouseEvent* event) { event->accept(); }

void TdwDBCustomDateTimePicker::mouseDoubleClickEvent(QMouseEvent* event) {
  event->accept();
  if (event->button() == Qt::LeftButton) Guarded([&] { FModel.DoubleClick(); });
}

void TdwDBCustomDateTimePicker::dragEnterEvent(QDragEnterEvent* event) { event->ignore(); }
void TdwDBCustomDateTimePicker::dragMoveEvent(QDragMoveEvent* event) { event->ignore(); }
void TdwDBCustomDateTimePicker::dropEvent(QDropEvent* event) { event->ignore(); }
void TdwDBCustomDateTimePicker::inputMethodEvent(QInputMethodEvent* event) { event->ignore(); }

// ---- cut, copy and paste

QMenu* TdwDBCustomDateTimePicker::CreateContextMenu() {
  auto* menu = new QMenu(this);
  menu->setObjectName("pickerMenu");
  const bool selected = FModel.SelLength() > 0;
  const bool editable = !FModel.ReadOnly;
  AddMenuItem(*menu, "Cu&t", editable && selected, [this] { Guarded([&] { CutToClipboard(); }); });
  AddMenuItem(*menu, "&Copy", selected, [this] { Guarded([&] { CopyToClipboard(); }); });
  AddMenuItem(*menu, "&Paste", editable && !ClipboardText().empty(),
              [this] { Guarded([&] { PasteFromClipboard(); }); });
  AddMenuItem(*menu, "&Delete", editable && selected, [this] { Guarded([&] { FModel.ClearValue(); }); });
  menu->addSeparator();
  AddMenuItem(*menu, "Select &All", !FModel.Text().empty(), [this] {
    Guarded([&] { FModel.SetSelection(0, static_cast<int>(FModel.Text().size())); });
  });
  return menu;
}

void TdwDBCustomDateTimePicker::contextMenuEvent(QContextMenuEvent* event) {
  event->accept();
  QPointer<QMenu> menu = CreateContextMenu();
  menu->exec(event->globalPos());
  delete menu.data();
}

void TdwDBCustomDateTimePicker::CopyToClipboard() {
  if (FModel.SelLength() > 0)
    SetClipboardText(FModel.Text().substr(std::size_t(FModel.SelStart()), std::size_t(FModel.SelLength())));
}

void TdwDBCustomDateTimePicker::CutToClipboard() {
  CopyToClipboard();
  if (FModel.ReadOnly) return;
  FModel.ClearValue();
}

void TdwDBCustomDateTimePicker::PasteFromClipboard() {
  if (FModel.ReadOnly) return;
  const std::string text = FirstLine(ClipboardText());
  TDateTime value = 0;
  if (FModel.UnboundDataType() == dwDTEdtTime) {
    value = dwStrToTimeNoRaise(text);
  } else {
    value = dwStrToDateTimeNoRaise(text);
    if (value == 0) value = dwStrToDateNoRaise(text);
  }
  if (value == 0) return;
  try {
    FModel.StoreValue(value);
  } catch (const Exception&) {
    // Nothing free stays in the box: the value's own text, then the report.
    FModel.ShowValue();
    throw;
  }
  FModel.ShowValue();
  FModel.Modified = true;
}

// ---- the drop-down

bool TdwDBCustomDateTimePicker::DroppedDown() const { return FPopup && FDropped; }

void TdwDBCustomDateTimePicker::ButtonPressed() {
  if (FDropped) {
    CloseUp(true);
    return;
  }
  QScopedValueRollback byButton(FEnteredByButton, true);
  if (focusPolicy() != Qt::NoFocus && !hasFocus()) setFocus(Qt::MouseFocusReason);
  if (hasFocus()) DropDown();
}

void TdwDBCustomDateTimePicker::DropDown() {
  // A time has no calendar.
  if (FDropped || FModel.UnboundDataType() == dwDTEdtTime) return;
  if (FModel.ReadOnly) {
    ShowModel();
    return;
  }
  FValueBeforeDropDown = FModel.Value();
  FModel.CommitTyping();
  if (!FPopup) FPopup = new TdwPopupCalendar(*this);
  if (FModel.Text().empty() || FModel.Value() == 0) {
    FModel.Modified = true;
    FModel.SetDate(FModel.LimitedToday(::Date()));
  }
  PrepareCalendar();
  FDropped = true;
  FModel.DroppedDown = true;
  FModel.SelectField();
  ShowModel();
  if (OnDropDown) OnDropDown();
  if (!FDropped || !FPopup) return;  // OnDropDown closed it again

  TdwPopupCalendar& calendar = *FPopup;
  const QSize size = calendar.sizeHint();
  QScreen* onScreen = screen() ? screen() : QGuiApplication::primaryScreen();
  const QRect area = onScreen->availableGeometry();
  const QRect whole = onScreen->geometry();
  const QPoint topLeft = mapToGlobal(QPoint(0, 0));
  const int buttonWidth = DropDownButtonWidth(style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this));
  const TScreenPoint at = PlaceDropDown({topLeft.x(), topLeft.y(), width(), height()}, size.width(), size.height(),
                                        buttonWidth, FCalendarAttributes.Alignment,
                                        {area.x(), area.y(), area.width(), area.height()}, whole.x() + whole.width());
  calendar.setGeometry(at.X, at.Y, size.width(), size.height());
  calendar.show();
  calendar.raise();
}

void TdwDBCustomDateTimePicker::PrepareCalendar() {
  TdwPopupCalendar& calendar = *FPopup;
  calendar.SetBorderStyle(bsSingle);
  calendar.SetCalColors(FCalendarAttributes.Colors);
  calendar.OnCalcBoldDay = OnCalcBoldDay;
  calendar.SetOptions(FCalendarAttributes.Options);
  calendar.SetMinDate(0);
  calendar.SetMaxDate(FModel.UpperLimit());
  calendar.SetMinDate(FModel.LowerLimit());
  if (FCalendarAttributes.FontSet) calendar.setFont(FCalendarAttributes.Font);
  calendar.SetPopupYearOptions(FCalendarAttributes.PopupYearOptions);
  calendar.SetFirstDayOfWeek(FCalendarAttributes.FirstDayOfWeek);
  // A value beyond limits set after it shows at the nearest limit.
  const TDateTime value = FModel.Value();
  const TDateTime day = std::clamp(WholeDay(value), FModel.LowerLimit(), FModel.UpperLimit());
  calendar.SetDate(day);
  calendar.SetTime(value);
  calendar.SetWidth(FCalendarAttributes.Width);
  calendar.SetHeight(FCalendarAttributes.Height);
}

void TdwDBCustomDateTimePicker::CalendarChanged(TDateTime date) {
  if (FModel.ReadOnly) return;
  FModel.Modified = true;
  FModel.SetDate(date);
  ShowModel();
}

void TdwDBCustomDateTimePicker::CloseUp(bool accept) {
  if (FClosing || !FDropped) return;
  FinishCloseUp(accept);
}

void TdwDBCustomDateTimePicker::PopupHidden() {
  if (FClosing || !FDropped) return;
  Guarded([&] { FinishCloseUp(true); });
}

void TdwDBCustomDateTimePicker::FinishCloseUp(bool accept) {
  QScopedValueRollback closing(FClosing, true);
  if (FPopup && FPopup->isVisible()) FPopup->hide();
  FDropped = false;
  FModel.DroppedDown = false;
  // Accepted, the picker already holds the calendar's date.
  if (!accept) FModel.RestoreValue(FValueBeforeDropDown);
  if (OnCloseUp) OnCloseUp();
  FModel.SelectField();
  ShowModel();
  update();
}

bool TdwDBCustomDateTimePicker::OnButton(QPoint global) const {
  return FButton->isVisible() && FButton->rect().contains(FButton->mapFromGlobal(global));
}

bool TdwDBCustomDateTimePicker::OnText(QPoint global) const {
  return rect().contains(mapFromGlobal(global)) && !OnButton(global);
}

// ---- size and state

void TdwDBCustomDateTimePicker::resizeEvent(QResizeEvent* event) {
  QLineEdit::resizeEvent(event);
  SetEditRect();
}

void TdwDBCustomDateTimePicker::changeEvent(QEvent* event) {
  QLineEdit::changeEvent(event);
  if (event->type() == QEvent::EnabledChange && !isEnabled()) Guarded([&] { CloseUp(true); });
  if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) SetEditRect();
}
