#include "platform/qt/app_hooks.h"

#include "platform/qt/exception_reporter.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QHelpEvent>
#include <QPointer>
#include <QToolTip>
#include <QWidget>

namespace {

template <class Handler>
struct THook {
  const QObject* Owner = nullptr;
  Handler Run;
  void Set(const QObject* O, Handler H) {
    Owner = O;
    Run = std::move(H);
  }
  void Clear() { *this = THook(); }
};

// Listens to the loop, the focus and the tooltip requests once the first
// hook is set; stays for the life of the application.
class THookHub : public QObject {
public:
  THook<TIdleHandler> Idle;
  THook<THintHandler> Hint;
  THook<TActiveControlHandler> Active;
  TFocusRouter Router;

  static THookHub& Instance() {
    static QPointer<THookHub> hub;
    if (!hub) hub = new THookHub(qApp);
    return *hub;
  }

protected:
  bool eventFilter(QObject* Watched, QEvent* Event) override {
    if (Event->type() != QEvent::ToolTip || !Hint.Run || !Watched->isWidgetType()) return false;
    auto* widget = static_cast<QWidget*>(Watched);
    auto* help = static_cast<QHelpEvent*>(Event);
    const QString own = widget->toolTip();
    QString text = own;
    bool show = true;
    const THintHandler run = Hint.Run;
    GuardEvent([&] { show = run(widget, help->pos(), text); });
    if (show && text == own) return false;
    if (!show || text.isEmpty()) {
      QToolTip::hideText();
      Event->ignore();
      return true;
    }
    QToolTip::showText(help->globalPos(), text, widget);
    return true;
  }

private:
  explicit THookHub(QObject* Parent) : QObject(Parent) {
    qApp->installEventFilter(this);
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget* old, QWidget* now) {
      if (TFocusRouter route = Router) {
        GuardEvent([&] { route(old, now); });
      } else {
        RunActiveControlChange(now);
      }
    });
    if (QAbstractEventDispatcher* loop = QAbstractEventDispatcher::instance(qApp->thread())) {
      connect(loop, &QAbstractEventDispatcher::aboutToBlock, this, [this] {
        // A copy: the handler may clear or replace itself.
        if (TIdleHandler run = Idle.Run) GuardEvent(run);
      });
    }
  }
};

}  // namespace

void SetOnIdle(QObject* Owner, TIdleHandler Handler) { THookHub::Instance().Idle.Set(Owner, std::move(Handler)); }
void ClearOnIdle() { THookHub::Instance().Idle.Clear(); }
bool HasOnIdle() { return bool(THookHub::Instance().Idle.Run); }

void SetOnShowHint(QObject* Owner, THintHandler Handler) { THookHub::Instance().Hint.Set(Owner, std::move(Handler)); }
void ClearOnShowHint() { THookHub::Instance().Hint.Clear(); }
bool HasOnShowHint() { return bool(THookHub::Instance().Hint.Run); }

void SetOnActiveControlChange(QObject* Owner, TActiveControlHandler Handler) {
  THookHub::Instance().Active.Set(Owner, std::move(Handler));
}
void ClearOnActiveControlChange() { THookHub::Instance().Active.Clear(); }
bool HasOnActiveControlChange() { return bool(THookHub::Instance().Active.Run); }

void RunActiveControlChange(QWidget* Now) {
  // A copy: the handler may clear or replace itself.
  if (TActiveControlHandler run = THookHub::Instance().Active.Run) GuardEvent([&] { run(Now); });
}

void SetFocusRouter(TFocusRouter Router) { THookHub::Instance().Router = std::move(Router); }

void ClearHooksOf(const QObject* Owner) {
  THookHub& hub = THookHub::Instance();
  if (hub.Idle.Owner == Owner) hub.Idle.Clear();
  if (hub.Hint.Owner == Owner) hub.Hint.Clear();
  if (hub.Active.Owner == Owner) hub.Active.Clear();
}
