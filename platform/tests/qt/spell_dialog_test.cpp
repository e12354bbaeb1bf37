// The spelling dialog over a line edit and a plain text edit, answered as
// a person does: the misspelt word shown with suggestions, Change, Change
// All, Ignore All and Add edit the control in place, a change the control
// cannot hold is refused, and the settings live in the registry tree.
#include "platform/qt/spell_dialog.h"

#include "platform/registry.h"
#include "platform/spelling.h"
#include "testing/dialog_responder.h"
#include "testing/scoped_env.h"
#include "testing/temp_dir.h"

#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace {

const std::string Tree = "HKEY_LOCAL_MACHINE\\Software\\Ondral\\Corvenstead\\Spelling";

class SpellDialogTest : public TempDirTest {
protected:
  void SetUp() override {
    SSCE_SetRegTreeName(Tree);
    ResetRunSpellChecker();
  }
  void TearDown() override {
    ResetRunSpellChecker();
    SSCE_SetRegTreeName("");
  }
  // Runs the check of Control with Answer driving the dialog.
  int16_t Check(QWidget* Control, const std::function<void(TSpellDialog&)>& Answer) {
    bool ran = false;
    QTimer::singleShot(0, [&] {
      auto* dialog = dynamic_cast<TSpellDialog*>(QApplication::activeModalWidget());
      ran = true;
      ASSERT_NE(dialog, nullptr);
      Answer(*dialog);
      if (dialog->isVisible()) dialog->reject();
    });
    const int16_t result = SSCE_CheckCtrlDlg(&form, Control, 0);
    EXPECT_TRUE(ran);
    return result;
  }
  static std::string Shown(const QLineEdit* E) { return E->text().toStdString(); }

  ScopedEnv registry{"MATTERDESK_REGISTRY", TempPath("registry.ini")};
  DialogResponder boxes;
  QWidget form;
};

TEST_F(SpellDialogTest, AnswersEditTheLineInPlace) {
  QLineEdit edit("Teh clerk filed teh recieve; Zorvikan.", &form);
  EXPECT_EQ(Check(&edit,
                  [&](TSpellDialog& d) {
                    EXPECT_EQ(Shown(d.NotFound), "Teh");
                    EXPECT_EQ(edit.selectedText(), "Teh");
                    EXPECT_GT(d.Suggestions->count(), 0);
                    d.ChangeTo->setText("The");
                    d.ChangeBtn->click();
                    EXPECT_EQ(Shown(d.NotFound), "teh");
                    d.ChangeTo->setText("the");
                    d.ChangeAllBtn->click();
                    EXPECT_EQ(Shown(d.NotFound), "recieve");
                    // The first suggestion stands ready.
                    EXPECT_EQ(Shown(d.ChangeTo), "receive");
                    d.ChangeBtn->click();
                    EXPECT_EQ(Shown(d.NotFound), "Zorvikan");
                    boxes.Expect("The spelling check is complete.");
                    d.AddBtn->click();
                    EXPECT_FALSE(d.isVisible());
                  }),
            0);
  EXPECT_EQ(edit.text().toStdString(), "The clerk filed the receive; Zorvikan.");
  // The settings' defaults are kept in the tree; the added word in the
  // personal list beside the registry.
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKeyReadOnly("\\Software\\Ondral\\Corvenstead\\Spelling"));
  EXPECT_EQ(reg.ReadString("Dictionary"), "en_US");
  EXPECT_EQ(reg.ReadString("PersonalWordList"), TempPath("personal-words.txt"));
  EXPECT_EQ(ReadFileBytes(TempPath("personal-words.txt")), "Zorvikan\n");

  // A text without misspellings: the message alone.
  boxes.Expect("The spelling check is complete.");
  EXPECT_EQ(SSCE_CheckCtrlDlg(&form, &edit, 0), 0);
}

TEST_F(SpellDialogTest, AChangeTheControlCannotHoldIsRefused) {
  QPlainTextEdit memo("One teh\ntwo", &form);
  // Twelve stored characters: the line break counts two.
  memo.setProperty("maxLength", 12);
  Check(&memo, [&](TSpellDialog& d) {
    EXPECT_EQ(Shown(d.NotFound), "teh");
    EXPECT_EQ(memo.textCursor().selectedText(), "teh");
    d.ChangeTo->setText("thee");
    boxes.Expect("The change would make the text longer than the 12 characters this field holds. It was not made.");
    d.ChangeBtn->click();
    EXPECT_EQ(memo.toPlainText(), "One teh\ntwo");
    d.ChangeTo->setText("the");
    boxes.Expect("The spelling check is complete.");
    d.ChangeBtn->click();
  });
  EXPECT_EQ(memo.toPlainText(), "One the\ntwo");

  // Cancel keeps what was changed before it.
  memo.setPlainText("teh teh wory");
  memo.setProperty("maxLength", 0);
  Check(&memo, [&](TSpellDialog& d) {
    d.ChangeTo->setText("the");
    d.ChangeBtn->click();
    d.IgnoreAllBtn->click();
    EXPECT_EQ(Shown(d.NotFound), "wory");
    d.CancelBtn->click();
  });
  EXPECT_EQ(memo.toPlainText(), "the teh wory");
}

TEST_F(SpellDialogTest, AMissingDictionaryIsNamed) {
  {
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey("\\Software\\Ondral\\Corvenstead\\Spelling", true));
    reg.WriteString("Dictionary", "xx_XX");
  }
  QLineEdit edit("teh", &form);
  boxes.Expect("The spelling dictionary xx_XX is not installed.");
  EXPECT_EQ(SSCE_CheckCtrlDlg(&form, &edit, 0), -2);
  EXPECT_EQ(edit.text(), "teh");
  QWidget none;
  EXPECT_EQ(SSCE_CheckCtrlDlg(&form, &none, 0), -1);
}

}  // namespace
