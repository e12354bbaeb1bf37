// A form's timer that tests can drive by hand. In the program it is a
// QTimer. While hand driving is on (a test's scope), starting it only marks
// it running: no real timer ever fires behind a test's back, and the test
// runs the timer's handler itself at the moment its script means.
#pragma once

#include <QObject>

#include <functional>

class QTimer;

class TFormTimer : public QObject {
public:
  TFormTimer(int Interval, std::function<void()> OnTimer, QObject* Parent);

  void start();
  void start(int Interval);
  void stop();
  bool isActive() const;
  int interval() const { return interval_; }

  // Runs the handler when the timer runs (as its firing would); true when it did.
  bool Fire();

  // Process-wide: timers started from now on are driven by hand.
  static void SetHandDriven(bool On);
  static bool HandDriven();

private:
  QTimer* timer_;
  std::function<void()> onTimer_;
  int interval_;
  bool handActive_ = false;
};

// Hand driving for a scope (a test fixture), the previous state restored.
class THandDrivenTimers {
public:
  THandDrivenTimers() : was_(TFormTimer::HandDriven()) { TFormTimer::SetHandDriven(true); }
  ~THandDrivenTimers() { TFormTimer::SetHandDriven(was_); }
  THandDrivenTimers(const THandDrivenTimers&) = delete;
  THandDrivenTimers& operator=(const THandDrivenTimers&) = delete;

private:
  bool was_;
};
