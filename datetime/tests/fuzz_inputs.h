// Inputs for the parser's robustness target from a fixed seed: random bytes
// (NUL and bytes >= 0x80 among them) and valid date and time texts with a few
// mutations (digit runs over four, month names cut at the end, NUL and high
// bytes, lost or doubled separators and markers).
#pragma once

#include <cstdint>
#include <random>
#include <string>
#include <string_view>

class TParserFuzzInputs {
public:
  explicit TParserFuzzInputs(uint64_t seed) : random_(seed) {}
  std::string Next();

private:
  uint64_t Below(uint64_t n) { return random_() % n; }
  char AnyByte() { return static_cast<char>(Below(256)); }
  std::string RandomBytes();
  std::string ValidText();
  void Mutate(std::string& text);

  std::mt19937_64 random_;
};

// Calls the robustness entry with a copy of `input` in a heap buffer of
// exactly its length, so that a read past its end is a heap overflow the
// address sanitizer reports; a std::string's spare capacity and terminating
// NUL would hide it.
void RunEntryOnCopy(std::string_view input);
