#include "platform/command_line.h"

#include "platform/codepage.h"
#include "platform/errors.h"
#include "platform/text.h"

namespace {

std::vector<std::string> params;

}  // namespace

bool SetCommandLine(const std::vector<std::string>& Args, std::string& Error) {
  std::vector<std::string> converted;
  converted.reserve(Args.size());
  for (size_t i = 0; i < Args.size(); ++i) {
    try {
      converted.push_back(Utf8ToWin1252(Args[i]));
    } catch (const EConvertError& e) {
      params.clear();
      Error = "Parameter " + IntToStr(i) + " of the command line cannot be used.\r\r" + e.Message + ".";
      return false;
    }
  }
  params = std::move(converted);
  Error.clear();
  return true;
}

int ParamCount() { return params.empty() ? 0 : int(params.size()) - 1; }

std::string ParamStr(int Index) {
  if (Index < 0 || size_t(Index) >= params.size()) return {};
  return params[size_t(Index)];
}
