// The library's exported entry points, with C linkage:
//   BTRCALL(op, posBlock, dataBuf, dataLen, keyBuf, keyLen, keyNum) -> status
//   BTRCALLID(the same, clientId16) -> status
//   WBTRVINIT(initText) -> 0 the first time, 1016 once started
//   WBTRVSTOP() -> 0; ends every client of the process
// The calling form is synchronous: one lock serialises every call. The first
// BTRCALL starts the engine without WBTRVINIT. Nothing thrown inside ever
// crosses into the caller: an unexpected failure answers 2.
#include "engine/engine.h"
#include "engine/operations.h"
#include "engine/status.h"

#include <cstdint>
#include <mutex>

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

}  // namespace

WBTRV_EXPORT int16_t BTRCALL(uint16_t op, void* posBlock, void* dataBuf, uint32_t* dataLen, void* keyBuf,
                             uint8_t keyLen, int8_t keyNum) {
  return Dispatch(op, posBlock, dataBuf, dataLen, keyBuf, keyLen, keyNum, nullptr);
}

WBTRV_EXPORT int16_t BTRCALLID(uint16_t op, void* posBlock, void* dataBuf, uint32_t* dataLen, void* keyBuf,
                               uint8_t keyLen, int8_t keyNum, const uint8_t* clientId16) {
  return Dispatch(op, posBlock, dataBuf, dataLen, keyBuf, keyLen, keyNum, clientId16);
}

WBTRV_EXPORT int16_t WBTRVINIT(const char*) {
  std::lock_guard<std::mutex> hold(CallLock());
  engine::Engine& engine = TheEngine();
  if (engine.Started) return engine::status::AlreadyInitialized;
  engine.Started = true;
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
