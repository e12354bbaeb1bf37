// Mounted volumes for a test: installed for the object's life, the
// previous provider back afterwards. Tests fill List as they need.
#pragma once

#include "platform/volumes.h"

#include <vector>

class FakeVolumes : public VolumeProvider {
public:
  FakeVolumes() : previous_(SetVolumeProvider(this)) {}
  ~FakeVolumes() override { SetVolumeProvider(previous_); }
  FakeVolumes(const FakeVolumes&) = delete;
  FakeVolumes& operator=(const FakeVolumes&) = delete;

  std::vector<TVolume> List;
  std::vector<TVolume> MountedVolumes() override { return List; }

private:
  VolumeProvider* previous_;
};
