// A bare datagram socket in the bus folder, standing for another member, so
// that tests and benchmarks see exactly the bytes on the wire; a member that
// floods another; and the fixture that points the bus at a folder of the
// test's own: without it a test would broadcast into a program running on
// the desktop.
#pragma once

#include "platform/bus_datagram.h"
#include "testing/scoped_env.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <sys/un.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <stdexcept>
#include <string>
#include <thread>

class BusPeer {
 public:
  // Binds `folder`/`file`; the folder must exist.
  BusPeer(const std::string& folder, const std::string& file) : path_(folder + "/" + file) {
    fd_ = socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    const sockaddr_un address = AddressOf(path_);
    if (fd_ < 0 || bind(fd_, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0)
      throw std::runtime_error("cannot bind " + path_);
  }
  ~BusPeer() { Close(); }
  BusPeer(const BusPeer&) = delete;
  BusPeer& operator=(const BusPeer&) = delete;

  const std::string& Path() const { return path_; }

  // Closes the socket but leaves its file, as a member killed outright does.
  void Close() {
    if (fd_ >= 0) close(fd_);
    fd_ = -1;
  }

  // The next datagram, waiting at most `milliseconds`; nullopt when none came.
  std::optional<std::string> Receive(int milliseconds = 20000) {
    pollfd readable{fd_, POLLIN, 0};
    if (poll(&readable, 1, milliseconds) <= 0) return std::nullopt;
    std::string buffer(4096, '\0');
    const ssize_t length = recv(fd_, buffer.data(), buffer.size(), 0);
    if (length < 0) return std::nullopt;
    buffer.resize(std::size_t(length));
    return buffer;
  }

  bool SendTo(const std::string& path, const std::string& bytes) {
    const sockaddr_un address = AddressOf(path);
    return sendto(fd_, bytes.data(), bytes.size(), MSG_DONTWAIT, reinterpret_cast<const sockaddr*>(&address),
                  sizeof(address)) == ssize_t(bytes.size());
  }

  static sockaddr_un AddressOf(const std::string& path) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof(address.sun_path)) throw std::runtime_error("path too long: " + path);
    std::memcpy(address.sun_path, path.data(), path.size());
    return address;
  }

 private:
  std::string path_;
  int fd_ = -1;
};

// A member that never pauses: messages named `name` with the texts "1",
// "2", ... sent to the socket at `to` from a thread of its own, each send
// waiting while the receiver's queue is full, so that a receiver slower than
// the sender always finds the next one waiting. They name this process as
// their sender unless told otherwise (`sender`, a false one). Stops when
// told, when the receiver's socket goes, or after `limit` (so that a
// receiver that never lets go of the flood sees it end and fails its test
// instead of hanging).
class BusFlood {
 public:
  BusFlood(const std::string& to, const std::string& name,
           std::chrono::milliseconds limit = std::chrono::seconds(5), uint32_t sender = uint32_t(getpid())) {
    const sockaddr_un address = BusPeer::AddressOf(to);
    fd_ = socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    // A full queue is waited on in short slices, so that Stop is heard.
    const timeval slice{0, 50'000};
    if (fd_ < 0 || setsockopt(fd_, SOL_SOCKET, SO_SNDTIMEO, &slice, sizeof(slice)) != 0)
      throw std::runtime_error("no socket for the flood");
    thread_ = std::thread([this, address, name, limit, sender] {
      const auto end = std::chrono::steady_clock::now() + limit;
      uint32_t next = 1;
      while (!stop_ && std::chrono::steady_clock::now() < end) {
        const std::string bytes = EncodeBusDatagram({sender, name, std::to_string(next)});
        if (sendto(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL, reinterpret_cast<const sockaddr*>(&address),
                   sizeof(address)) == ssize_t(bytes.size())) {
          sent_ = next++;
        } else if (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) {
          break;  // the receiver has gone
        }
      }
    });
  }
  ~BusFlood() {
    Stop();
    close(fd_);
  }
  BusFlood(const BusFlood&) = delete;
  BusFlood& operator=(const BusFlood&) = delete;

  void Stop() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
  }
  // The number of the last message sent.
  uint32_t Sent() const { return sent_; }

 private:
  int fd_ = -1;
  std::atomic<bool> stop_{false};
  std::atomic<uint32_t> sent_{0};
  std::thread thread_;
};

// Sets XDG_RUNTIME_DIR for the life of the object and puts it back after.
class ScopedRuntimeDir : public ScopedEnv {
 public:
  explicit ScopedRuntimeDir(const std::string& folder) : ScopedEnv("XDG_RUNTIME_DIR", folder) {}
};
