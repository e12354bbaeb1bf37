// GoogleTest main for tests without widgets.
#include "testing/dialog_responder.h"
#include "testing/private_user_dirs.h"

#include <gtest/gtest.h>

#include <clocale>

int main(int argc, char** argv) {
  const PrivateUserDirs userDirs;
  std::setlocale(LC_NUMERIC, "C");
  ::testing::InitGoogleTest(&argc, argv);
  InstallStrictDialogs();
  return RUN_ALL_TESTS();
}
