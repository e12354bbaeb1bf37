// Reading a fuzz input as a sequence of small fields. Every read succeeds:
// past the end a number reads as 0 and a byte string as what is left, so
// any input is some valid request and the mutator never wastes a run on a
// refusal by the harness itself.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class FuzzInput {
public:
  FuzzInput(const uint8_t* data, size_t size) : data_(data), size_(size) {}

  bool Empty() const { return at_ >= size_; }
  size_t Left() const { return size_ - at_; }

  uint8_t Byte() { return at_ < size_ ? data_[at_++] : 0; }
  uint16_t U16() {
    const uint16_t low = Byte();
    return uint16_t(low | (Byte() << 8));
  }
  uint32_t U32() {
    const uint32_t low = U16();
    return low | (uint32_t(U16()) << 16);
  }
  // At most n bytes: fewer when the input ends first.
  std::string Bytes(size_t n) {
    if (n > Left()) n = Left();
    std::string out(reinterpret_cast<const char*>(data_ + at_), n);
    at_ += n;
    return out;
  }
  // A byte string prefixed with its 16-bit length.
  std::string Sized() { return Bytes(U16()); }
  std::string Rest() { return Bytes(Left()); }

private:
  const uint8_t* data_;
  size_t size_;
  size_t at_ = 0;
};

// The writer of the same shapes, for seeds.
class FuzzOutput {
public:
  FuzzOutput& Byte(uint8_t b) {
    bytes_ += char(b);
    return *this;
  }
  FuzzOutput& U16(uint16_t v) { return Byte(uint8_t(v)).Byte(uint8_t(v >> 8)); }
  FuzzOutput& U32(uint32_t v) { return U16(uint16_t(v)).U16(uint16_t(v >> 16)); }
  FuzzOutput& Bytes(std::string_view b) {
    bytes_ += b;
    return *this;
  }
  FuzzOutput& Sized(std::string_view b) { return U16(uint16_t(b.size())).Bytes(b.substr(0, 0xFFFF)); }
  const std::string& Str() const { return bytes_; }

private:
  std::string bytes_;
};
