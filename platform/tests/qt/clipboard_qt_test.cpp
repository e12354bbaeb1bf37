#include "platform/qt/clipboard_qt.h"

#include "platform/clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <gtest/gtest.h>

TEST(ClipboardQtTest, StoredTextCrossesTheSystemClipboardAsWindows1252) {
  ClipboardService* previous = SetClipboardService(nullptr);
  UseQtClipboard();
  SetClipboardText("caf\xE9\r\x80");
  EXPECT_EQ(QGuiApplication::clipboard()->text(), QString::fromUtf8("caf\xC3\xA9\r\xE2\x82\xAC"));
  EXPECT_EQ(ClipboardText(), "caf\xE9\r\x80");
  // Another program's text Windows-1252 cannot hold reads as empty.
  QGuiApplication::clipboard()->setText(QString::fromUtf8("\xE4\xB8\xAD"));
  EXPECT_EQ(ClipboardText(), "");
  SetClipboardService(previous);
}
