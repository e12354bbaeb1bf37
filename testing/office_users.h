// Two made-up Unix users of one office group, A and B, for tests of what
// one user's names in a shared data folder do to the other's program, and
// a watchdog that ends a test that hangs. Acting as other users takes
// root (CI runs as root); elsewhere such tests skip, saying why.
#pragma once

#include <gtest/gtest.h>

#include <sys/types.h>
#include <unistd.h>

#include <functional>
#include <string>

struct TOfficeUser {
  uid_t Uid;
  gid_t Gid;
};
inline constexpr gid_t OfficeGroup = 46000;
inline constexpr TOfficeUser UserA{46001, OfficeGroup};
inline constexpr TOfficeUser UserB{46002, OfficeGroup};

#define SKIP_UNLESS_ROOT() \
  if (::geteuid() != 0) GTEST_SKIP() << "acting as two users of one office group needs root"

// Starts Body in a child process as User (its group the office group, no
// other groups) with umask Mask; Body's answer is the exit status. With
// Stderr, what the child writes to its standard error goes there.
pid_t StartAs(const TOfficeUser& User, mode_t Mask, const std::function<int()>& Body,
              const std::string& Stderr = "");
// Waits for a child StartAs started: its exit status, 128 + the signal
// when it died, -1 when it outlived TimeoutSeconds (it is killed then).
int WaitFor(pid_t Child, int TimeoutSeconds = 60);
// Both: Body run as User to its end.
int RunAs(const TOfficeUser& User, mode_t Mask, const std::function<int()>& Body, const std::string& Stderr = "");

// Makes a folder at Path for the office (group OfficeGroup, Mode such as
// 02775) and lets every user pass through the folder above it.
void MakeOfficeFolder(const std::string& Path, mode_t Mode);
// Makes a private folder of User (0700) at Path, and lets users pass
// through the folder above it.
void MakePrivateFolder(const std::string& Path, const TOfficeUser& User);

// Ends the test program (SIGALRM) when a test outlives Seconds.
class TWatchdog {
public:
  explicit TWatchdog(unsigned Seconds) { ::alarm(Seconds); }
  ~TWatchdog() { ::alarm(0); }
  TWatchdog(const TWatchdog&) = delete;
  TWatchdog& operator=(const TWatchdog&) = delete;
};
