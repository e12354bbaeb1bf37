#include "datetime/qt/key_translation.h"

#include "platform/errors.h"
#include "platform/qt/widget_text.h"

#include <QKeyEvent>
#include <QString>

#include <string>

namespace {

struct TPunctuationKey {
  char Unshifted;
  char Shifted;
  uint16_t Code;
};

// The punctuation keys of a US keyboard; digits' shifted marks type on the digit keys.
constexpr TPunctuationKey kPunctuation[] = {
    {';', ':', vk::Oem1},  {'=', '+', vk::OemPlus},   {',', '<', vk::OemComma}, {'-', '_', vk::OemMinus},
    {'.', '>', vk::OemPeriod}, {'/', '?', vk::Oem2},  {'`', '~', vk::Oem3},     {'[', '{', vk::Oem4},
    {'\\', '|', vk::Oem5}, {']', '}', vk::Oem6},      {'\'', '"', vk::Oem7},    {'1', '!', '1'},
    {'2', '@', '2'},       {'3', '#', '3'},           {'4', '$', '4'},          {'5', '%', '5'},
    {'6', '^', '6'},       {'7', '&', '7'},           {'8', '*', '8'},          {'9', '(', '9'},
    {'0', ')', '0'},
};

uint16_t NavigationCode(int qtKey) {
  switch (qtKey) {
    case Qt::Key_Backspace: return vk::Back;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return vk::Tab;
    case Qt::Key_Return:
    case Qt::Key_Enter: return vk::Return;
    case Qt::Key_Escape: return vk::Escape;
    case Qt::Key_Space: return vk::Space;
    case Qt::Key_PageUp: return vk::Prior;
    case Qt::Key_PageDown: return vk::Next;
    case Qt::Key_End: return vk::End;
    case Qt::Key_Home: return vk::Home;
    case Qt::Key_Left: return vk::Left;
    case Qt::Key_Up: return vk::Up;
    case Qt::Key_Right: return vk::Right;
    case Qt::Key_Down: return vk::Down;
    case Qt::Key_Insert: return vk::Insert;
    case Qt::Key_Delete: return vk::Delete;
    default: return 0;
  }
}

// The keypad's own keys (NumLock on): digits and the operators.
bool KeypadKey(int qtKey, KeyInput& key) {
  if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) {
    key.Key = static_cast<uint16_t>(vk::Numpad0 + (qtKey - Qt::Key_0));
    key.Char = static_cast<char>('0' + (qtKey - Qt::Key_0));
    return true;
  }
  switch (qtKey) {
    case Qt::Key_Asterisk: key.Key = vk::Multiply, key.Char = '*'; return true;
    case Qt::Key_Plus: key.Key = vk::Add, key.Char = '+'; return true;
    case Qt::Key_Minus: key.Key = vk::Subtract, key.Char = '-'; return true;
    case Qt::Key_Period:
    case Qt::Key_Comma: key.Key = vk::Decimal, key.Char = '.'; return true;
    case Qt::Key_Slash: key.Key = vk::Divide, key.Char = '/'; return true;
    default: return false;
  }
}

// The character a key types: the event's text when it is one character
// Windows-1252 holds.
bool TypedCharacter(const QString& text, char& typed) {
  if (text.size() != 1) return false;
  if (text[0].unicode() < 0x80) {
    typed = static_cast<char>(text[0].unicode());
    return true;
  }
  try {
    const std::string stored = StoredText(text);
    if (stored.size() != 1) return false;
    typed = stored[0];
    return true;
  } catch (const EConvertError&) {
    return false;
  }
}

}  // namespace

TTranslatedKey TranslateKey(int qtKey, Qt::KeyboardModifiers modifiers, const QString& text) {
  TTranslatedKey out;
  KeyInput& key = out.Key;
  key.Shift = modifiers.testFlag(Qt::ShiftModifier) || qtKey == Qt::Key_Backtab;
  key.Ctrl = modifiers.testFlag(Qt::ControlModifier);
  key.Alt = modifiers.testFlag(Qt::AltModifier);
  out.Types = TypedCharacter(text, out.Typed);

  if (const uint16_t code = NavigationCode(qtKey)) {
    key.Key = code;
    if (code == vk::Return || code == vk::Escape || code == vk::Back || code == vk::Space || code == vk::Tab)
      key.Char = static_cast<char>(code);
    // Whatever Qt's text says, these keys type their control character or
    // the blank, and the others (Tab moves the focus) nothing.
    out.Types = key.Char != 0 && code != vk::Tab;
    out.Typed = out.Types ? key.Char : 0;
    return out;
  }
  if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24) {
    key.Key = static_cast<uint16_t>(vk::F1 + (qtKey - Qt::Key_F1));
    out.Types = false, out.Typed = 0;
    return out;
  }
  if (modifiers.testFlag(Qt::KeypadModifier) && KeypadKey(qtKey, key)) return out;
  if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) {
    key.Key = static_cast<uint16_t>('A' + (qtKey - Qt::Key_A));
    key.Char = static_cast<char>(key.Key);
    return out;
  }
  if (qtKey >= 0x20 && qtKey < 0x7F) {
    for (const TPunctuationKey& p : kPunctuation)
      if (qtKey == static_cast<unsigned char>(p.Unshifted) || qtKey == static_cast<unsigned char>(p.Shifted)) {
        key.Key = p.Code;
        key.Char = p.Unshifted;
        return out;
      }
  }
  // Any other character: a key of its own bearing it, the character unshifted.
  if (out.Types && static_cast<unsigned char>(out.Typed) >= 0x20) {
    key.Key = vk::Oem8;
    char lower = out.Typed;
    TypedCharacter(text.toLower(), lower);
    key.Char = lower;
    return out;
  }
  out.Types = false, out.Typed = 0;
  return out;
}

TTranslatedKey TranslateKey(const QKeyEvent& event) {
  return TranslateKey(event.key(), event.modifiers(), event.text());
}
