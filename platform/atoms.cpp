#include "platform/atoms.h"

#include <map>
#include <mutex>
#include <unordered_map>

namespace {

constexpr ATOM kFirstAtom = 0xC000;
constexpr std::size_t kMaxText = 255;

struct Entry {
  std::string text;
  int references = 0;
};

struct AtomTable {
  std::mutex mutex;
  std::map<ATOM, Entry> by_atom;
  std::unordered_map<std::string, ATOM> by_text;
  ATOM next = kFirstAtom;

  // The lowest free atom at or after `next`, wrapping once; 0 when full.
  ATOM FreeAtom() {
    constexpr std::size_t kRange = 0x10000 - kFirstAtom;
    for (std::size_t tried = 0; tried < kRange; ++tried) {
      const ATOM candidate = next;
      next = next == 0xFFFF ? kFirstAtom : ATOM(next + 1);
      if (!by_atom.contains(candidate)) return candidate;
    }
    return 0;
  }
};

AtomTable& Table() {
  static AtomTable table;
  return table;
}

}  // namespace

ATOM GlobalAddAtom(std::string_view text) {
  if (text.empty() || text.size() > kMaxText) return 0;
  AtomTable& t = Table();
  std::lock_guard lock(t.mutex);
  std::string key(text);
  if (auto found = t.by_text.find(key); found != t.by_text.end()) {
    ++t.by_atom[found->second].references;
    return found->second;
  }
  const ATOM atom = t.FreeAtom();
  if (atom == 0) return 0;
  t.by_atom[atom] = Entry{key, 1};
  t.by_text.emplace(std::move(key), atom);
  return atom;
}

std::string GlobalGetAtomName(ATOM atom) {
  AtomTable& t = Table();
  std::lock_guard lock(t.mutex);
  const auto found = t.by_atom.find(atom);
  return found == t.by_atom.end() ? std::string() : found->second.text;
}

ATOM GlobalDeleteAtom(ATOM atom) {
  AtomTable& t = Table();
  std::lock_guard lock(t.mutex);
  const auto found = t.by_atom.find(atom);
  if (found == t.by_atom.end()) return atom;
  if (--found->second.references == 0) {
    t.by_text.erase(found->second.text);
    t.by_atom.erase(found);
  }
  return 0;
}
