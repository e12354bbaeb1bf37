#include "datetime/tools/datetime_demo_window.h"

#include "datetime/qt/month_calendar.h"
#include "platform/date_format.h"
#include "platform/datetime_value.h"
#include "platform/qt/widget_text.h"

#include <QLabel>
#include <QVBoxLayout>

TDatetimeDemoF::TDatetimeDemoF(QWidget* parent) : QWidget(parent) {
  setWindowTitle("datetime-demo");
  FCalendar = new TdwMonthCalendar(this);
  FCalendar->SetBorderStyle(bsSingle);
  FCalendar->SetMinDate(EncodeDate(1981, 1, 1));
  FCalendar->SetMaxDate(EncodeDate(2079, 12, 31));
  FCalendar->PopupYearOptions().ShowEditYear = true;
  FCalendar->OnChange = [this](TdwMonthCalendar&) { ShowValue(); };
  FValue = new QLabel(this);
  FValue->setObjectName("valueLabel");

  auto* column = new QVBoxLayout(this);
  column->addWidget(FCalendar, 0, Qt::AlignLeft | Qt::AlignTop);
  column->addWidget(FValue);
  column->addStretch();
  ShowValue();
}

void TDatetimeDemoF::ShowValue() { FValue->setText(WidgetText("Value: " + DateToStr(FCalendar->Date()))); }
