#include "platform/qt/application.h"
#include "platform/qt/message_boxes.h"

#include <QApplication>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <ostream>

// Readable failures.
void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

namespace {

// Answers the real boxes a test opens: each step runs on the next modal
// window that shows, from inside that window's own event loop. A step that
// leaves its window open fails, and the window is closed so the test ends.
class ModalScript {
public:
  using Step = std::function<void(QWidget*)>;

  explicit ModalScript(std::deque<Step> steps) : steps_(std::move(steps)) {
    QObject::connect(&timer_, &QTimer::timeout, [this] { Poll(); });
    timer_.start(10);
  }
  ~ModalScript() {
    if (!steps_.empty()) ADD_FAILURE() << steps_.size() << " scripted window(s) never shown";
  }

private:
  void Poll() {
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal || !modal->isVisible()) return;
    if (steps_.empty()) {
      ADD_FAILURE() << "unexpected window: " << modal->metaObject()->className();
    } else {
      Step step = std::move(steps_.front());
      steps_.pop_front();
      step(modal);
      if (!modal->isVisible()) return;
      ADD_FAILURE() << "scripted step left its window open";
    }
    if (auto* dialog = qobject_cast<QDialog*>(modal)) dialog->reject();
  }

  std::deque<Step> steps_;
  QTimer timer_;
};

// The real boxes for one test; the strict responder comes back after it.
class QtDialogsTest : public ::testing::Test {
protected:
  void SetUp() override { previous_ = InstallQtDialogs(); }
  void TearDown() override { SetDialogService(previous_); }

private:
  DialogService* previous_ = nullptr;
};

void Key(QWidget* w, int key) {
  QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
  QCoreApplication::sendEvent(w, &press);
}

// A step that types Text into an input question and presses OK (Cancel
// without Accept); the dialog is handed to Seen first.
ModalScript::Step Type(const QString& text, std::function<void(QInputDialog*)> seen = {}, bool accept = true) {
  return [=](QWidget* w) {
    auto* dialog = qobject_cast<QInputDialog*>(w);
    ASSERT_NE(dialog, nullptr);
    if (seen) seen(dialog);
    dialog->setTextValue(text);
    accept ? dialog->accept() : dialog->reject();
  };
}

QAbstractButton* ButtonText(QMessageBox* box, const QString& text) {
  for (QAbstractButton* b : box->buttons())
    if (b->text() == text) return b;
  return nullptr;
}

}  // namespace

TEST(MessageBoxText, EachLineEndIsOneBreakAndBytesPassThrough) {
  struct Case {
    std::string stored;
    QString shown;
  };
  const Case cases[] = {
      {"one\rtwo", "one\ntwo"},
      {"one\r\ntwo", "one\ntwo"},
      {"one\ntwo", "one\ntwo"},
      {"one\n\rtwo", "one\n\ntwo"},
      {"one\r\rtwo\r", "one\n\ntwo\n"},
      {"caf\xE9 \x80" "5", QString::fromUtf8("café €5")},
      {std::string("a\0b", 3), QString("a") + QChar(0) + "b"},
  };
  for (const Case& c : cases) EXPECT_EQ(MessageBoxText(c.stored), c.shown) << c.stored;
}

TEST_F(QtDialogsTest, ShowsPlainTextWithBreaksUnderTheApplicationTitle) {
  QString text, title;
  Qt::TextFormat format = Qt::AutoText;
  ModalScript script({[&](QWidget* w) {
    auto* box = qobject_cast<QMessageBox*>(w);
    ASSERT_NE(box, nullptr);
    text = box->text();
    title = box->windowTitle();
    format = box->textFormat();
    box->button(QMessageBox::No)->click();
  }});
  EXPECT_EQ(MessageDlg("Delete <b>caf\xE9</b>?\r\rIt cannot be undone.", mtConfirmation, mbYesNo), mrNo);
  EXPECT_EQ(text, QString::fromUtf8("Delete <b>café</b>?\n\nIt cannot be undone."));
  EXPECT_EQ(format, Qt::PlainText);
  EXPECT_EQ(title, ApplicationTitle());
  EXPECT_FALSE(title.isEmpty());
}

