// A bare datagram socket in the bus folder, standing for another member, so
// that tests and benchmarks see exactly the bytes on the wire. Also the
// fixture that points the bus at a folder of the test's own: without it a
// test would broadcast into a program running on the desktop.
#pragma once

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <optional>
#include <stdexcept>
#include <string>

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

// Sets XDG_RUNTIME_DIR for the life of the object and puts it back after.
class ScopedRuntimeDir {
 public:
  explicit ScopedRuntimeDir(const std::string& folder) {
    if (const char* old = std::getenv("XDG_RUNTIME_DIR")) previous_ = old;
    setenv("XDG_RUNTIME_DIR", folder.c_str(), 1);
  }
  ~ScopedRuntimeDir() {
    if (previous_)
      setenv("XDG_RUNTIME_DIR", previous_->c_str(), 1);
    else
      unsetenv("XDG_RUNTIME_DIR");
  }
  ScopedRuntimeDir(const ScopedRuntimeDir&) = delete;
  ScopedRuntimeDir& operator=(const ScopedRuntimeDir&) = delete;

 private:
  std::optional<std::string> previous_;
};
