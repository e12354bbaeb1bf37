// File creation against the recording fake engine: the create buffers of
// key-specification sets against golden bytes, every refusal made before
// the engine is even loaded, and cloning.
#include "btrieve/create_file.h"

#include "btrieve/tests/layer_fixture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Bytes from hex digits; blanks are skipped.
std::string FromHex(const std::string& hex) {
  std::string out, digits;
  for (char c : hex)
    if (c != ' ') digits += c;
  for (size_t i = 0; i + 1 < digits.size(); i += 2) out += char(std::stoi(digits.substr(i, 2), nullptr, 16));
  return out;
}

// A create buffer's header carries 1 in byte 9, where a Stat answer has the
// top byte of the record count.
constexpr uint32_t Byte9 = 0x01000000;
constexpr uint16_t Ext = 256;
constexpr uint8_t AutoType = 15;

TKeySpec Auto() { return {0, 0, 1, 4, false, false, true}; }
TKeySpec Seg(uint8_t key, uint16_t pos, uint16_t len, bool dup = false, bool mod = false) {
  return {key, 0, pos, len, dup, mod, false};
}

class CreateFileTest : public FakeLayerTest {
protected:
  const std::string Name = "C:\\DATA\\NEW.DAT";
};

struct CreateRow {
  const char* name;
  uint16_t recLen;
  std::vector<TKeySpec> specs;
  std::string golden;
};

std::vector<CreateRow> CreateRows() {
  std::vector<TKeySpec> fifty{Auto()};
  std::vector<TStatSegment> fiftyGolden{{1, 4, Ext, AutoType}};
  for (uint16_t k = 1; k < 50; ++k) {
    fifty.push_back(Seg(uint8_t(k), uint16_t(4 + k), 1));
    fiftyGolden.push_back({uint16_t(4 + k), 1, Ext});
  }
  return {
      {"the master file",
       37,
       {Auto(), Seg(1, 5, 30, false, true), Seg(2, 35, 3)},
       FromHex("2500 0010 0300 000000 01 000000000000"
               "0100 0400 0001 00000000 0F 0000000000"
               "0500 1E00 0201 00000000 00 0000000000"
               "2300 0300 0001 00000000 00 0000000000")},
      {"each flag",
       20,
       {Auto(), Seg(1, 5, 2, true), Seg(2, 7, 2, false, true), Seg(3, 9, 2, true, true), Seg(4, 11, 2)},
       StatAnswer(20, 5, {{1, 4, Ext, AutoType}, {5, 2, 1 | Ext}, {7, 2, 2 | Ext}, {9, 2, 3 | Ext}, {11, 2, Ext}},
                  Byte9)},
      {"later segments take their key's flags",
       30,
       {Auto(), Seg(2, 5, 3, true, true), Seg(2, 8, 2), Seg(2, 10, 1, false, true), Seg(3, 11, 5, false, true),
        Seg(3, 16, 5, true, false)},
       StatAnswer(30, 3,
                  {{1, 4, Ext, AutoType},
                   {5, 3, 3 | 16 | Ext},
                   {8, 2, 3 | 16 | Ext},
                   {10, 1, 3 | Ext},
                   {11, 5, 2 | 16 | Ext},
                   {16, 5, 2 | Ext}},
                  Byte9)},
      {"key 0 declared short and flagged: length 4, no flags",
       8,
       {{0, 0, 1, 2, true, true, true}, Seg(1, 5, 4)},
       StatAnswer(8, 2, {{1, 4, Ext, AutoType}, {5, 4, Ext}}, Byte9)},
      {"a segment ending just behind the record fits", 10, {Auto(), Seg(1, 5, 6)},
       StatAnswer(10, 2, {{1, 4, Ext, AutoType}, {5, 6, Ext}}, Byte9)},
      {"50 segments", 100, fifty, StatAnswer(100, 50, fiftyGolden, Byte9)},
      {"case-insensitive segments carry 0x400, key 0 never",
       90,
       {{0, 0, 1, 4, false, false, true, true}, Seg(1, 5, 7), {2, 0, 48, 40, true, false, false, true},
        {2, 1, 18, 30, true, false, false, true}},
       StatAnswer(90, 3, {{1, 4, Ext, AutoType}, {5, 7, Ext}, {48, 40, 1 | 16 | 0x400 | Ext}, {18, 30, 1 | 0x400 | Ext}},
                  Byte9)},
      {"the workstation's time batch file",
       127,
       {Auto(), Seg(1, 104, 8), Seg(2, 40, 4, true, true), Seg(2, 117, 4, true, true), Seg(3, 117, 4, true, true),
        Seg(3, 40, 4, true, true), Seg(4, 19, 1, true, true), Seg(4, 26, 1, true, true), Seg(4, 40, 4, true, true),
        Seg(4, 20, 6, true, true)},
       StatAnswer(127, 5,
                  {{1, 4, Ext, AutoType},
                   {104, 8, Ext},
                   {40, 4, 3 | 16 | Ext},
                   {117, 4, 3 | Ext},
                   {117, 4, 3 | 16 | Ext},
                   {40, 4, 3 | Ext},
                   {19, 1, 3 | 16 | Ext},
                   {26, 1, 3 | 16 | Ext},
                   {40, 4, 3 | 16 | Ext},
                   {20, 6, 3 | Ext}},
                  Byte9)},
  };
}

