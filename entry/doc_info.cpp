#include "entry/doc_info.h"

namespace {

std::string QuotedLine(const std::vector<TDocItem>& Items, std::string TDocItem::*Part) {
  std::string line = "\"";
  for (size_t i = 0; i < Items.size(); ++i) {
    if (i) line += "\",\"";
    line += Items[i].*Part;
  }
  return line + "\"\r\n";
}

}  // namespace

std::string DocInfoText(const std::vector<TDocItem>& Items) {
  return QuotedLine(Items, &TDocItem::Name) + QuotedLine(Items, &TDocItem::Value);
}

std::string DocInfoFileName(const std::string& DataRoot) { return DataRoot + "\\DocInfo.Txt"; }
