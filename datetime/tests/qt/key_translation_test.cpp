// The key table: what each Qt key press becomes for the date controls' models.
#include "datetime/qt/key_translation.h"

#include <QString>

#include <gtest/gtest.h>

namespace {

struct Row {
  const char* Name;
  int QtKey;
  Qt::KeyboardModifiers Modifiers;
  const char* Text;  // UTF-8
  uint16_t Key;
  char Char;
  bool Types;
  char Typed;
};

constexpr Qt::KeyboardModifiers None = Qt::NoModifier;
constexpr Qt::KeyboardModifiers Pad = Qt::KeypadModifier;
constexpr Qt::KeyboardModifiers Shift = Qt::ShiftModifier;

const Row kRows[] = {
    {"letter", Qt::Key_A, None, "a", 'A', 'A', true, 'a'},
    {"shifted letter", Qt::Key_Z, Shift, "Z", 'Z', 'Z', true, 'Z'},
    {"ctrl letter", Qt::Key_V, Qt::ControlModifier, "\x16", 'V', 'V', true, '\x16'},
    {"digit", Qt::Key_7, None, "7", '7', '7', true, '7'},
    {"shifted digit", Qt::Key_Exclam, Shift, "!", '1', '1', true, '!'},
    {"keypad digit", Qt::Key_5, Pad, "5", 0x65, '5', true, '5'},
    {"keypad 0", Qt::Key_0, Pad, "0", 0x60, '0', true, '0'},
    {"keypad multiply", Qt::Key_Asterisk, Pad, "*", 0x6A, '*', true, '*'},
    {"keypad add", Qt::Key_Plus, Pad, "+", 0x6B, '+', true, '+'},
    {"keypad subtract", Qt::Key_Minus, Pad, "-", 0x6D, '-', true, '-'},
    {"keypad decimal", Qt::Key_Period, Pad, ".", 0x6E, '.', true, '.'},
    {"keypad divide", Qt::Key_Slash, Pad, "/", 0x6F, '/', true, '/'},
    {"keypad home, NumLock off", Qt::Key_Home, Pad, "", 0x24, 0, false, 0},
    {"keypad enter", Qt::Key_Enter, Pad, "\r", 0x0D, '\r', true, '\r'},
    {"equals", Qt::Key_Equal, None, "=", 0xBB, '=', true, '='},
    {"plus on the equals key", Qt::Key_Plus, Shift, "+", 0xBB, '=', true, '+'},
    {"minus", Qt::Key_Minus, None, "-", 0xBD, '-', true, '-'},
    {"slash", Qt::Key_Slash, None, "/", 0xBF, '/', true, '/'},
    {"question mark", Qt::Key_Question, Shift, "?", 0xBF, '/', true, '?'},
    {"semicolon", Qt::Key_Semicolon, None, ";", 0xBA, ';', true, ';'},
    {"colon", Qt::Key_Colon, Shift, ":", 0xBA, ';', true, ':'},
    {"comma", Qt::Key_Comma, None, ",", 0xBC, ',', true, ','},
    {"period", Qt::Key_Period, None, ".", 0xBE, '.', true, '.'},
    {"backquote", Qt::Key_QuoteLeft, None, "`", 0xC0, '`', true, '`'},
    {"bracket", Qt::Key_BracketLeft, None, "[", 0xDB, '[', true, '['},
    {"backslash", Qt::Key_Backslash, None, "\\", 0xDC, '\\', true, '\\'},
    {"quote", Qt::Key_Apostrophe, None, "'", 0xDE, '\'', true, '\''},
    {"space", Qt::Key_Space, None, " ", 0x20, ' ', true, ' '},
    {"backspace", Qt::Key_Backspace, None, "\b", 0x08, '\b', true, '\b'},
    {"return", Qt::Key_Return, None, "\r", 0x0D, '\r', true, '\r'},
    {"escape", Qt::Key_Escape, None, "\x1b", 0x1B, '\x1b', true, '\x1b'},
    {"tab", Qt::Key_Tab, None, "\t", 0x09, '\t', false, 0},
    {"back tab", Qt::Key_Backtab, Shift, "", 0x09, '\t', false, 0},
    {"page up", Qt::Key_PageUp, None, "", 0x21, 0, false, 0},
    {"page down", Qt::Key_PageDown, None, "", 0x22, 0, false, 0},
    {"end", Qt::Key_End, None, "", 0x23, 0, false, 0},
    {"left", Qt::Key_Left, None, "", 0x25, 0, false, 0},
    {"up", Qt::Key_Up, None, "", 0x26, 0, false, 0},
    {"right", Qt::Key_Right, None, "", 0x27, 0, false, 0},
    {"down", Qt::Key_Down, Qt::AltModifier, "", 0x28, 0, false, 0},
    {"insert", Qt::Key_Insert, None, "", 0x2D, 0, false, 0},
    {"delete", Qt::Key_Delete, None, "\x7f", 0x2E, 0, false, 0},
    {"F1", Qt::Key_F1, None, "", 0x70, 0, false, 0},
    {"F12", Qt::Key_F12, None, "", 0x7B, 0, false, 0},
    {"accented letter", Qt::Key_Eacute, None, "\xc3\xa9", 0xDF, '\xe9', true, '\xe9'},
    {"shifted accented letter", Qt::Key_Eacute, Shift, "\xc3\x89", 0xDF, '\xe9', true, '\xc9'},
    {"euro sign", 0x20AC, None, "\xe2\x82\xac", 0xDF, '\x80', true, '\x80'},
    {"a letter Windows-1252 lacks", 0x416, None, "\xd0\x96", 0, 0, false, 0},
    {"shift alone", Qt::Key_Shift, Shift, "", 0, 0, false, 0},
};

TEST(KeyTranslation, TheTable) {
  for (const Row& row : kRows) {
    SCOPED_TRACE(row.Name);
    const TTranslatedKey got = TranslateKey(row.QtKey, row.Modifiers, QString::fromUtf8(row.Text));
    EXPECT_EQ(got.Key.Key, row.Key);
    EXPECT_EQ(got.Key.Char, row.Char);
    EXPECT_EQ(got.Types, row.Types);
    EXPECT_EQ(got.Typed, row.Typed);
  }
}

TEST(KeyTranslation, ModifiersCarryOver) {
  const TTranslatedKey key = TranslateKey(Qt::Key_Down, Qt::AltModifier | Qt::ShiftModifier | Qt::ControlModifier, "");
  EXPECT_TRUE(key.Key.Alt);
  EXPECT_TRUE(key.Key.Shift);
  EXPECT_TRUE(key.Key.Ctrl);
  const TTranslatedKey backTab = TranslateKey(Qt::Key_Backtab, Qt::NoModifier, "");
  EXPECT_TRUE(backTab.Key.Shift);
}

}  // namespace
