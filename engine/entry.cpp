// The library's exported entry points, with C linkage:
//   BTRCALL(op, posBlock, dataBuf, dataLen, keyBuf, keyLen, keyNum) -> status
//   BTRCALLID(the same, clientId16) -> status
//   WBTRVINIT(initText) -> 0 the first time, 1016 once started
//   WBTRVSTOP() -> 0; ends every client of the process
// The calling form is synchronous: one lock serialises every call. The first
// BTRCALL starts the engine without WBTRVINIT. Nothing thrown inside ever
// crosses into the caller: an unexpected failure answers 2.
//
// The init text is a list of words separated by blanks, commas or
// semicolons; "busy=N" sets how many milliseconds a call waits for another
// client's SQLite lock before it answers 85 (300 unless given). Other words
// are ignored, as are settings given once the engine has started.
#include "engine/engine.h"
#include "engine/operations.h"
#include "engine/status.h"

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