TEST_F(CreateFileTest, CreateBuffersMatchTheirGoldenBytes) {
  for (const CreateRow& row : CreateRows()) {
    for (const bool noOverwrite : {true, false}) {
      SCOPED_TRACE(std::string(row.name) + (noOverwrite ? " (no overwrite)" : ""));
      FakeEngine::Reset();
      const std::vector<TKeySpec> before = row.specs;
      std::string msg = "stale";
      EXPECT_TRUE(BtrCreateFile(Name, row.recLen, int8_t(row.specs.size()), msg, 255, noOverwrite, row.specs));
      EXPECT_EQ(msg, "");
      EXPECT_EQ(row.specs, before);
      ASSERT_EQ(FakeEngine::Calls().size(), 1u);
      const FakeCall& c = FakeEngine::Calls()[0];
      EXPECT_EQ(c.Op, BtrOp::Create);
      EXPECT_EQ(c.Data, row.golden);
      EXPECT_EQ(c.DataLen, 16 + 16 * row.specs.size());
      EXPECT_EQ(c.Key, Name);
      EXPECT_EQ(c.KeyLen, Name.size() + 1);
      EXPECT_EQ(c.KeyNum, noOverwrite ? -1 : 0);
      EXPECT_EQ(c.PosBlock, std::string(128, '\0'));
    }
  }
}

TEST_F(CreateFileTest, EveryRefusalComesBeforeTheEngineIsLoaded) {
  const struct {
    const char* name;
    uint16_t recLen;
    int segCount;  // -1: the number of specs
    std::vector<TKeySpec> specs;
    std::string msg;
    std::string fileName = "C:\\DATA\\NEW.DAT";
    size_t maxLen = 255;
  } rows[] = {
      {"51 segments", 100, 51, std::vector<TKeySpec>(51, Auto()),
       "Number of key segments exceeds 50.  This is not allowed."},
      {"record length", 3001, -1, {Auto()}, "Record length exceeds maximum of 3000"},
      {"no segments", 10, 0, {Auto()}, "Unspecified error interpreting key specifications"},
      {"fewer specs than segments", 10, 3, {Auto(), Seg(1, 5, 2)}, "Unspecified error interpreting key specifications"},
      {"zero length", 10, -1, {Auto(), Seg(1, 5, 0)}, "Zero key length is invalid!"},
      {"key 0 not autoincrement", 10, -1, {Seg(0, 1, 4), Seg(1, 5, 2)}, "First key (key 0) must be autoincrement"},
      {"key 0 in segments", 10, -1, {Auto(), Seg(0, 5, 2)}, "AutoIncrement key may not have segments."},
      {"position 0", 10, -1, {Auto(), Seg(1, 5, 2), Seg(2, 0, 2)},
       "Invalid specification for keys. One or more segments undefined.\r(Key position for key 2 is less than or "
       "equal to zero.)\r\rThe file will not be created."},
      {"one byte beyond the record", 10, -1, {Auto(), Seg(1, 5, 7)}, "Key segment 1 does not fit within record length"},
      {"a later autoincrement segment", 10, -1, {Auto(), {1, 0, 5, 4, false, false, true}},
       "Only the first key (key 0) may be autoincrement."},
      {"a name the key buffer cannot carry", 10, -1, {Auto()}, "The file name is not valid", std::string(255, 'N')},
      {"the message cut to MaxLen", 3001, -1, {Auto()}, "Record lengt", "C:\\DATA\\NEW.DAT", 12},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.name);
    const std::vector<TKeySpec> before = r.specs;
    std::string msg;
    const auto segCount = int8_t(r.segCount < 0 ? int(r.specs.size()) : r.segCount);
    EXPECT_FALSE(BtrCreateFile(r.fileName, r.recLen, segCount, msg, r.maxLen, true, r.specs));
    EXPECT_EQ(msg, r.msg);
    EXPECT_EQ(r.specs, before);
    EXPECT_FALSE(BtrLoaded);
    EXPECT_EQ(FakeEngine::Loads(), 0);
    EXPECT_TRUE(FakeEngine::Calls().empty());
  }
}

