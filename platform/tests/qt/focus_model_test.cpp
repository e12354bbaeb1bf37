// The focus model: exits see their destination before enters run, a refused
// exit brings the focus back and swallows the click that took it, a box or
// another window runs no handlers, a picker's drop-down is its picker, and
// FocusControl dispatches once whether the window is active or not.
#include "platform/qt/focus_model.h"

#include "platform/qt/app_hooks.h"
#include "testing/keyboard.h"

#include <QApplication>
#include <QEventLoop>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A window of three edits and a command button, each bound to probes that
// log what runs: "exit A>B", "enter B", "active B".
class FocusModelTest : public testing::Test {
protected:
  QWidget window;
  QLineEdit* a = new QLineEdit(&window);
  QLineEdit* b = new QLineEdit(&window);
  QLineEdit* c = new QLineEdit(&window);
  QPushButton* save = new QPushButton("Save", &window);
  QWidget* dropDown = nullptr;  // counts as b
  TFocusModel* model = nullptr;
  std::vector<std::string> log;
  int clicks = 0;
  bool busySeen = false;

  void SetUp() override {
    auto* box = new QVBoxLayout(&window);
    for (QWidget* w : std::initializer_list<QWidget*>{a, b, c, save}) box->addWidget(w);
    a->setObjectName("A");
    b->setObjectName("B");
    c->setObjectName("C");
    save->setObjectName("Save");
    QObject::connect(save, &QPushButton::clicked, [this] { ++clicks; });
    model = new TFocusModel(&window, [this](QWidget* w) { return w == dropDown ? b : nullptr; });
    for (QWidget* w : std::initializer_list<QWidget*>{a, b, c, save}) {
      model->BindExit(w, [this](QWidget* s) { log.push_back("exit " + Name(s) + ">" + Name(model->Destination())); });
      model->BindEnter(w, [this](QWidget* s) { log.push_back("enter " + Name(s)); });
    }
    SetOnActiveControlChange(&window, [this](QWidget* now) { log.push_back("active " + Name(now)); });
  }
  void TearDown() override { ClearHooksOf(&window); }

  static std::string Name(const QWidget* w) { return w ? w->objectName().toStdString() : "-"; }

  void ShowAt(QWidget* first) {
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    first->setFocus();
    QApplication::processEvents();
    log.clear();
  }
};

using Log = std::vector<std::string>;

TEST_F(FocusModelTest, TabRunsTheExitWithItsDestinationThenTheEnterThenTheActiveControl) {
  ShowAt(a);
  keyboard::Type(Qt::Key_Tab);
  keyboard::Type(Qt::Key_Tab);
  keyboard::Type(Qt::Key_Tab);
  EXPECT_EQ(log, (Log{"exit A>B", "enter B", "active B", "exit B>C", "enter C", "active C", "exit C>Save",
                      "enter Save", "active Save"}));
  EXPECT_EQ(model->Current(), save);
}

TEST_F(FocusModelTest, ARefusedExitBringsTheFocusBackAndTheMouseClickOnTheCommandDoesNothing) {
  model->BindExit(a, [this](QWidget* s) {
    log.push_back("exit A>" + Name(model->Destination()) + (model->IsLeavingToCommand() ? " command" : ""));
    model->FocusControl(s);
  });
  ShowAt(a);
  QTest::mouseClick(save, Qt::LeftButton);
  QApplication::processEvents();
  EXPECT_EQ(log, (Log{"exit A>Save command", "enter A", "active A"}));
  EXPECT_EQ(clicks, 0);
  EXPECT_FALSE(save->isDown());
  EXPECT_EQ(QApplication::focusWidget(), a);
  EXPECT_FALSE(model->Busy());

  // Tab is refused the same way; the destination gets nothing.
  log.clear();
  keyboard::Type(Qt::Key_Tab);
  EXPECT_EQ(log, (Log{"exit A>B", "enter A", "active A"}));
  EXPECT_EQ(QApplication::focusWidget(), a);
}

