// The family files' codec without an engine: key texts against golden bytes
// and against the length of the key they are meant for, the file table,
// field access and the joining of split names.
#include "templates/family_files.h"

#include "platform/format.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

namespace {

// The length of key KeyNo of File: the sum of its segments.
size_t KeyLength(const TFamilyFile& File, int KeyNo) {
  size_t length = 0;
  int key = -1;
  for (size_t i = 0; i < File.Keys.size(); ++i) {
    if (i == 0 || File.Keys[i].KeyNo != File.Keys[i - 1].KeyNo) ++key;
    if (key == KeyNo) length += File.Keys[i].Length;
  }
  return length;
}

TEST(FamilyFilesTest, KeyTextsAreTheirKeysLengthAndBytes) {
  const struct {
    std::string text;
    std::string golden;
    const TFamilyFile& file;
    int key;
  } cases[] = {
      {ClientKey("ABC100"), "ABC100 ", ClientFile, 1},
      {CaseKey("ABC100", "2", true), "ABC100       2", CaseFile, 1},
      {CaseKey("ABC100", "2", false), "ABC100 2      ", CaseFile, 4},
      {Format("%7s", "12"), "     12", CaseFile, 2},
      {Format("%-20s", "93-CV-1005"), "93-CV-1005          ", CaseFile, 3},
      {Format("%-7s", "12"), "12     ", CaseFile, 5},
      {EmployeeKey("RM1"), "RM1 ", EmployeeFile, 1},
      {CodeTableKey('G', 'F', "RS"), "GFRS  ", CodeTableFile, 3},
      {CodeTableKey('1', ' ', "01"), "1 01  ", CodeTableFile, 3},
      {CaseDescKey(Format("%-7s", "12"), 3), "12      3", CaseDescFile, 1},
      {CaseDescKey(Format("%-7s", "A12"), 20), "A12    20", CaseDescFile, 1},
      {CaseAddrKey('S', "ABC100", "12"), "SABC100      12", CaseAddrFile, 1},
      {StatementCharKey(""), "###1", StatementCharFile, 1},
      {StatementCharKey("   "), "###1", StatementCharFile, 1},
      {StatementCharKey("A01"), "A011", StatementCharFile, 1},
      {Format("%-6s", Format("%-4s", "CF") + "GX"), "CF  GX", CodeTableFile, 5},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.file.Name) + " key " + std::to_string(c.key) + ": " + c.golden);
    EXPECT_EQ(c.text, c.golden);
    EXPECT_EQ(c.text.size(), KeyLength(c.file, c.key));
  }
}

TEST(FamilyFilesTest, TheNineFilesWithTheirLengthsAndKeyCounts) {
  const struct {
    const char* name;
    uint16_t recLen;
    int keys;
  } expected[] = {{"yclient.qf", 393, 4}, {"ycase.qf", 439, 7},    {"yempl.qf", 74, 4},
                  {"FSplit.qf", 40, 3},   {"CDesc.qf", 70, 2},     {"yTable.qf", 144, 6},
                  {"CaseAddr.qf", 359, 2}, {"Sysop.qc", 504, 1},   {"tsc.qc", 2404, 2}};
  ASSERT_EQ(FamilyFiles().size(), std::size(expected));
  for (size_t i = 0; i < std::size(expected); ++i) {
    const TFamilyFile& f = *FamilyFiles()[i];
    SCOPED_TRACE(f.Name);
    EXPECT_EQ(f.Name, expected[i].name);
    EXPECT_EQ(f.RecLen, expected[i].recLen);
    EXPECT_GT(KeyLength(f, expected[i].keys - 1), 0u);
    EXPECT_EQ(KeyLength(f, expected[i].keys), 0u);
    // Every key segment lies within the record.
    for (const TKeySpec& s : f.Keys) EXPECT_LE(s.Position + s.Length - 1, f.RecLen);
  }
}

TEST(FamilyFilesTest, FieldsAreWrittenPaddedAndReadByPosition) {
  std::string rec = NewFamilyRecord(EmployeeFile);
  ASSERT_EQ(rec, std::string(74, '\0'));
  PutField(rec, EmpFld::Code, "RM1");
  PutField(rec, EmpFld::FirstName, "Ren\xE9");
  PutField(rec, EmpFld::LastName, "a name longer than twenty bytes");
  EXPECT_EQ(rec.substr(4, 4), "RM1 ");
  EXPECT_EQ(rec.substr(8, 3), std::string(3, '\0'));  // the gap stays zero
  EXPECT_EQ(FieldText(rec, EmpFld::Name), "Ren\xE9           a name longer than t");
  const TDynCharArr buffer(rec.begin(), rec.begin() + 30);
  EXPECT_EQ(FieldText(buffer, EmpFld::Name), "Ren\xE9           a na");  // only what the buffer holds
  EXPECT_THROW(PutField(rec, {70, 6}, "x"), std::out_of_range);
  EXPECT_EQ(rec.size(), 74u);
}

TEST(FamilyFilesTest, JoinNamePartsJoinsTheTrimmedParts) {
  const std::string nul(1, '\0');
  const struct {
    std::string s;
    int len1, len2;
    std::string joined;
  } cases[] = {
      {Format("%-30s%-40s", "John", "Smith"), 30, 40, "Smith, John"},
      {Format("%-30s%-40s", "Ren\xE9", "M\xFCller"), 30, 40, "M\xFCller, Ren\xE9"},
      {Format("%-30s%-40s", "", "Acme Holdings Inc."), 30, 40, Format("%-40s", "Acme Holdings Inc.")},
      {Format("%-30s%-40s", "John", ""), 30, 40, "John"},
      {std::string(70, ' '), 30, 40, std::string(40, ' ')},
      {"Jo", 30, 40, "Jo"},
      {"", 30, 40, ""},
      {"John" + std::string(26, '\0') + "Smith" + std::string(35, '\0'), 30, 40, "Smith, John"},
      {Format("%-15s%-20s", "Ingrid", "Andersson") + "EXTRA", 15, 20, "Andersson, Ingrid"},
      {"  Ann" + nul + "Lee  ", 6, 5, "Lee, Ann"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.joined);
    std::string s = c.s;
    JoinNameParts(s, c.len1, c.len2);
    EXPECT_EQ(s, c.joined);
  }
}

}  // namespace
