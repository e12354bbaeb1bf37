// The mounted volumes as Qt's storage information reports them.
#pragma once

#include "platform/volumes.h"

class QtVolumes : public VolumeProvider {
public:
  // Sorted by root. A volume whose root or name Windows-1252 cannot hold is
  // left out: no stored path could name it.
  std::vector<TVolume> MountedVolumes() override;
};

// Installs the machine's volumes as the program's (at start-up). Returns
// the provider it replaces.
VolumeProvider* InstallQtVolumes();
