// Asserts that a call of the numbered-file layer raises EBtrAbort with
// exactly the given text and status.
#pragma once

#include "btrieve/numbered_files.h"

#include <gtest/gtest.h>

#include <string>

template <class F>
void ExpectBtrAbort(F&& f, const std::string& text, int status) {
  try {
    f();
    ADD_FAILURE() << "nothing raised; expected \"" << text << "\"";
  } catch (const EBtrAbort& e) {
    EXPECT_EQ(e.Message, text);
    EXPECT_EQ(e.Status, status);
  }
}
