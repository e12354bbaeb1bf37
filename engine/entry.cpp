// The library's exported entry points, with C linkage:
//   BTRCALL(op, posBlock, dataBuf, dataLen, keyBuf, keyLen, keyNum) -> status
//   BTRCALLID(the same, clientId16) -> status
//   WBTRVINIT(initText) -> 0 the first time, 1016 once started
//   WBTRVSTOP() -> 0; ends every client of the process
// and the whole-file functions (engine/whole_file.h), each taking
// zero-terminated names resolved as Open resolves them:
//   WBTRVFILEINUSE(path) -> 0 free, 85 open by some client, 12, 30
//   WBTRVCOPYFILE(from, to), WBTRVRENAMEFILE(from, to) -> 0, 59 when `to`
//       exists, 85, 12, 30, 2
//   WBTRVDELETEFILE(path) -> 0, 85, 12, 30, 2
// The calling form is synchronous: one lock serialises every call, so a
// whole-file function never runs beside a call of this process that has the
// file open. The first BTRCALL starts the engine without WBTRVINIT; the
// whole-file functions start nothing. Nothing thrown inside ever crosses
// into the caller: an unexpected failure answers 2.
//
// The init text is a list of words separated by blanks, commas or
// semicolons; "busy=N" sets how many milliseconds a call waits for another
// client's SQLite lock before it answers 85 (300 unless given). Other words
// are ignored, as are settings given once the engine has started.
#include "engine/engine.h"
#include "engine/operations.h"
#include "engine/status.h"
#include "engine/whole_file.h"
#include "platform/files.h"

#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>

#define WBTRV_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

std::mutex& CallLock() {
  static std::mutex lock;
  return lock;
}

engine::Engine& TheEngine() {
  static engine::Engine instance;
  return instance;
}

int16_t Dispatch(uint16_t op, void* posBlock, void* dataBuf, uint32_t* dataLen, void* keyBuf, uint8_t keyLen,
                 int8_t keyNum, const uint8_t* clientId) {
  std::lock_guard<std::mutex> hold(CallLock());
  try {
    engine::Engine& engine = TheEngine();
    engine.Started = true;
    engine::Call call;
    call.Op = op;
    call.PosBlock = static_cast<uint8_t*>(posBlock);
    call.Data = static_cast<uint8_t*>(dataBuf);
    call.DataLen = dataLen;
    call.Key = static_cast<uint8_t*>(keyBuf);
    call.KeyLen = keyLen;
    call.KeyNum = keyNum;
    return engine::Execute(engine, engine.ClientFor(clientId), call);
  } catch (const engine::StoreFailure& failure) {
    return failure.Status;
  } catch (...) {
    return engine::status::IoError;
  }
}

// The longest name a whole-file function reads.
constexpr size_t MaxNameLength = 4096;

// The native path of a zero-terminated name; 11 for none.
int16_t PathArgument(const char* name, std::string& path) {
  if (!name) return engine::status::InvalidFileName;
  const size_t length = strnlen(name, MaxNameLength);
  if (length == MaxNameLength) return engine::status::InvalidFileName;
  return engine::ResolveFileName(std::string(name, length), path);
}

// Runs a whole-file function in turn with every other call.
template <typename Operation>
int16_t WholeFile(Operation operation) {
  std::lock_guard<std::mutex> hold(CallLock());
  try {
    TheEngine();  // its file layer outlives what the function opens
    return operation();
  } catch (const engine::StoreFailure& failure) {
    return failure.Status;
  } catch (...) {
    return engine::status::IoError;
  }
}

void ApplyInitText(const char* text) {
  if (!text) return;
  const std::string words(text, strnlen(text, 1024));
  size_t begin = 0;
  while (begin < words.size()) {
    size_t end = words.find_first_of(" \t,;", begin);
    if (end == std::string::npos) end = words.size();
    std::string word = words.substr(begin, end - begin);
    for (char& c : word) c = char(std::tolower(static_cast<unsigned char>(c)));
    if (word.size() > 5 && word.starts_with("busy=") &&
        word.find_first_not_of("0123456789", 5) == std::string::npos && word.size() <= 10)
      engine::SetBusyWait(std::atoi(word.c_str() + 5));
    begin = end + 1;
  }
}

}  // namespace

WBTRV_EXPORT int16_t BTRCALL(uint16_t op, void* posBlock, void* dataBuf, uint32_t* dataLen, void* keyBuf,
                             uint8_t keyLen, int8_t keyNum) {
  return Dispatch(op, posBlock, dataBuf, dataLen, keyBuf, keyLen, keyNum, nullptr);
}

WBTRV_EXPORT int16_t BTRCALLID(uint16_t op, void* posBlock, void* dataBuf, uint32_t* dataLen, void* keyBuf,
                               uint8_t keyLen, int8_t keyNum, const uint8_t* clientId16) {
  return Dispatch(op, posBlock, dataBuf, dataLen, keyBuf, keyLen, keyNum, clientId16);
}

WBTRV_EXPORT int16_t WBTRVINIT(const char* initText) {
  std::lock_guard<std::mutex> hold(CallLock());
  engine::Engine& engine = TheEngine();
  if (engine.Started) return engine::status::AlreadyInitialized;
  engine.Started = true;
  engine::SetBusyWait(engine::DefaultBusyWait);
  ApplyInitText(initText);
  return engine::status::Success;
}

WBTRV_EXPORT int16_t WBTRVSTOP() {
  std::lock_guard<std::mutex> hold(CallLock());
  try {
    TheEngine().StopAll();
  } catch (...) {
    return engine::status::IoError;
  }
  return engine::status::Success;
}

WBTRV_EXPORT int16_t WBTRVFILEINUSE(const char* path) {
  return WholeFile([&] {
    std::string file;
    if (int16_t s = PathArgument(path, file)) return s;
    return engine::FileInUse(file);
  });
}

WBTRV_EXPORT int16_t WBTRVCOPYFILE(const char* from, const char* to) {
  return WholeFile([&] {
    std::string source, target;
    if (int16_t s = PathArgument(from, source)) return s;
    if (int16_t s = PathArgument(to, target)) return s;
    return engine::CopyRecordFile(source, target);
  });
}

WBTRV_EXPORT int16_t WBTRVRENAMEFILE(const char* from, const char* to) {
  return WholeFile([&] {
    std::string source, target;
    if (int16_t s = PathArgument(from, source)) return s;
    if (int16_t s = PathArgument(to, target)) return s;
    return engine::RenameRecordFile(source, ResolveRenameTarget(source, std::string(to, strnlen(to, MaxNameLength))));
  });
}

WBTRV_EXPORT int16_t WBTRVDELETEFILE(const char* path) {
  return WholeFile([&] {
    std::string file;
    if (int16_t s = PathArgument(path, file)) return s;
    return engine::DeleteRecordFile(file);
  });
}
