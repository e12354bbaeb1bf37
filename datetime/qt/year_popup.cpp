#include "datetime/qt/year_popup.h"

#include "platform/qt/widget_text.h"

#include <QHBoxLayout>
#include <QMouseEvent>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

TYearPopup::TYearPopup(QWidget* parent) : QFrame(parent, Qt::Popup) {
  setFrameStyle(QFrame::Box | QFrame::Plain);
  setObjectName("yearPopup");
  auto* columns = new QHBoxLayout(this);
  columns->setContentsMargins(2, 2, 2, 2);
  columns->setSpacing(4);
}

void TYearPopup::SetItems(const std::vector<TCalendarMenuItem>& items,
                          std::function<void(const TCalendarMenuItem&)> chosen) {
  auto* columns = static_cast<QHBoxLayout*>(layout());
  while (QLayoutItem* old = columns->takeAt(0)) {
    if (QLayout* column = old->layout()) {
      while (QLayoutItem* cell = column->takeAt(0)) {
        delete cell->widget();
        delete cell;
      }
    }
    delete old;
  }
  FButtons.clear();

  QVBoxLayout* column = nullptr;
  for (const TCalendarMenuItem& item : items) {
    if (!column || (item.Break && column->count() > 0)) {
      column = new QVBoxLayout;
      column->setSpacing(0);
      column->setAlignment(Qt::AlignTop);
      columns->addLayout(column);
    }
    if (item.Kind == TCalendarMenuItem::Separator) {
      auto* line = new QFrame(this);
      line->setFrameStyle(QFrame::HLine | QFrame::Sunken);
      column->addWidget(line);
      continue;
    }
    auto* button = new QToolButton(this);
    button->setText(WidgetText(item.Caption));
    button->setAutoRaise(true);
    button->setCheckable(true);
    button->setChecked(item.Checked);
    button->setEnabled(item.Enabled);
    button->setFocusPolicy(Qt::NoFocus);
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    // A click never toggles the mark: it only chooses.
    connect(button, &QToolButton::clicked, this, [this, button, item, chosen] {
      button->setChecked(item.Checked);
      hide();
      // Chosen after the popup has gone: the edit-year question is a modal box.
      QTimer::singleShot(0, this, [item, chosen] { chosen(item); });
    });
    column->addWidget(button);
    FButtons.push_back(button);
  }
  adjustSize();
}

void TYearPopup::mousePressEvent(QMouseEvent* event) {
  const QPoint global = event->globalPosition().toPoint();
  if (!rect().contains(event->position().toPoint())) {
    const bool onOpener = FOpener && QRect(FOpener->mapToGlobal(QPoint(0, 0)), FOpener->size()).contains(global);
    setAttribute(Qt::WA_NoMouseReplay, onOpener);
    if (onOpener) {
      FClosedByOpener = true;
      QTimer::singleShot(0, this, [this] { FClosedByOpener = false; });
    }
  }
  QFrame::mousePressEvent(event);
}
