// The main window's share of the traffic between instances: the handler of
// the registered messages, the key forwarding to the grid view and the
// activation hook.
//
// The key filter stays installed for the whole run. The designer adds a
// filter of its own while it shows; the two sit side by side, so the
// forwarding goes on once the designer has closed.
#include "mainwin/mtdesk_form.h"

#include "entry/qt/entry_form.h"
#include "entry/qt/grid_form.h"
#include "entry/qt/quick_entry_form.h"
#include "mainwin/instance_target.h"
#include "platform/atoms.h"
#include "platform/qt/application.h"
#include "platform/qt/exception_reporter.h"
#include "platform/qt/focus_model.h"
#include "templates/startup_globals.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPointer>
#include <QTableView>

bool FirstActivation = true;

namespace {

// Hands every key press to the main window and lets it go on.
class TKeyForwarder : public QObject {
public:
  explicit TKeyForwarder(TMtdeskF& Main) : QObject(&Main), main_(Main) {}

protected:
  bool eventFilter(QObject* Watched, QEvent* Event) override {
    // A key not taken travels up to the parents; it is seen once, at the
    // widget it was sent to first.
    if (Event->type() == QEvent::KeyPress && Watched == FirstReceiver())
      GuardEvent([&] { main_.AppMessage(static_cast<QKeyEvent*>(Event)); });
    return false;
  }

private:
  static QObject* FirstReceiver() {
    if (QWidget* focus = QApplication::focusWidget()) return focus;
    return QApplication::activeWindow();
  }

  TMtdeskF& main_;
};

}  // namespace

void TMtdeskF::InstallInstanceHandler() {
  // The bus hands on only the messages this process has registered: the
  // three are registered here, before anything is sent.
  MsgStatus();
  MsgMngrCommand();
  MsgGridAction();
  instanceTarget_ = std::make_unique<TScreenInstanceTarget>(*this);
  // A refill posted from an exit check runs once that check's refocus has
  // run: its own focus moves, made while the refocus waited, would only
  // retarget it, and the refilled field's exit check would never run.
  instanceDispatcher_ = std::make_unique<TInstanceDispatcher>(*instanceTarget_, [this](std::function<void()> Call) {
    TFocusModel::WhenSettled([main = QPointer<TMtdeskF>(this), Call = std::move(Call)] {
      if (main) Call();
    });
  });
  SetInstanceMessageHandler(
      [this](UINT Msg, WPARAM wParam, LPARAM lParam) { DefaultHandler(Msg, wParam, lParam); });
}

void TMtdeskF::RemoveAppHooks() {
  SetInstanceMessageHandler({});
  if (keyForwarder_ && qApp) qApp->removeEventFilter(keyForwarder_);
  delete keyForwarder_;
  keyForwarder_ = nullptr;
  disconnect(qApp, &QGuiApplication::applicationStateChanged, this, nullptr);
}

// The atom lives only as long as this call: its text is read at once, and a
// message that has to wait keeps the text.
void TMtdeskF::DefaultHandler(UINT Msg, WPARAM wParam, LPARAM lParam) {
  const std::string text = GlobalGetAtomName(ATOM(lParam & 0xFFFF));
  instanceDispatcher_->Deliver(Msg, uint64_t(wParam), text);
}

void TMtdeskF::HookAppMessage() {
  if (keyForwarder_) return;
  keyForwarder_ = new TKeyForwarder(*this);
  qApp->installEventFilter(keyForwarder_);
}

void TMtdeskF::HookAppActivate() {
  connect(qApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState State) {
    if (State == Qt::ApplicationActive) GuardEvent([this] { AppActivate(); });
  });
}

// Up and Down move the grid view's selection one row whatever control of it
// has the focus; its table, focused, moves its own. The batch viewer does
// the same for each of its controls itself.
void TMtdeskF::AppMessage(QKeyEvent* Key) {
  if (Key->key() != Qt::Key_Up && Key->key() != Qt::Key_Down) return;
  auto* grid = dynamic_cast<TEGridF*>(QApplication::activeWindow());
  if (!grid || QApplication::focusWidget() == grid->StringGridFind) return;
  grid->BitBtnDeleteKeyDown(Key->key());
}

void TMtdeskF::AppActivate() {
  if (FirstActivation) {
    FirstActivation = false;
    ApplicationMinimize();
    if (!Startup.IsChildApp) ApplicationRestore();
    return;
  }
  if (Startup.IsChildApp || !QEF || QApplication::activeWindow() != QEF) return;
  QEF->raise();
  QEF->activateWindow();
}

TEntryF* TMtdeskF::OpenEntryScreen() const {
  for (QObject* child : children()) {
    auto* entry = dynamic_cast<TEntryF*>(child);
    if (entry && entry->isVisible()) return entry;
  }
  return nullptr;
}
