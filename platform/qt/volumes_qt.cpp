#include "platform/qt/volumes_qt.h"

#include "platform/errors.h"
#include "platform/qt/widget_text.h"

#include <QStorageInfo>

#include <algorithm>

std::vector<TVolume> QtVolumes::MountedVolumes() {
  std::vector<TVolume> volumes;
  for (const QStorageInfo& info : QStorageInfo::mountedVolumes()) {
    if (!info.isValid()) continue;
    try {
      const QString label = info.displayName();
      volumes.push_back({StoredText(info.rootPath()), StoredText(label.isEmpty() ? info.rootPath() : label),
                         info.isReady()});
    } catch (const EConvertError&) {
    }
  }
  std::sort(volumes.begin(), volumes.end(), [](const TVolume& a, const TVolume& b) { return a.Root < b.Root; });
  return volumes;
}

VolumeProvider* InstallQtVolumes() {
  static QtVolumes volumes;
  return SetVolumeProvider(&volumes);
}
