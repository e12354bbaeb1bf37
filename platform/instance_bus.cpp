#include "platform/instance_bus.h"

#include "platform/bus_datagram.h"
#include "platform/log.h"
#include "platform/session.h"
#include "platform/text.h"
#include "platform/window_messages.h"

#include <dirent.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <filesystem>
#include <optional>
#include <set>
#include <utility>
#include <vector>

namespace {

constexpr std::string_view kReadyName = "CV_Instance_Ready";
constexpr std::string_view kHubFile = "hub.sock";
constexpr std::string_view kSocketSuffix = ".sock";

// One turn of the event loop serves at most this many datagrams, and starts
// no new one after this long: a steady sender must not hold the window.
constexpr int kBatchMessages = 256;
constexpr std::chrono::milliseconds kBatchTime{20};

struct Bus {
  int fd = -1;
  std::string folder;
  std::string own_file;  // "<pid>.sock" or "hub.sock"
  bool ready_announced = false;
  std::set<uint32_t> ready;           // members heard announcing
  std::deque<BusDatagram> kept;       // read during a wait, not yet delivered
  std::function<void()> wake;
};

Bus& State() {
  static Bus bus;
  return bus;
}

std::string ErrnoText(int error) { return std::strerror(error); }

class Descriptor {
 public:
  explicit Descriptor(int fd = -1) : fd_(fd) {}
  ~Descriptor() {
    if (fd_ >= 0) close(fd_);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int get() const { return fd_; }
  int release() { return std::exchange(fd_, -1); }

 private:
  int fd_;
};

std::optional<sockaddr_un> AddressOf(const std::string& path) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  if (path.size() >= sizeof(address.sun_path)) return std::nullopt;
  std::memcpy(address.sun_path, path.data(), path.size());
  return address;
}

int NewSocket() { return socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0); }

// A member's own socket has the kernel add the sender's credentials to every
// datagram it receives, whatever the sender's build: nothing changes on the
// wire.
int NewMemberSocket() {
  Descriptor fd(NewSocket());
  const int on = 1;
  if (fd.get() >= 0 && setsockopt(fd.get(), SOL_SOCKET, SO_PASSCRED, &on, sizeof(on)) != 0) return -1;
  return fd.release();
}

// The bus folder in the user's own: $XDG_RUNTIME_DIR, else the user's
// state folder ($XDG_STATE_HOME, else ~/.local/state); never a temporary
// folder others may write. Relative XDG folders are ignored, as the XDG base
// directory rules say. "" with `why` when the user has no home to hold it.
std::string BusFolder(std::string& why) {
  const auto absolute = [](const char* name) {
    const char* value = std::getenv(name);
    return value && value[0] == '/' ? std::string(value) : std::string();
  };
  std::string base = absolute("XDG_RUNTIME_DIR");
  if (base.empty()) base = absolute("XDG_STATE_HOME");
  if (base.empty()) {
    base = HomeFolder(why);
    if (base.empty()) return base;
    base += "/.local/state";
  }
  return base + "/corvenstead/bus";
}

// Makes the missing folders of `path` (0700, as the XDG rules ask for the
// user's own folders); those that exist stay as they are.
void MakeMissingFolders(const std::filesystem::path& path) {
  std::filesystem::path made;
  for (const auto& part : path) {
    made /= part;
    mkdir(made.c_str(), 0700);
  }
}

// Creates the folder when missing (0700) and says why it cannot be trusted,
// or "" when it can. lstat, so a symbolic link is never followed.
std::string FolderProblem(const std::string& folder) {
  if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) return "cannot be made: " + ErrnoText(errno);
  struct stat info;
  if (lstat(folder.c_str(), &info) != 0) return "cannot be read: " + ErrnoText(errno);
  if (S_ISLNK(info.st_mode)) return "is a symbolic link";
  if (!S_ISDIR(info.st_mode)) return "is not a folder";
  if (info.st_uid != geteuid()) return "belongs to another user";
  if ((info.st_mode & 077) != 0) return "is open to other users";
  return {};
}

