#include "mainwin/glyph_button.h"

#include <QPainter>
#include <QStyleOptionButton>
#include <QStylePainter>

void TGlyphButton::paintEvent(QPaintEvent*) {
  QStylePainter painter(this);
  QStyleOptionButton option;
  initStyleOption(&option);
  // The frame alone; glyph and caption are placed here.
  const QString caption = option.text;
  option.text.clear();
  option.icon = QIcon();
  painter.drawControl(QStyle::CE_PushButton, option);
  const int margin = property("Margin").toInt();
  const QPixmap glyph = icon().pixmap(GlyphSize, GlyphSize, isEnabled() ? QIcon::Normal : QIcon::Disabled);
  int top = option.rect.top() + margin;
  if (!glyph.isNull()) {
    painter.drawPixmap(option.rect.left() + (option.rect.width() - GlyphSize) / 2, top, glyph);
    top += GlyphSize + Spacing;
  }
  const QRect captionRect(option.rect.left(), top, option.rect.width(), option.rect.bottom() - top);
  painter.drawItemText(captionRect, Qt::AlignHCenter | Qt::AlignTop | Qt::TextShowMnemonic, palette(), isEnabled(),
                       caption, QPalette::ButtonText);
}
