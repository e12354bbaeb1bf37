// The dialog seam counts the boxes up, so that idle work can wait for
// their answers: up while any kind of box is asked, down however it ends.
#include "platform/dialogs.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace {

// Records whether a box was counted while it was asked; throws when told to.
class TRecordingBoxes : public DialogService {
public:
  std::vector<bool> Up;
  bool Throw = false;
  TRecordingBoxes() : previous_(SetDialogService(this)) {}
  ~TRecordingBoxes() override { SetDialogService(previous_); }
  int MessageDlg(const std::string&, TMsgDlgType, TMsgDlgButtons, int) override {
    Up.push_back(BoxShowing());
    if (Throw) throw std::runtime_error("no box");
    return mrOk;
  }
  bool InputQuery(const std::string&, const std::string&, std::string&) override {
    Up.push_back(BoxShowing());
    return true;
  }

private:
  DialogService* previous_;
};

TEST(DialogsTest, ABoxIsCountedWhileAskedAndNoLongerOnceAnsweredOrFailed) {
  TRecordingBoxes boxes;
  EXPECT_FALSE(BoxShowing());
  MessageDlg("Save?", mtConfirmation, mbYesNo);
  ShowMessage("Saved.");
  std::string value;
  InputQuery("Name", "Your name", value);
  InputBox("Name", "Your name", "");
  EXPECT_EQ(boxes.Up, (std::vector<bool>{true, true, true, true}));
  EXPECT_FALSE(BoxShowing());
  boxes.Throw = true;
  EXPECT_THROW(MessageDlg("Save?", mtConfirmation, mbYesNo), std::runtime_error);
  EXPECT_FALSE(BoxShowing());
}

}  // namespace
