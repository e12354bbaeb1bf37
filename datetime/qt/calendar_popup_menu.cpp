#include "datetime/qt/calendar_popup_menu.h"

TCalendarPopupMenu::TCalendarPopupMenu(QWidget* parent) : QMenu(parent) {
  connect(this, &QMenu::aboutToShow, this, [this] { FPopping = true; });
  connect(this, &QMenu::aboutToHide, this, [this] { FPopping = false; });
}
