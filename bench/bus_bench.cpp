// The instance bus in a temporary folder named by XDG_RUNTIME_DIR:
//   broadcast   SendHubMessage of a 47-byte status to three members (bound
//               sockets, drained between batches of 8 outside the timing):
//               format, atom, folder listing, three non-blocking sends
//   delivery    a message to another process whose handler answers at once;
//               the round trip through both handlers is two deliveries,
//               reported per delivery
// Messages a full queue dropped are counted, not timed.
#include "platform/atoms.h"
#include "platform/instance_bus.h"
#include "platform/log.h"
#include "platform/window_messages.h"
#include "templates/instance_messages.h"

#include <benchmark/benchmark.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <memory>
#include <vector>

namespace {

// A member that reads only between batches of sends, so that no queue
// fills during a batch (a full queue would time the cheaper drop instead).
class Member {
 public:
  explicit Member(const std::string& path) : path_(path) {
    fd_ = socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.c_str(), sizeof(address.sun_path) - 1);
    if (fd_ < 0 || bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0)
      throw std::runtime_error("cannot bind " + path);
  }
  ~Member() {
    close(fd_);
    unlink(path_.c_str());
  }
  void Drain() {
    char buffer[600];
    while (recv(fd_, buffer, sizeof(buffer), 0) > 0) {
    }
  }

 private:
  std::string path_;
  int fd_ = -1;
};

constexpr int kBatch = 8;  // below the kernel's queue of 10 datagrams
std::size_t dropped = 0;

void Broadcast(benchmark::State& state) {
  if (OpenInstanceBus() != BusJoin::Joined) throw std::runtime_error("the bus is off");
  std::vector<std::unique_ptr<Member>> members;
  for (int i = 1; i <= 3; ++i)
    members.push_back(std::make_unique<Member>(InstanceBusFolder() + "/" + std::to_string(9000000 + i) + ".sock"));
  dropped = 0;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < kBatch; ++i) SendHubMessage(7, "Billing", 4, 0);
    state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    for (auto& member : members) member->Drain();
  }
  state.counters["per_broadcast"] = benchmark::Counter(double(state.iterations()) * kBatch,
                                                       benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
  state.counters["dropped"] = double(dropped);
  members.clear();
  CloseInstanceBus();
}

// The answering process: every "ping" it hears goes back as "pong".
[[noreturn]] void Answer() {
  if (OpenInstanceBus() != BusJoin::Joined) _exit(1);
  const UINT ping = RegisterWindowMessage("CV_Bench_Ping");
  const UINT pong = RegisterWindowMessage("CV_Bench_Pong");
  SetInstanceMessageHandler([=](UINT msg, WPARAM, LPARAM lParam) {
    if (msg == ping) SendMessage(HWND_BROADCAST, pong, MainWindowHandle(), lParam);
  });
  for (;;) {
    pollfd readable{InstanceBusDescriptor(), POLLIN, 0};
    if (poll(&readable, 1, -1) > 0) ProcessInstanceBus();
  }
}

void Delivery(benchmark::State& state) {
  const pid_t answerer = fork();
  if (answerer == 0) Answer();
  if (OpenInstanceBus() != BusJoin::Joined) throw std::runtime_error("the bus is off");
  const std::string peer = InstanceBusFolder() + "/" + std::to_string(answerer) + ".sock";
  while (!std::filesystem::exists(peer)) usleep(1000);
  const UINT ping = RegisterWindowMessage("CV_Bench_Ping");
  RegisterWindowMessage("CV_Bench_Pong");
  int answers = 0;
  SetInstanceMessageHandler([&](UINT msg, WPARAM sender, LPARAM) {
    if (msg != ping && sender == WPARAM(answerer)) ++answers;
  });
  const ATOM atom = GlobalAddAtom("Billing                       L4   0          1");
  for (auto _ : state) {
    const int expected = answers + 1;
    SendMessage(HWND_BROADCAST, ping, MainWindowHandle(), atom);
    while (answers < expected) {
      pollfd readable{InstanceBusDescriptor(), POLLIN, 0};
      if (poll(&readable, 1, 5000) <= 0) throw std::runtime_error("no answer");
      ProcessInstanceBus();
    }
  }
  GlobalDeleteAtom(atom);
  state.counters["per_delivery"] =
      benchmark::Counter(double(state.iterations()) * 2, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
  SetInstanceMessageHandler({});
  kill(answerer, SIGKILL);
  waitpid(answerer, nullptr, 0);
  CloseInstanceBus();
}

}  // namespace

BENCHMARK(Broadcast)->Unit(benchmark::kMicrosecond)->UseManualTime();
BENCHMARK(Delivery)->Unit(benchmark::kMicrosecond)->UseRealTime();

int main(int argc, char** argv) {
  char folder[] = "/tmp/bus-bench-XXXXXX";
  if (!mkdtemp(folder)) return 1;
  setenv("XDG_RUNTIME_DIR", folder, 1);
  SetLogSink([](std::string_view) { ++dropped; });
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::filesystem::remove_all(folder);
  return 0;
}
