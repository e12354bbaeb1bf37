// The programs this program starts, found by the file name a Windows-style
// command line gives them ("<ExeDir>\quaps.exe", "...\WINWORD.EXE"). Each
// name in the table stands for a native executable in the folder that name
// gives, or for a command configured in its place. Names compare
// case-insensitively, as file names do here.
//
// A name resolves, first match wins, to: a command configured with
// ConfigureProgramCommand; an executable in the folder the name gives, then
// in the program folder (SetProgramFolder), named as the table says, as the
// file name, or as the file name without ".exe", in any case; the command
// line the registry keeps under "\Software\Ondral\Corvenstead\Programs",
// value named by the file name ("zorvik.exe"), split at blanks with double
// quotes grouping (SplitCommandText); else the table's executable in the
// name's folder, whose start then fails as a missing program does.
//
// The table starts with the program's own instances ("MtDESK.exe", the
// "mtdesk" beside it) and the outside programs the screens start
// ("zorvik.exe", "quaps.exe", "WINWORD.EXE"); more come with
// RegisterProgram. A name not in the table starts nothing: no command line
// reaches a program this table does not know.
//
// UI thread only.
#pragma once

#include <string>
#include <vector>

// Adds FileName (e.g. "quaps.exe") or changes its entry: it starts
// Executable, a native file name, from the folder the calling name gives.
// A configured command stays.
void RegisterProgram(const std::string& FileName, const std::string& Executable);

// Starts Command in place of FileName's executable: Command[0] the program
// (looked up on PATH when it holds no "/"), the rest arguments put before
// the caller's. An empty Command drops the configuration. A name not yet in
// the table is added.
void ConfigureProgramCommand(const std::string& FileName, const std::vector<std::string>& Command);

// The folder the program's outside programs are looked for in after the
// name's own folder: the running program's folder. "" (the start) looks in
// no other folder.
void SetProgramFolder(const std::string& Folder);

// Blank-separated words; a double quote starts or ends a group in which
// blanks belong to the word, and is itself dropped ("a \"b c\"" gives "a",
// "b c"; "\"\"" an empty word).
std::vector<std::string> SplitCommandText(const std::string& Text);

// Where configured command lines are kept.
inline const std::string ProgramsRegistryKey = "\\Software\\Ondral\\Corvenstead\\Programs";

// The native command for Name: the program's path first, then any
// configured arguments. Empty when the table has no entry for Name's file
// name. Whether the executable exists is the start's to find out.
std::vector<std::string> ResolveProgram(const std::string& Name);

// The table as it starts, nothing configured, no program folder (for tests).
void ResetProgramTable();
