// A test run keeps away from the user's own configuration: a real file
// dialog's remembered folders land in the run's private folder.
#include "testing/temp_dir.h"

#include <QDir>
#include <QFileDialog>
#include <QSettings>
#include <QUrl>

#include <gtest/gtest.h>

#include <cstdlib>

TEST(PrivateUserDirsTest, AFileDialogRemembersItsFolderInTheRunsOwnConfiguration) {
  const QString store = QSettings(QSettings::UserScope, "QtProject").fileName();
  const QString runConfig = QString::fromLocal8Bit(std::getenv("XDG_CONFIG_HOME"));
  ASSERT_FALSE(store.startsWith(QDir::homePath() + "/")) << store.toStdString();
  ASSERT_EQ(store, runConfig + "/QtProject.conf");
  ASSERT_TRUE(runConfig.startsWith(QDir::tempPath() + "/mdtest-")) << runConfig.toStdString();

  ScopedTempDir visited;
  const QString folder = QString::fromStdString(visited.path().string());
  {
    QFileDialog dialog(nullptr, "Open", folder);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.show();
    dialog.reject();
  }
  QSettings kept(store, QSettings::IniFormat);
  EXPECT_EQ(kept.value("FileDialog/lastVisited").toUrl().toLocalFile(), folder);
}
