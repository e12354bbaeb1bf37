#include "platform/qt/form_timer.h"

#include <QTimer>

namespace {
bool handDriven = false;
}

TFormTimer::TFormTimer(int Interval, std::function<void()> OnTimer, QObject* Parent)
    : QObject(Parent), timer_(new QTimer(this)), onTimer_(std::move(OnTimer)), interval_(Interval) {
  timer_->setInterval(Interval);
  connect(timer_, &QTimer::timeout, this, [this] { onTimer_(); });
}

void TFormTimer::start() { start(interval_); }

void TFormTimer::start(int Interval) {
  interval_ = Interval;
  if (handDriven) {
    timer_->stop();
    handActive_ = true;
    return;
  }
  timer_->start(Interval);
}

void TFormTimer::stop() {
  handActive_ = false;
  timer_->stop();
}

bool TFormTimer::isActive() const { return handActive_ || timer_->isActive(); }

bool TFormTimer::Fire() {
  if (!isActive()) return false;
  onTimer_();
  return true;
}

void TFormTimer::SetHandDriven(bool On) { handDriven = On; }
bool TFormTimer::HandDriven() { return handDriven; }
