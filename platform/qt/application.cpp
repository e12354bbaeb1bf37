#include "platform/qt/application.h"

#include "platform/qt/widget_text.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QWidget>

namespace {

bool terminated = false;

}  // namespace

void Terminate() {
  terminated = true;
  // Queued, so the caller's handler finishes first; a quit posted before the
  // loop starts is delivered on its first turn.
  if (QCoreApplication* app = QCoreApplication::instance())
    QMetaObject::invokeMethod(app, &QCoreApplication::quit, Qt::QueuedConnection);
}

bool Terminated() { return terminated; }

void ResetTerminated() { terminated = false; }

bool ShowUnlessTerminated(QWidget* window) {
  if (terminated || !window) return false;
  window->show();
  return true;
}

QString ApplicationTitle() {
  const QString name = QCoreApplication::applicationName();
  return name.isEmpty() ? QStringLiteral("Corvenstead Matterdesk") : name;
}

void SetApplicationTitle(const std::string& title) { QCoreApplication::setApplicationName(WidgetText(title)); }
