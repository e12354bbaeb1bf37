#include "designer/qt/field_tile.h"

#include "platform/qt/exception_reporter.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace {

const QColor Navy(0, 0, 128);
const QColor Red(255, 0, 0);

}  // namespace

TFieldTile::TFieldTile(int Tag, QWidget* Parent) : QLabel(Parent), tag_(Tag) {
  // A tab stop; a click focuses it only when the form's handler says so.
  setFocusPolicy(Qt::TabFocus);
  setMouseTracking(true);
  setAutoFillBackground(false);
}

void TFieldTile::SetHighlighted(bool On) {
  if (highlighted_ == On) return;
  highlighted_ = On;
  update();
}

// Drawn here in the tile's own colour: a highlight that moves over many
// tiles changes no palette (each change would reach every style hook).
void TFieldTile::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  drawFrame(&painter);
  painter.setPen(isEnabled() ? (highlighted_ ? Red : Navy) : palette().color(QPalette::Disabled, QPalette::WindowText));
  painter.drawText(contentsRect(), int(alignment()), text());
}

void TFieldTile::SetBold(bool On) {
  // A font set again restyles the tile: a list of 50 tiles refilled would
  // pay for it on every one.
  if (font().bold() == On) return;
  QFont f = font();
  f.setBold(On);
  setFont(f);
}

bool TFieldTile::Bold() const { return font().bold(); }

// Tab and the arrows reach a widget through event() before Qt's own focus
// chain takes them; the form sees every key first.
bool TFieldTile::event(QEvent* Event) {
  if (Event->type() == QEvent::KeyPress && OnKeyDown) {
    auto* key = static_cast<QKeyEvent*>(Event);
    bool swallowed = false;
    GuardEvent([&] { swallowed = OnKeyDown(this, key->key(), key->modifiers()); });
    if (swallowed) {
      Event->accept();
      return true;
    }
  }
  return QLabel::event(Event);
}

void TFieldTile::mousePressEvent(QMouseEvent* Event) {
  pressed_ = Event->button() == Qt::LeftButton;
  if (OnMouseDown) GuardEvent([&] { OnMouseDown(this, Event->button()); });
  Event->accept();
}

void TFieldTile::mouseMoveEvent(QMouseEvent* Event) {
  if (OnMouseMove) GuardEvent([&] { OnMouseMove(this); });
  QLabel::mouseMoveEvent(Event);
}

void TFieldTile::mouseReleaseEvent(QMouseEvent* Event) {
  const bool click = pressed_ && Event->button() == Qt::LeftButton && rect().contains(Event->position().toPoint());
  pressed_ = false;
  if (click && OnClick) GuardEvent([&] { OnClick(this); });
  Event->accept();
}
