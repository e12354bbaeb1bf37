#include "platform/qt/clipboard_qt.h"

#include "platform/clipboard.h"
#include "platform/errors.h"
#include "platform/qt/widget_text.h"

#include <QClipboard>
#include <QGuiApplication>

namespace {

class QtClipboard : public ClipboardService {
 public:
  // Another program's text may hold characters Windows-1252 lacks; it reads
  // as empty rather than as something it is not.
  std::string Text() override {
    try {
      return StoredText(QGuiApplication::clipboard()->text());
    } catch (const EConvertError&) {
      return {};
    }
  }
  void SetText(const std::string& text) override { QGuiApplication::clipboard()->setText(WidgetText(text)); }
};

}  // namespace

void UseQtClipboard() {
  static QtClipboard clipboard;
  SetClipboardService(&clipboard);
}
