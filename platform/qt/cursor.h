// The hourglass while a slow step runs, as a scope: the previous cursor
// comes back however the scope is left, also by an exception. Nested guards
// stack, so an inner one never restores the arrow too early.
#pragma once

class THourglass {
public:
  THourglass();
  ~THourglass();
  THourglass(const THourglass&) = delete;
  THourglass& operator=(const THourglass&) = delete;

private:
  bool set_ = false;
};
