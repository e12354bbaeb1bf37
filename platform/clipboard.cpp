#include "platform/clipboard.h"

namespace {

class ProcessClipboard : public ClipboardService {
 public:
  std::string Text() override { return text_; }
  void SetText(const std::string& text) override { text_ = text; }

 private:
  std::string text_;
};

ProcessClipboard stand_in;
ClipboardService* current = &stand_in;

}  // namespace

std::string ClipboardText() { return current->Text(); }

void SetClipboardText(const std::string& text) { current->SetText(text); }

ClipboardService* SetClipboardService(ClipboardService* service) {
  ClipboardService* previous = current;
  current = service ? service : &stand_in;
  return previous;
}
