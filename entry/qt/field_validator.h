// What a person may type or paste into a field edit: at most MaxLength
// characters, only what Windows-1252 holds, in capitals for an upper-case
// field. A validator and not QLineEdit::setMaxLength, which would also cut
// what the program sets (defaults, reloaded records, parameters): program
// text, key bytes included, passes unchanged.
#pragma once

#include <QValidator>

class TFieldValidator : public QValidator {
public:
  // RefuseUnstorable false: such a character passes, for a screen that
  // takes it back with a message of its own.
  TFieldValidator(int MaxLength, bool Upper, QObject* Parent, bool RefuseUnstorable = true);

  State validate(QString& Input, int& Pos) const override;
  int MaxLength() const { return maxLength_; }

private:
  int maxLength_;
  bool upper_;
  bool refuseUnstorable_;
};

// True when Windows-1252 holds every character of Text.
bool StorableText(const QString& Text);
