// The application hooks: a hint handler changes or refuses a widget's hint;
// an owner takes back only its own hooks.
#include "platform/qt/app_hooks.h"

#include <QApplication>
#include <QHelpEvent>
#include <QLineEdit>
#include <QToolTip>

#include <gtest/gtest.h>

namespace {

bool AskHint(QWidget& W) {
  QHelpEvent hint(QEvent::ToolTip, QPoint(1, 1), W.mapToGlobal(QPoint(1, 1)));
  QApplication::sendEvent(&W, &hint);
  return QToolTip::isVisible();
}

TEST(AppHooksTest, AHintHandlerChangesOrRefusesTheHintAndOwnersTakeBackOnlyTheirOwn) {
  QLineEdit edit;
  edit.setToolTip("own hint");
  edit.show();
  QObject first, second;
  SetOnShowHint(&first, [](QWidget*, const QPoint&, QString&) { return false; });
  EXPECT_FALSE(AskHint(edit));
  SetOnShowHint(&first, [](QWidget*, const QPoint& pos, QString& text) {
    text = text + " at " + QString::number(pos.x());
    return true;
  });
  ASSERT_TRUE(AskHint(edit));
  EXPECT_EQ(QToolTip::text(), "own hint at 1");

  int idles = 0;
  SetOnIdle(&second, [&] { ++idles; });
  ClearHooksOf(&first);
  EXPECT_FALSE(HasOnShowHint());
  EXPECT_TRUE(HasOnIdle());
  ASSERT_TRUE(AskHint(edit));
  EXPECT_EQ(QToolTip::text(), "own hint");
  ClearHooksOf(&second);
  EXPECT_FALSE(HasOnIdle());
  QToolTip::hideText();
}

}  // namespace
