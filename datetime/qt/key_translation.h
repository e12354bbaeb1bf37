// A Qt key press as the date controls' models see it (datetime/key_input.h):
// the virtual-key code of the key a US keyboard has for it, its unshifted
// character, the modifiers, and the character it types, if any.
#pragma once

#include "datetime/key_input.h"

#include <Qt>

class QKeyEvent;
class QString;

struct TTranslatedKey {
  KeyInput Key;         // Key 0: no key the models know
  char Typed = 0;       // the character typed (Windows-1252, or 8, 13, 27)
  bool Types = false;  // the key types Typed (KeyPress runs)
};

// Letters and digits by their codes (the keypad's by KeypadModifier as
// 0x60-0x6F), navigation and F-keys by theirs, punctuation as the key that
// bears it with its unshifted character; any other character by its
// Windows-1252 byte, and nothing when Windows-1252 lacks it.
TTranslatedKey TranslateKey(int qtKey, Qt::KeyboardModifiers modifiers, const QString& text);
TTranslatedKey TranslateKey(const QKeyEvent& event);
