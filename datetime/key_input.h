// A key as the date controls' models see it: the Windows virtual-key code,
// the character the key gives unshifted, and the modifiers. The widgets
// translate their toolkit's keys into this; every rule about keys is written
// against these codes.
#pragma once

#include <cstdint>

struct KeyInput {
  uint16_t Key = 0;  // virtual-key code; a handler sets it to 0 to consume the key
  char Char = 0;     // the key's unshifted character (Windows-1252), 0 for none
  bool Shift = false;
  bool Ctrl = false;
  bool Alt = false;
};

// The virtual-key codes the rules name. Digits and letters are their ASCII
// codes ('0'-'9', 'A'-'Z').
namespace vk {
constexpr uint16_t Back = 0x08;
constexpr uint16_t Tab = 0x09;
constexpr uint16_t Return = 0x0D;
constexpr uint16_t Escape = 0x1B;
constexpr uint16_t Space = 0x20;
constexpr uint16_t Prior = 0x21;
constexpr uint16_t Next = 0x22;
constexpr uint16_t End = 0x23;
constexpr uint16_t Home = 0x24;
constexpr uint16_t Left = 0x25;
constexpr uint16_t Up = 0x26;
constexpr uint16_t Right = 0x27;
constexpr uint16_t Down = 0x28;
constexpr uint16_t Insert = 0x2D;
constexpr uint16_t Delete = 0x2E;
constexpr uint16_t Numpad0 = 0x60;
constexpr uint16_t Numpad9 = 0x69;
constexpr uint16_t Multiply = 0x6A;
constexpr uint16_t Add = 0x6B;
constexpr uint16_t Subtract = 0x6D;
constexpr uint16_t Decimal = 0x6E;
constexpr uint16_t Divide = 0x6F;
constexpr uint16_t F1 = 0x70;
constexpr uint16_t F24 = 0x87;
constexpr uint16_t Oem1 = 0xBA;       // ';' unshifted
constexpr uint16_t OemPlus = 0xBB;    // '=' unshifted
constexpr uint16_t OemComma = 0xBC;   // ','
constexpr uint16_t OemMinus = 0xBD;   // '-'
constexpr uint16_t OemPeriod = 0xBE;  // '.'
constexpr uint16_t Oem2 = 0xBF;       // '/'
constexpr uint16_t Oem3 = 0xC0;       // '`'
constexpr uint16_t Oem4 = 0xDB;       // '['
constexpr uint16_t Oem5 = 0xDC;       // '\\'
constexpr uint16_t Oem6 = 0xDD;       // ']'
constexpr uint16_t Oem7 = 0xDE;       // '\''
constexpr uint16_t Oem8 = 0xDF;       // a character of no other key
}  // namespace vk

// The control characters KeyPress sees.
namespace kc {
constexpr char Backspace = 8;
constexpr char Enter = 13;
constexpr char Escape = 27;
constexpr char CtrlV = 22;
constexpr char CtrlX = 24;
}  // namespace kc
