// Key values in their two forms.
//
// The raw value is what callers see in the key buffer: the key's segments
// cut from the record and put side by side, Length bytes.
//
// The encoded value is what the file stores and indexes: Length bytes whose
// byte-wise (memcmp) order is the key's order. Every segment has a fixed
// length, so encoding each segment on its own keeps the order of the whole:
//   string           each byte, or its Windows-1252 upper case for a
//                    case-insensitive segment, or its weight in the
//                    segment's collating sequence
//   integer,         the little-endian value turned big-endian with the sign
//   autoincrement    bit flipped, so -1 < 0 < 255 < 256
//   unsigned binary  the little-endian value turned big-endian
//   descending       every byte of the above complemented
// Duplicates are told apart by the physical position, not by the key.
#pragma once

#include "engine/file_spec.h"

#include <cstdint>
#include <string>
#include <vector>

namespace engine {

// Appends key's raw value taken from a record of the file's record length.
// REQUIRES: record holds the record length (the store reads no other).
void AppendRawKey(const KeySpec& key, const uint8_t* record, std::string& out);

// Appends the encoded form of a raw value of key.Length bytes.
void AppendEncodedKey(const FileSpec& spec, const KeySpec& key, const uint8_t* raw, std::string& out);

std::string RawKey(const KeySpec& key, const uint8_t* record);
std::string EncodedKey(const FileSpec& spec, const KeySpec& key, const uint8_t* raw);
// The encoded value of every key of the file for a record of its length, in
// key order: what the file stores beside the record.
std::vector<std::string> EncodeKeys(const FileSpec& spec, const std::string& record);

// The signed value of a little-endian integer field of 1 to 8 bytes, and the
// field written back.
int64_t DecodeSignedLE(const uint8_t* p, size_t length);
void EncodeSignedLE(uint8_t* p, size_t length, int64_t value);

// The value of a single-segment integer key from its encoded form.
// REQUIRES: encoded holds seg.Length bytes (the store checks every stored
// key it reads against its key's length).
int64_t DecodeIntegerKey(const SegmentSpec& seg, const std::string& encoded);

}  // namespace engine
