#include "platform/registry_file.h"

#include "platform/codepage.h"
#include "platform/format.h"
#include "platform/text.h"

#include <algorithm>
#include <set>

namespace {

constexpr std::string_view kRoot = "HKEY_LOCAL_MACHINE";
constexpr char kSortSeparator = '\x01';
constexpr const char* kHexDigits = "0123456789abcdef";

std::string SortKey(const std::vector<std::string>& names) {
  std::string key;
  for (const std::string& name : names) {
    if (!key.empty()) key += kSortSeparator;
    key += AnsiUpperCase(name);
  }
  return key;
}

// The sort key of a path, or nullopt when the path is not valid.
std::optional<std::string> SortKeyOf(std::string_view path) {
  std::vector<std::string> names;
  if (!SplitKeyPath(path, names)) return std::nullopt;
  return SortKey(names);
}

// The escapes with a letter of their own; every other byte may be "\xHH".
struct Escape {
  char letter;
  char byte;
};
constexpr Escape kEscapes[] = {{'\\', '\\'}, {'"', '"'}, {'r', '\r'}, {'n', '\n'}, {'t', '\t'}};

const Escape* FindEscape(char Escape::*side, char c) {
  for (const Escape& escape : kEscapes) {
    if (escape.*side == c) return &escape;
  }
  return nullptr;
}

// ASCII reads the same in both encodings; most registry files are nothing else.
bool IsAscii(std::string_view text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

bool NeedsHexEscape(unsigned char byte) {
  return byte < 0x20 || byte == 0x7F || byte == 0x81 || byte == 0x8D || byte == 0x8F || byte == 0x90 || byte == 0x9D;
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

void AppendHexByte(std::string& out, unsigned char byte) {
  out += kHexDigits[byte >> 4];
  out += kHexDigits[byte & 0x0F];
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

std::string_view StripBlanks(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

// Reads a quoted, escaped text at the start of s; on success s is left
// after the closing quote.
bool TakeQuoted(std::string_view& s, std::string& text) {
  if (s.empty() || s.front() != '"') return false;
  text.clear();
  size_t i = 1;
  while (i < s.size() && s[i] != '"') {
    if (s[i] != '\\') {
      text += s[i++];
      continue;
    }
    if (i + 1 >= s.size()) return false;
    const char escape = s[i + 1];
    i += 2;
    if (const auto* named = FindEscape(&Escape::letter, escape)) {
      text += named->byte;
      continue;
    }
    if (escape != 'x' || i + 2 > s.size()) return false;
    const int high = HexValue(s[i]);
    const int low = HexValue(s[i + 1]);
    if (high < 0 || low < 0) return false;
    text += static_cast<char>(high * 16 + low);
    i += 2;
  }
  if (i >= s.size()) return false;
  s.remove_prefix(i + 1);
  return true;
}

bool ParseDword(std::string_view digits, int32_t& value) {
  if (digits.empty() || digits.size() > 8) return false;
  uint32_t pattern = 0;
  for (char c : digits) {
    const int digit = HexValue(c);
    if (digit < 0) return false;
    pattern = pattern * 16 + static_cast<uint32_t>(digit);
  }
  value = static_cast<int32_t>(pattern);
  return true;
}

bool ParseHexBytes(std::string_view list, std::string& bytes) {
  bytes.clear();
  list = StripBlanks(list);
  if (list.empty()) return true;
  while (true) {
    const size_t comma = list.find(',');
    const std::string_view pair = StripBlanks(list.substr(0, comma));
    if (pair.size() != 2 || HexValue(pair[0]) < 0 || HexValue(pair[1]) < 0) return false;
    bytes += static_cast<char>(HexValue(pair[0]) * 16 + HexValue(pair[1]));
    if (comma == std::string_view::npos) return true;
    list.remove_prefix(comma + 1);
  }
}

// The key path of a section header's text, or nullopt for an unknown root.
std::optional<std::string_view> PathBelowRoot(std::string_view header) {
  if (header.size() < kRoot.size() || !AnsiSameText(header.substr(0, kRoot.size()), kRoot)) return std::nullopt;
  const std::string_view rest = header.substr(kRoot.size());
  if (rest.empty()) return rest;
  if (rest.front() != '\\') return std::nullopt;
  return rest.substr(1);
}

class Parser {
public:
  explicit Parser(const std::string& fileName) : fileName_(fileName) {}

  RegDocument Parse(const std::string& utf8) {
    const std::string text = ToWin1252(utf8);
    size_t start = 0;
    while (start < text.size()) {
      const size_t end = std::min(text.find('\n', start), text.size());
      ++line_;
      ParseLine(StripBlanks(std::string_view(text).substr(start, end - start)));
      start = end + 1;
    }
    return std::move(doc_);
  }

private:
  [[noreturn]] void Damaged(const std::string& reason) const {
    throw ERegistryException(
        Format("The registry file %s is damaged at line %d: %s.", fileName_, line_, reason));
  }

  // The whole file at once; when a character does not convert, the line by
  // line conversion finds where it is.
  std::string ToWin1252(const std::string& utf8) {
    if (IsAscii(utf8)) return utf8;
    try {
      return Utf8ToWin1252(utf8);
    } catch (const EConvertError&) {
    }
    size_t start = 0;
    while (start <= utf8.size()) {
      const size_t end = std::min(utf8.find('\n', start), utf8.size());
      ++line_;
      try {
        Utf8ToWin1252(utf8.substr(start, end - start));
      } catch (const EConvertError& e) {
        Damaged(e.Message);
      }
      start = end + 1;
    }
    Damaged("the text cannot be read");
  }

  void ParseLine(std::string_view s) {
    if (s.empty() || s.front() == ';') return;
    if (s.front() == '[') return ParseHeader(s);
    if (s.front() == '"') return ParseValue(s);
    Damaged("a line that is neither a key nor a value");
  }

  void ParseHeader(std::string_view s) {
    if (s.back() != ']') Damaged("a key header without its closing \"]\"");
    const std::string_view header = s.substr(1, s.size() - 2);
    const auto path = PathBelowRoot(header);
    if (!path) Damaged("a key outside HKEY_LOCAL_MACHINE");
    const auto sortKey = SortKeyOf(*path);
    if (!sortKey || (path->empty() && header.size() > kRoot.size())) {
      Damaged("an empty key name or a control character in one");
    }
    if (!given_.insert(*sortKey).second) Damaged(Format("the key %s is given twice", header));
    current_ = &doc_.CreateKey(*path);
    names_.clear();
  }

  void ParseValue(std::string_view s) {
    if (!current_) Damaged("a value before the first key");
    if (current_->Path.empty()) Damaged("a value directly under HKEY_LOCAL_MACHINE");
    RegValue value;
    if (!TakeQuoted(s, value.Name)) Damaged("a value name that is not properly quoted");
    s = StripBlanks(s);
    if (s.empty() || s.front() != '=') Damaged("a value without \"=\"");
    if (!ParseRegData(StripBlanks(s.substr(1)), value)) Damaged("value data that cannot be read");
    if (!names_.insert(AnsiUpperCase(value.Name)).second) {
      Damaged(Format("the value \"%s\" is given twice", value.Name));
    }
    current_->Values.push_back(std::move(value));
  }

  const std::string& fileName_;
  RegDocument doc_;
  RegKey* current_ = nullptr;
  std::set<std::string> given_;
  std::set<std::string> names_;
  int line_ = 0;
};

}  // namespace

const RegValue* RegKey::FindValue(std::string_view name) const {
  for (const RegValue& value : Values) {
    if (AnsiSameText(value.Name, name)) return &value;
  }
  return nullptr;
}

bool RegKey::SetValue(const RegValue& value) {
  const RegValue* found = FindValue(value.Name);
  if (!found) {
    Values.push_back(value);
    return true;
  }
  RegValue& existing = Values[static_cast<size_t>(found - Values.data())];
  if (existing.Type == value.Type && existing.Data == value.Data && existing.Integer == value.Integer) return false;
  existing.Type = value.Type;
  existing.Data = value.Data;
  existing.Integer = value.Integer;
  return true;
}

bool RegKey::DeleteValue(std::string_view name) {
  const RegValue* found = FindValue(name);
  if (!found) return false;
  Values.erase(Values.begin() + (found - Values.data()));
  return true;
}

bool SplitKeyPath(std::string_view path, std::vector<std::string>& names) {
  names.clear();
  if (path.empty()) return true;
  size_t start = 0;
  while (true) {
    const size_t end = std::min(path.find('\\', start), path.size());
    const std::string_view name = path.substr(start, end - start);
    if (name.empty()) return false;
    if (std::any_of(name.begin(), name.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20; })) {
      return false;
    }
    names.emplace_back(name);
    if (end == path.size()) return true;
    start = end + 1;
  }
}

RegDocument::RegDocument() { keys_.emplace("", RegKey{}); }

const RegKey* RegDocument::FindKey(std::string_view path) const {
  const auto sortKey = SortKeyOf(path);
  if (!sortKey) return nullptr;
  const auto found = keys_.find(*sortKey);
  return found == keys_.end() ? nullptr : &found->second;
}

RegKey* RegDocument::FindKey(std::string_view path) {
  return const_cast<RegKey*>(static_cast<const RegDocument&>(*this).FindKey(path));
}

RegKey& RegDocument::CreateKey(std::string_view path) {
  std::vector<std::string> names;
  if (!SplitKeyPath(path, names)) throw ERegistryException(Format("The registry key name %s is not valid", path));
  RegKey* key = &keys_.at("");
  std::vector<std::string> prefix;
  for (const std::string& name : names) {
    prefix.push_back(name);
    auto [entry, added] = keys_.try_emplace(SortKey(prefix));
    if (added) entry->second.Path = key->Path.empty() ? name : key->Path + '\\' + name;
    key = &entry->second;
  }
  return *key;
}

bool RegDocument::DeleteKey(std::string_view path) {
  const auto sortKey = SortKeyOf(path);
  if (!sortKey || sortKey->empty()) return false;
  const auto first = keys_.find(*sortKey);
  if (first == keys_.end()) return false;
  // Every subkey's sort key starts with the key's and the separator.
  const auto last = keys_.lower_bound(*sortKey + static_cast<char>(kSortSeparator + 1));
  keys_.erase(first, last);
  return true;
}

std::vector<std::string> RegDocument::SubkeyNames(std::string_view path) const {
  std::vector<std::string> names;
  const auto sortKey = SortKeyOf(path);
  if (!sortKey || !keys_.count(*sortKey)) return names;
  const std::string prefix = sortKey->empty() ? "" : *sortKey + kSortSeparator;
  for (auto it = keys_.upper_bound(*sortKey); it != keys_.end() && it->first.starts_with(prefix); ++it) {
    if (it->first.find(kSortSeparator, prefix.size()) != std::string::npos) continue;
    const std::string& full = it->second.Path;
    names.push_back(full.substr(full.rfind('\\') == std::string::npos ? 0 : full.rfind('\\') + 1));
  }
  return names;
}

std::vector<const RegKey*> RegDocument::Keys() const {
  std::vector<const RegKey*> keys;
  for (const auto& [sortKey, key] : keys_) keys.push_back(&key);
  return keys;
}

std::string QuoteRegText(std::string_view text) {
  std::string out = "\"";
  for (char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (const auto* named = FindEscape(&Escape::byte, c)) {
      out += '\\';
      out += named->letter;
    } else if (NeedsHexEscape(byte)) {
      out += "\\x";
      AppendHexByte(out, byte);
    } else {
      out += c;
    }
  }
  return out + '"';
}

std::string FormatRegData(const RegValue& value) {
  switch (value.Type) {
    case rdInteger: {
      std::string out = "dword:";
      const auto pattern = static_cast<uint32_t>(value.Integer);
      for (int shift = 24; shift >= 0; shift -= 8) AppendHexByte(out, static_cast<unsigned char>(pattern >> shift));
      return out;
    }
    case rdBinary: {
      std::string out = "hex:";
      for (size_t i = 0; i < value.Data.size(); ++i) {
        if (i) out += ',';
        AppendHexByte(out, static_cast<unsigned char>(value.Data[i]));
      }
      return out;
    }
    default: return QuoteRegText(value.Data);
  }
}

bool ParseRegData(std::string_view text, RegValue& value) {
  value.Data.clear();
  value.Integer = 0;
  if (text.starts_with('"')) {
    value.Type = rdString;
    return TakeQuoted(text, value.Data) && StripBlanks(text).empty();
  }
  if (text.starts_with("dword:")) {
    value.Type = rdInteger;
    return ParseDword(StripBlanks(text.substr(6)), value.Integer);
  }
  if (text.starts_with("hex:")) {
    value.Type = rdBinary;
    return ParseHexBytes(text.substr(4), value.Data);
  }
  return false;
}

std::string FormatRegistryText(const RegDocument& doc) {
  std::string text;
  for (const RegKey* key : doc.Keys()) {
    if (key->Path.empty()) continue;
    if (!text.empty()) text += '\n';
    text += '[';
    text += kRoot;
    text += '\\';
    text += key->Path;
    text += "]\n";
    for (const RegValue& value : key->Values) {
      text += QuoteRegText(value.Name);
      text += '=';
      text += FormatRegData(value);
      text += '\n';
    }
  }
  return IsAscii(text) ? text : Win1252ToUtf8(text);
}

RegDocument ParseRegistryText(const std::string& utf8, const std::string& fileName) {
  return Parser(fileName).Parse(utf8);
}
