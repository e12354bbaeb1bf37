#include "platform/errors.h"

void Abort() { throw EAbort(); }

std::string ExceptionText(const std::exception& E) {
  const auto* own = dynamic_cast<const Exception*>(&E);
  return own ? own->Message : std::string(E.what());
}
