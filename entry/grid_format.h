// The grid view's column layout of a template, Grid<nnn>.FMT in the data
// folder (<nnn> the template number, zero-filled).
//
// Text, one decimal integer per line, each line ended by CR LF when
// written; read with CR LF or LF, a last line without an end counting too:
//   line 1    the default row height
//   line 2    the header row's height
//   line 3..  one width per column 0 .. ColCount - 3 in column order; a
//             hidden column is written as its kept width made negative
//             (0 or less), so any value below 1 reads as hidden
// A line that is no integer ends the values read; what is missing keeps
// the grid's defaults.
#pragma once

#include <string>
#include <string_view>
#include <vector>

struct TGridFormat {
  int DefaultRowHeight = 0;
  int HeaderHeight = 0;
  std::vector<int> Widths;
};

// What a file holds up to its first bad or missing line: Lines counts the
// values read (0, 1, 2 or 2 + the widths read).
struct TGridFormatRead {
  TGridFormat Format;
  int Lines = 0;
};

std::string EncodeGridFormat(const TGridFormat& Format);
TGridFormatRead DecodeGridFormat(std::string_view Bytes);

// Its name is GridFormatFileName (templates/template_build.h), which a
// template's save also uses to drop the file.

// False when the file cannot be read (Read untouched); never raises.
bool ReadGridFormatFile(const std::string& FileName, TGridFormatRead& Read);
// The whole file replaced in one step; false when it cannot be written.
bool WriteGridFormatFile(const std::string& FileName, const TGridFormat& Format);
