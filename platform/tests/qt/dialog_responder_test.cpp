#include "testing/dialog_responder.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

TEST(DialogResponder, FailsTheTestOnAnUnscriptedBox) {
  EXPECT_NONFATAL_FAILURE(
      {
        DialogResponder dialogs;
        EXPECT_EQ(MessageDlg("Delete it?\rNow", mtConfirmation, mbYesNo), mrNo);
      },
      "unexpected message box: \"Delete it?\\rNow\"");
}

TEST(DialogResponder, FailsOnAnotherTextAndOnAnAnswerNeverUsed) {
  EXPECT_NONFATAL_FAILURE(
      {
        DialogResponder dialogs;
        dialogs.Expect("Saved.", mrOk);
        ShowMessage("Not saved.");
      },
      "shown:    \"Not saved.\"");
  EXPECT_NONFATAL_FAILURE(
      {
        DialogResponder dialogs;
        dialogs.Expect("Saved.", mrOk);
      },
      "scripted message box never shown: \"Saved.\"");
}

TEST(DialogResponder, AnswersFromTheScriptAndRecordsEveryBox) {
  DialogResponder dialogs;
  dialogs.Answer(mrYes).AnswerInput("2031").AnswerInput("", false);
  EXPECT_EQ(MessageDlg("Retry?", mtConfirmation, mbYesNo), mrYes);
  EXPECT_EQ(InputBox("Year", "Enter New Year:", "1999"), "2031");
  std::string value = "kept";
  EXPECT_FALSE(InputQuery("Year", "Enter New Year:", value));
  EXPECT_EQ(value, "kept");
  EXPECT_EQ(dialogs.Texts(), (std::vector<std::string>{"Retry?", "Enter New Year:", "Enter New Year:"}));
  EXPECT_EQ(dialogs.Boxes()[0].buttons, mbYesNo);
  EXPECT_TRUE(dialogs.Boxes()[1].input);
}