TEST_F(QtDialogsTest, ButtonsIconsAndTheAnswerOfEachKey) {
  enum Action { ClickNo, ClickAll, ClickYesToAll, Escape, Return };
  struct Case {
    const char* name;
    TMsgDlgType type;
    TMsgDlgButtons buttons;
    Action action;
    QMessageBox::Icon icon;
    QMessageBox::StandardButtons shown;
    int result;
  };
  using QMB = QMessageBox;
  const Case cases[] = {
      {"click No", mtConfirmation, mbYesNo, ClickNo, QMB::Question, QMB::Yes | QMB::No, mrNo},
      {"Escape on Yes/No", mtConfirmation, mbYesNo, Escape, QMB::Question, QMB::Yes | QMB::No, mrNo},
      {"Return on Yes/No", mtConfirmation, mbYesNo, Return, QMB::Question, QMB::Yes | QMB::No, mrYes},
      {"Escape on Yes/No/Cancel", mtWarning, mbYesNoCancel, Escape, QMB::Warning, QMB::Yes | QMB::No | QMB::Cancel,
       mrCancel},
      {"Escape on OK", mtError, mbOKOnly, Escape, QMB::Critical, QMB::Ok, mrOk},
      {"Return on OK/Cancel", mtInformation, mbOKCancel, Return, QMB::Information, QMB::Ok | QMB::Cancel, mrOk},
      {"Return on Abort/Retry/Ignore", mtWarning, mbAbort | mbRetry | Buttons(mbIgnore), Return, QMB::Warning,
       QMB::Abort | QMB::Retry | QMB::Ignore, mrRetry},
      {"click All", mtCustom, mbYesNoAll, ClickAll, QMB::NoIcon, QMB::Yes | QMB::No, mrAll},
      {"click Yes to All", mtConfirmation, mbYesToAll | mbNoToAll, ClickYesToAll, QMB::Question,
       QMB::YesToAll | QMB::NoToAll, mrYesToAll},
      {"Help alone still closes", mtInformation, Buttons(mbHelp), Escape, QMB::Information, QMB::Ok, mrOk},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons shown;
    {
      ModalScript script({[&](QWidget* w) {
        auto* box = qobject_cast<QMessageBox*>(w);
        ASSERT_NE(box, nullptr);
        icon = box->icon();
        shown = box->standardButtons();
        switch (c.action) {
          case ClickNo: box->button(QMessageBox::No)->click(); break;
          case ClickYesToAll: box->button(QMessageBox::YesToAll)->click(); break;
          case ClickAll: {
            QAbstractButton* all = ButtonText(box, "&All");
            ASSERT_NE(all, nullptr);
            all->click();
            break;
          }
          case Escape: Key(box, Qt::Key_Escape); break;
          case Return: Key(box, Qt::Key_Return); break;
        }
      }});
      EXPECT_EQ(MessageDlg("Go on?", c.type, c.buttons), c.result);
    }
    EXPECT_EQ(icon, c.icon);
    EXPECT_EQ(shown, c.shown);
  }
}

TEST_F(QtDialogsTest, InputQueryReturnsWindows1252) {
  QString caption, label, start;
  ModalScript script({Type(QString::fromUtf8("café"), [&](QInputDialog* dialog) {
    caption = dialog->windowTitle();
    label = dialog->labelText();
    start = dialog->textValue();
  })});
  std::string value = "R\xE9sum\xE9";
  EXPECT_TRUE(InputQuery("Rename", "New name:\rof the template", value));
  EXPECT_EQ(value, "caf\xE9");
  EXPECT_EQ(caption, "Rename");
  EXPECT_EQ(label, "New name:\nof the template");
  EXPECT_EQ(start, QString::fromUtf8("Résumé"));
}

TEST_F(QtDialogsTest, CancelledInputLeavesTheValue) {
  ModalScript script({Type("changed", {}, false)});
  std::string value = "kept";
  EXPECT_FALSE(InputQuery("Year", "Enter New Year:", value));
  EXPECT_EQ(value, "kept");
}

TEST_F(QtDialogsTest, EnterInTheInputAnswersItAndEscapeCancelsIt) {
  struct Case {
    int key;
    bool answered;
  };
  for (const Case& c : {Case{Qt::Key_Return, true}, Case{Qt::Key_Enter, true}, Case{Qt::Key_Escape, false}}) {
    SCOPED_TRACE(c.key);
    ModalScript script({[&](QWidget* w) {
      auto* edit = w->findChild<QLineEdit*>();
      ASSERT_NE(edit, nullptr);
      edit->setText("typed");
      Key(edit, c.key);
    }});
    std::string value = "kept";
    EXPECT_EQ(InputQuery("Copy", "Name of copy :", value), c.answered);
    EXPECT_EQ(value, c.answered ? "typed" : "kept");
  }
}

TEST_F(QtDialogsTest, InputWindows1252CannotHoldIsRefusedAndAskedAgain) {
  const QString foreign = QString::fromUtf8("Łódź");
  QString refusal, secondStart;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  ModalScript script({
      Type(foreign),
      [&](QWidget* w) {
        auto* box = qobject_cast<QMessageBox*>(w);
        ASSERT_NE(box, nullptr);
        refusal = box->text();
        icon = box->icon();
        box->button(QMessageBox::Ok)->click();
      },
      Type(QString::fromUtf8("Lodz ü"), [&](QInputDialog* dialog) { secondStart = dialog->textValue(); }),
  });
  std::string value = "old";
  EXPECT_TRUE(InputQuery("City", "Name:", value));
  EXPECT_EQ(value, "Lodz \xFC");
  EXPECT_EQ(icon, QMessageBox::Critical);
  EXPECT_EQ(refusal, "The character U+0141 cannot be stored");
  EXPECT_EQ(secondStart, foreign) << "the typed text stays for mending";
}
