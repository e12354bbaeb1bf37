// Spelling without widgets: a checker over a Hunspell dictionary plus a
// personal word list, and a walk through one text that finds its misspelt
// words one by one and applies a person's answers (Change, Change All,
// Ignore, Ignore All, Add).
//
// Text is Windows-1252, as the program keeps it. A word is a run of letters
// with apostrophes inside it ("don't"; a leading or trailing one is no
// part of it); a run that holds a digit ("2nd", "A4") is no word to check.
// Hunspell works in its dictionary's encoding: each word is converted to
// it, and one it cannot hold is passed over; suggestions that Windows-1252
// cannot hold are dropped.
//
// The personal word list is a text file, one word a line, Windows-1252;
// Add appends to it, so words added stay known in later runs.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

class Hunspell;

class TSpellChecker {
public:
  // Dictionary is a name found in the system's dictionary folder
  // ("en_US": /usr/share/hunspell/en_US.aff and .dic) or a path without
  // its extension. Null, with Error saying why, when it is not there.
  static std::unique_ptr<TSpellChecker> Open(const std::string& Dictionary, const std::string& PersonalFile,
                                             std::string& Error);
  ~TSpellChecker();

  // A word the dictionary, the personal list or an Ignore All knows; also
  // one the dictionary's encoding cannot hold.
  bool Known(const std::string& Word);
  std::vector<std::string> Suggest(const std::string& Word);
  // Known for the rest of the run.
  void IgnoreAll(const std::string& Word);
  // Known from now on, in later runs too; false when the personal list
  // could not be written (the word is known for this run all the same).
  bool Add(const std::string& Word);

private:
  TSpellChecker() = default;
  // The word in the dictionary's encoding; false when it cannot hold it.
  bool ToDictionary(const std::string& Word, std::string& Out) const;

  std::unique_ptr<Hunspell> hunspell_;
  std::string encoding_;
  bool asciiCompatible_ = false;  // ASCII words need no conversion
  std::string personalFile_;
  std::set<std::string> ignored_;
};

// One pass over a text. Next finds the next misspelt word after the
// current one (words changed by an earlier Change All are changed on the
// way, without stopping, unless the changed text may not stand).
class TSpellWalk {
public:
  // Takes: whether a changed text may stand (its control's limit); none
  // takes every text.
  using TTextTest = std::function<bool(const std::string& Text)>;
  TSpellWalk(TSpellChecker& Checker, std::string Text, TTextTest Takes = {});

  // False at the end of the text.
  bool Next();
  const std::string& Text() const { return text_; }
  // The current misspelt word and where it starts (0-based byte).
  const std::string& Word() const { return word_; }
  size_t WordStart() const { return start_; }
  std::vector<std::string> Suggestions() { return checker_.Suggest(word_); }

  // What the text would be with the current word changed.
  std::string Changed(const std::string& With) const;
  // Whether the text with the current word changed may stand.
  bool Fits(const std::string& With) const;
  // The answers. Change and Change All replace the current word; Change
  // All also every later word spelt the same. A change that does not fit
  // is not made: false.
  bool Change(const std::string& With);
  bool ChangeAll(const std::string& With);
  void IgnoreAll() { checker_.IgnoreAll(word_); }
  bool Add() { return checker_.Add(word_); }

private:
  TSpellChecker& checker_;
  std::string text_;
  TTextTest takes_;
  std::string word_;
  size_t start_ = 0;
  size_t next_ = 0;  // where the search goes on
  std::map<std::string, std::string> changeAll_;
};

// The first word of Text from At on: its start in At and its length;
// false (At the text's end) when none is left.
bool NextSpellWord(const std::string& Text, size_t& At, size_t& Length);
// The words of Text as the walk sees them: start and length of each.
std::vector<std::pair<size_t, size_t>> SpellWords(const std::string& Text);
