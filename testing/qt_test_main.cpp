// GoogleTest main for screen tests: one QApplication on the offscreen platform.
#include "testing/dialog_responder.h"
#include "testing/private_user_dirs.h"

#include <QApplication>
#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  const PrivateUserDirs userDirs;
  QApplication app(argc, argv);
  std::setlocale(LC_NUMERIC, "C");
  ::testing::InitGoogleTest(&argc, argv);
  InstallStrictDialogs();
  return RUN_ALL_TESTS();
}
