#include "engine/tests/engine_library.h"

#include <dlfcn.h>

bool LoadWbtrv(const char* path, Library& library, std::string& error) {
  void* handle = dlopen(path, RTLD_NOW | RTLD_LOCAL);
  if (!handle) {
    error = dlerror();
    return false;
  }
  library.Call = reinterpret_cast<BtrCallFn>(dlsym(handle, "BTRCALL"));
  library.CallId = reinterpret_cast<BtrCallIdFn>(dlsym(handle, "BTRCALLID"));
  library.Init = reinterpret_cast<InitFn>(dlsym(handle, "WBTRVINIT"));
  library.Stop = reinterpret_cast<StopFn>(dlsym(handle, "WBTRVSTOP"));
  library.FileInUse = reinterpret_cast<FileFn>(dlsym(handle, "WBTRVFILEINUSE"));
  library.CopyFile = reinterpret_cast<FileToFileFn>(dlsym(handle, "WBTRVCOPYFILE"));
  library.RenameFile = reinterpret_cast<FileToFileFn>(dlsym(handle, "WBTRVRENAMEFILE"));
  library.DeleteFile = reinterpret_cast<FileFn>(dlsym(handle, "WBTRVDELETEFILE"));
  if (library.Call && library.CallId && library.Init && library.Stop && library.FileInUse && library.CopyFile &&
      library.RenameFile && library.DeleteFile)
    return true;
  error = "entry points missing";
  return false;
}
