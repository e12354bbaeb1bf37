// The spelling engine's share of start-up and its settings: the registry
// tree under which the spelling checker keeps them, named once at start-up,
// and the checker of the run made from them.
//
// Under the tree (a full registry path such as
// "HKEY_LOCAL_MACHINE\Software\...\Spelling"; the registry here is that
// root, so the part up to the first "\" is left out): "Dictionary", the
// dictionary's name (default "en_US"), and "PersonalWordList", the file of
// words a person added (default "personal-words.txt" beside the registry
// file). Defaults are written into the tree when it lacks them, so a person
// finds them there.
#pragma once

#include <cstdint>
#include <string>

class TSpellChecker;

// Remembers Tree for the rest of the run; 0.
int16_t SSCE_SetRegTreeName(const std::string& Tree);
// The tree last named; "" before.
std::string SSCE_GetRegTreeName();

struct TSpellSettings {
  std::string Dictionary;
  std::string PersonalWordList;
};
// The settings as the tree holds them, defaults where it holds none or
// the registry cannot be read.
TSpellSettings SpellSettings();

// The checker for the current settings, made on first use and again when
// they change; null with Error saying why when its dictionary is missing.
TSpellChecker* RunSpellChecker(std::string& Error);
// Drops the run's checker (tests).
void ResetRunSpellChecker();
