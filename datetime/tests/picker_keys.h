// Keys for the picker model as a keyboard gives them: by name, each run
// through KeyDown and then, when the key types a character, KeyPress, which
// is what the picker widget does with every key.
//
// Names: digits "0"-"9", "Num0"-"Num9" (keypad), lower-case letters "a"-"z",
// "/", "+", "-", "=", "Space", "Enter", "Esc", "Del", "Bksp", "Left", "Right",
// "Up", "Down", "Home", "End"; a prefix "S-" holds Shift, "A-" Alt.
#pragma once

#include "datetime/picker_model.h"

#include <sstream>
#include <stdexcept>
#include <string>
#include <string_view>

namespace picker_keys {

struct TKeyStroke {
  KeyInput Key;
  char Typed = 0;  // the character the key types, 0 for none
};

inline TKeyStroke Stroke(std::string_view name) {
  TKeyStroke stroke;
  KeyInput& key = stroke.Key;
  while (name.size() > 2 && name[1] == '-') {
    (name[0] == 'S' ? key.Shift : key.Alt) = true;
    name.remove_prefix(2);
  }
  const auto named = [&](uint16_t code, char unshifted, char typed) {
    key.Key = code, key.Char = unshifted, stroke.Typed = typed;
  };
  if (name.size() == 1 && name[0] >= '0' && name[0] <= '9') {
    named(static_cast<uint16_t>(name[0]), name[0], name[0]);
  } else if (name.size() == 1 && name[0] >= 'a' && name[0] <= 'z') {
    const char upper = static_cast<char>(name[0] - 'a' + 'A');
    named(static_cast<uint16_t>(upper), upper, key.Shift ? upper : name[0]);
  } else if (name.size() == 4 && name.substr(0, 3) == "Num") {
    named(static_cast<uint16_t>(vk::Numpad0 + (name[3] - '0')), name[3], name[3]);
  } else if (name == "/") {
    named(vk::Oem2, '/', '/');
  } else if (name == "+") {
    named(vk::Add, '+', '+');
  } else if (name == "-") {
    named(vk::OemMinus, '-', '-');
  } else if (name == "=") {
    named(vk::OemPlus, '=', '=');
  } else if (name == "Space") {
    named(vk::Space, ' ', ' ');
  } else if (name == "Enter") {
    named(vk::Return, kc::Enter, kc::Enter);
  } else if (name == "Esc") {
    named(vk::Escape, kc::Escape, kc::Escape);
  } else if (name == "Bksp") {
    named(vk::Back, kc::Backspace, kc::Backspace);
  } else if (name == "Del") {
    named(vk::Delete, 0, 0);
  } else if (name == "Left") {
    named(vk::Left, 0, 0);
  } else if (name == "Right") {
    named(vk::Right, 0, 0);
  } else if (name == "Up") {
    named(vk::Up, 0, 0);
  } else if (name == "Down") {
    named(vk::Down, 0, 0);
  } else if (name == "Home") {
    named(vk::Home, 0, 0);
  } else if (name == "End") {
    named(vk::End, 0, 0);
  } else {
    throw std::invalid_argument("no key named " + std::string(name));
  }
  return stroke;
}

inline void Press(PickerModel& model, TKeyStroke stroke) {
  model.KeyDown(stroke.Key);
  if (stroke.Typed != 0) model.KeyPress(stroke.Typed);
}

// Keys separated by blanks: "1 / 2 / 2030" is not one key per digit; write "2 0 3 0".
inline void Type(PickerModel& model, const std::string& keys) {
  std::istringstream names(keys);
  std::string name;
  while (names >> name) Press(model, Stroke(name));
}

}  // namespace picker_keys
