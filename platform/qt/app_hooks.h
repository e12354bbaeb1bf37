// The application-wide event hooks a screen installs while it runs: the idle
// handler, the hint handler and the active-control handler. One handler of
// each at a time; setting one replaces the previous; each remembers the
// object that set it, so that object can take back all of its hooks at once
// when it goes (no hook outlives its screen).
//
// Idle: the handler runs each time the event loop has processed what was
// waiting and is about to wait (nested loops of modal windows too). A
// handler that closes a window or posts work only asks the loop; it never
// blocks.
// Hint: the handler sees each tooltip request first and may change the text
// shown (Text) or refuse the hint (return false).
// Active control: the handler is told the widget that now has the focus
// (null when no widget of the program has it).
//
// Every handler runs under GuardEvent: nothing it throws reaches the loop.
#pragma once

#include <functional>

class QObject;
class QPoint;
class QString;
class QWidget;

using TIdleHandler = std::function<void()>;
using THintHandler = std::function<bool(QWidget* Widget, const QPoint& Pos, QString& Text)>;
using TActiveControlHandler = std::function<void(QWidget* Now)>;

void SetOnIdle(QObject* Owner, TIdleHandler Handler);
void ClearOnIdle();
bool HasOnIdle();

void SetOnShowHint(QObject* Owner, THintHandler Handler);
void ClearOnShowHint();
bool HasOnShowHint();

void SetOnActiveControlChange(QObject* Owner, TActiveControlHandler Handler);
void ClearOnActiveControlChange();
bool HasOnActiveControlChange();

// Runs the active-control handler, when one is set, under GuardEvent.
void RunActiveControlChange(QWidget* Now);

// A focus router takes every focus change in place of the active-control
// dispatch and decides itself when RunActiveControlChange runs (the focus
// model, which runs exit and enter handlers first). An empty one gives the
// dispatch back.
using TFocusRouter = std::function<void(QWidget* Old, QWidget* Now)>;
void SetFocusRouter(TFocusRouter Router);

// Removes every hook Owner set; the others stay.
void ClearHooksOf(const QObject* Owner);
