// The entry points of the fake record manager; everything is recorded and
// answered in libbtrfakestate.so (fake_engine.h). Built twice: with
// BTRFAKE_NO_CALLID it lacks BTRCALLID, a library that loads but is broken.
#include "btrieve/tests/fake_engine.h"

#define FAKE_EXPORT extern "C" __attribute__((visibility("default")))

FAKE_EXPORT int16_t BTRCALL(uint16_t op, void* posBlock, void* dataBuf, uint32_t* dataLen,
                            void* keyBuf, uint8_t keyLen, int8_t keyNum) {
  return FakeEngine::Call(op, posBlock, dataBuf, dataLen, keyBuf, keyLen, keyNum, nullptr);
}

#ifndef BTRFAKE_NO_CALLID
FAKE_EXPORT int16_t BTRCALLID(uint16_t op, void* posBlock, void* dataBuf, uint32_t* dataLen,
                              void* keyBuf, uint8_t keyLen, int8_t keyNum, const uint8_t* clientId) {
  return FakeEngine::Call(op, posBlock, dataBuf, dataLen, keyBuf, keyLen, keyNum, clientId);
}
#endif

FAKE_EXPORT int16_t WBTRVINIT(const char* initString) { return FakeEngine::Init(initString); }

FAKE_EXPORT int16_t WBTRVSTOP() { return FakeEngine::Stop(); }

__attribute__((constructor)) static void FakeLoaded() { FakeEngine::Loaded(); }
__attribute__((destructor)) static void FakeUnloaded() { FakeEngine::Unloaded(); }
