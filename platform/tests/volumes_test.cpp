#include "platform/volumes.h"

#include "platform/files.h"
#include "testing/fake_volumes.h"
#include "testing/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

class VolumesTest : public TempDirTest {
protected:
  void SetUp() override {
    std::filesystem::create_directories(Temp / "Media/Usb/inner/deeper");
    std::filesystem::create_directories(Temp / "Media/Other");
    fake_.List = {{"/", "/", true}, {Temp / "Media/Usb", "USBSTICK", true}, {Temp / "Media/Usb/inner", "INNER", false}};
  }

  FakeVolumes fake_;
};

TEST_F(VolumesTest, DriveRootsAreTheRootAndEachVolumesOwnFolderInAnySpelling) {
  const struct {
    std::string folder;
    bool root;
  } cases[] = {
      {"/", true},
      {"\\", true},
      {"C:\\", true},
      {"C:", true},
      {"//", true},
      {Temp / "Media/Usb", true},
      {Temp / "Media/Usb/", true},
      {Temp / "MEDIA\\usb", true},  // resolved against the disk without case
      {Temp / "Media/Usb/inner", true},
      {Temp / "Media/Usb/inner/deeper", false},
      {Temp / "Media/Other", false},
      {Temp / "Media", false},
      {Temp.path().string(), false},
      {"", false},
  };
  for (const auto& c : cases) EXPECT_EQ(IsDriveRoot(c.folder), c.root) << c.folder;
}

TEST_F(VolumesTest, AFolderLiesOnTheVolumeWithTheLongestRootAboveIt) {
  EXPECT_EQ(VolumeOf(Temp / "Media/Usb/inner/deeper").Name, "INNER");
  EXPECT_EQ(VolumeOf(Temp / "media/usb").Name, "USBSTICK");
  // A folder beside a root that merely begins like it is not on that volume.
  std::filesystem::create_directories(Temp / "Media/Usb2");
  EXPECT_EQ(VolumeOf(Temp / "Media/Usb2").Root, "/");
  EXPECT_EQ(VolumeOf(Temp / "Media/Other").Root, "/");
}

TEST(VolumesFallback, KnowsOnlyTheRoot) {
  VolumeProvider* previous = SetVolumeProvider(nullptr);
  EXPECT_EQ(MountedVolumes(), (std::vector<TVolume>{{"/", "/", true}}));
  EXPECT_TRUE(IsDriveRoot("/"));
  EXPECT_FALSE(IsDriveRoot("/tmp"));
  SetVolumeProvider(previous);
}

}  // namespace
