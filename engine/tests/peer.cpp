#include "engine/tests/peer.h"

#include "engine/tests/engine_harness.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <sstream>

extern char** environ;

namespace {
// Long enough for a loaded machine, short enough to fail before ctest's limit.
constexpr int AnswerWaitMs = 60000;

std::string HexOf(const std::string& bytes) { return bytes.empty() ? "-" : Hex(bytes); }

std::string BytesOf(const std::string& hex) {
  std::string out;
  if (hex == "-") return out;
  for (size_t i = 0; i + 1 < hex.size(); i += 2) out += char(std::stoi(hex.substr(i, 2), nullptr, 16));
  return out;
}
}  // namespace

Peer::Peer() {
  int in[2], out[2];
  if (pipe2(in, O_CLOEXEC) != 0 || pipe2(out, O_CLOEXEC) != 0) {
    ADD_FAILURE() << "pipe: " << strerror(errno);
    return;
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, in[0], STDIN_FILENO);
  posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
  char* argv[] = {const_cast<char*>(ENGINE_PEER_PATH), nullptr};
  const int rc = posix_spawn(&pid_, ENGINE_PEER_PATH, &actions, nullptr, argv, environ);
  posix_spawn_file_actions_destroy(&actions);
  close(in[0]);
  close(out[1]);
  toPeer_ = in[1];
  fromPeer_ = out[0];
  if (rc != 0) {
    pid_ = -1;
    ADD_FAILURE() << "starting " << ENGINE_PEER_PATH << ": " << strerror(rc);
  }
}

Peer::~Peer() {
  if (pid_ > 0) {
    Send("quit");
    pollfd p{fromPeer_, POLLIN, 0};
    // The peer closes its end when it exits.
    char c;
    while (poll(&p, 1, AnswerWaitMs) > 0 && read(fromPeer_, &c, 1) > 0) {
    }
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }
  if (toPeer_ >= 0) close(toPeer_);
  if (fromPeer_ >= 0) close(fromPeer_);
}

void Peer::Send(const std::string& line) {
  const std::string text = line + "\n";
  signal(SIGPIPE, SIG_IGN);
  if (toPeer_ >= 0 && write(toPeer_, text.data(), text.size()) != ssize_t(text.size()))
    ADD_FAILURE() << "the peer did not take: " << line;
}

std::string Peer::Receive() {
  for (;;) {
    const size_t newline = pending_.find('\n');
    if (newline != std::string::npos) {
      std::string line = pending_.substr(0, newline);
      pending_.erase(0, newline + 1);
      return line;
    }
    pollfd p{fromPeer_, POLLIN, 0};
    const int ready = poll(&p, 1, AnswerWaitMs);
    if (ready <= 0) {
      ADD_FAILURE() << "the peer did not answer";
      Kill();
      return "";
    }
    char buffer[4096];
    const ssize_t n = read(fromPeer_, buffer, sizeof buffer);
    if (n <= 0) return "";
    pending_.append(buffer, size_t(n));
  }
}

std::string Peer::Ask(const std::string& line) {
  Send(line);
  return Receive();
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

void Peer::Kill() {
  if (pid_ <= 0) return;
  kill(pid_, SIGKILL);
  waitpid(pid_, nullptr, 0);
  pid_ = -1;
}

bool Peer::EndedByKill() {
  if (pid_ <= 0) return false;
  int status = 0;
  for (int waited = 0; waitpid(pid_, &status, WNOHANG) != pid_; waited += 10) {
    if (waited >= AnswerWaitMs) {
      ADD_FAILURE() << "the peer did not end";
      Kill();
      return false;
    }
    usleep(10000);
  }
  pid_ = -1;
  return WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
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
