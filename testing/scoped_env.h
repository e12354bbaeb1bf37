// Sets or unsets an environment variable for one scope, restoring the old
// value afterwards.
#pragma once

#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>

class ScopedEnv {
public:
  ScopedEnv(const char* name, std::optional<std::string> value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    Set(value);
  }
  ~ScopedEnv() { Set(old_); }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
  void Set(const std::optional<std::string>& value) {
    if (value) {
      setenv(name_, value->c_str(), 1);
    } else {
      unsetenv(name_);
    }
  }
  const char* name_;
  std::optional<std::string> old_;
};

// TZ for one scope; the process's time zone is read again on entry and
// once the old value is back.
class ScopedTimeZone {
public:
  explicit ScopedTimeZone(const std::string& zone) : env_(std::in_place, "TZ", zone) { tzset(); }
  ~ScopedTimeZone() {
    env_.reset();
    tzset();
  }
  ScopedTimeZone(const ScopedTimeZone&) = delete;
  ScopedTimeZone& operator=(const ScopedTimeZone&) = delete;

private:
  std::optional<ScopedEnv> env_;
};
