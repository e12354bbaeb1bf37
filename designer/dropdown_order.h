// The dropdown list editor's rules without a widget: the names in their
// left-to-right order with their key marks, the selected one, and what Move
// Left, Move Right and Delete do to them or say instead.
//
// The leftmost name is always a key field; when the first name is a family
// file's name field (Client name, Case Alternate ID, Employee name) a later
// name that is the same file's code field is a key field too. A move swaps
// two names with their key marks, so no name but a key field ever reaches
// the leftmost place.
#pragma once

#include <string>
#include <vector>

inline const std::string DropdownLockedMsg =
    "This change is not allowed because there is data in your template.\rAn index field for a lookup cannot be "
    "changed once data is present.";
inline const std::string NotIntoLeftmostMsg =
    "You may not move this field into the leftmost position.\rThe leftmost position must be occupied by a key field.";
inline const std::string NotOutOfLeftmostMsg =
    "You may not move this key field out of the leftmost position.\rThe leftmost position must be occupied by a key "
    "field.";
inline const std::string RemoveKeyFieldQuestion =
    "This dropdown list is based upon the key field you are attempting to delete.\r\rIf you delete the key field, "
    "all the fields will be removed from the list\rand you will have to select new fields.\r\rSpecify \"Yes\" to "
    "remove all the fields from the list.";

// What a Delete asks for.
enum class TDropdownDelete { Refused, AskRemoveAll, Removed };

class TDropdownOrder {
public:
  // Names as the lookup form gives them (each with its trailing blanks).
  TDropdownOrder(std::vector<std::string> Names, bool Locked);

  const std::vector<std::string>& Names() const { return names_; }
  const std::vector<bool>& Keys() const { return keys_; }
  int Count() const { return int(names_.size()); }
  int Selected() const { return selected_; }
  void Select(int I);

  // Moves the selected name one place; an empty text when done or when
  // there is nothing to move, else the refusal (the locked one without
  // the contact line, which the form adds).
  std::string MoveLeft();
  std::string MoveRight();

  // Delete of the selected name: Refused (LockedRefusal), AskRemoveAll
  // (RemoveKeyFieldQuestion, then RemoveAll on Yes), or Removed.
  TDropdownDelete Delete();
  void RemoveAll();
  bool LockedRefusal() const { return locked_ && selected_ == 0; }

private:
  void Swap(int A, int B);

  std::vector<std::string> names_;
  std::vector<bool> keys_;
  bool locked_;
  int selected_ = 0;
};
