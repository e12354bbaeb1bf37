#include "btrieve/stat_layout.h"

namespace {

size_t EntryOffset(size_t i) { return StatHeaderSize + StatSegmentSize * i; }

}  // namespace

TStatLayout::TStatLayout(const uint8_t* Data, size_t Len) : data_(Data), len_(Data ? Len : 0) {
  const size_t keys = KeyCount();
  while (keysEnded_ < keys && segments_ < MaxStatSegments && EntryOffset(segments_ + 1) <= len_) {
    if (!(Segment(segments_).Flags & StatKeyFlag::Segmented)) ++keysEnded_;
    ++segments_;
  }
}

uint16_t TStatLayout::RecordLength() const {
  return len_ >= StatHeaderSize ? GetLE16(data_ + StatField::RecordLength) : 0;
}
uint16_t TStatLayout::PageSize() const { return len_ >= StatHeaderSize ? GetLE16(data_ + StatField::PageSize) : 0; }
uint16_t TStatLayout::KeyCount() const { return len_ >= StatHeaderSize ? GetLE16(data_ + StatField::KeyCount) : 0; }
uint32_t TStatLayout::RecordCount() const {
  return len_ >= StatHeaderSize ? GetLE32(data_ + StatField::RecordCount) : 0;
}

TStatSegment TStatLayout::Segment(size_t I) const {
  const uint8_t* e = data_ + EntryOffset(I);
  TStatSegment s;
  s.Position = GetLE16(e + StatSegmentField::Position);
  s.Length = GetLE16(e + StatSegmentField::Length);
  s.Flags = GetLE16(e + StatSegmentField::Flags);
  s.Type = e[StatSegmentField::Type];
  s.Sequence = e[StatSegmentField::Sequence];
  return s;
}

std::optional<size_t> TStatLayout::KeySegment(int KeyNo) const {
  if (KeyNo < 0 || size_t(KeyNo) >= keysEnded_) return std::nullopt;
  size_t ended = 0;
  for (size_t i = 0; i < segments_; ++i) {
    if (ended == size_t(KeyNo)) return i;
    if (!(Segment(i).Flags & StatKeyFlag::Segmented)) ++ended;
  }
  return std::nullopt;
}

size_t TStatLayout::SequenceCount() const {
  if (keysEnded_ < KeyCount()) return 0;
  const size_t start = EntryOffset(segments_);
  return len_ > start ? (len_ - start) / CollatingSequenceSize : 0;
}

std::string_view TStatLayout::Sequence(size_t N) const {
  if (N >= SequenceCount()) return {};
  const auto* p = reinterpret_cast<const char*>(data_ + EntryOffset(segments_) + CollatingSequenceSize * N);
  return std::string_view(p, CollatingSequenceSize);
}
