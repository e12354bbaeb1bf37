#include "templates/template_recovery.h"

bool TemplateBackupExists(const std::string& /*DataDir*/, int /*TplNo*/) { return false; }

bool RecoverTemplateLocked(const std::string& /*DataDir*/, int /*TplNo*/) { return true; }

bool RecoverTemplate(const std::string& /*DataDir*/, int /*TplNo*/, const std::string& /*FileName*/,
                     const std::string& /*LockMsg*/) {
  return true;
}

void RecoverTemplatesAtStartup(const std::string& /*DataDir*/) {}
