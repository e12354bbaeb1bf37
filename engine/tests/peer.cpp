#include "engine/tests/peer.h"

#include "engine/tests/engine_harness.h"

#include <sstream>

namespace {
std::string HexOf(const std::string& bytes) { return bytes.empty() ? "-" : Hex(bytes); }

std::string BytesOf(const std::string& hex) {
  std::string out;
  if (hex == "-") return out;
  for (size_t i = 0; i + 1 < hex.size(); i += 2) out += char(std::stoi(hex.substr(i, 2), nullptr, 16));
  return out;
}
}  // namespace

Peer::Peer() : process_(ENGINE_PEER_PATH) {}

// The peer ends at "quit"; End then drains its output and reaps it.
Peer::~Peer() {
  if (process_.Running()) Send("quit");
  process_.End();
}

Peer::Reply Peer::Call(int block, uint16_t op, const std::string& data, const std::string& key, int8_t keyNum,
                       uint32_t room, const std::string& client) {
  std::ostringstream line;
  line << "call " << (client.empty() ? "-" : Hex(client)) << ' ' << block << ' ' << op << ' ' << int(keyNum) << ' '
       << (room ? room : uint32_t(data.size())) << ' ' << HexOf(data) << ' ' << HexOf(key);
  std::istringstream answer(Ask(line.str()));
  Reply reply;
  std::string status, dataHex, keyHex;
  if (!(answer >> status >> dataHex >> keyHex) || status == "error") return reply;
  reply.Status = int16_t(std::stoi(status));
  reply.Data = BytesOf(dataHex);
  reply.Key = BytesOf(keyHex);
  return reply;
}

int16_t Peer::Open(int block, const std::string& path, int8_t mode) {
  return Call(block, engine::op::Open, "", path + '\0', mode).Status;
}

int Peer::Sql(const std::string& path, const std::string& sql) {
  const std::string answer = Ask("sql " + path + " " + sql);
  return answer.empty() || answer.find_first_not_of("0123456789") != std::string::npos ? -1 : std::stoi(answer);
}

void two_files::Write(Peer& peer, const std::string& a, const std::string& b) {
  using namespace engine;
  ASSERT_EQ(peer.Open(0, a), 0);
  ASSERT_EQ(peer.Open(1, b), 0);
  ASSERT_EQ(peer.Call(0, op::BeginConcurrentTransaction).Status, 0);
  ASSERT_EQ(peer.Call(0, op::Insert, PersonRecord({0, "Cleo", "g", ""}), "", 1).Status, 0);
  ASSERT_EQ(peer.Call(0, op::GetEqual, "", PersonName("Ann"), 1, 32).Status, 0);
  ASSERT_EQ(peer.Call(0, op::Update, PersonRecord({1, "Ann", "new", ""}), "", 1).Status, 0);
  ASSERT_EQ(peer.Call(1, op::GetEqual, "", PersonName("Bob"), 1, 32).Status, 0);
  ASSERT_EQ(peer.Call(1, op::Delete, "", "", 1, 32).Status, 0);
}

bool two_files::EndKilledAtFlush(Peer& peer, int step) {
  if (step == 0) {
    peer.Kill();
    return false;
  }
  EXPECT_EQ(peer.Ask("kill-at-sync " + std::to_string(step)), "ok");
  const Peer::Reply end = peer.Call(0, engine::op::EndTransaction);
  if (end.Status == 0) return true;
  EXPECT_EQ(end.Status, -1);
  EXPECT_TRUE(peer.EndedByKill());
  return false;
}
