// The user's own folders for one test run: configuration, data, cache and
// state go to a fresh temporary folder, so nothing a test does (a registry
// written without a path of its own, a file dialog's remembered folders)
// reaches the real ones. Made before the QApplication: Qt reads these paths
// once.
#pragma once

#include "testing/scoped_env.h"
#include "testing/temp_dir.h"

#include <string>

class PrivateUserDirs {
public:
  PrivateUserDirs();
  const std::filesystem::path& Root() const { return root_.path(); }

private:
  ScopedTempDir root_;
  ScopedEnv config_{"XDG_CONFIG_HOME", root_ / "config"};
  ScopedEnv data_{"XDG_DATA_HOME", root_ / "data"};
  ScopedEnv cache_{"XDG_CACHE_HOME", root_ / "cache"};
  ScopedEnv state_{"XDG_STATE_HOME", root_ / "state"};
};
