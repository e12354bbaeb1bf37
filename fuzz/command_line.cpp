// The command line (platform/command_line.h) from any bytes: the arguments
// are the input split at zero bytes, the program first. A line that is
// taken gives its parameters back; one that is refused says which
// argument and leaves the line empty.
#include "fuzz/fuzz_support.h"
#include "platform/command_line.h"

#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  std::vector<std::string> args;
  std::string_view rest(reinterpret_cast<const char*>(bytes), size);
  for (size_t end; (end = rest.find('\0')) != std::string_view::npos; rest.remove_prefix(end + 1))
    args.emplace_back(rest.substr(0, end));
  args.emplace_back(rest);
  std::string error;
  if (!SetCommandLine(args, error)) {
    if (error.empty() || ParamCount() != 0) std::abort();
    return 0;
  }
  if (ParamCount() != int(args.size()) - 1) std::abort();
  for (int i = -1; i <= ParamCount() + 1; ++i) ParamStr(i);
  return 0;
}

FuzzSeedList FuzzSeeds() {
  using namespace std::string_literals;
  return {{"program-x", "mtdesk\0X"s}, {"latin", "mtdesk\0Caf\xc3\xa9\0-d"s}};
}
