#include "btrieve/str_utils.h"

#include "platform/session.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

const std::string Long300 = std::string(300, 'a');

TEST(StrUtils, NumericChars) {
  const struct {
    std::string in, out;
  } cases[] = {
      {"1,234.50-", "1234.50-"}, {" +12 345 ", "+12345"}, {"$(1.5)", "1.5"}, {"abc", ""}, {"", ""},
      {std::string("1\0" "2", 3), "12"}, {std::string(255, '9'), std::string(255, '9')},
  };
  for (const auto& c : cases) EXPECT_EQ(NumericChars(c.in), c.out) << c.in;
}

TEST(StrUtils, TrimToStr) {
  const struct {
    std::string in, out;
  } cases[] = {
      {"  AB C \t\r\n", "AB C"},
      {std::string("\0\0X\0Y\0", 6), std::string("X\0Y", 3)},
      {"\xA0" "a\xA0", "\xA0" "a\xA0"},  // bytes above 0x7F are text
      {"   ", ""},
      {"", ""},
      {std::string(10, ' ') + Long300, std::string(255, 'a')},
      {std::string(250, 'x') + "      yz", std::string(250, 'x')},
  };
  for (const auto& c : cases) EXPECT_EQ(TrimToStr(c.in.data(), c.in.size()), c.out) << c.in;
  EXPECT_EQ(TrimToStr(nullptr, 0), "");

  EXPECT_EQ(TrimToStrZ(" AB ", 4), std::string("AB\0", 3));
  EXPECT_EQ(TrimToStrZ(Long300.data(), Long300.size()), std::string(254, 'a') + '\0');
}

TEST(StrUtils, CompareBytes) {
  const struct {
    std::string a, b;
    size_t n;
    int result;
  } cases[] = {
      {"abc", "abd", 3, -1}, {"abd", "abc", 3, 1}, {"abc", "abd", 2, 0}, {"x", "y", 0, 0},
      {"\x80", "\x7F", 1, 1},  // unsigned
      {std::string("a\0b", 3), std::string("a\0c", 3), 3, -1},
  };
  for (const auto& c : cases) EXPECT_EQ(CompareBytes(c.a.data(), c.b.data(), c.n), c.result) << c.a << c.b;
  EXPECT_EQ(CompareBytes(nullptr, nullptr, 0), 0);
}

TEST(StrUtils, AppendCharStopsAt255) {
  std::string s = "AB";
  AppendChar(s, '\0');
  EXPECT_EQ(s, std::string("AB\0", 3));
  s = std::string(254, 'x');
  AppendChar(s, 'y');
  AppendChar(s, 'z');
  EXPECT_EQ(s, std::string(254, 'x') + "y");
}

TEST(StrUtils, AddBackslash) {
  const struct {
    std::string in, out;
  } cases[] = {
      {"C:\\", "C:\\"},
      {"C:\\DATA", "C:\\DATA\\"},
      {"/home/office/", "/home/office/"},
      {"", "\\"},
      {std::string(254, 'p'), std::string(254, 'p') + "\\"},
      {std::string(255, 'p'), std::string(255, 'p')},
  };
  for (const auto& c : cases) EXPECT_EQ(AddBackslash(c.in), c.out) << c.in;
}

TEST(StrUtils, RawRuns) {
  char buf[6] = {'a', 'b', 'a', 'c', 'a', 'X'};
  ReplaceChar(buf, 5, 'a', '\0');
  EXPECT_EQ(std::string(buf, 6), std::string("\0b\0c\0X", 6));
  ReplaceChar(buf, 0, '\0', 'q');
  EXPECT_EQ(buf[0], '\0');

  EXPECT_FALSE(IsAllZero(buf, 6));
  ZeroFill(buf, 5);
  EXPECT_TRUE(IsAllZero(buf, 5));
  EXPECT_FALSE(IsAllZero(buf, 6));
  EXPECT_TRUE(IsAllZero(buf, 0));
  ZeroFill(nullptr, 0);
  EXPECT_TRUE(IsAllZero(nullptr, 0));

  EXPECT_EQ(CharString('-', 3), "---");
  EXPECT_EQ(CharString('\0', 2), std::string(2, '\0'));
  EXPECT_EQ(CharString(' ', 0), "");
  EXPECT_EQ(CharString('x', 300), std::string(300, 'x'));

  EXPECT_EQ(MinInt(-3, 2), -3);
  EXPECT_EQ(MinInt(5, 5), 5);
}

TEST(StrUtils, ReplaceCharOutsideQuotes) {
  const struct {
    std::string in, out;
  } cases[] = {
      {"a,\"b,c\",d", "a;\"b,c\";d"},
      {"\"x,y\"\"z,w\",v", "\"x,y\"\"z,w\";v"},
      {"a,\"open,rest", "a;\"open,rest"},  // an unclosed quote protects the rest
      {",,", ";;"},
  };
  for (const auto& c : cases) {
    std::string s = c.in;
    ReplaceCharOutsideQuotes(s.data(), s.size(), ',', '"', ';');
    EXPECT_EQ(s, c.out) << c.in;
  }
}

TEST(StrUtils, RemoveChar) {
  EXPECT_EQ(RemoveChar("1,234,567", ','), "1234567");
  EXPECT_EQ(RemoveChar(std::string("a\0b\0", 4), '\0'), "ab");
  EXPECT_EQ(RemoveChar("", 'x'), "");
  EXPECT_EQ(RemoveChar(Long300 + "b", 'b'), std::string(255, 'a'));
}

TEST(StrUtils, IsPathName) {
  const struct {
    std::string name;
    bool allowDot, result;
  } cases[] = {
      {"C:", false, true},          {"\\MDDATA", false, true},    {"/srv/office", false, true},
      {"FILE.DDF", false, false},   {"FILE.DDF", true, true},     {"DEMO", true, false},
      {"", true, false},            {std::string("DEMO\0:\\.", 8), true, false},
  };
  for (const auto& c : cases) EXPECT_EQ(IsPathName(c.name, c.allowDot), c.result) << c.name << c.allowDot;
}

TEST(StrUtils, StrReplace) {
  const struct {
    const char* text;
    const char* oldText;
    const char* newText;
    size_t size;
    bool result;
    const char* out;
  } cases[] = {
      {"SELECT :T FROM :T", ":T", "CLIENTS", 40, true, "SELECT CLIENTS FROM :T"},
      {"abc", "b", nullptr, 10, true, "ac"},
      {"abc", "x", "y", 10, false, "abc"},
      {"abc", "", "y", 10, false, "abc"},
      {"abcdef", "b", "XYZ", 6, true, "aXYZcd"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    std::vector<char> buf(c.size + 1, '#');
    std::memcpy(buf.data(), c.text, std::strlen(c.text) + 1);
    EXPECT_EQ(StrReplace(buf.data(), c.oldText, c.newText, c.size), c.result);
    EXPECT_STREQ(buf.data(), c.out);
  }
}

TEST(StrUtils, StrCutAt) {
  char text[] = "NAME;REST;MORE";
  EXPECT_EQ(StrCutAt(text, ';'), text);
  EXPECT_STREQ(text, "NAME");
  char plain[] = "NAME";
  EXPECT_STREQ(StrCutAt(plain, ';'), "NAME");
  EXPECT_EQ(StrCutAt(nullptr, ';'), nullptr);
}

TEST(StrUtils, GetNetUserNameIsTheSessionUser) {
  const std::string user = GetNetUserName();
  EXPECT_FALSE(user.empty());
  EXPECT_EQ(user, GetUserName().substr(0, 255));
}

}  // namespace
