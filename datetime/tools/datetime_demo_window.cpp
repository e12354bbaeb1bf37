#include "datetime/tools/datetime_demo_window.h"

#include "datetime/qt/date_time_picker.h"
#include "datetime/qt/month_calendar.h"
#include "platform/date_format.h"
#include "platform/datetime_value.h"
#include "platform/qt/widget_text.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace {

TdwDBDateTimePicker* DatePicker(QWidget* parent, const char* name) {
  auto* picker = new TdwDBDateTimePicker(parent);
  picker->setObjectName(name);
  picker->SetUnboundDataType(dwDTEdtDate);
  picker->setFixedWidth(120);
  return picker;
}

}  // namespace

TDatetimeDemoF::TDatetimeDemoF(QWidget* parent) : QWidget(parent) {
  setWindowTitle("datetime-demo");
  FEntryDate = DatePicker(this, "entryDate");
  FDateFrom = DatePicker(this, "dateFrom");
  FDateTo = DatePicker(this, "dateTo");
  FWorkDate = DatePicker(this, "workDate");
  FWorkDate->SetMinDate(EncodeDate(1981, 1, 1));
  FWorkDate->SetMaxDate(EncodeDate(2079, 12, 31));
  FWorkDate->SetEpoch(1950);
  FDayName = new QLabel(this);
  FDayName->setObjectName("dayNameLabel");
  QObject::connect(FWorkDate, &QLineEdit::textChanged, this, [this] { ShowDayName(); });
  FTimeOfDay = new TdwDBDateTimePicker(this);
  FTimeOfDay->setObjectName("timeOfDay");
  FTimeOfDay->SetUnboundDataType(dwDTEdtTime);
  FTimeOfDay->setFixedWidth(120);

  FCalendar = new TdwMonthCalendar(this);
  FCalendar->SetBorderStyle(bsSingle);
  FCalendar->SetMinDate(EncodeDate(1981, 1, 1));
  FCalendar->SetMaxDate(EncodeDate(2079, 12, 31));
  FCalendar->PopupYearOptions().ShowEditYear = true;
  FCalendar->OnChange = [this](TdwMonthCalendar&) { ShowValue(); };
  FValue = new QLabel(this);
  FValue->setObjectName("valueLabel");

  auto* range = new QHBoxLayout;
  range->addWidget(FDateFrom);
  range->addWidget(new QLabel("to", this));
  range->addWidget(FDateTo);
  range->addStretch();
  auto* work = new QHBoxLayout;
  work->addWidget(FWorkDate);
  work->addWidget(FDayName);
  work->addStretch();
  auto* fields = new QFormLayout;
  fields->addRow("Entry date:", FEntryDate);
  fields->addRow("Dates from:", range);
  fields->addRow("Work date:", work);
  fields->addRow("Time:", FTimeOfDay);

  auto* column = new QVBoxLayout(this);
  column->addLayout(fields);
  column->addSpacing(8);
  column->addWidget(FCalendar, 0, Qt::AlignLeft | Qt::AlignTop);
  column->addWidget(FValue);
  column->addStretch();
  ShowValue();
  ShowDayName();
}

void TDatetimeDemoF::ShowValue() { FValue->setText(WidgetText("Value: " + DateToStr(FCalendar->Date()))); }

void TDatetimeDemoF::ShowDayName() {
  const TDateTime value = FWorkDate->Value();
  FDayName->setText(WidgetText(value == 0 ? std::string() : FormatDateTime("dddd", value)));
}
