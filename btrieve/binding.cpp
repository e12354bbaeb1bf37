#include "btrieve/binding.h"

#include "btrieve/record_files.h"
#include "engine/status.h"
#include "platform/fault_point.h"
#include "platform/paths.h"
#include "platform/session.h"
#include "platform/text.h"

#include <dlfcn.h>

#include <mutex>
#include <shared_mutex>

namespace {

struct Binding {
  void* Library = nullptr;
  TBtrCall Call = nullptr;
  TBtrCallId CallId = nullptr;
  TWbtrvInit Init = nullptr;
  TWbtrvStop Stop = nullptr;
  int References = 0;
};

// Load and unload hold it exclusively, engine calls shared. Never destroyed,
// so a shut-down that unloads from a static destructor still finds it.
std::shared_mutex& BindingLock() {
  static auto* lock = new std::shared_mutex;
  return *lock;
}

Binding& TheBinding() {
  static Binding binding;
  return binding;
}

template <class F>
F Resolve(void* library, const char* name) {
  return reinterpret_cast<F>(dlsym(library, name));
}

// REQUIRES: the binding lock held exclusively.
void CloseLibrary(Binding& b) {
  if (b.Library) dlclose(b.Library);
  b = Binding{};
}

// REQUIRES: the binding lock held exclusively. False leaves nothing open.
bool OpenLibrary(Binding& b, const std::string& dllName) {
  const std::string folder = ProgramFolder();
  if (folder.empty()) return false;
  const std::string path = folder + "/" + BtrieveLibraryFile(dllName);
  b.Library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!b.Library) return false;
  b.Call = Resolve<TBtrCall>(b.Library, "BTRCALL");
  b.CallId = Resolve<TBtrCallId>(b.Library, "BTRCALLID");
  b.Init = Resolve<TWbtrvInit>(b.Library, "WBTRVINIT");
  b.Stop = Resolve<TWbtrvStop>(b.Library, "WBTRVSTOP");
  // A missing entry point would leave a null address for a later call.
  if (b.Call && b.CallId && b.Init && b.Stop) return true;
  CloseLibrary(b);
  return false;
}

// What a call the fault point fails answers, without reaching the engine.
int16_t InjectedFailure() { return engine::status::IoError; }

}  // namespace

std::string BtrieveLibraryFile(const std::string& DllName) {
  std::string name = DllName.substr(0, DllName.find('\0'));
  if (name.empty()) name = "wbtrv32.dll";
  name = LowerCase(ExtractFileName(name));
  const std::string dll = ".dll";
  if (name.size() >= dll.size() && name.compare(name.size() - dll.size(), dll.size(), dll) == 0)
    name.resize(name.size() - dll.size());
  return "lib" + name + ".so";
}

int16_t LoadBtrieveDll(const std::string& InitString, const std::string& DllName) {
  RouteRecordFiles();
  std::unique_lock guard(BindingLock());
  Binding& b = TheBinding();
  if (!b.Library && !OpenLibrary(b, DllName)) return BtrStatus::NotLoaded;
  const int16_t status = b.Init(InitString.c_str());
  if (status == BtrStatus::Success || status == BtrStatus::AlreadyStarted) {
    ++b.References;
  } else if (b.References == 0) {
    // Nobody will unload a library whose start failed: stop what may have
    // started and close it, so the next call begins afresh.
    b.Stop();
    CloseLibrary(b);
  }
  return status;
}

int16_t UnloadBtrieveDll() {
  std::unique_lock guard(BindingLock());
  Binding& b = TheBinding();
  if (!b.Library) return BtrStatus::Success;
  if (--b.References > 0) return BtrStatus::Success;
  const int16_t status = b.Stop();
  CloseLibrary(b);
  return status;
}

bool BtrieveDllLoaded() {
  std::shared_lock guard(BindingLock());
  return TheBinding().Library != nullptr;
}

int16_t BTRCALL(uint16_t Op, void* PosBlock, void* DataBuf, uint32_t* DataLen, void* KeyBuf,
                uint8_t KeyLen, int8_t KeyNum) {
  return FaultCountedStep(
      [&]() -> int16_t {
        std::shared_lock guard(BindingLock());
        const Binding& b = TheBinding();
        if (!b.Call) return BtrStatus::NotLoaded;
        return b.Call(Op, PosBlock, DataBuf, DataLen, KeyBuf, KeyLen, KeyNum);
      },
      InjectedFailure);
}

int16_t BTRCALLID(uint16_t Op, void* PosBlock, void* DataBuf, uint32_t* DataLen, void* KeyBuf,
                  uint8_t KeyLen, int8_t KeyNum, const uint8_t* ClientId) {
  return FaultCountedStep(
      [&]() -> int16_t {
        std::shared_lock guard(BindingLock());
        const Binding& b = TheBinding();
        if (!b.CallId) return BtrStatus::NotLoaded;
        return b.CallId(Op, PosBlock, DataBuf, DataLen, KeyBuf, KeyLen, KeyNum, ClientId);
      },
      InjectedFailure);
}
