// What a person may type or paste into a field edit: at most MaxLength
// characters, only what Windows-1252 holds, in capitals for an upper-case
// field. A validator and not QLineEdit::setMaxLength, which would also cut
// what the program sets (defaults, reloaded records, parameters): program
// text, key bytes included, passes unchanged.
#pragma once

#include <QValidator>

class TFieldValidator : public QValidator {
public:
  TFieldValidator(int MaxLength, bool Upper, QObject* Parent);

  State validate(QString& Input, int& Pos) const override;

private:
  int maxLength_;
  bool upper_;
};

// True when Windows-1252 holds every character of Text.
bool StorableText(const QString& Text);
