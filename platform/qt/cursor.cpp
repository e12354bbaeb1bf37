#include "platform/qt/cursor.h"

#include <QCursor>
#include <QGuiApplication>

THourglass::THourglass() {
  // Without a GUI application (a plain core test) there is no cursor to set.
  if (qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
    QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    set_ = true;
  }
}

THourglass::~THourglass() {
  if (set_) QGuiApplication::restoreOverrideCursor();
}
