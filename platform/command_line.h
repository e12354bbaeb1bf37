// The program's command line as the runtime gives it: ParamStr(0) the
// program, ParamStr(1)..ParamStr(ParamCount) its parameters, each in
// Windows-1252 like every other text the program keeps. The arguments arrive
// as UTF-8 and are converted once, at start-up.
#pragma once

#include <string>
#include <vector>

// Replaces the command line with Args (UTF-8, the program first). An
// argument that is not UTF-8, or holds a character Windows-1252 cannot hold,
// leaves the command line empty and answers false with a message naming its
// position in Error.
bool SetCommandLine(const std::vector<std::string>& Args, std::string& Error);

// The parameters after the program.
int ParamCount();
// "" for an index outside 0..ParamCount().
std::string ParamStr(int Index);
