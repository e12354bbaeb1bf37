#include "platform/volumes.h"

#include "platform/files.h"

namespace {

class RootOnly : public VolumeProvider {
public:
  std::vector<TVolume> MountedVolumes() override { return {{"/", "/", true}}; }
};

RootOnly fallback;
VolumeProvider* current = &fallback;

// The resolved native folder without trailing separators ("/" stays).
std::string FolderKey(const std::string& folder) {
  std::string path = ResolvePath(folder);
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}

// Whether root is folder itself or one of its parents.
bool IsUnder(const std::string& folder, const std::string& root) {
  if (root == "/") return !folder.empty() && folder.front() == '/';
  return folder.compare(0, root.size(), root) == 0 && (folder.size() == root.size() || folder[root.size()] == '/');
}

}  // namespace

VolumeProvider* SetVolumeProvider(VolumeProvider* provider) {
  VolumeProvider* previous = current == &fallback ? nullptr : current;
  current = provider ? provider : &fallback;
  return previous;
}

std::vector<TVolume> MountedVolumes() { return current->MountedVolumes(); }

TVolume VolumeOf(const std::string& folder) {
  const std::string key = FolderKey(folder);
  TVolume best{"/", "/", true};
  size_t bestLength = 0;
  for (const TVolume& volume : MountedVolumes()) {
    const std::string root = FolderKey(volume.Root);
    if (IsUnder(key, root) && root.size() >= bestLength) {
      best = volume;
      bestLength = root.size();
    }
  }
  return best;
}

bool IsDriveRoot(const std::string& folder) {
  const std::string key = FolderKey(folder);
  if (key == "/") return true;
  if (key.empty()) return false;
  for (const TVolume& volume : MountedVolumes())
    if (FolderKey(volume.Root) == key) return true;
  return false;
}