TEST_F(FocusModelTest, ABoxShownByAnExitRunsNoHandlersNoIdleAndNoRefocusUntilItCloses) {
  int idles = 0, idlesAllowed = 0;
  SetOnIdle(&window, [&] {
    ++idles;
    if (!TFocusModel::AnyBusy()) ++idlesAllowed;
  });
  model->BindExit(a, [&](QWidget* s) {
    log.push_back("exit A>" + Name(model->Destination()));
    model->FocusControl(s);
    // A box with its own loop, answered from inside that loop: the focus
    // goes to it and back, queued calls and idles run meanwhile.
    QMessageBox box(QMessageBox::Warning, "Check", "Not a number", QMessageBox::Ok, &window);
    box.show();
    QEventLoop loop;
    const int before = idles, allowedBefore = idlesAllowed;
    QTimer::singleShot(0, &loop, [&] {
      box.activateWindow();
      QTimer::singleShot(20, &loop, [&] {
        busySeen = TFocusModel::AnyBusy();
        box.close();
        window.activateWindow();
        QTimer::singleShot(0, &loop, [&] { loop.quit(); });
      });
    });
    loop.exec();
    log.push_back(idles > before && idlesAllowed == allowedBefore ? "no idle in box" : "idle in box");
  });
  ShowAt(a);
  keyboard::Type(Qt::Key_Tab);
  QApplication::processEvents();
  EXPECT_TRUE(busySeen);
  EXPECT_EQ(log, (Log{"exit A>B", "no idle in box", "enter A", "active A"}));
  EXPECT_EQ(QApplication::focusWidget(), a);
}

TEST_F(FocusModelTest, AnotherWindowAndBackRunOnlyTheActiveControlAndAPickersDropDownRunsNothing) {
  ShowAt(b);
  QWidget other;
  auto* edit = new QLineEdit(&other);
  edit->setObjectName("Other");
  other.show();
  other.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
  edit->setFocus();
  QApplication::processEvents();
  window.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
  QApplication::processEvents();
  EXPECT_EQ(log, (Log{"active Other", "active B"}));
  other.hide();

  // The drop-down is a window of its own that counts as B.
  log.clear();
  QWidget popup(nullptr, Qt::Popup);
  auto* cell = new QLineEdit(&popup);
  dropDown = cell;
  popup.show();
  cell->setFocus();
  QApplication::processEvents();
  ASSERT_EQ(QApplication::focusWidget(), cell);
  popup.hide();
  QApplication::processEvents();
  EXPECT_EQ(QApplication::focusWidget(), b);
  EXPECT_EQ(log, Log{});
}

TEST_F(FocusModelTest, FocusControlOnAnUnshownWindowDispatchesOnceAndInsideAnEnterEndsTheMove) {
  model->FocusControl(b);
  EXPECT_EQ(log, (Log{"enter B", "active B"}));
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
  QApplication::processEvents();
  EXPECT_EQ(log, (Log{"enter B", "active B"}));
  EXPECT_EQ(QApplication::focusWidget(), b);

  // An enter that sends the focus on: B's active-control step never runs.
  log.clear();
  model->BindEnter(b, [this](QWidget*) {
    log.push_back("enter B");
    model->FocusControl(c);
  });
  model->FocusControl(a);
  model->FocusControl(b);
  QApplication::processEvents();
  EXPECT_EQ(log, (Log{"exit B>A", "enter A", "active A", "exit A>B", "enter B", "exit B>C", "enter C", "active C"}));
  EXPECT_EQ(QApplication::focusWidget(), c);
}

}  // namespace

namespace {

// An exit of A that refuses and asks, while it runs, for work that moves the
// focus itself (A, then Save, as a refill of A does): the work waits for the
// refocus, so its move from A to Save runs A's exit.
TEST_F(FocusModelTest, WorkAskedForFromAnExitRunsAfterItsRefocusAndItsMovesRunTheirExits) {
  bool asked = false;
  model->BindExit(a, [this, &asked](QWidget* s) {
    log.push_back("exit A>" + Name(model->Destination()));
    if (asked) return;
    asked = true;
    TFocusModel::WhenSettled([this] {
      log.push_back("work");
      model->FocusControl(a);
      model->FocusControl(save);
    });
    model->FocusControl(s);
  });
  ShowAt(a);
  keyboard::Type(Qt::Key_Tab);
  EXPECT_TRUE(QTest::qWaitFor([this] { return !model->Busy() && QApplication::focusWidget() == save; }, 5000));
  EXPECT_EQ(log, (Log{"exit A>B", "enter A", "active A", "work", "exit A>Save", "enter Save", "active Save"}));
}

}  // namespace
