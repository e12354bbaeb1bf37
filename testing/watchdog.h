// Ends the test program when a scope outlives a generous limit, naming the
// test that hung: a hang becomes a failure with a reason, never a stuck run.
// A member of a fixture bounds every test of it.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>

class Watchdog {
 public:
  explicit Watchdog(std::chrono::seconds limit = std::chrono::seconds(60)) : name_(CurrentTest()) {
    thread_ = std::thread([this, limit] {
      std::unique_lock lock(mutex_);
      if (done_cv_.wait_for(lock, limit, [this] { return done_; })) return;
      std::fprintf(stderr, "watchdog: %s still running after %lld s\n", name_.c_str(),
                   static_cast<long long>(limit.count()));
      std::fflush(stderr);
      std::_Exit(124);
    });
  }
  ~Watchdog() {
    {
      std::lock_guard lock(mutex_);
      done_ = true;
    }
    done_cv_.notify_one();
    thread_.join();
  }
  Watchdog(const Watchdog&) = delete;
  Watchdog& operator=(const Watchdog&) = delete;

 private:
  static std::string CurrentTest() {
    const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
    return test ? std::string(test->test_suite_name()) + "." + test->name() : "the test program";
  }

  std::string name_;
  std::mutex mutex_;
  std::condition_variable done_cv_;
  bool done_ = false;
  std::thread thread_;
};
