// A tile: a small static text that takes the focus and reports its mouse
// and key events to the form that owns it. The lookup form's field tiles
// and the dropdown editor's tiles are tiles; the form decides what the
// events mean. Navy when plain, red when highlighted, bold for a key field.
#pragma once

#include <QLabel>

#include <functional>

class TFieldTile : public QLabel {
public:
  // Tag: the catalogue code, or the tile's number among its kind.
  TFieldTile(int Tag, QWidget* Parent);

  int Tag() const { return tag_; }
  void SetHighlighted(bool On);
  bool Highlighted() const { return highlighted_; }
  void SetBold(bool On);
  bool Bold() const;

  // The form's handlers; each optional.
  std::function<void(TFieldTile*, Qt::MouseButton)> OnMouseDown;
  std::function<void(TFieldTile*)> OnMouseMove;
  // A press and its release on the tile.
  std::function<void(TFieldTile*)> OnClick;
  // A key pressed on the tile; true swallows it (Tab included).
  std::function<bool(TFieldTile*, int Key, Qt::KeyboardModifiers)> OnKeyDown;

protected:
  bool event(QEvent* Event) override;
  void mousePressEvent(QMouseEvent* Event) override;
  void mouseMoveEvent(QMouseEvent* Event) override;
  void mouseReleaseEvent(QMouseEvent* Event) override;
  void paintEvent(QPaintEvent* Event) override;

private:
  int tag_;
  bool highlighted_ = false;
  bool pressed_ = false;
};
