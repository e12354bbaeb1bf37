#include "btrieve/stat_layout.h"
#include "btrieve/tests/stat_answer.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

namespace {

const uint8_t* Bytes(const std::string& s) { return reinterpret_cast<const uint8_t*>(s.data()); }

// Key 0 in two segments, key 1 and key 2 with collating sequences 1 and 0.
std::string ThreeKeys() {
  return StatAnswer(300, 3,
                    {{1, 4, 256 | StatKeyFlag::Segmented, 15},
                     {5, 2, 3},
                     {7, 10, StatKeyFlag::AlternateCollating, 0, 1},
                     {17, 3, StatKeyFlag::AlternateCollating | 1, 0, 0}},
                    0x01020304, {TestSequence("FIRST", 1), TestSequence("SECOND", 2)}, 1024);
}

TEST(StatLayout, ReadsHeaderSegmentsKeysAndSequences) {
  const std::string answer = ThreeKeys();
  const TStatLayout layout(Bytes(answer), answer.size());
  EXPECT_EQ(layout.RecordLength(), 300);
  EXPECT_EQ(layout.PageSize(), 1024);
  EXPECT_EQ(layout.KeyCount(), 3);
  EXPECT_EQ(layout.RecordCount(), 0x01020304u);
  ASSERT_EQ(layout.SegmentCount(), 4u);
  const TStatSegment s = layout.Segment(2);
  EXPECT_EQ(s.Position, 7);
  EXPECT_EQ(s.Length, 10);
  EXPECT_EQ(s.Flags, StatKeyFlag::AlternateCollating);
  EXPECT_EQ(s.Sequence, 1);
  EXPECT_EQ(layout.Segment(0).Type, 15);

  const std::optional<size_t> expected[] = {0, 2, 3, std::nullopt};
  for (int key = -1; key <= 3; ++key) {
    SCOPED_TRACE(key);
    EXPECT_EQ(layout.KeySegment(key), key < 0 ? std::nullopt : expected[key]);
  }
  ASSERT_EQ(layout.SequenceCount(), 2u);
  EXPECT_EQ(layout.Sequence(0), TestSequence("FIRST", 1));
  EXPECT_EQ(layout.Sequence(1), TestSequence("SECOND", 2));
  EXPECT_TRUE(layout.Sequence(2).empty());
}

TEST(StatLayout, WalksOnlyWhatTheBytesHold) {
  const std::string answer = ThreeKeys();
  const struct {
    size_t len;
    size_t segments;
    int keysWhole;  // keys 0 .. keysWhole-1 are found
    size_t sequences;
  } cases[] = {
      {0, 0, 0, 0},
      {15, 0, 0, 0},                      // not even the header
      {16, 0, 0, 0},
      {16 + 16 * 1, 1, 0, 0},             // key 0 cut after its first segment
      {16 + 16 * 3 + 15, 3, 2, 0},        // key 2's entry one byte short
      {16 + 16 * 4, 4, 3, 0},             // no sequence bytes
      {16 + 16 * 4 + 264, 4, 3, 0},       // a sequence one byte short
      {16 + 16 * 4 + 265, 4, 3, 1},
      {answer.size(), 4, 3, 2},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.len);
    const TStatLayout layout(Bytes(answer), c.len);
    EXPECT_EQ(layout.RecordLength(), c.len >= 16 ? 300 : 0);
    EXPECT_EQ(layout.SegmentCount(), c.segments);
    for (int key = 0; key < 3; ++key) EXPECT_EQ(layout.KeySegment(key).has_value(), key < c.keysWhole) << key;
    EXPECT_EQ(layout.SequenceCount(), c.sequences);
  }
}

TEST(StatLayout, NeverWalksPast119EntriesWhateverTheCountsSay) {
  // 200 single-segment keys claimed and present; a chain that never ends.
  std::vector<TStatSegment> singles(200, TStatSegment{1, 1, 0});
  std::vector<TStatSegment> chain(200, TStatSegment{1, 1, StatKeyFlag::Segmented});
  const std::string many = StatAnswer(10, 200, singles);
  const std::string endless = StatAnswer(10, 1, chain);
  const TStatLayout a(Bytes(many), many.size());
  EXPECT_EQ(a.SegmentCount(), MaxStatSegments);
  EXPECT_TRUE(a.KeySegment(118).has_value());
  EXPECT_FALSE(a.KeySegment(119).has_value());
  EXPECT_EQ(a.SequenceCount(), 0u);
  const TStatLayout b(Bytes(endless), endless.size());
  EXPECT_EQ(b.SegmentCount(), MaxStatSegments);
  EXPECT_FALSE(b.KeySegment(0).has_value());
  EXPECT_EQ(b.SequenceCount(), 0u);
}

TEST(StatLayout, NullDataReadsAsEmpty) {
  const TStatLayout layout(nullptr, 1920);
  EXPECT_EQ(layout.KeyCount(), 0);
  EXPECT_EQ(layout.SegmentCount(), 0u);
  EXPECT_EQ(layout.SequenceCount(), 0u);
}

}  // namespace