// The folder and its parent are ours: made here, checked whether made or found.
bool PrepareFolder(const std::string& folder) {
  const std::filesystem::path parent = std::filesystem::path(folder).parent_path();
  MakeMissingFolders(parent.parent_path());
  for (const std::string& level : {parent.string(), folder}) {
    if (const std::string problem = FolderProblem(level); !problem.empty()) {
      LogWarning("instance messages are off: the folder " + level + " " + problem);
      return false;
    }
  }
  return true;
}

// A bound socket answers a connect; a dead one (its process gone) refuses.
bool SocketAlive(const std::string& path) {
  const auto address = AddressOf(path);
  Descriptor probe(NewSocket());
  if (!address || probe.get() < 0) return false;
  return connect(probe.get(), reinterpret_cast<const sockaddr*>(&*address), sizeof(*address)) == 0;
}

enum class Bound { Yes, No, Taken };

Bound BindSocket(int fd, const std::string& path) {
  const auto address = AddressOf(path);
  if (!address) {
    LogWarning("instance messages are off: the socket path " + path + " is too long");
    return Bound::No;
  }
  const auto* raw = reinterpret_cast<const sockaddr*>(&*address);
  if (bind(fd, raw, sizeof(*address)) == 0) return Bound::Yes;
  if (errno == EADDRINUSE) {
    if (SocketAlive(path)) return Bound::Taken;
    unlink(path.c_str());
    if (bind(fd, raw, sizeof(*address)) == 0) return Bound::Yes;
  }
  LogWarning("instance messages are off: cannot bind " + path + ": " + ErrnoText(errno));
  return Bound::No;
}

void SendTo(Bus& bus, const std::string& file, const std::string& bytes) {
  const std::string path = bus.folder + "/" + file;
  const auto address = AddressOf(path);
  if (!address) return;
  const ssize_t sent = sendto(bus.fd, bytes.data(), bytes.size(), MSG_DONTWAIT | MSG_NOSIGNAL,
                              reinterpret_cast<const sockaddr*>(&*address), sizeof(*address));
  if (sent >= 0) return;
  const int error = errno;
  if (error == ECONNREFUSED || error == ENOENT) {
    // Its member has gone; a live one would have answered.
    unlink(path.c_str());
  } else if (error == EAGAIN || error == EWOULDBLOCK) {
    LogWarning("message dropped: the queue of " + file + " is full");
  } else {
    LogWarning("message not sent to " + file + ": " + ErrnoText(error));
  }
}

void SendToMembers(Bus& bus, const std::string& bytes) {
  DIR* dir = opendir(bus.folder.c_str());
  if (!dir) {
    LogWarning("message not sent: cannot list " + bus.folder + ": " + ErrnoText(errno));
    return;
  }
  std::vector<std::string> members;
  while (const dirent* entry = readdir(dir)) {
    const std::string_view file = entry->d_name;
    if (file.size() > kSocketSuffix.size() && file.ends_with(kSocketSuffix) && file != bus.own_file)
      members.emplace_back(file);
  }
  closedir(dir);
  for (const std::string& file : members) SendTo(bus, file, bytes);
}

// Announcements of members that have ended are forgotten, so that a new
// process given the same id is not taken for ready.
void NoteReady(Bus& bus, uint32_t sender) {
  std::erase_if(bus.ready, [](uint32_t pid) { return kill(pid_t(pid), 0) != 0 && errno == ESRCH; });
  bus.ready.insert(sender);
}

// Why a datagram does not come from whom it claims, or "" when it does: the
// kernel's credentials name the sending process, which must be the claimed
// sender and belong to this user (the kernel gives the sender's real user).
std::string SenderProblem(msghdr& header, uint32_t claimed) {
  for (cmsghdr* part = CMSG_FIRSTHDR(&header); part; part = CMSG_NXTHDR(&header, part)) {
    if (part->cmsg_level != SOL_SOCKET || part->cmsg_type != SCM_CREDENTIALS) continue;
    ucred sender;
    std::memcpy(&sender, CMSG_DATA(part), sizeof(sender));
    if (sender.uid != getuid()) return "sent by user " + IntToStr(sender.uid) + ", not this one";
    if (uint32_t(sender.pid) != claimed)
      return "sent by process " + IntToStr(sender.pid) + " in the name of " + IntToStr(claimed);
    return {};
  }
  return "datagram without its sender's credentials";
}

