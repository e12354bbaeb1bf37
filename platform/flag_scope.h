// A flag held true for a scope and false again however the scope ends:
// the modes a caller sets around a call it makes.
#pragma once

class TFlagScope {
public:
  explicit TFlagScope(bool& Flag) : flag_(Flag) { flag_ = true; }
  ~TFlagScope() { flag_ = false; }
  TFlagScope(const TFlagScope&) = delete;
  TFlagScope& operator=(const TFlagScope&) = delete;

private:
  bool& flag_;
};
