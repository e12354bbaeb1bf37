// Key order on every key type and flag: each case inserts values in a
// scrambled order and walks the key both ways; duplicates come back in
// insertion order in both directions.
#include "engine/tests/engine_harness.h"
#include "testing/temp_dir.h"

using namespace engine;

namespace {

class EngineKeys : public EngineFolderTest {};

// A record of one key field of `length` bytes at position 1 plus a tag byte
// telling the records apart.
struct OrderCase {
  const char* what;
  std::vector<Seg> segments;  // over a record of `length` + 1 bytes
  uint16_t length;
  std::vector<std::string> values;  // in insertion order, tags 'a', 'b', ...
  std::string order;                // tags in key order, First then Next
  std::vector<std::string> sequences = {};
};

std::string Walk(BtrFile& f, uint16_t first, uint16_t next, size_t tagAt) {
  std::string tags;
  for (int16_t s = f.Get(first); s == 0; s = f.Get(next)) tags += f.Data()[tagAt];
  return tags;
}

std::string Ascii(const char* s, size_t n) {
  std::string v(s);
  v.resize(n, ' ');
  return v;
}

std::array<uint8_t, 256> VowelsLastWeights() {
  // Letters by the alphabet, but every vowel after every consonant.
  std::array<uint8_t, 256> w;
  for (int i = 0; i < 256; ++i) w[i] = uint8_t(i);
  for (char v : std::string("AEIOU")) w[uint8_t(v)] = uint8_t(0xE0 + (v - 'A'));
  return w;
}

TEST_F(EngineKeys, EveryTypeWalksInKeyOrderBothWays) {
  using namespace key_flag;
  const uint16_t E = ExtendedType;
  const std::vector<OrderCase> cases = {
      {"string, bytes unsigned, zero below blank",
       {{1, 3, E}}, 3, {"b  ", "A  ", std::string("A\0\0", 3), "a  ", "\xE9  ", "B  "}, "cbfdae"},
      {"string descending", {{1, 2, E | Descending}}, 2, {"ab", "b ", "aa", "\xC0 "}, "dbac"},
      {"case-insensitive with accents, duplicates in insertion order",
       {{1, 2, E | CaseInsensitive | Duplicates}}, 2,
       {"b ", "A ", "\xE9 ", "a ", "B ", "\xC9 ", "Z "}, "bdaegcf"},
      {"collating sequence", {{1, 3, E | AlternateCollating, key_type::String, 0}}, 3,
       {"BAT", "ABC", "BCD", "EAT", "UFO"}, "cabde", {CollatingSequence("VOWELSZ", VowelsLastWeights())}},
      {"signed 1 byte", {{1, 1, E, key_type::Integer}}, 1, {LE(1, 1), LE(-1, 1), LE(127, 1), LE(-128, 1), LE(0, 1)},
       "dbeac"},
      {"signed 2 bytes crossing 255", {{1, 2, E, key_type::Integer}}, 2,
       {LE(256, 2), LE(255, 2), LE(-256, 2), LE(-1, 2), LE(32767, 2), LE(-32768, 2)}, "fcdbae"},
      {"signed 4 bytes", {{1, 4, E, key_type::Integer}}, 4,
       {LE(65536, 4), LE(-65536, 4), LE(0, 4), LE(2147483647, 4), LE(-2147483647 - 1, 4)}, "ebcad"},
      {"signed 8 bytes descending", {{1, 8, E | Descending, key_type::Integer}}, 8,
       {LE(1, 8), LE(-1, 8), LE(int64_t(1) << 40, 8), LE(INT64_MIN, 8)}, "cabd"},
      {"unsigned binary", {{1, 2, E, key_type::UnsignedBinary}}, 2,
       {LE(256, 2), LE(255, 2), LE(65535, 2), LE(0, 2), LE(1, 2)}, "debac"},
      {"autoincrement with negative values", {{1, 4, E, key_type::AutoIncrement}}, 4,
       {LE(256, 4), LE(255, 4), LE(-5, 4), LE(1, 4), LE(-300, 4)}, "ecdba"},
      {"segmented: string up, integer down",
       {{1, 1, E | Segmented}, {2, 2, E | Descending, key_type::Integer}}, 3,
       {"A" + LE(1, 2), "B" + LE(5, 2), "A" + LE(300, 2), "A" + LE(-2, 2)}, "cadb"},
      {"without the extended-type flag a field is a string", {{1, 2, 0, key_type::Integer}}, 2,
       {LE(256, 2), LE(255, 2), LE(1, 2)}, "acb"},
  };
  for (const OrderCase& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string path = TempPath("k.dat");
    ASSERT_EQ(CreateFile(path, CreateBuffer(uint16_t(c.length + 1), c.segments, c.sequences), create_mode::Replace),
              0);
    BtrFile f;
    ASSERT_EQ(f.Open(path), 0);
    for (size_t i = 0; i < c.values.size(); ++i) ASSERT_EQ(f.Insert(c.values[i] + char('a' + i)), 0) << i;
    std::string reversed(c.order.rbegin(), c.order.rend());
    EXPECT_EQ(Walk(f, op::GetFirst, op::GetNext, c.length), c.order);
    EXPECT_EQ(Walk(f, op::GetLast, op::GetPrevious, c.length), reversed);
  }
}

TEST_F(EngineKeys, AutoIncrementTakesTheHighestPlusOneAndWritesItBack) {
  const std::string path = TempPath("p.dat");
  ASSERT_EQ(CreateFile(path, PeopleLayout()), 0);
  BtrFile f;
  ASSERT_EQ(f.Open(path), 0);
  struct Step {
    int32_t sent;
    int16_t status;
    int32_t stored;  // the value in the caller's buffer afterwards
  };
  const std::vector<Step> steps = {
      {0, 0, 1}, {0, 0, 2}, {255, 0, 255}, {0, 0, 256}, {2, status::DuplicateKey, 2}, {-7, 0, -7}, {0, 0, 257},
  };
  int n = 0;
  for (const Step& step : steps) {
    const std::string record = PersonRecord({step.sent, "N" + std::to_string(n++), "G", ""});
    EXPECT_EQ(f.Insert(record), step.status) << step.sent;
    EXPECT_EQ(Hex(f.DataBuffer().substr(0, 4)), Hex(LE(step.stored, 4))) << step.sent;
    EXPECT_EQ(f.DataBuffer().substr(4), record.substr(4));
  }
  EXPECT_EQ(f.RecordCount(), 6u);
  // Key 0 on Insert returns the value assigned in the key buffer too.
  EXPECT_EQ(f.Insert(PersonRecord({0, "Last", "G", ""})), 0);
  EXPECT_EQ(Hex(f.Key(4)), Hex(LE(258, 4)));
  // Deleting the highest makes its value the next one again.
  ASSERT_EQ(f.Get(op::GetLast), 0);
  ASSERT_EQ(f.Call(op::Delete), 0);
  EXPECT_EQ(f.Insert(PersonRecord({0, "Again", "G", ""})), 0);
  EXPECT_EQ(Hex(f.DataBuffer().substr(0, 4)), Hex(LE(258, 4)));
}

TEST_F(EngineKeys, AutoIncrementStartsAtOneAboveNegativesAndRunsOut) {
  using namespace key_flag;
  const std::string path = TempPath("a.dat");
  ASSERT_EQ(CreateFile(path, CreateBuffer(3, {{1, 2, ExtendedType, key_type::AutoIncrement}})), 0);
  BtrFile f;
  ASSERT_EQ(f.Open(path), 0);
  ASSERT_EQ(f.Insert(LE(-5, 2) + "a"), 0);
  ASSERT_EQ(f.Insert(LE(0, 2) + "b"), 0);
  EXPECT_EQ(Hex(f.DataBuffer().substr(0, 2)), Hex(LE(1, 2)));
  ASSERT_EQ(f.Insert(LE(32767, 2) + "c"), 0);
  EXPECT_EQ(f.Insert(LE(0, 2) + "d"), status::DuplicateKey);
  EXPECT_EQ(Hex(f.DataBuffer()), Hex(LE(0, 2) + "d"));
  EXPECT_EQ(f.RecordCount(), 3u);
}

TEST_F(EngineKeys, GetEqualComparesTheWholeKeyAndFoldsCaseWhereAsked) {
  using namespace key_flag;
  const std::string path = TempPath("n.dat");
  ASSERT_EQ(CreateFile(path, CreateBuffer(21, {{1, 10, ExtendedType}, {11, 10, ExtendedType | CaseInsensitive}})), 0);
  BtrFile f;
  ASSERT_EQ(f.Open(path), 0);
  ASSERT_EQ(f.Insert(Ascii("AB", 10) + Ascii("M\xFCller", 10) + "1"), 0);
  ASSERT_EQ(f.Insert(Ascii("ABC", 10) + Ascii("Smith", 10) + "2"), 0);

  EXPECT_EQ(f.Get(op::GetEqual, "AB", 0), status::KeyNotFound);
  EXPECT_EQ(f.Get(op::GetEqual, Ascii("AB", 10), 0), 0);
  EXPECT_EQ(f.Data().back(), '1');
  // Zero bytes sort below blanks: a short text finds the first match.
  EXPECT_EQ(f.Get(op::GetGreaterOrEqual, "AB", 0), 0);
  EXPECT_EQ(f.Data().back(), '1');
  EXPECT_EQ(f.Get(op::GetGreater, Ascii("AB", 10), 0), 0);
  EXPECT_EQ(f.Data().back(), '2');

  EXPECT_EQ(f.Get(op::GetEqual, Ascii("m\xDCLLER", 10), 1), 0);
  EXPECT_EQ(f.Data().back(), '1');
  EXPECT_EQ(f.Key(10), Ascii("M\xFCller", 10));  // the key as stored
  EXPECT_EQ(f.Get(op::GetEqual, Ascii("SMITH", 10), 1), 0);
  EXPECT_EQ(f.Data().back(), '2');
}

}  // namespace
