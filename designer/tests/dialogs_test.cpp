// The seven designer dialogs driven by keys, clicks and focus moves; boxes
// answered by the responder.
#include "designer/dropdown_order.h"
#include "designer/min_max_rules.h"
#include "designer/qt/dialog_parts.h"
#include "designer/qt/edit_dd_form.h"
#include "designer/qt/edit_disp_form.h"
#include "designer/qt/field_tile.h"
#include "designer/qt/get_desc_form.h"
#include "designer/qt/get_name_form.h"
#include "designer/qt/key_sel_form.h"
#include "designer/qt/make_cli_form.h"
#include "designer/qt/min_max_form.h"
#include "testing/dialog_driver.h"
#include "platform/qt/focus_model.h"
#include "platform/qt/widget_text.h"
#include "platform/text.h"
#include "templates/store_constants.h"
#include "testing/dialog_responder.h"
#include "testing/keyboard.h"

#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDropEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>

#include <memory>
#include <string>
#include <vector>

namespace {

std::string Text(const QLineEdit* Edit) { return StoredText(Edit->text()); }

// TMinMaxF

class MinMaxTest : public ::testing::Test {
protected:
  void SetUp() override {
    ShowActive(form);
    form.EditMin->setFocus();
    QApplication::processEvents();
  }
  // Leaves EditMax by Tab, as a person does.
  void LeaveMax(const std::string& Typed) {
    form.Focus->FocusControl(form.EditMax);
    QApplication::processEvents();
    form.EditMax->setText(WidgetText(Typed));
    keyboard::Type(Qt::Key_Tab);
    QApplication::processEvents();
  }
  DialogResponder boxes;
  TMinMaxF form;
};

TEST_F(MinMaxTest, ShowsItsCaptionControlsAndDesignValues) {
  EXPECT_EQ(form.windowTitle().toStdString(), "Set Maximum and Minimum Values");
  EXPECT_EQ(StoredText(form.CheckBox1->text()), "&Disable minimum and maximum checks for this field");
  EXPECT_TRUE(form.CheckBox1->isChecked());
  EXPECT_EQ(Text(form.EditMin), "1");
  EXPECT_EQ(Text(form.EditMax), "99999999");
  EXPECT_EQ(form.EditMin->maxLength(), 12);
  EXPECT_EQ(form.EditMax->maxLength(), 12);
  EXPECT_EQ(form.RadioGroupMaxMin->Count(), 3);
  EXPECT_EQ(StoredText(form.RadioGroupMaxMin->Item(2)->text()), "two");
  EXPECT_FALSE(form.OK);
}

TEST_F(MinMaxTest, TypingPassesTheKeyFilterAndUnchecksTheBoxAProgramLoadDoesNot) {
  // The designer's load: texts and decimals set, the box stays checked.
  form.EditMin->setText("1");
  form.EditMax->setText("99999999");
  form.SetDecimals(2);
  EXPECT_TRUE(form.CheckBox1->isChecked());
  EXPECT_EQ(Text(form.EditMin), "1");  // no reformatting by a program's choice

  form.EditMin->clear();
  keyboard::Type("12.3.4a-5");
  EXPECT_EQ(Text(form.EditMin), "12.345");
  EXPECT_FALSE(form.CheckBox1->isChecked());
  keyboard::Type(Qt::Key_Backspace);
  EXPECT_EQ(Text(form.EditMin), "12.34");
}

TEST_F(MinMaxTest, LeavingAnEditKeepsItsNumberOrRefusesAndKeepsTheFocus) {
  struct Case {
    std::string typed;
    int decimals;
    std::string kept;  // empty: refused
  };
  const Case cases[] = {
      {"", 2, "0.00"},   {"  ", 0, "0"},         {"12.5", 2, "12.50"}, {"99.99", 0, "99"},
      {"100000000", -1, "100000000"}, {"100000001", 0, ""}, {"1.2.3", 2, ""}, {"abc", 1, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("'" + c.typed + "' " + std::to_string(c.decimals));
    form.SetDecimals(c.decimals);
    if (c.kept.empty()) boxes.Expect(MinMaxRangeMsg);
    LeaveMax(c.typed);
    if (c.kept.empty()) {
      EXPECT_EQ(QApplication::focusWidget(), form.EditMax);
      EXPECT_EQ(Text(form.EditMax), c.typed);
    } else {
      EXPECT_NE(QApplication::focusWidget(), form.EditMax);
      EXPECT_EQ(Text(form.EditMax), c.kept);
    }
    EXPECT_EQ(boxes.Pending(), 0u);
  }
}

TEST_F(MinMaxTest, APastedTextThatIsNoNumberGetsTheRangeMessage) {
  form.Focus->FocusControl(form.EditMax);
  form.EditMax->clear();
  QApplication::clipboard()->setText("1.2.3");
  form.EditMax->paste();
  EXPECT_EQ(Text(form.EditMax), "1.2.3");
  boxes.Expect(MinMaxRangeMsg);
  keyboard::Type(Qt::Key_Tab);
  EXPECT_EQ(QApplication::focusWidget(), form.EditMax);
}

TEST_F(MinMaxTest, TheUsersDecimalsChoiceReformatsBothEdits) {
  form.EditMin->setText("12.5");
  form.EditMax->setText("7");
  ClickIndicator(form.RadioGroupMaxMin->Item(2));
  EXPECT_EQ(Text(form.EditMin), "12.50");
  EXPECT_EQ(Text(form.EditMax), "7.00");
  form.EditMax->setText("99.99");
  ClickIndicator(form.RadioGroupMaxMin->Item(0));
  EXPECT_EQ(Text(form.EditMin), "12");
  EXPECT_EQ(Text(form.EditMax), "99");
  EXPECT_TRUE(form.CheckBox1->isChecked());
  // By the keyboard too: the arrow picks the next item.
  form.RadioGroupMaxMin->Item(0)->setFocus();
  keyboard::Type(Qt::Key_Down);
  EXPECT_EQ(form.Decimals(), 1);
  EXPECT_EQ(Text(form.EditMin), "12.0");
  EXPECT_EQ(Text(form.EditMax), "99.0");
}

TEST_F(MinMaxTest, OkComparesWithHalfACent) {
  struct Case {
    std::string min, max;
    bool checksOff;
    bool ok;
  };
  const Case cases[] = {
      {"5.00", "5.00", false, true},
      {"5.01", "5.00", false, false},
      {"5.01", "5.00", true, true},  // checks disabled: no comparison
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.min + " " + c.max);
    ShowActive(form);
    form.FormShow();
    form.EditMin->setText(WidgetText(c.min));
    form.EditMax->setText(WidgetText(c.max));
    form.CheckBox1->setChecked(c.checksOff);
    form.Focus->FocusControl(form.EditMax);
    if (!c.ok) boxes.Expect(MinExceedsMaxMsg);
    QTest::mouseClick(form.BitBtn1, Qt::LeftButton);
    QApplication::processEvents();
    EXPECT_EQ(form.OK, c.ok);
    EXPECT_EQ(form.isVisible(), !c.ok);
    if (!c.ok) {
      EXPECT_EQ(QApplication::focusWidget(), form.EditMin);
    }
  }
}

// TGetNameF

TEST(GetNameTest, RefusesOnlyANameBlankAfterTrimmingTheRight) {
  DialogResponder boxes;
  TGetNameF form;
  EXPECT_EQ(form.windowTitle().toStdString(), "Corvenstead Matterdesk");
  EXPECT_EQ(form.Edit1->maxLength(), 30);
  EXPECT_EQ(StoredText(form.Edit1->toolTip()), "Enter a name to describe the data in this template.");
  EXPECT_EQ(StoredText(form.Label1->text()), "(up to 30 characters)");
  struct Case {
    std::string typed;
    bool refused;
  };
  const Case cases[] = {{"", true}, {"    ", true}, {"  Smith matters", false}, {"Billing  ", false}};
  for (const Case& c : cases) {
    SCOPED_TRACE("'" + c.typed + "'");
    form.Edit1->setText("left from before");
    RunModal(form, [&] {
      EXPECT_EQ(Text(form.Edit1), "");  // emptied on show
      EXPECT_EQ(QApplication::focusWidget(), form.Edit1);
      keyboard::Type(c.typed);
      if (c.refused) {
        boxes.Expect(NoTemplateNameMsg);
        QTest::mouseClick(form.BitBtn1, Qt::LeftButton);
        EXPECT_TRUE(form.isVisible());
        EXPECT_TRUE(form.Cancelled);
        QTest::mouseClick(form.BitBtn2, Qt::LeftButton);
      } else {
        QTest::mouseClick(form.BitBtn1, Qt::LeftButton);
      }
    });
    EXPECT_EQ(form.Cancelled, c.refused);
    if (!c.refused) {
      EXPECT_EQ(form.Name(), c.typed);
    }
  }
}

TEST(GetNameTest, EnterPressesOkAndEscapeCancels) {
  DialogResponder boxes;
  TGetNameF form;
  struct Case {
    Qt::Key key;
    int result;
    bool cancelled;
  };
  const Case cases[] = {{Qt::Key_Return, QDialog::Accepted, false},
                        {Qt::Key_Enter, QDialog::Accepted, false},
                        {Qt::Key_Escape, QDialog::Rejected, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.key);
    const int result = RunModal(form, [&] {
      keyboard::Type("Case Notes Copy");
      keyboard::Type(c.key);
    });
    EXPECT_EQ(result, c.result);
    EXPECT_EQ(form.Cancelled, c.cancelled);
    EXPECT_EQ(form.Name(), "Case Notes Copy");
  }
}

// TGetDescF

TEST(GetDescTest, OffersTheTwentyLinesFirstSelected) {
  TGetDescF form;
  RunModal(form, [&] {
    EXPECT_EQ(form.ListBox1->count(), 20);
    EXPECT_EQ(StoredText(form.ListBox1->item(19)->text()), "Case description line 20");
    EXPECT_EQ(form.SelectedLine(), "Case description line 1");
    keyboard::Type(Qt::Key_Down);
    keyboard::Type(Qt::Key_Down);
    QTest::mouseClick(form.BitBtnSave, Qt::LeftButton);
  });
  EXPECT_FALSE(form.Cancelled);
  EXPECT_EQ(form.SelectedLine(), "Case description line 3");
  RunModal(form, [&] { QTest::mouseClick(form.BitBtnCancel, Qt::LeftButton); });
  EXPECT_TRUE(form.Cancelled);
}

// TEditDDF

std::vector<std::string> Padded(std::vector<std::string> Names) {
  for (std::string& n : Names) n += "     ";
  return Names;
}

std::string Tiles(const TEditDDF& Form) {
  std::string out;
  for (const TFieldTile* t : Form.StaticText) {
    if (t->isHidden()) continue;
    if (!out.empty()) out += "|";
    out += TrimRight(StoredText(t->text())) + (t->Bold() ? "*" : "") + (t->Highlighted() ? "<" : "");
  }
  return out;
}

TEST(EditDDTest, ButtonsMoveAndDeleteByTheKeyRules) {
  struct Case {
    const char* name;
    std::vector<std::string> names;
    bool locked;
    int tile;            // clicked first, 0-based
    const char* button;  // BitBtnLeft, BitBtnRight, BitBtnDelete
    std::string message;
    int answer;          // to a question
    std::string tiles;   // after; "closed" when the dialog closed
    std::vector<std::string> result;
  };
  const std::string locked = DropdownLockedMsg + ContactMsg;
  const Case cases[] = {
      {"a key into the leftmost", {"Client name", "Client code", "City"}, false, 1, "BitBtnLeft", "", 0,
       "Client code*<|Client name*|City", {}},
      {"a non-key into the leftmost", {"Client code", "Client name", "City"}, false, 1, "BitBtnLeft",
       NotIntoLeftmostMsg, 0, "Client code*|Client name<|City", {}},
      {"locked", {"Client name", "Client code"}, true, 1, "BitBtnLeft", locked, 0, "Client name*|Client code*<", {}},
      {"right among the others", {"Case suffix", "Department code", "City"}, false, 1, "BitBtnRight", "", 0,
       "Case suffix*|City|Department code<", {}},
      {"the key out over a non-key", {"Case suffix", "Department code"}, false, 0, "BitBtnRight",
       NotOutOfLeftmostMsg, 0, "Case suffix*<|Department code", {}},
      {"delete a later one", {"Case suffix", "Department code", "City"}, false, 1, "BitBtnDelete", "", 0,
       "Case suffix*|City<", {}},
      {"delete the key, No", {"Case suffix", "Department code"}, false, 0, "BitBtnDelete", RemoveKeyFieldQuestion,
       mrNo, "Case suffix*<|Department code", {}},
      {"delete the key, Yes", {"Case suffix", "Department code"}, false, 0, "BitBtnDelete", RemoveKeyFieldQuestion,
       mrYes, "closed", {}},
      {"delete the key while locked", {"Case suffix", "Department code"}, true, 0, "BitBtnDelete", locked, 0,
       "Case suffix*<|Department code", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    DialogResponder boxes;
    TEditDDF form(Padded(c.names), c.locked);
    EXPECT_EQ(form.windowTitle().toStdString(), "Dropdown List Editor");
    EXPECT_EQ(StoredText(form.Memo1->text()), DropdownEditorMemo);
    RunModal(form, [&] {
      QTest::mouseClick(form.StaticText[size_t(c.tile)], Qt::LeftButton);
      if (!c.message.empty()) boxes.Expect(c.message, c.answer ? c.answer : mrOk);
      QTest::mouseClick(form.findChild<QPushButton*>(c.button), Qt::LeftButton);
      if (c.tiles == "closed") return;
      EXPECT_EQ(Tiles(form), c.tiles);
      QTest::mouseClick(form.BitBtnCancel, Qt::LeftButton);
    });
    if (c.tiles == "closed") {
      EXPECT_TRUE(form.OK);
      EXPECT_EQ(form.DDCount, 0);
      EXPECT_TRUE(form.DDNames.empty());
    } else {
      EXPECT_FALSE(form.OK);
    }
  }
}

TEST(EditDDTest, OkHandsBackTheNamesInTheirNewOrderAndAnEmptiedListCloses) {
  DialogResponder boxes;
  TEditDDF form(Padded({"Employee name", "Employee class code", "Employee code"}), false);
  RunModal(form, [&] {
    EXPECT_EQ(Tiles(form), "Employee name*<|Employee class code|Employee code*");
    QTest::mouseClick(form.StaticText[2], Qt::LeftButton);
    QTest::mouseClick(form.BitBtnLeft, Qt::LeftButton);
    QTest::mouseClick(form.BitBtnLeft, Qt::LeftButton);
    EXPECT_EQ(Tiles(form), "Employee code*<|Employee name*|Employee class code");
    QTest::mouseClick(form.BitBtnSave, Qt::LeftButton);
  });
  EXPECT_TRUE(form.OK);
  EXPECT_EQ(form.DDCount, 3);
  EXPECT_EQ(form.DDNames, Padded({"Employee code", "Employee name", "Employee class code"}));

  TEditDDF two(Padded({"Employee code", "Employee class code"}), false);
  RunModal(two, [&] {
    QTest::mouseClick(two.StaticText[1], Qt::LeftButton);
    QTest::mouseClick(two.BitBtnDelete, Qt::LeftButton);
    EXPECT_EQ(Tiles(two), "Employee code*<");
    boxes.Expect(RemoveKeyFieldQuestion, mrYes);
    QTest::mouseClick(two.BitBtnDelete, Qt::LeftButton);
  });
  EXPECT_TRUE(two.OK);
  EXPECT_EQ(two.DDCount, 0);
}

// TEditDispF

void DropRow(TEditDispF& Form, int From, int OnRow) {
  QWidget* viewport = Form.ListBox1->viewport();
  const QPoint at = Form.ListBox1->visualItemRect(Form.ListBox1->item(OnRow)).center();
  std::unique_ptr<QMimeData> data(TEditDispF::RowMimeData(From));
  QDragEnterEvent enter(at, Qt::MoveAction, data.get(), Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(viewport, &enter);
  EXPECT_TRUE(enter.isAccepted());
  QDragMoveEvent move(at, Qt::MoveAction, data.get(), Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(viewport, &move);
  EXPECT_EQ(Form.ListBox1->currentRow(), OnRow);  // the row under the pointer
  QDropEvent drop(at, Qt::MoveAction, data.get(), Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(viewport, &drop);
}

TEST(EditDispTest, MovesDeletesAndDragsReorderTheDisplayFields) {
  DialogResponder boxes;
  TEditDispF form;
  form.SetNames({"City", "Phone 1", "Phone 2", "Office code"});
  RunModal(form, [&] {
    EXPECT_EQ(form.ListBox1->currentRow(), 0);
    QTest::mouseClick(form.BitBtnUp, Qt::LeftButton);  // nothing above the first
    QTest::mouseClick(form.BitBtnDown, Qt::LeftButton);
    EXPECT_EQ(form.Names(), (std::vector<std::string>{"Phone 1", "City", "Phone 2", "Office code"}));
    EXPECT_EQ(form.ListBox1->currentRow(), 1);
    DropRow(form, 3, 0);
    EXPECT_EQ(form.Names(), (std::vector<std::string>{"Office code", "Phone 1", "City", "Phone 2"}));
    EXPECT_EQ(form.ListBox1->currentRow(), 0);
    form.ListBox1->setCurrentRow(3);
    QTest::mouseClick(form.BitBtnDown, Qt::LeftButton);  // nothing below the last
    boxes.Expect("Remove the display field Phone 2?", mrNo);
    QTest::mouseClick(form.BitBtnDelete, Qt::LeftButton);
    boxes.Expect("Remove the display field Phone 2?", mrYes);
    QTest::mouseClick(form.BitBtnDelete, Qt::LeftButton);
    QTest::mouseClick(form.BitBtnSave, Qt::LeftButton);
  });
  EXPECT_FALSE(form.Cancelled);
  EXPECT_EQ(form.Names(), (std::vector<std::string>{"Office code", "Phone 1", "City"}));
  RunModal(form, [&] { QTest::mouseClick(form.BitBtnCancel, Qt::LeftButton); });
  EXPECT_TRUE(form.Cancelled);
}

// TKeySelF

TEST(KeySelTest, EachChoiceKeepsItsIndexNumber) {
  TKeySelF form;
  EXPECT_EQ(form.windowTitle().toStdString(), "Dropdown Index Selection");
  form.SetPrompt("The field you have selected is associated with 2 indexes.\rPlease select the index you want below.");
  form.AddChoice("By matter  Matter - Client", 2);
  form.AddChoice("By client  Matter - Date", 4);
  RunModal(form, [&] {
    EXPECT_EQ(form.ChosenIndexNo(), 2);
    form.ComboBoxKeyChoice->setCurrentIndex(1);
    QTest::mouseClick(form.SaveBitBtn, Qt::LeftButton);
  });
  EXPECT_TRUE(form.OK);
  EXPECT_EQ(form.ChosenIndexNo(), 4);
  EXPECT_EQ(form.ChosenText(), "By client  Matter - Date");
  RunModal(form, [&] { QTest::mouseClick(form.CloseBitBtn, Qt::LeftButton); });
  EXPECT_FALSE(form.OK);
}

// TMakeCliF

TEST(MakeCliTest, AnswersTheChosenItemAndBacksOutWhenClosedOtherwise) {
  TMakeCliF form;
  EXPECT_EQ(form.windowTitle().toStdString(), "Confirmation");
  EXPECT_EQ(StoredText(form.Label1->text()), "A Corvenstead Client Lookup has NOT been detected in your template.");
  EXPECT_EQ(StoredText(form.RadioGroup1->title()), " Please select from the following options:  ");
  EXPECT_EQ(StoredText(form.RadioGroup1->Item(1)->text()),
            "I am certain that I use unique case suffixes in Corvenstead - I don't need a Client lookup.");
  RunModal(form, [&] {
    EXPECT_EQ(form.RadioGroup1->ItemIndex(), 0);
    ClickIndicator(form.RadioGroup1->Item(2));
    QTest::mouseClick(form.BitBtnSave, Qt::LeftButton);
  });
  EXPECT_EQ(form.ItemIndex(), 2);
  RunModal(form, [&] { form.reject(); });
  EXPECT_EQ(form.ItemIndex(), TMakeCliF::BackOut);
}

}  // namespace
