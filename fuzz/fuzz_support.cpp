#include "fuzz/fuzz_support.h"

#include "platform/dialogs.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

namespace {

class ScratchDir {
public:
  ScratchDir() {
    const char* base = std::filesystem::is_directory("/dev/shm") ? "/dev/shm" : std::getenv("TMPDIR");
    std::string pattern = std::string(base ? base : "/tmp") + "/mdfuzz-XXXXXX";
    if (!mkdtemp(pattern.data())) {
      std::perror("mkdtemp");
      std::abort();
    }
    path = pattern;
  }
  ~ScratchDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
  }
  std::string path;
};

class QuietDialogs : public DialogService {
public:
  int MessageDlg(const std::string& text, TMsgDlgType, TMsgDlgButtons buttons, int) override {
    if (std::getenv("MD_FUZZ_SHOW_MESSAGES")) std::fprintf(stderr, "message: %s\n", text.c_str());
    if (HasButton(buttons, mbCancel)) return mrCancel;
    if (HasButton(buttons, mbNo)) return mrNo;
    return mrOk;
  }
  bool InputQuery(const std::string&, const std::string&, std::string&) override { return false; }
};

}  // namespace

const std::string& ScratchFolder() {
  static ScratchDir dir;
  return dir.path;
}

std::string ScratchPath(std::string_view name) { return ScratchFolder() + "/" + std::string(name); }

void WriteWholeFile(const std::string& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), std::streamsize(bytes.size()));
}

std::string ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void RemoveStoredFile(const std::string& path) {
  for (const char* suffix : {"", ".lck", "-journal"}) std::remove((path + suffix).c_str());
}

void InstallQuietDialogs() {
  static QuietDialogs quiet;
  SetDialogService(&quiet);
}
