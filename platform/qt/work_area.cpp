#include "platform/qt/work_area.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

void FitFormToWorkArea(QWidget& form) {
  QScreen* screen = form.screen();
  if (!screen) screen = QGuiApplication::primaryScreen();
  if (!screen) return;
  const QRect area = screen->availableGeometry();
  // move() places the frame, resize() sizes the client area inside it.
  const QSize decorations = form.frameGeometry().size() - form.geometry().size();
  form.move(area.topLeft());
  form.resize(area.size() - decorations);
}

bool PlatformPlacesWindows() { return !QGuiApplication::platformName().startsWith("wayland"); }
