#include "engine/key_codec.h"

#include "engine/status.h"
#include "platform/text.h"

#include <array>

namespace engine {
namespace {

const std::array<uint8_t, 256>& UpperCaseTable() {
  static const std::array<uint8_t, 256> table = [] {
    std::array<uint8_t, 256> t{};
    for (int b = 0; b < 256; ++b) t[b] = uint8_t(AnsiUpperChar(char(b)));
    return t;
  }();
  return table;
}

// Appends the big-endian form of a little-endian field.
void AppendReversed(const uint8_t* p, size_t length, std::string& out) {
  for (size_t i = length; i-- > 0;) out.push_back(char(p[i]));
}

void AppendSegment(const FileSpec& spec, const SegmentSpec& seg, const uint8_t* raw, std::string& out) {
  const size_t start = out.size();
  switch (seg.Type) {
    case key_type::Integer:
    case key_type::AutoIncrement:
      AppendReversed(raw, seg.Length, out);
      out[start] = char(uint8_t(out[start]) ^ 0x80);
      break;
    case key_type::UnsignedBinary:
      AppendReversed(raw, seg.Length, out);
      break;
    default:
      if ((seg.Flags & key_flag::AlternateCollating) && seg.Sequence < spec.Sequences.size()) {
        const char* weights = spec.Sequences[seg.Sequence].data() + (CollatingSequenceSize - 256);
        for (size_t i = 0; i < seg.Length; ++i) out.push_back(weights[raw[i]]);
      } else if (seg.Flags & key_flag::CaseInsensitive) {
        const auto& upper = UpperCaseTable();
        for (size_t i = 0; i < seg.Length; ++i) out.push_back(char(upper[raw[i]]));
      } else {
        out.append(reinterpret_cast<const char*>(raw), seg.Length);
      }
  }
  if (seg.Flags & key_flag::Descending) {
    for (size_t i = start; i < out.size(); ++i) out[i] = char(~uint8_t(out[i]));
  }
}

}  // namespace

void AppendRawKey(const KeySpec& key, const uint8_t* record, std::string& out) {
  for (const SegmentSpec& seg : key.Segments)
    out.append(reinterpret_cast<const char*>(record + seg.Position - 1), seg.Length);
}

void AppendEncodedKey(const FileSpec& spec, const KeySpec& key, const uint8_t* raw, std::string& out) {
  for (const SegmentSpec& seg : key.Segments) {
    AppendSegment(spec, seg, raw, out);
    raw += seg.Length;
  }
}

std::string RawKey(const KeySpec& key, const uint8_t* record) {
  std::string out;
  out.reserve(key.Length);
  AppendRawKey(key, record, out);
  return out;
}

std::string EncodedKey(const FileSpec& spec, const KeySpec& key, const uint8_t* raw) {
  std::string out;
  out.reserve(key.Length);
  AppendEncodedKey(spec, key, raw, out);
  return out;
}

std::vector<std::string> EncodeKeys(const FileSpec& spec, const std::string& record) {
  std::vector<std::string> keys;
  keys.reserve(spec.Keys.size());
  std::string raw;
  const auto* bytes = reinterpret_cast<const uint8_t*>(record.data());
  for (const KeySpec& key : spec.Keys) {
    raw.clear();
    AppendRawKey(key, bytes, raw);
    keys.push_back(EncodedKey(spec, key, reinterpret_cast<const uint8_t*>(raw.data())));
  }
  return keys;
}

int64_t DecodeSignedLE(const uint8_t* p, size_t length) {
  uint64_t v = 0;
  for (size_t i = length; i-- > 0;) v = (v << 8) | p[i];
  const unsigned shift = unsigned(64 - 8 * length);
  return shift ? int64_t(v << shift) >> shift : int64_t(v);
}

void EncodeSignedLE(uint8_t* p, size_t length, int64_t value) {
  for (size_t i = 0; i < length; ++i) p[i] = uint8_t(uint64_t(value) >> (8 * i));
}

int64_t DecodeIntegerKey(const SegmentSpec& seg, const std::string& encoded) {
  uint8_t le[8] = {};
  const bool descending = seg.Flags & key_flag::Descending;
  for (size_t i = 0; i < seg.Length; ++i) {
    uint8_t b = uint8_t(encoded[i]);
    if (descending) b = uint8_t(~b);
    if (i == 0) b ^= 0x80;
    le[seg.Length - 1 - i] = b;
  }
  return DecodeSignedLE(le, seg.Length);
}

}  // namespace engine
