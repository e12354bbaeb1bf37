// Asserts that a call raises exception type E with exactly the given message,
// so a test checks the text the user would see, not just that something threw.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>

template <typename E>
void ExpectMessage(const std::function<void()>& call, const std::string& message) {
  try {
    call();
    ADD_FAILURE() << "nothing raised; expected \"" << message << "\"";
  } catch (const E& e) {
    EXPECT_EQ(e.Message, message);
  }
}
