#include "platform/qt/status_bar.h"
#include "testing/status_bar_look.h"

#include <QApplication>
#include <QLabel>
#include <QVBoxLayout>
#include <QWidget>

#include <gtest/gtest.h>

// A form with the bar at its foot, as every form has it.
struct BarForm {
  QWidget Form;
  TStatusBar* Bar = new TStatusBar(&Form);
  BarForm() {
    auto* column = new QVBoxLayout(&Form);
    column->addWidget(new QLabel("body", &Form), 1);
    column->addWidget(Bar);
    Form.resize(400, 120);
    Form.show();
  }
};

TEST(StatusBarTest, EachPanelIsASunkenBevelEvenWhileEmpty) {
  BarForm f;
  auto* wide = new QLabel(f.Bar);
  auto* narrow = new QLabel(f.Bar);
  f.Bar->addWidget(wide, 1);
  f.Bar->addWidget(narrow);
  narrow->setFixedWidth(80);
  QApplication::processEvents();
  ExpectSunkenPanels(*f.Bar, 2);
  const std::vector<QRect> frames = f.Bar->PanelFrames();
  EXPECT_EQ(frames[1], narrow->geometry().adjusted(-2, -1, 2, 1).intersected(f.Bar->rect()));
  EXPECT_LT(frames[0].right(), frames[1].left());
}

TEST(StatusBarTest, ABarWithoutPanelsIsOneBevelAcrossWithOrWithoutAMessage) {
  BarForm f;
  QApplication::processEvents();
  ExpectSunkenPanels(*f.Bar, 1);
  f.Bar->showMessage("Field added");
  ExpectSunkenPanels(*f.Bar, 1);
  EXPECT_EQ(f.Bar->PanelFrames()[0], f.Bar->rect().adjusted(2, 2, -2, -1));
}