TEST_F(CreateFileTest, TheEnginesRefusalAndAMissingEngineComeBackAsText) {
  const std::vector<TKeySpec> specs{Auto(), Seg(1, 5, 6)};
  std::string msg;
  SetBtrLibraryName("nosuchengine.dll");
  EXPECT_FALSE(BtrCreateFile(Name, 10, 2, msg, 255, true, specs));
  EXPECT_EQ(msg, "The record manager is not loaded or not started");
  SetBtrLibraryName("btrfake.dll");
  FakeEngine::Answer(Fails(BtrStatus::FileAlreadyExists));
  EXPECT_FALSE(BtrCreateFile(Name, 10, 2, msg, 255, true, specs));
  EXPECT_EQ(msg, "A file with this name already exists");
  EXPECT_TRUE(BtrLoaded);
  EXPECT_TRUE(BtrCreateFile(Name, 10, 2, msg, 255, false, specs));
  EXPECT_EQ(msg, "");
}

TEST_F(CreateFileTest, CheckingCompletesTheSpecificationsAndCountsKeys) {
  std::vector<TKeySpec> specs{{0, 0, 1, 1, false, false, true}, Seg(1, 5, 2, true, false), Seg(1, 7, 2, false, true),
                              Seg(2, 9, 1)};
  std::string msg = "stale";
  EXPECT_EQ(BtrCheckKeySpecs(4, specs, msg), 3);
  EXPECT_EQ(msg, "");
  EXPECT_EQ(specs[0].Length, 4);
  EXPECT_EQ(specs[2], Seg(1, 7, 2, true, false));
  EXPECT_EQ(BtrCheckKeySpecs(0, specs, msg), -1);
  EXPECT_EQ(msg, "This function does not support non-keyed files.");
  EXPECT_EQ(BtrCheckKeySpecs(-3, specs, msg), -1);
}

TEST_F(CreateFileTest, ACloneTakesTheOpenFilesLayout) {
  Open(1);
  FakeEngine::Answer(Returns(TwoKeys()));
  BtrCloneFile(1, "C:\\DATA\\COPY.DAT");
  const std::vector<FakeCall> calls = CallsSinceMark();
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ(Describe(calls[0]), "15 k0 d1920");
  EXPECT_EQ(Describe(calls[1]), "14 k0 d1920");
  EXPECT_EQ(calls[1].Key, "C:\\DATA\\COPY.DAT");
  EXPECT_EQ(calls[1].Data.substr(0, TwoKeys().size()), TwoKeys());

  FakeEngine::Answer(Returns(TwoKeys()));
  FakeEngine::Answer(Fails(25));
  ExpectBtrAbort([] { BtrCloneFile(1, "C:\\DATA\\COPY.DAT"); },
                 "The file C:\\DATA\\COPY.DAT could not be created as a clone.\r\rBtrieve status 25.\rThe file could "
                 "not be created",
                 25);
  ExpectBtrAbort([] { BtrCloneFile(2, "C:\\DATA\\COPY.DAT"); }, "Filenumber 2 is not valid!", 0);
}

}  // namespace
