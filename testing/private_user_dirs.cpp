#include "testing/private_user_dirs.h"

PrivateUserDirs::PrivateUserDirs() {
  for (const char* name : {"config", "data", "cache", "state"}) std::filesystem::create_directory(Root() / name);
}
