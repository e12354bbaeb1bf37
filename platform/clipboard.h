// The clipboard's text, Windows-1252 like all stored text. Behind a
// replaceable service: the program installs the system clipboard
// (platform/qt/clipboard_qt.h), tests a recorder. Until then a text kept in
// this process stands in. UI thread only.
#pragma once

#include <string>

class ClipboardService {
 public:
  virtual ~ClipboardService() = default;
  virtual std::string Text() = 0;
  virtual void SetText(const std::string& text) = 0;
};

std::string ClipboardText();
void SetClipboardText(const std::string& text);

// Installs `service` (nullptr: the stand-in) and returns the previous one.
ClipboardService* SetClipboardService(ClipboardService* service);
