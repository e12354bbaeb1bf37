#include "btrieve/record_files.h"

#include "btrieve/binding.h"
#include "engine/status.h"
#include "platform/files.h"
#include "platform/session.h"

#include <dlfcn.h>

#include <cerrno>
#include <cstdint>
#include <string>

namespace {

namespace status = engine::status;

struct WholeFileFunctions {
  int16_t (*InUse)(const char*) = nullptr;
  int16_t (*Copy)(const char*, const char*) = nullptr;
  int16_t (*Rename)(const char*, const char*) = nullptr;
  int16_t (*Delete)(const char*) = nullptr;
};

template <class F>
void Resolve(void* library, const char* name, F& function) {
  function = reinterpret_cast<F>(dlsym(library, name));
}

// The engine's whole-file functions, loaded once; nullptr when there is no
// engine to load.
const WholeFileFunctions* Engine() {
  static const WholeFileFunctions* const loaded = []() -> const WholeFileFunctions* {
    const std::string folder = ProgramFolder();
    if (folder.empty()) return nullptr;
    void* library = dlopen((folder + "/" + BtrieveLibraryFile("")).c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!library) return nullptr;
    static WholeFileFunctions functions;
    Resolve(library, "WBTRVFILEINUSE", functions.InUse);
    Resolve(library, "WBTRVCOPYFILE", functions.Copy);
    Resolve(library, "WBTRVRENAMEFILE", functions.Rename);
    Resolve(library, "WBTRVDELETEFILE", functions.Delete);
    if (functions.InUse && functions.Copy && functions.Rename && functions.Delete) return &functions;
    dlclose(library);
    return nullptr;
  }();
  return loaded;
}

bool Answer(int16_t status) {
  switch (status) {
    case status::Success:
      return true;
    case status::FileLocked:
      errno = EBUSY;
      break;
    case status::FileAlreadyExists:
      errno = EEXIST;
      break;
    case status::FileNotFound:
      errno = ENOENT;
      break;
    case status::InvalidFileName:
      errno = EINVAL;
      break;
    default:
      errno = EIO;
  }
  return false;
}

bool IsRecordFile(const std::string& path) {
  const WholeFileFunctions* engine = Engine();
  if (!engine) return false;
  const int16_t s = engine->InUse(path.c_str());
  return s == status::Success || s == status::FileLocked || s == status::IoError;
}

// Called only for a file IsRecordFile accepted, so the engine is loaded.
bool CopyRecordFile(const std::string& from, const std::string& to) {
  return Answer(Engine()->Copy(from.c_str(), to.c_str()));
}
bool RenameRecordFile(const std::string& from, const std::string& to) {
  return Answer(Engine()->Rename(from.c_str(), to.c_str()));
}
bool DeleteRecordFile(const std::string& path) { return Answer(Engine()->Delete(path.c_str())); }

const RecordFileOps Routes{IsRecordFile, CopyRecordFile, RenameRecordFile, DeleteRecordFile};

}  // namespace

void RouteRecordFiles() { SetRecordFileOps(&Routes); }
