// The ordinary build of a fuzz target: replays every file of the folders
// (or the files) named on the command line through LLVMFuzzerTestOneInput,
// so each input that ever found a fault keeps being tried by the test run.
//   fuzz_<target> FOLDER|FILE...        replay; exit 0 when all ran
//   fuzz_<target> --write-seeds FOLDER  write the target's seeds there
#include "fuzz/fuzz_support.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

int WriteSeeds(const std::filesystem::path& folder) {
  std::filesystem::create_directories(folder);
  for (const auto& [name, bytes] : FuzzSeeds()) WriteWholeFile((folder / ("seed-" + name)).string(), bytes);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::string(argv[1]) == "--write-seeds") return WriteSeeds(argv[2]);
  std::vector<std::filesystem::path> inputs;
  for (int i = 1; i < argc; ++i) {
    const std::filesystem::path arg(argv[i]);
    if (std::filesystem::is_directory(arg)) {
      for (const auto& entry : std::filesystem::directory_iterator(arg))
        if (entry.is_regular_file()) inputs.push_back(entry.path());
    } else {
      inputs.push_back(arg);
    }
  }
  std::sort(inputs.begin(), inputs.end());
  if (inputs.empty()) {
    std::fprintf(stderr, "no inputs to replay\n");
    return 1;
  }
  for (const auto& input : inputs) {
    const std::string bytes = ReadWholeFile(input.string());
    std::fprintf(stderr, "replay %s (%zu bytes)\n", input.filename().c_str(), bytes.size());
    LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
  }
  std::fprintf(stderr, "replayed %zu inputs\n", inputs.size());
  return 0;
}
