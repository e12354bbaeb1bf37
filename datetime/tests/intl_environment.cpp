// The global settings object for the whole test run, as the program's main
// holds it from before its first form to its end.
#include "datetime/dw_intl.h"

#include <gtest/gtest.h>

namespace {

class IntlEnvironment : public testing::Environment {
public:
  void SetUp() override { InitIntl(); }
  void TearDown() override { FinalIntl(); }
};

testing::Environment* const intlEnvironment = testing::AddGlobalTestEnvironment(new IntlEnvironment);

}  // namespace
