// Loads the record manager into a program that links neither SQLite nor Qt,
// the way the program loads it, and uses it once. Exit status 0 on success.
#include "engine/status.h"

#include <dlfcn.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

using BtrCallFn = int16_t (*)(uint16_t, void*, void*, uint32_t*, void*, uint8_t, int8_t);

int Fail(const char* what) {
  std::fprintf(stderr, "engine_load_probe: %s\n", what);
  return 1;
}

}  // namespace

int main() {
  if (dlopen("libsqlite3.so.0", RTLD_NOW | RTLD_NOLOAD)) return Fail("SQLite is linked into the probe");
  if (dlopen("libQt6Core.so.6", RTLD_NOW | RTLD_NOLOAD)) return Fail("Qt is linked into the probe");

  void* lib = dlopen(WBTRV32_PATH, RTLD_NOW | RTLD_LOCAL);
  if (!lib) return Fail(dlerror());
  auto call = reinterpret_cast<BtrCallFn>(dlsym(lib, "BTRCALL"));
  auto init = reinterpret_cast<int16_t (*)(const char*)>(dlsym(lib, "WBTRVINIT"));
  auto stop = reinterpret_cast<int16_t (*)()>(dlsym(lib, "WBTRVSTOP"));
  if (!call || !init || !stop || !dlsym(lib, "BTRCALLID")) return Fail("an entry point is missing");
  if (init("") != 0) return Fail("WBTRVINIT did not answer 0");

  char folder[] = "/tmp/engine-probe-XXXXXX";
  if (!mkdtemp(folder)) return Fail("no temporary folder");
  std::string name = std::string(folder) + "/probe.dat";
  name.push_back('\0');
  // An 8-byte record, one unique string key over all of it.
  unsigned char create[32] = {8, 0, 0, 16, 1, 0};
  create[16] = 1;
  create[18] = 8;
  unsigned char pos[128] = {};
  uint32_t len = sizeof create;
  int ok = call(engine::op::Create, pos, create, &len, name.data(), uint8_t(name.size()), -1) == 0;
  len = 0;
  ok = ok && call(engine::op::Open, pos, nullptr, &len, name.data(), 255, 0) == 0;
  char record[8] = {'p', 'r', 'o', 'b', 'e', '!', '\0', '1'};
  char key[255] = {};
  len = 8;
  ok = ok && call(engine::op::Insert, pos, record, &len, key, 255, 0) == 0;
  char back[8] = {};
  len = 8;
  ok = ok && call(engine::op::GetFirst, pos, back, &len, key, 255, 0) == 0 && std::memcmp(back, record, 8) == 0;
  ok = ok && call(engine::op::Close, pos, nullptr, &len, key, 255, 0) == 0 && stop() == 0;
  name.pop_back();
  unlink(name.c_str());
  rmdir(folder);
  return ok ? 0 : Fail("the calls did not answer as expected");
}
