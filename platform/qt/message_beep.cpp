#include "platform/qt/message_beep.h"

#include <QApplication>

namespace {

BeepSink sink;

}  // namespace

void MessageBeep(unsigned type) {
  if (sink)
    sink(type);
  else
    QApplication::beep();
}

BeepSink SetBeepSink(BeepSink replacement) {
  BeepSink previous = std::move(sink);
  sink = std::move(replacement);
  return previous;
}
