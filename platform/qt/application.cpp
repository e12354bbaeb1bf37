#include "platform/qt/application.h"

#include "platform/qt/widget_text.h"

#include <QApplication>
#include <QDialog>
#include <QMetaObject>
#include <QPointer>
#include <QWidget>
#include <QWindow>

#include <vector>

namespace {

bool terminated = false;

struct TMinimized {
  std::vector<QPointer<QWidget>> Windows;
  QPointer<QWidget> Active;
};

TMinimized& Minimized() {
  static TMinimized minimized;
  return minimized;
}

bool IsAppWindow(const QWidget* W) {
  if (!W || !W->isWindow() || !W->isVisible()) return false;
  const Qt::WindowType type = W->windowType();
  return type != Qt::Popup && type != Qt::ToolTip && type != Qt::Desktop && type != Qt::SplashScreen;
}

// The window a person would say is the program's: the modal one, else the
// active one, else the one minimized last, else the first visible one.
QWidget* FrontWindow() {
  if (QWidget* modal = QApplication::activeModalWidget(); IsAppWindow(modal)) return modal;
  if (QWidget* active = QApplication::activeWindow(); IsAppWindow(active)) return active;
  if (IsAppWindow(Minimized().Active)) return Minimized().Active;
  for (QWidget* w : QApplication::topLevelWidgets())
    if (IsAppWindow(w)) return w;
  return nullptr;
}

void ToFront(QWidget* W) {
  if (W->isMinimized()) W->setWindowState(W->windowState() & ~Qt::WindowMinimized);
  W->show();
  W->raise();
  W->activateWindow();
}

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

void ApplicationBringToFront() {
  if (QWidget* front = FrontWindow()) ToFront(front);
}

void ApplicationMinimize() {
  TMinimized& minimized = Minimized();
  minimized.Active = FrontWindow();
  minimized.Windows.clear();
  for (QWidget* w : QApplication::topLevelWidgets()) {
    if (!IsAppWindow(w)) continue;
    minimized.Windows.emplace_back(w);
    w->setWindowState(w->windowState() | Qt::WindowMinimized);
  }
}

void ApplicationRestore() {
  TMinimized& minimized = Minimized();
  for (const QPointer<QWidget>& w : minimized.Windows)
    if (w && w->isVisible()) w->setWindowState(w->windowState() & ~Qt::WindowMinimized);
  if (IsAppWindow(minimized.Active)) ToFront(minimized.Active);
  minimized.Windows.clear();
}

int ExecOver(QDialog& Dialog, QWidget* Owner) {
  QWidget* top = Owner ? Owner->window() : nullptr;
  if (top && top != &Dialog) {
    Dialog.winId();
    top->winId();
    Dialog.windowHandle()->setTransientParent(top->windowHandle());
  }
  return Dialog.exec();
}

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
