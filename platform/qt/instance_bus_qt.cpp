#include "platform/qt/instance_bus_qt.h"

#include "platform/qt/exception_reporter.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QMetaObject>
#include <QPointer>
#include <QSocketNotifier>
#include <QWidget>

namespace {

void Serve() {
  GuardEvent([] { ProcessInstanceBus(); });
}

bool TopLevelWindowShown() {
  for (const QWidget* widget : QApplication::topLevelWidgets()) {
    const Qt::WindowType type = widget->windowType();
    if (widget->isVisible() && (type == Qt::Window || type == Qt::Dialog)) return true;
  }
  return false;
}

struct Membership {
  QPointer<QSocketNotifier> notifier;
  QMetaObject::Connection ready_watch;

  // A handler may leave the bus from inside the notifier's own signal: the
  // notifier stops at once and goes when the loop next turns (or with the
  // application).
  void Stop() {
    QObject::disconnect(ready_watch);
    SetInstanceBusWakeHook({});
    if (notifier) {
      notifier->setEnabled(false);
      notifier->deleteLater();
    }
    notifier = nullptr;
  }
};

Membership& Current() {
  static Membership membership;
  return membership;
}

}  // namespace

BusJoin JoinInstanceBus(BusRole role) {
  LeaveInstanceBus();
  const BusJoin joined = OpenInstanceBus(role);
  if (joined != BusJoin::Joined) return joined;
  Membership& m = Current();
  m.notifier = new QSocketNotifier(InstanceBusDescriptor(), QSocketNotifier::Read, QCoreApplication::instance());
  QSocketNotifier* context = m.notifier;
  QObject::connect(context, &QSocketNotifier::activated, context, &Serve);
  SetInstanceBusWakeHook([context] { QMetaObject::invokeMethod(context, &Serve, Qt::QueuedConnection); });
  m.ready_watch = QObject::connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock,
                                   context, [] {
                                     if (!TopLevelWindowShown()) return;
                                     QObject::disconnect(Current().ready_watch);
                                     AnnounceInstanceReady();
                                   });
  return joined;
}

void LeaveInstanceBus() {
  // The notifier stops before its descriptor is closed and reused.
  Current().Stop();
  CloseInstanceBus();
}
