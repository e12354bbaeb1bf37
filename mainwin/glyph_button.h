// A push button that draws its glyph above its caption, both centred: the
// glyph Margin pixels below the top edge (the button's "Margin" property,
// which the highlight changes), the caption Spacing pixels below it.
#pragma once

#include <QPushButton>

class TGlyphButton : public QPushButton {
public:
  explicit TGlyphButton(QWidget* Parent = nullptr) : QPushButton(Parent) {}

  static constexpr int Spacing = 2;
  static constexpr int GlyphSize = 20;

protected:
  void paintEvent(QPaintEvent* Event) override;
};
