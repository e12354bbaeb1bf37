#include "btrieve/tests/fake_engine.h"

#include <algorithm>
#include <cstring>
#include <deque>

namespace {

constexpr size_t PosBlockSize = 128;

struct State {
  std::vector<FakeCall> Calls;
  std::vector<std::string> InitStrings;
  std::deque<FakeAnswer> Answers;
  std::deque<int16_t> InitAnswers;
  std::deque<int16_t> StopAnswers;
  int Loads = 0;
  int Unloads = 0;
  int Stops = 0;
  bool Started = false;
};

State& S() {
  static State state;
  return state;
}

bool PassesName(uint16_t op) { return op == 0 || op == 14 || op == 17; }

std::string KeyBytes(uint16_t op, const void* keyBuf, uint8_t keyLen) {
  if (!keyBuf) return {};
  const char* key = static_cast<const char*>(keyBuf);
  size_t n = 0;
  if (PassesName(op)) {
    while (n < keyLen && key[n] != '\0') ++n;  // a name may sit in a short buffer
  } else {
    n = keyLen;
  }
  return std::string(key, n);
}

void WriteOver(void* target, size_t room, const std::string& bytes) {
  if (target) std::memcpy(target, bytes.data(), std::min(room, bytes.size()));
}

// The scripted status, or otherwise when none is queued.
int16_t Next(std::deque<int16_t>& scripted, int16_t otherwise) {
  if (scripted.empty()) return otherwise;
  const int16_t status = scripted.front();
  scripted.pop_front();
  return status;
}

}  // namespace

namespace FakeEngine {

void Reset() { S() = State{}; }
void Answer(FakeAnswer answer) { S().Answers.push_back(std::move(answer)); }
void AnswerInit(int16_t status) { S().InitAnswers.push_back(status); }
void AnswerStop(int16_t status) { S().StopAnswers.push_back(status); }
const std::vector<FakeCall>& Calls() { return S().Calls; }
const std::vector<std::string>& InitStrings() { return S().InitStrings; }
int Loads() { return S().Loads; }
int Unloads() { return S().Unloads; }
int Stops() { return S().Stops; }
bool Started() { return S().Started; }

int16_t Call(uint16_t op, void* posBlock, void* dataBuf, uint32_t* dataLen, void* keyBuf,
             uint8_t keyLen, int8_t keyNum, const uint8_t* clientId) {
  FakeCall call;
  call.Op = op;
  if (posBlock) call.PosBlock.assign(static_cast<const char*>(posBlock), PosBlockSize);
  call.DataLen = dataLen ? *dataLen : 0;
  if (dataBuf && call.DataLen) call.Data.assign(static_cast<const char*>(dataBuf), call.DataLen);
  call.Key = KeyBytes(op, keyBuf, keyLen);
  call.KeyLen = keyLen;
  call.KeyNum = keyNum;
  call.WithClientId = clientId != nullptr;
  if (clientId) call.ClientId.assign(reinterpret_cast<const char*>(clientId), 16);
  S().Calls.push_back(std::move(call));

  if (S().Answers.empty()) return 0;
  const FakeAnswer answer = std::move(S().Answers.front());
  S().Answers.pop_front();
  if (answer.Data && dataLen) {
    const uint32_t n = static_cast<uint32_t>(std::min<size_t>(*dataLen, answer.Data->size()));
    WriteOver(dataBuf, n, *answer.Data);
    *dataLen = n;
  }
  if (answer.Key) WriteOver(keyBuf, keyLen, *answer.Key);
  if (answer.PosBlock) WriteOver(posBlock, PosBlockSize, *answer.PosBlock);
  return answer.Status;
}

int16_t Init(const char* initString) {
  S().InitStrings.push_back(initString ? initString : "");
  const int16_t status = Next(S().InitAnswers, S().Started ? 1016 : 0);
  if (status == 0) S().Started = true;
  return status;
}

int16_t Stop() {
  ++S().Stops;
  S().Started = false;
  return Next(S().StopAnswers, 0);
}

void Loaded() { ++S().Loads; }
void Unloaded() { ++S().Unloads; }

}  // namespace FakeEngine
