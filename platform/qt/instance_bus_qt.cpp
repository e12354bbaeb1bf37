#include "platform/qt/instance_bus_qt.h"

#include "platform/qt/exception_reporter.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QMetaObject>
#include <QSocketNotifier>
#include <QWidget>

#include <memory>

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
  std::unique_ptr<QSocketNotifier> notifier;
  QMetaObject::Connection ready_watch;

  void Stop() {
    QObject::disconnect(ready_watch);
    notifier.reset();
    SetInstanceBusWakeHook({});
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
  m.notifier = std::make_unique<QSocketNotifier>(InstanceBusDescriptor(), QSocketNotifier::Read);
  QObject::connect(m.notifier.get(), &QSocketNotifier::activated, m.notifier.get(), &Serve);
  QSocketNotifier* context = m.notifier.get();
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
  // The notifier goes before its descriptor is closed and reused.
  Current().Stop();
  CloseInstanceBus();
}
