// make-sample-office FOLDER: writes the sample office's nine family files
// into FOLDER (the family's data folder), creating it when missing.
//
// Exit status 0 with each file and its record count on stdout; 1 with the
// reason on stderr when FOLDER already holds a family file (nothing is
// written) or writing fails (what this run created is removed again); 2
// with the usage on stderr for a wrong command line. "--help" or "-h"
// alone prints the usage on stdout, status 0.
#include "btrieve/numbered_files.h"
#include "platform/errors.h"
#include "templates/sample_office.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

// The system's texts break lines with a carriage return; a terminal wants
// a line feed.
void PrintLine(FILE* To, std::string Line) {
  for (char& c : Line)
    if (c == '\r') c = '\n';
  std::fwrite(Line.data(), 1, Line.size(), To);
  std::fputc('\n', To);
}

const char* const Usage = "usage: make-sample-office FOLDER";

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && (std::string(argv[1]) == "--help" || std::string(argv[1]) == "-h")) {
    PrintLine(stdout, Usage);
    return 0;
  }
  if (argc != 2 || argv[1][0] == '\0' || argv[1][0] == '-') {
    PrintLine(stderr, Usage);
    return 2;
  }
  const std::string folder = argv[1];
  std::vector<TSampleFileCount> counts;
  std::string msg;
  const bool written = WriteSampleOffice(folder, BuildSampleOffice(), counts, msg);
  FinalizeBtrLayer();
  if (!written) {
    PrintLine(stderr, "make-sample-office: " + msg);
    return 1;
  }
  for (const TSampleFileCount& c : counts)
    PrintLine(stdout, c.Name + ": " + std::to_string(c.Records) + (c.Records == 1 ? " record" : " records"));
  return 0;
}
