// The beep goes to the installed sink with its kind; installing hands back
// the sink it replaces.
#include "platform/qt/message_beep.h"

#include <gtest/gtest.h>

#include <vector>

TEST(MessageBeep, GoesToTheSinkAndInstallingReturnsThePrevious) {
  std::vector<unsigned> first, second;
  EXPECT_FALSE(SetBeepSink([&](unsigned type) { first.push_back(type); }));
  MessageBeep(0);
  BeepSink previous = SetBeepSink([&](unsigned type) { second.push_back(type); });
  MessageBeep(16);
  previous(3);
  EXPECT_EQ(first, (std::vector<unsigned>{0, 3}));
  EXPECT_EQ(second, (std::vector<unsigned>{16}));
  EXPECT_TRUE(SetBeepSink(nullptr));
}
