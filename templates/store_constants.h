// Texts the template store shares with every screen that reports a failure
// about the shared files.
#pragma once

#include <string>

// Appended to messages about shared files.
inline const std::string ContactMsg = "\r\rPlease contact Ondral, Inc. for assistance.";

// The retry question at the open of one template's file: Lead (what could
// not be opened), the advice to look at the other workstations, the
// question.
inline std::string TemplateRetryText(const std::string& Lead) {
  return Lead +
         "\r\rIf there are other workstations present, check to see if the template is\rbeing accessed.  You may "
         "retry this operation and this message will reappear if\rthe file remains inaccessable.  Otherwise, contact "
         "Ondral, Inc. for assistance.\r\rRetry opening the file?";
}
