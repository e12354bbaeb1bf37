// The focus model: enter and exit handlers for the controls of one window,
// with the exit seen before the move is final and able to refuse it.
//
// Qt moves the focus first and tells afterwards (QApplication::focusChanged);
// the model turns each move between two bound-window controls into: the exit
// handler of the control left (it may ask where the focus goes), the enter
// handler of the control reached, then the application's active-control
// handler. A move to or from another window runs no exit and no enter; the
// active-control handler runs for controls of every program window, never
// for a message box or an input question.
//
// A handler that calls FocusControl ends the move it runs in: nothing later
// of that move runs. Called from an exit handler on the control being left,
// it refuses the exit: the control reached gets nothing (a button pressed
// by the mouse is released, so its click never fires), and a queued call
// puts the focus back, after which the enter handler and the active-control
// handler run again for it. While a handler runs (with any box it shows) and
// until such a queued refocus has run, focus changes are only recorded:
// Busy() tells idle work to wait. A FocusControl from outside the handlers
// while a refocus waits replaces its target: the latest request wins.
//
// Every handler runs under GuardEvent.
#pragma once

#include <QObject>
#include <QPointer>

#include <functional>
#include <map>

class QWidget;

class TFocusModel : public QObject {
public:
  using THandler = std::function<void(QWidget* Sender)>;
  // Maps a widget that belongs to a control (a picker's drop-down) to that
  // control; null or the widget itself when it belongs to none.
  using TOwnerOf = std::function<QWidget*(QWidget*)>;

  // Serves the controls of Window from now on; one model per window.
  explicit TFocusModel(QWidget* Window, TOwnerOf OwnerOf = {});
  ~TFocusModel() override;

  void BindEnter(QWidget* Control, THandler Handler);
  void BindExit(QWidget* Control, THandler Handler);
  void Unbind(QWidget* Control);

  // "Control gets the focus", at once: through Qt in the active window; in
  // an inactive or unshown one the model runs the move itself and the
  // window's later activation runs nothing again. From inside a handler the
  // move is queued (see above).
  void FocusControl(QWidget* Control);

  // The control the model last saw reach the focus in its window.
  QWidget* Current() const { return current_; }
  // During an exit handler: where the focus goes (null: out of the program
  // or another window).
  QWidget* Destination() const { return destination_; }
  bool IsLeavingTo(const QWidget* Control) const { return destination_ && destination_ == Control; }
  // During an enter handler: the control the focus came from (null: from
  // another window, or a control refused its exit and gets it back).
  QWidget* Origin() const { return origin_; }
  // The focus goes to a command button (a push button, not a check box).
  bool IsLeavingToCommand() const;
  // A handler runs or a refocus waits.
  bool Busy() const { return running_ > 0 || refocusPending_; }

  // The model whose window holds Widget, or null.
  static TFocusModel* Of(const QWidget* Widget);
  // Any model is busy: idle work waits.
  static bool AnyBusy();
  // Call runs from a queued call once no model is busy, in the order the
  // calls came: work that moves the focus itself would otherwise have its
  // moves taken for a waiting refocus's target and run no exit.
  static void WhenSettled(std::function<void()> Call);

  // A focus change reaching a control of this window (the router calls it).
  void Route(QWidget* Old, QWidget* Now);

private:
  struct TBinding {
    THandler Enter;
    THandler Exit;
  };

  void Arrive(QWidget* To);
  void PostRefocus();
  // Posts the calls waiting for WhenSettled when no model is busy.
  static void PostSettledCalls();
  bool eventFilter(QObject* Watched, QEvent* Event) override;
  // Runs exit of From, enter of To and the active-control handler, stopping
  // when a handler ends the move.
  void Move(QWidget* From, QWidget* To);
  // Runs Handler for Sender; false when it ended the move.
  bool Run(const THandler& Handler, QWidget* Sender);
  QWidget* Own(QWidget* Widget) const;
  bool Holds(const QWidget* Widget) const;

  QPointer<QWidget> window_;
  TOwnerOf ownerOf_;
  std::map<const QWidget*, TBinding> bindings_;
  QPointer<QWidget> current_;
  QPointer<QWidget> destination_;
  QPointer<QWidget> exiting_;
  QPointer<QWidget> origin_;
  // The move dispatched ahead for an inactive window: its activation
  // runs nothing.
  QPointer<QWidget> dispatchedAhead_;
  QPointer<QWidget> refocusTarget_;
  QPointer<QWidget> swallowMouse_;
  int running_ = 0;
  bool moveEnded_ = false;
  bool refocusPending_ = false;
};
