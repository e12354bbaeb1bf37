#include "platform/qt/status_bar.h"

#include <QPainter>
#include <QSizeGrip>
#include <qdrawutil.h>

#include <algorithm>

namespace {

constexpr int BevelMargin = 2;

}  // namespace

TStatusBar::TStatusBar(QWidget* Parent) : QStatusBar(Parent) {
  setSizeGripEnabled(false);
  // Room at both ends for the outer panels' bevels.
  setContentsMargins(BevelMargin, 0, BevelMargin, 0);
}

std::vector<QRect> TStatusBar::PanelFrames() const {
  std::vector<QRect> frames;
  if (currentMessage().isEmpty()) {
    for (QObject* child : children()) {
      auto* panel = qobject_cast<QWidget*>(child);
      if (!panel || panel->isHidden() || qobject_cast<QSizeGrip*>(panel)) continue;
      // The margin the bar's layout leaves around a panel.
      frames.push_back(panel->geometry().adjusted(-BevelMargin, -1, BevelMargin, 1).intersected(rect()));
    }
  }
  if (frames.empty()) frames.push_back(rect().adjusted(BevelMargin, 2, -BevelMargin, -1));
  std::sort(frames.begin(), frames.end(), [](const QRect& A, const QRect& B) { return A.left() < B.left(); });
  return frames;
}

void TStatusBar::paintEvent(QPaintEvent* Event) {
  QStatusBar::paintEvent(Event);
  QPainter painter(this);
  for (const QRect& frame : PanelFrames()) qDrawShadePanel(&painter, frame, palette(), true, 1);
}
