// The volumes the machine has mounted, as one replaceable service: the
// widget layer installs the real list at start-up; tests install a fake.
// A volume stands where the programs this system grew from saw a drive.
#pragma once

#include <string>
#include <vector>

struct TVolume {
  std::string Root;  // native path of the mount point, "/" for the root
  std::string Name;  // what the system calls it (a label or a device), Windows-1252
  bool Ready = true; // mounted and readable now

  bool operator==(const TVolume&) const = default;
};

class VolumeProvider {
public:
  virtual ~VolumeProvider() = default;
  virtual std::vector<TVolume> MountedVolumes() = 0;
};

// Installs a provider and returns the one it replaces. Null restores the
// fallback, which knows only the root "/".
VolumeProvider* SetVolumeProvider(VolumeProvider* provider);

// The installed provider's volumes.
std::vector<TVolume> MountedVolumes();

// The volume a folder lies on: the one whose root is the longest leading
// part of the resolved folder; the root "/" when the provider names none.
TVolume VolumeOf(const std::string& folder);

// True for "/" and for the root of a mounted volume, whatever form the name
// takes ("C:\", "\\", "/media/usb/", a name differing in case from an
// existing folder): nothing of a user's own belongs straight on a drive.
bool IsDriveRoot(const std::string& folder);
