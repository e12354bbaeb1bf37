#include "mainwin/user_flags.h"

#include "templates/registry_settings.h"

const TUserFlag* UserFlagOfTag(int Tag) {
  for (const TUserFlag& flag : UserFlags) {
    if (flag.Tag == Tag) return &flag;
  }
  return nullptr;
}

void WriteUserFlags(const std::function<bool(int Tag)>& Checked) {
  for (const TUserFlag& flag : UserFlags) WriteRegValue(flag.ValueName, Checked(flag.Tag) ? "Y" : "N");
}
