// Another process of the desktop talking to this one: mdmsg sends on the
// bus, and the test waits in the event loop for what the message changed on
// an entry screen. The including test defines MDMSG_PATH.
#pragma once

#include "entry/qt/entry_form.h"
#include "platform/qt/focus_model.h"
#include "platform/qt/widget_text.h"
#include "templates/sample_office.h"
#include "templates/tests/bus/child_process.h"

#include <QApplication>
#include <QLabel>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

// "mdmsg send Args" run to its end; its output in Folder.
inline void MdmsgSend(const std::string& Folder, const std::vector<std::string>& Args) {
  std::vector<std::string> argv{MDMSG_PATH, "send"};
  argv.insert(argv.end(), Args.begin(), Args.end());
  ChildProcess sender(argv, Folder + "/send.out", Folder + "/send.err");
  ASSERT_EQ(sender.Wait(), 0);
}

// Events processed until Done holds; a message from another process comes
// through the event loop.
inline bool Await(const std::function<bool()>& Done) { return QTest::qWaitFor(Done, 10000); }

// The text of the entry screen's status panel I.
inline std::string Panel(TEntryF& E, int I) { return StoredText(E.StatusPanels[size_t(I)]->text()); }

// The entry screen's focus moves are over: no exit check runs or waits
// to put the focus back, and the focus rests in the screen.
inline bool Settled(TEntryF& E) { return !TFocusModel::AnyBusy() && E.isAncestorOf(QApplication::focusWidget()); }

// What a client lookup's name display shows for the client.
inline std::string DisplayedName(const TSampleClient& Client) {
  return Client.FirstName.empty() ? Client.LastName : Client.LastName + ", " + Client.FirstName;
}
