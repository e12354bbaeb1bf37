#include "templates/busy_creation.h"

#include "btrieve/binding.h"
#include "btrieve/status_text.h"

TAttempt CreationAttempt(bool Created, const std::string& Msg) {
  if (Created) return TAttempt::Made;
  return Msg == BtrieveStatusText(BtrStatus::FileLocked) ? TAttempt::Busy : TAttempt::Failed;
}
