#include "platform/errors.h"

void Abort() { throw EAbort(); }
