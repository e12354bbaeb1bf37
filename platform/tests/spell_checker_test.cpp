// The spelling checker over the en_US dictionary: which words it sees,
// what it calls misspelt and suggests, and a walk answering Change, Change
// All, Ignore All and Add, the added words known in a later run.
#include "platform/spell_checker.h"

#include "testing/temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

class SpellCheckerTest : public TempDirTest {
protected:
  std::unique_ptr<TSpellChecker> Open() {
    std::string error;
    auto checker = TSpellChecker::Open("en_US", TempPath("personal.dic"), error);
    EXPECT_NE(checker, nullptr) << error;
    return checker;
  }
  // The misspelt words a walk stops at, each answered by Ignore.
  static std::vector<std::string> Misspelt(TSpellChecker& Checker, const std::string& Text) {
    std::vector<std::string> words;
    TSpellWalk walk(Checker, Text);
    while (walk.Next()) words.push_back(walk.Word());
    return words;
  }
};

TEST(SpellWordsTest, LettersWithInnerApostrophesWithoutDigits) {
  const std::string text = "Don't 'quote' caf\xE9 A4 2nd x-ray o\x92" "clock it's' ";
  std::vector<std::string> words;
  for (const auto& [at, length] : SpellWords(text)) words.push_back(text.substr(at, length));
  EXPECT_EQ(words, (std::vector<std::string>{"Don't", "quote", "caf\xE9", "x", "ray", "o\x92" "clock", "it's"}));
}

TEST_F(SpellCheckerTest, FindsMisspeltWordsAndSuggests) {
  auto checker = Open();
  ASSERT_NE(checker, nullptr);
  EXPECT_EQ(Misspelt(*checker, "The recieve of the letter, dont't wory; caf\xE9 on the 3rd at 12:30."),
            (std::vector<std::string>{"recieve", "dont't", "wory", "caf\xE9"}));
  const std::vector<std::string> suggestions = checker->Suggest("recieve");
  EXPECT_NE(std::find(suggestions.begin(), suggestions.end(), "receive"), suggestions.end());
  // Through the dictionary's UTF-8 and back.
  const std::vector<std::string> cafe = checker->Suggest("caf\xE9");
  EXPECT_NE(std::find(cafe.begin(), cafe.end(), "cafe"), cafe.end());
}

// A dictionary in Latin-1 cannot hold every Windows-1252 letter: a word
// with one is passed over, never misread.
TEST_F(SpellCheckerTest, AWordTheDictionaryCannotEncodeIsPassedOver) {
  WriteFileBytes(TempPath("latin.aff"), "SET ISO8859-1\n");
  WriteFileBytes(TempPath("latin.dic"), "2\nna\xEFve\nword\n");
  std::string error;
  auto checker = TSpellChecker::Open(TempPath("latin"), TempPath("personal.dic"), error);
  ASSERT_NE(checker, nullptr) << error;
  EXPECT_EQ(Misspelt(*checker, "na\xEFve word \x8Cuvre wurd"), std::vector<std::string>{"wurd"});
  EXPECT_EQ(checker->Suggest("\x8Cuvre"), std::vector<std::string>{});
}

TEST_F(SpellCheckerTest, AWalkAppliesTheAnswers) {
  auto checker = Open();
  ASSERT_NE(checker, nullptr);
  TSpellWalk walk(*checker, "Teh clerk filed teh brief; Zorvikan teh end. Quorbl and quorbl.");
  ASSERT_TRUE(walk.Next());
  EXPECT_EQ(walk.Word(), "Teh");
  EXPECT_EQ(walk.WordStart(), 0u);
  walk.Change("The");
  ASSERT_TRUE(walk.Next());
  EXPECT_EQ(walk.Word(), "teh");
  EXPECT_EQ(walk.Changed("a"), "The clerk filed a brief; Zorvikan teh end. Quorbl and quorbl.");
  walk.ChangeAll("the");
  // The next "teh" is changed on the way.
  ASSERT_TRUE(walk.Next());
  EXPECT_EQ(walk.Word(), "Zorvikan");
  EXPECT_TRUE(walk.Add());
  ASSERT_TRUE(walk.Next());
  EXPECT_EQ(walk.Word(), "Quorbl");
  walk.IgnoreAll();
  // Ignore All covers that spelling only.
  ASSERT_TRUE(walk.Next());
  EXPECT_EQ(walk.Word(), "quorbl");
  EXPECT_FALSE(walk.Next());
  EXPECT_EQ(walk.Text(), "The clerk filed the brief; Zorvikan the end. Quorbl and quorbl.");

  // A later run knows the added word, not the ignored one.
  checker.reset();
  auto later = Open();
  ASSERT_NE(later, nullptr);
  EXPECT_EQ(Misspelt(*later, "Zorvikan Quorbl"), std::vector<std::string>{"Quorbl"});
  EXPECT_EQ(ReadFileBytes(TempPath("personal.dic")), "Zorvikan\n");
}

// A change that would make the text longer than its limit is not made;
// Change All's later changes stop there for an answer.
TEST_F(SpellCheckerTest, ChangesStayWithinTheLimit) {
  auto checker = Open();
  ASSERT_NE(checker, nullptr);
  TSpellWalk walk(*checker, "teh dog teh", [](const std::string& Text) { return Text.size() <= 12; });
  ASSERT_TRUE(walk.Next());
  EXPECT_FALSE(walk.Fits("thereafter"));
  EXPECT_FALSE(walk.ChangeAll("thereafter"));
  EXPECT_EQ(walk.Text(), "teh dog teh");
  EXPECT_TRUE(walk.ChangeAll("then"));
  ASSERT_TRUE(walk.Next());
  EXPECT_EQ(walk.WordStart(), 9u);
  EXPECT_EQ(walk.Word(), "teh");
  EXPECT_EQ(walk.Text(), "then dog teh");
  EXPECT_FALSE(walk.Change("then"));
  EXPECT_TRUE(walk.Change("the"));
  EXPECT_FALSE(walk.Next());
  EXPECT_EQ(walk.Text(), "then dog the");
}

TEST_F(SpellCheckerTest, AMissingDictionarySaysSo) {
  std::string error;
  EXPECT_EQ(TSpellChecker::Open("xx_XX", TempPath("personal.dic"), error), nullptr);
  EXPECT_EQ(error, "The spelling dictionary xx_XX is not installed.");
  EXPECT_EQ(TSpellChecker::Open(TempPath("nowhere/en_US"), TempPath("personal.dic"), error), nullptr);
}

}  // namespace
