#include "datetime/tests/fuzz_inputs.h"

#include "datetime/tests/parser_fuzz_entry.h"
#include "platform/date_format.h"

#include <array>
#include <cstring>
#include <memory>
#include <string_view>

namespace {

// The bytes the parser looks at, so random text gets somewhere.
constexpr char kAlphabetBytes[] = "0123456789//::  AMPampJanFebMarDecmardec\0\xE4\xFF";
constexpr std::string_view kAlphabet{kAlphabetBytes, sizeof kAlphabetBytes - 1};

const std::array<std::string, 12>& MonthNames() {
  static const std::array<std::string, 12> names = TFormatSettings{}.ShortMonthNames;
  return names;
}

}  // namespace

std::string TParserFuzzInputs::Next() {
  if (Below(4) == 0) return RandomBytes();
  std::string text = ValidText();
  for (uint64_t mutations = Below(4); mutations > 0; --mutations) Mutate(text);
  return text;
}

std::string TParserFuzzInputs::RandomBytes() {
  std::string text(Below(33), '\0');
  for (char& c : text) c = Below(2) == 0 ? kAlphabet[Below(kAlphabet.size())] : AnyByte();
  return text;
}

// A date (two or three numbers, a month maybe by name), a time (maybe with
// seconds and a marker), or both.
std::string TParserFuzzInputs::ValidText() {
  auto number = [this](uint64_t below) { return std::to_string(Below(below)); };
  auto month = [&] { return Below(3) == 0 ? MonthNames()[Below(12)] : number(13); };
  std::string date = month() + "/" + number(32);
  if (Below(4) != 0) date += "/" + (Below(2) == 0 ? number(100) : number(10000));
  std::string time = number(25) + ":" + number(61);
  if (Below(2) == 0) time += ":" + number(61);
  if (Below(2) == 0) time += std::array{" AM", " PM", "am", " pm "}[Below(4)];
  switch (Below(3)) {
    case 0:
      return date;
    case 1:
      return time;
    default:
      return date + " " + time;
  }
}

void TParserFuzzInputs::Mutate(std::string& text) {
  const std::size_t at = Below(text.size() + 1);
  switch (Below(8)) {
    case 0:
      text.insert(at, std::string(5 + Below(8), static_cast<char>('0' + Below(10))));
      break;
    case 1: {  // cut, then end on the start of a month's name
      const std::string& name = MonthNames()[Below(12)];
      text = text.substr(0, at) + name.substr(0, 1 + Below(2));
      break;
    }
    case 2:
      text.insert(at, 1, '\0');
      break;
    case 3:
      text.insert(at, 1, static_cast<char>(0x80 + Below(128)));
      break;
    case 4:
      if (at < text.size()) text.erase(at, 1);
      break;
    case 5:
      if (at < text.size()) text[at] = AnyByte();
      break;
    case 6:
      text.insert(at, 1, std::string_view("/: ")[Below(3)]);
      break;
    default:
      text.resize(at);
      break;
  }
}

void RunEntryOnCopy(std::string_view input) {
  const auto buffer = std::make_unique_for_overwrite<uint8_t[]>(input.size());
  if (!input.empty()) std::memcpy(buffer.get(), input.data(), input.size());
  LLVMFuzzerTestOneInput(buffer.get(), input.size());
}
