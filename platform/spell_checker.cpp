#include "platform/spell_checker.h"

#include "platform/codepage.h"
#include "platform/files.h"
#include "platform/log.h"

#include <hunspell.hxx>

#include <algorithm>
#include <cctype>
#include <fstream>

namespace {

const char* const DictionaryFolder = "/usr/share/hunspell/";
const std::string Win1252 = "WINDOWS-1252";

// Letters of Windows-1252: ASCII, the accented capitals and small letters,
// and the few letters among 0x80-0xBF.
bool IsLetter(unsigned char c) {
  if ((c | 0x20) >= 'a' && (c | 0x20) <= 'z') return true;
  switch (c) {
    case 0x83: case 0x8A: case 0x8C: case 0x8E: case 0x9A: case 0x9C: case 0x9E: case 0x9F:
    case 0xAA: case 0xB5: case 0xBA:
      return true;
    default:
      return c >= 0xC0 && c != 0xD7 && c != 0xF7;
  }
}

bool IsDigit(unsigned char c) { return c >= '0' && c <= '9'; }
// The straight and the typographic apostrophe.
bool IsApostrophe(unsigned char c) { return c == '\'' || c == 0x92; }

}  // namespace

bool NextSpellWord(const std::string& Text, size_t& At, size_t& Length) {
  const auto at = [&](size_t i) { return i < Text.size() ? static_cast<unsigned char>(Text[i]) : 0; };
  size_t i = At;
  while (i < Text.size()) {
    if (!IsLetter(at(i)) && !IsDigit(at(i))) {
      ++i;
      continue;
    }
    const size_t start = i;
    bool digit = false;
    while (i < Text.size()) {
      if (IsLetter(at(i))) {
        ++i;
      } else if (IsDigit(at(i))) {
        digit = true;
        ++i;
      } else if (IsApostrophe(at(i)) && i > start && IsLetter(at(i - 1)) && IsLetter(at(i + 1))) {
        ++i;
      } else {
        break;
      }
    }
    if (!digit) {
      At = start;
      Length = i - start;
      return true;
    }
  }
  At = Text.size();
  Length = 0;
  return false;
}

std::vector<std::pair<size_t, size_t>> SpellWords(const std::string& Text) {
  std::vector<std::pair<size_t, size_t>> words;
  for (size_t at = 0, length = 0; NextSpellWord(Text, at, length); at += length) words.emplace_back(at, length);
  return words;
}

std::unique_ptr<TSpellChecker> TSpellChecker::Open(const std::string& Dictionary, const std::string& PersonalFile,
                                                   std::string& Error) {
  const std::string stem = Dictionary.find('/') == std::string::npos ? DictionaryFolder + Dictionary : Dictionary;
  if (Dictionary.empty() || !FileExists(stem + ".aff") || !FileExists(stem + ".dic")) {
    Error = "The spelling dictionary " + Dictionary + " is not installed.";
    return nullptr;
  }
  std::unique_ptr<TSpellChecker> checker(new TSpellChecker);
  checker->hunspell_ = std::make_unique<Hunspell>((stem + ".aff").c_str(), (stem + ".dic").c_str());
  checker->encoding_ = checker->hunspell_->get_dict_encoding();
  std::string upper;
  for (const char c : checker->encoding_) upper += char(std::toupper(static_cast<unsigned char>(c)));
  checker->asciiCompatible_ = upper == "UTF-8" || upper.rfind("ISO8859", 0) == 0 || upper.rfind("ISO-8859", 0) == 0;
  checker->personalFile_ = PersonalFile;
  std::ifstream personal(PersonalFile);
  for (std::string line; std::getline(personal, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::string word;
    if (!line.empty() && checker->ToDictionary(line, word)) checker->hunspell_->add(word);
  }
  return checker;
}

TSpellChecker::~TSpellChecker() = default;

bool TSpellChecker::ToDictionary(const std::string& Word, std::string& Out) const {
  // Most words are plain ASCII, which every dictionary encoding here spells
  // as Windows-1252 does.
  if (asciiCompatible_ && std::all_of(Word.begin(), Word.end(), [](char c) { return (c & 0x80) == 0; })) {
    Out = Word;
    return true;
  }
  return TryConvertText(Word, Win1252, encoding_, Out);
}

bool TSpellChecker::Known(const std::string& Word) {
  if (ignored_.count(Word)) return true;
  std::string word;
  // A word the dictionary cannot even spell is not its to judge.
  if (!ToDictionary(Word, word)) return true;
  return hunspell_->spell(word);
}

std::vector<std::string> TSpellChecker::Suggest(const std::string& Word) {
  std::vector<std::string> out;
  std::string word;
  if (!ToDictionary(Word, word)) return out;
  for (const std::string& s : hunspell_->suggest(word)) {
    std::string text;
    if (TryConvertText(s, encoding_, Win1252, text)) out.push_back(text);
  }
  return out;
}

void TSpellChecker::IgnoreAll(const std::string& Word) { ignored_.insert(Word); }

bool TSpellChecker::Add(const std::string& Word) {
  std::string word;
  if (ToDictionary(Word, word)) {
    hunspell_->add(word);
  } else {
    ignored_.insert(Word);
  }
  std::ofstream personal(personalFile_, std::ios::app | std::ios::binary);
  personal << Word << '\n';
  personal.flush();
  if (!personal) {
    LogWarning("cannot add \"" + Word + "\" to the personal word list " + personalFile_);
    return false;
  }
  return true;
}

TSpellWalk::TSpellWalk(TSpellChecker& Checker, std::string Text, TTextTest Takes)
    : checker_(Checker), text_(std::move(Text)), takes_(std::move(Takes)) {}

bool TSpellWalk::Next() {
  size_t at = next_, length = 0;
  while (NextSpellWord(text_, at, length)) {
    word_ = text_.substr(at, length);
    start_ = at;
    next_ = at + length;
    at = next_;
    const auto changed = changeAll_.find(word_);
    if (changed == changeAll_.end()) {
      if (!checker_.Known(word_)) return true;
      continue;
    }
    // Changed as the person asked for every one of them, without stopping;
    // one that would not fit waits for an answer of its own.
    if (!Change(changed->second)) return true;
    at = next_;
  }
  next_ = text_.size();
  word_.clear();
  return false;
}

bool TSpellWalk::Fits(const std::string& With) const {
  return !takes_ || takes_(Changed(With));
}

std::string TSpellWalk::Changed(const std::string& With) const {
  return text_.substr(0, start_) + With + text_.substr(start_ + word_.size());
}

bool TSpellWalk::Change(const std::string& With) {
  if (!Fits(With)) return false;
  text_ = Changed(With);
  next_ = start_ + With.size();
  word_ = With;
  return true;
}

bool TSpellWalk::ChangeAll(const std::string& With) {
  if (!Fits(With)) return false;
  changeAll_[word_] = With;
  return Change(With);
}