// One datagram off the socket: nullopt when none is waiting. Broken ones
// and those of a false sender are logged and skipped; announcements are
// noted, never returned.
std::optional<BusDatagram> ReadOne(Bus& bus, bool& empty) {
  char buffer[kBusMaxDatagram + 1];
  // Room for the credentials only: descriptors a sender attached do not fit
  // and the kernel closes them.
  alignas(cmsghdr) char control[CMSG_SPACE(sizeof(ucred))];
  iovec data{buffer, sizeof(buffer)};
  msghdr header{};
  header.msg_iov = &data;
  header.msg_iovlen = 1;
  header.msg_control = control;
  header.msg_controllen = sizeof(control);
  empty = false;
  const ssize_t length = recvmsg(bus.fd, &header, MSG_DONTWAIT | MSG_TRUNC | MSG_CMSG_CLOEXEC);
  if (length < 0) {
    if (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)
      LogWarning("instance messages: cannot read: " + ErrnoText(errno));
    empty = errno != EINTR;
    return std::nullopt;
  }
  std::string why;
  std::optional<BusDatagram> message;
  // MSG_TRUNC gives the real length of what did not fit.
  if (std::size_t(length) > kBusMaxDatagram)
    why = "oversized datagram (" + IntToStr(length) + " bytes)";
  else
    message = DecodeBusDatagram(std::string_view(buffer, std::size_t(length)), why);
  if (message) why = SenderProblem(header, message->sender);
  if (!message || !why.empty()) {
    LogWarning("instance message dropped: " + why);
    return std::nullopt;
  }
  if (message->name == kReadyName) {
    NoteReady(bus, message->sender);
    return std::nullopt;
  }
  return message;
}

void Deliver(const BusDatagram& message) {
  if (const UINT id = RegisteredMessageId(message.name); id != 0)
    DeliverInstanceMessage(id, message.sender, message.text);
}

int OpenPidDescriptor(int pid) { return int(syscall(SYS_pidfd_open, pid, 0)); }

bool ProcessEnded(int pidfd, int pid) {
  if (pidfd >= 0) {
    pollfd check{pidfd, POLLIN, 0};
    return poll(&check, 1, 0) > 0;
  }
  return kill(pid, 0) != 0 && errno == ESRCH;
}

}  // namespace

std::string InstanceBusFolder() {
  std::string why;
  return BusFolder(why);
}

BusJoin OpenInstanceBus(BusRole role) {
  CloseInstanceBus();
  Bus& bus = State();
  std::string why;
  const std::string folder = BusFolder(why);
  if (folder.empty()) {
    LogWarning("instance messages are off: no runtime or state folder is set and " + why);
    return BusJoin::Off;
  }
  if (!PrepareFolder(folder)) return BusJoin::Off;
  Descriptor fd(NewMemberSocket());
  if (fd.get() < 0) {
    LogWarning("instance messages are off: no socket: " + ErrnoText(errno));
    return BusJoin::Off;
  }
  const std::string file = role == BusRole::Hub ? std::string(kHubFile) : IntToStr(getpid()) + std::string(kSocketSuffix);
  switch (BindSocket(fd.get(), folder + "/" + file)) {
    case Bound::Yes: break;
    case Bound::No: return BusJoin::Off;
    case Bound::Taken:
      if (role == BusRole::Hub) return BusJoin::HubTaken;
      LogWarning("instance messages are off: another live member is bound as " + file);
      return BusJoin::Off;
  }
  bus.fd = fd.release();
  bus.folder = folder;
  bus.own_file = file;
  bus.ready_announced = false;
  return BusJoin::Joined;
}

