#include "engine/file_spec.h"

#include "engine/status.h"

#include <algorithm>

namespace engine {
namespace {

// Lengths a segment of each key type may have; 0 means any.
bool LengthFitsType(uint8_t type, uint16_t length) {
  switch (type) {
    case key_type::String:
    case key_type::UnsignedBinary:
      return true;
    case key_type::Integer:
      return length == 1 || length == 2 || length == 4 || length == 8;
    case key_type::AutoIncrement:
      return length == 2 || length == 4;
    default:
      return false;
  }
}

int16_t DecodeSegment(const uint8_t* entry, uint16_t recordLength, SegmentSpec& seg) {
  seg.Position = DecodeFixed16(entry);
  seg.Length = DecodeFixed16(entry + 2);
  seg.Flags = DecodeFixed16(entry + 4);
  seg.Type = (seg.Flags & key_flag::ExtendedType) ? entry[10] : key_type::String;
  seg.Sequence = entry[15];
  if (seg.Length == 0) return status::InvalidKeyLength;
  if (seg.Position == 0 || uint32_t(seg.Position) + seg.Length - 1 > recordLength)
    return status::InvalidKeyPosition;
  if (!LengthFitsType(seg.Type, seg.Length)) return status::InvalidKeyLength;
  return status::Success;
}

// The flags that belong to the key as a whole come from its first segment.
int16_t FinishKey(KeySpec& key) {
  const SegmentSpec& first = key.Segments.front();
  key.Duplicates = first.Flags & key_flag::Duplicates;
  key.Modifiable = first.Flags & key_flag::Modifiable;
  uint32_t length = 0;
  for (const SegmentSpec& seg : key.Segments) {
    length += seg.Length;
    if (seg.Type == key_type::AutoIncrement) key.AutoIncrement = true;
  }
  if (length > MaxKeyBufferSize) return status::InvalidKeyLength;
  key.Length = uint16_t(length);
  // An automatic value must be unique and stand alone to be assigned.
  if (key.AutoIncrement && (key.Segments.size() != 1 || key.Duplicates)) return status::InvalidKeyLength;
  return status::Success;
}

}  // namespace

int16_t DecodeCreateBuffer(const uint8_t* bytes, size_t size, FileSpec& spec) {
  spec = FileSpec{};
  if (size < SpecHeaderSize) return status::DataBufferTooShort;
  spec.RecordLength = DecodeFixed16(bytes);
  spec.PageSize = DecodeFixed16(bytes + 2);
  const uint16_t keyCount = DecodeFixed16(bytes + 4);
  if (spec.RecordLength == 0) return status::InvalidRecordLength;
  if (keyCount > MaxSegments) return status::InvalidNumberOfKeys;

  std::string layout(SpecHeaderSize, '\0');
  EncodeFixed16(reinterpret_cast<uint8_t*>(layout.data()), spec.RecordLength);
  EncodeFixed16(reinterpret_cast<uint8_t*>(layout.data()) + 2, spec.PageSize);
  EncodeFixed16(reinterpret_cast<uint8_t*>(layout.data()) + 4, keyCount);

  size_t offset = SpecHeaderSize;
  size_t segments = 0;
  int sequencesUsed = 0;
  for (uint16_t k = 0; k < keyCount; ++k) {
    KeySpec key;
    bool more = true;
    while (more) {
      if (++segments > MaxSegments) return status::InvalidNumberOfKeys;
      if (size < offset + SegmentSpecSize) return status::DataBufferTooShort;
      SegmentSpec seg;
      if (int16_t s = DecodeSegment(bytes + offset, spec.RecordLength, seg)) return s;
      if (seg.Flags & key_flag::AlternateCollating) sequencesUsed = std::max(sequencesUsed, seg.Sequence + 1);
      std::string entry(reinterpret_cast<const char*>(bytes + offset), SegmentSpecSize);
      std::fill(entry.begin() + 6, entry.begin() + 10, '\0');
      layout += entry;
      offset += SegmentSpecSize;
      more = seg.Flags & key_flag::Segmented;
      key.Segments.push_back(seg);
    }
    if (int16_t s = FinishKey(key)) return s;
    spec.Keys.push_back(std::move(key));
  }

  for (int i = 0; i < sequencesUsed; ++i) {
    if (size < offset + CollatingSequenceSize) return status::DataBufferTooShort;
    spec.Sequences.emplace_back(reinterpret_cast<const char*>(bytes + offset), CollatingSequenceSize);
    layout += spec.Sequences.back();
    offset += CollatingSequenceSize;
  }
  spec.Layout = std::move(layout);
  return status::Success;
}

std::string EncodeStatBuffer(const FileSpec& spec, uint32_t recordCount) {
  std::string answer = spec.Layout;
  EncodeFixed32(reinterpret_cast<uint8_t*>(answer.data()) + 6, recordCount);
  return answer;
}

}  // namespace engine
