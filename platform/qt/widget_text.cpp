#include "platform/qt/widget_text.h"

#include "platform/codepage.h"

QString WidgetText(const std::string& stored) {
  const std::string utf8 = Win1252ToUtf8(stored);
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

std::string StoredText(const QString& shown) {
  const QByteArray utf8 = shown.toUtf8();
  return Utf8ToWin1252(std::string(utf8.constData(), static_cast<std::size_t>(utf8.size())));
}

int StoredMemoLength(const QString& shown) { return int(shown.size() + shown.count(QChar('\n'))); }
