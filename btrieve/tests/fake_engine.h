// A recording stand-in for the record manager, for tests of the layers that
// call it. libbtrfake.so exports the four entry points and hands every call
// to the state below; libbtrfakenoid.so is the same without BTRCALLID. The
// state lives in libbtrfakestate.so, which the test program links, so it
// outlives each load and unload of the fake and the counters keep counting.
//
// BTRCALL answers from a queue of scripted answers, and with status 0 and
// the buffers untouched when the queue is empty. WBTRVINIT answers 0 when
// the engine is not started and 1016 when it is, unless a scripted status
// is queued; WBTRVSTOP ends the start and answers 0 unless a scripted
// status is queued.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct FakeCall {
  uint16_t Op = 0;
  std::string PosBlock;  // the 128 bytes as they came in
  std::string Data;      // DataLen bytes as they came in ("" for a null buffer)
  uint32_t DataLen = 0;
  // The key bytes as they came in: up to the first zero byte for the calls
  // that pass a name (Open, Create, Set Directory), else KeyLen bytes.
  std::string Key;
  uint8_t KeyLen = 0;
  int8_t KeyNum = 0;
  bool WithClientId = false;
  std::string ClientId;  // 16 bytes through BTRCALLID
};

struct FakeAnswer {
  int16_t Status = 0;
  // Written over the data buffer (at most the caller's DataLen bytes);
  // DataLen becomes the number written.
  std::optional<std::string> Data;
  // Written over the key buffer (at most KeyLen bytes).
  std::optional<std::string> Key;
  // Written over the position block (at most 128 bytes).
  std::optional<std::string> PosBlock;
};

namespace FakeEngine {

// Forgets calls, scripts and counters.
void Reset();
void Answer(FakeAnswer answer);
void AnswerInit(int16_t status);
void AnswerStop(int16_t status);

const std::vector<FakeCall>& Calls();
const std::vector<std::string>& InitStrings();
int Loads();
int Unloads();
int Stops();
bool Started();

// Entered by the fake library only.
int16_t Call(uint16_t op, void* posBlock, void* dataBuf, uint32_t* dataLen, void* keyBuf,
             uint8_t keyLen, int8_t keyNum, const uint8_t* clientId);
int16_t Init(const char* initString);
int16_t Stop();
void Loaded();
void Unloaded();

}  // namespace FakeEngine
