// The forms' status bar: each panel (a widget added to the bar) sits in a
// sunken bevel, and a bar without panels, showing messages, is one bevel
// across. Without them an empty bar cannot be told from the form, and the
// window manager's resize handle below it passes for a cut-off bar.
#pragma once

#include <QStatusBar>

#include <vector>

class TStatusBar : public QStatusBar {
public:
  explicit TStatusBar(QWidget* Parent);
  // The bevels' outer rectangles, left to right.
  std::vector<QRect> PanelFrames() const;

protected:
  void paintEvent(QPaintEvent* Event) override;
};
