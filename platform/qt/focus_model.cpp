#include "platform/qt/focus_model.h"

#include "platform/qt/app_hooks.h"
#include "platform/qt/exception_reporter.h"

#include <QAbstractButton>
#include <QApplication>
#include <QEvent>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QWidget>

#include <algorithm>
#include <functional>
#include <utility>
#include <vector>

namespace {

std::vector<TFocusModel*>& Models() {
  static std::vector<TFocusModel*> models;
  return models;
}

std::vector<std::function<void()>>& SettledCalls() {
  static std::vector<std::function<void()>> calls;
  return calls;
}

// Boxes are no program windows: the focus passing through them is nobody's.
bool IsBox(const QWidget* Widget) {
  const QWidget* window = Widget->window();
  return qobject_cast<const QMessageBox*>(window) || qobject_cast<const QInputDialog*>(window);
}

void RouteFocus(QWidget* Old, QWidget* Now) {
  // A handler or its box holds the focus, or a refocus waits: recorded only.
  if (TFocusModel::AnyBusy()) return;
  if (TFocusModel* model = TFocusModel::Of(Now)) return model->Route(Old, Now);
  if (Now && IsBox(Now)) return;
  RunActiveControlChange(Now);
}

}  // namespace

TFocusModel::TFocusModel(QWidget* Window, TOwnerOf OwnerOf)
    : QObject(Window), window_(Window), ownerOf_(std::move(OwnerOf)) {
  Models().push_back(this);
  SetFocusRouter(RouteFocus);
}

TFocusModel::~TFocusModel() {
  auto& models = Models();
  models.erase(std::remove(models.begin(), models.end(), this), models.end());
  if (models.empty()) SetFocusRouter({});
  PostSettledCalls();
}

void TFocusModel::BindEnter(QWidget* Control, THandler Handler) { bindings_[Control].Enter = std::move(Handler); }
void TFocusModel::BindExit(QWidget* Control, THandler Handler) { bindings_[Control].Exit = std::move(Handler); }
void TFocusModel::Unbind(QWidget* Control) { bindings_.erase(Control); }

bool TFocusModel::IsLeavingToCommand() const {
  return qobject_cast<const QPushButton*>(destination_.data()) != nullptr;
}

TFocusModel* TFocusModel::Of(const QWidget* Widget) {
  if (!Widget) return nullptr;
  for (TFocusModel* model : Models())
    if (model->Holds(Widget)) return model;
  return nullptr;
}

bool TFocusModel::AnyBusy() {
  const auto& models = Models();
  return std::any_of(models.begin(), models.end(), [](const TFocusModel* m) { return m->Busy(); });
}

void TFocusModel::WhenSettled(std::function<void()> Call) {
  SettledCalls().push_back(std::move(Call));
  PostSettledCalls();
}

// Every place where a model stops being busy posts again, so a call that
// finds a model busy once more leaves the calls waiting.
void TFocusModel::PostSettledCalls() {
  if (SettledCalls().empty() || AnyBusy()) return;
  QMetaObject::invokeMethod(
      qApp,
      [] {
        if (AnyBusy()) return;
        const std::vector<std::function<void()>> calls = std::exchange(SettledCalls(), {});
        for (const std::function<void()>& call : calls) GuardEvent(call);
      },
      Qt::QueuedConnection);
}

QWidget* TFocusModel::Own(QWidget* Widget) const {
  if (!Widget) return nullptr;
  if (ownerOf_)
    if (QWidget* owner = ownerOf_(Widget)) return owner;
  return Widget;
}

bool TFocusModel::Holds(const QWidget* Widget) const {
  QWidget* own = Own(const_cast<QWidget*>(Widget));
  return own && window_ && own->window() == window_;
}

void TFocusModel::Route(QWidget* Old, QWidget* Now) {
  QWidget* now = Own(Now);
  QWidget* old = Old && Holds(Old) ? Own(Old) : nullptr;
  if (dispatchedAhead_ && now == dispatchedAhead_) {
    dispatchedAhead_ = nullptr;
    return;
  }
  dispatchedAhead_ = nullptr;
  // Inside a picker and its drop-down the control stays the same.
  if (old && old == now) return;
  // Back from another window (or the window system) where it left: no exit,
  // no enter.
  if (!old && now == current_) return RunActiveControlChange(now);
  Move(old ? old : current_.data(), now);
}

void TFocusModel::Move(QWidget* From, QWidget* To) {
  if (From && From != To) {
    destination_ = To;
    exiting_ = From;
    const bool go = Run(bindings_.count(From) ? bindings_[From].Exit : THandler(), From);
    destination_ = nullptr;
    exiting_ = nullptr;
    if (!go) return;
  }
  if (To) {
    origin_ = From;
    Arrive(To);
  } else {
    current_ = nullptr;
  }
}

bool TFocusModel::Run(const THandler& Handler, QWidget* Sender) {
  if (!Handler) return true;
  const bool outer = moveEnded_;
  moveEnded_ = false;
  ++running_;
  // A copy: the handler may rebind itself.
  const THandler run = Handler;
  GuardEvent([&] { run(Sender); });
  // The refocus waits for the outermost handler and any box it showed.
  if (--running_ == 0 && refocusPending_) PostRefocus();
  PostSettledCalls();
  const bool ended = moveEnded_;
  moveEnded_ = outer;
  return !ended;
}

void TFocusModel::Arrive(QWidget* To) {
  current_ = To;
  const bool go = Run(bindings_.count(To) ? bindings_[To].Enter : THandler(), To);
  origin_ = nullptr;
  if (!go) return;
  RunActiveControlChange(To);
}

void TFocusModel::FocusControl(QWidget* Control) {
  if (!Control) return;
  if (running_ > 0) {
    moveEnded_ = true;
    // The control the focus was going to loses: a button the mouse pressed
    // must not click. Qt gives the focus before it delivers the press, and
    // a test's click brings the release before any queued call: the button
    // is released now and its mouse buttons go nowhere until the refocus.
    if (auto* button = qobject_cast<QAbstractButton*>(destination_.data())) {
      button->setDown(false);
      swallowMouse_ = button;
      button->installEventFilter(this);
    }
    refocusPending_ = true;
    refocusTarget_ = Control;
    return;
  }
  if (refocusPending_) {
    refocusTarget_ = Control;
    return;
  }
  if (Control->window()->isActiveWindow()) {
    Control->setFocus(Qt::OtherFocusReason);
    return;
  }
  Control->setFocus(Qt::OtherFocusReason);
  if (Control == current_) return;
  dispatchedAhead_ = Control;
  Move(current_, Control);
}

void TFocusModel::PostRefocus() {
  QMetaObject::invokeMethod(
      this,
      [this] {
        if (swallowMouse_) swallowMouse_->removeEventFilter(this);
        swallowMouse_ = nullptr;
        QWidget* target = refocusTarget_;
        refocusTarget_ = nullptr;
        if (target) target->setFocus(Qt::OtherFocusReason);
        refocusPending_ = false;
        if (target && target == current_) {
          // Back to the control it was refused from: a re-entry.
          Arrive(target);
        } else if (target) {
          Move(current_, target);
        }
        PostSettledCalls();
      },
      Qt::QueuedConnection);
}

bool TFocusModel::eventFilter(QObject* Watched, QEvent* Event) {
  if (Watched != swallowMouse_) return false;
  const QEvent::Type type = Event->type();
  return type == QEvent::MouseButtonPress || type == QEvent::MouseButtonRelease ||
         type == QEvent::MouseButtonDblClick;
}
