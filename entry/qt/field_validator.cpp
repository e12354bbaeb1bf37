#include "entry/qt/field_validator.h"

#include "platform/errors.h"
#include "platform/qt/widget_text.h"

TFieldValidator::TFieldValidator(int MaxLength, bool Upper, QObject* Parent, bool RefuseUnstorable)
    : QValidator(Parent), maxLength_(MaxLength), upper_(Upper), refuseUnstorable_(RefuseUnstorable) {}

QValidator::State TFieldValidator::validate(QString& Input, int&) const {
  if (refuseUnstorable_ && !StorableText(Input)) return Invalid;
  if (upper_) Input = Input.toUpper();
  if (maxLength_ > 0 && Input.size() > maxLength_) return Invalid;
  return Acceptable;
}

bool StorableText(const QString& Text) {
  try {
    StoredText(Text);
    return true;
  } catch (const EConvertError&) {
    return false;
  }
}
