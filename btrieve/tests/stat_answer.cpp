#include "btrieve/tests/stat_answer.h"

namespace {

void PutLE(std::string& out, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(char(uint8_t(value >> (8 * i))));
}

}  // namespace

std::string StatAnswer(uint16_t recordLength, uint16_t keyCount, const std::vector<TStatSegment>& segments,
                       uint32_t recordCount, const std::vector<std::string>& sequences, uint16_t pageSize) {
  std::string out;
  PutLE(out, recordLength, 2);
  PutLE(out, pageSize, 2);
  PutLE(out, keyCount, 2);
  PutLE(out, recordCount, 4);
  out.append(6, '\0');
  for (const TStatSegment& s : segments) {
    PutLE(out, s.Position, 2);
    PutLE(out, s.Length, 2);
    PutLE(out, s.Flags, 2);
    out.append(4, '\0');
    out.push_back(char(s.Type));
    out.append(4, '\0');
    out.push_back(char(s.Sequence));
  }
  for (const std::string& seq : sequences) out += seq;
  return out;
}

std::string TestSequence(const std::string& name, uint8_t shift) {
  std::string seq = "\xAC" + name.substr(0, 8);
  seq.resize(9, ' ');
  for (int b = 0; b < 256; ++b) seq.push_back(char(uint8_t(b + shift)));
  return seq;
}