void CloseInstanceBus() {
  Bus& bus = State();
  if (bus.fd < 0) return;
  close(bus.fd);
  unlink((bus.folder + "/" + bus.own_file).c_str());
  bus.fd = -1;
  bus.ready.clear();
  bus.kept.clear();
}

bool InstanceBusOpen() { return State().fd >= 0; }

int InstanceBusDescriptor() { return State().fd; }

bool ProcessInstanceBus() {
  Bus& bus = State();
  const auto stop = std::chrono::steady_clock::now() + kBatchTime;
  // One message at a time, re-reading the state after each: a handler may
  // run a nested loop that delivers the next ones, or close the bus.
  for (int served = 0; bus.fd >= 0; ++served) {
    if (served == kBatchMessages || std::chrono::steady_clock::now() >= stop) {
      // The socket's notifier fires again by itself; kept messages need a call.
      if (!bus.kept.empty() && bus.wake) bus.wake();
      return true;
    }
    if (!bus.kept.empty()) {
      const BusDatagram message = std::move(bus.kept.front());
      bus.kept.pop_front();
      Deliver(message);
      continue;
    }
    bool empty = false;
    if (const auto message = ReadOne(bus, empty)) Deliver(*message);
    if (empty) return false;
  }
  return false;
}

void BroadcastOnInstanceBus(std::string_view name, std::string_view text) {
  Bus& bus = State();
  if (bus.fd < 0) return;
  if (name.empty() || name.size() > kBusMaxName || text.size() > kBusMaxText) {
    LogWarning("message " + std::string(name) + " not sent: its text has " + IntToStr(text.size()) +
               " bytes, at most 255 travel");
    return;
  }
  const std::string bytes = EncodeBusDatagram({uint32_t(getpid()), std::string(name), std::string(text)});
  SendToMembers(bus, bytes);
}

bool HubOnInstanceBus() {
  const Bus& bus = State();
  if (bus.own_file == kHubFile && bus.fd >= 0) return true;
  const std::string folder = InstanceBusFolder();
  return !folder.empty() && SocketAlive(folder + "/" + std::string(kHubFile));
}

void AnnounceInstanceReady() {
  Bus& bus = State();
  if (bus.fd < 0 || bus.ready_announced) return;
  bus.ready_announced = true;
  SendToMembers(bus, EncodeBusDatagram({uint32_t(getpid()), std::string(kReadyName), {}}));
}

bool WaitForInputIdle(int pid, unsigned milliseconds) {
  Bus& bus = State();
  if (bus.fd < 0 || pid <= 0) return false;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
  Descriptor pidfd(OpenPidDescriptor(pid));
  if (pidfd.get() < 0 && errno == ESRCH) return false;
  bool answered = false;
  std::size_t dropped = 0;
  // Everything is checked again after each datagram: a steady sender must
  // not keep the wait reading past its limit, nor fill the memory.
  while (bus.fd >= 0) {
    if (bus.ready.erase(uint32_t(pid))) {
      answered = true;
      break;
    }
    if (ProcessEnded(pidfd.get(), pid)) break;
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) break;
    bool empty = false;
    if (auto message = ReadOne(bus, empty)) {
      if (bus.kept.size() < kInstanceBusMaxKept)
        bus.kept.push_back(std::move(*message));
      else
        ++dropped;
    }
    if (!empty) continue;
    pollfd watch[2] = {{bus.fd, POLLIN, 0}, {pidfd.get(), POLLIN, 0}};
    // Without a process descriptor the end is checked between short polls.
    const int slice = pidfd.get() >= 0 ? int(std::min<long long>(left.count(), 60'000)) : int(std::min<long long>(left.count(), 50));
    poll(watch, pidfd.get() >= 0 ? 2 : 1, slice);
  }
  if (dropped > 0)
    LogWarning(IntToStr(dropped) + " instance messages dropped: more than " + IntToStr(kInstanceBusMaxKept) +
               " arrived while waiting for process " + IntToStr(pid));
  if (!bus.kept.empty() && bus.wake) bus.wake();
  return answered;
}

void SetInstanceBusWakeHook(std::function<void()> hook) { State().wake = std::move(hook); }
