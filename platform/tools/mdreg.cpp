// mdreg: the registry from a shell, for people and scripts. It works on the
// file the program uses (RegistryFileName) through the same code, so its
// writes take the same lock and land the same way.
//
//   mdreg get KEY NAME                     prints the value
//   mdreg set [--dword|--hex] KEY NAME VALUE
//   mdreg list [KEY]                       subkeys (with a trailing "\"), then values
//   mdreg delete KEY [NAME]                a value, or the key with its subkeys
//   mdreg --help | -h                      this usage, on standard output
//
// Texts are UTF-8 on the command line and on output. get prints a text as it
// is, a number in decimal, binary data as hex pairs ("01,ff"); list prints
// values as the file holds them. --dword takes a decimal or "0x" hex number,
// --hex comma-separated byte pairs.
//
// Exit status: 0 done, 1 no such key or value, 2 a usage error (the usage on
// standard error) or a failure.
#include "platform/codepage.h"
#include "platform/errors.h"
#include "platform/registry.h"
#include "platform/text.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int kDone = 0;
constexpr int kAbsent = 1;
constexpr int kFailed = 2;

constexpr const char* kUsage =
    "usage: mdreg get KEY NAME\n"
    "       mdreg set [--dword|--hex] KEY NAME VALUE\n"
    "       mdreg list [KEY]\n"
    "       mdreg delete KEY [NAME]\n"
    "       mdreg --help\n";

void Print(const std::string& win1252) {
  const std::string line = Win1252ToUtf8(win1252) + "\n";
  std::fwrite(line.data(), 1, line.size(), stdout);
}

int Absent(const std::string& what) {
  std::fprintf(stderr, "mdreg: %s\n", Win1252ToUtf8(what).c_str());
  return kAbsent;
}

// The value as list prints it, or as get does (the data alone, a text unquoted).
RegValue ValueOf(TRegistry& reg, const std::string& name) {
  RegValue value{name, reg.GetDataType(name), "", 0};
  if (value.Type == rdInteger) value.Integer = reg.ReadInteger(name);
  if (value.Type == rdBinary) value.Data = reg.ReadBinaryData(name);
  if (value.Type == rdString) value.Data = reg.ReadString(name);
  return value;
}

int Get(const std::string& key, const std::string& name) {
  TRegistry reg;
  if (!reg.OpenKeyReadOnly(key)) return Absent("no key " + key);
  if (!reg.ValueExists(name)) return Absent("no value " + name + " in " + key);
  const RegValue value = ValueOf(reg, name);
  if (value.Type == rdString) {
    Print(value.Data);
  } else if (value.Type == rdInteger) {
    Print(IntToStr(value.Integer));
  } else {
    Print(FormatRegData(value).substr(4));  // after "hex:"
  }
  return kDone;
}

int Set(const std::string& type, const std::string& key, const std::string& name, const std::string& text) {
  RegValue value{name, rdString, text, 0};
  if (type == "--dword") {
    value.Type = rdInteger;
    if (!TryStrToInt(text, value.Integer)) throw Exception("'" + text + "' is not a 32-bit number");
  } else if (type == "--hex") {
    if (!ParseRegData("hex:" + text, value)) throw Exception("'" + text + "' is not a list of hex byte pairs");
  }
  TRegistry reg;
  if (!reg.OpenKey(key, true)) throw Exception("cannot open or create the key " + key);
  if (value.Type == rdInteger) reg.WriteInteger(name, value.Integer);
  if (value.Type == rdBinary) reg.WriteBinaryData(name, value.Data);
  if (value.Type == rdString) reg.WriteString(name, value.Data);
  return kDone;
}

int List(const std::string& key) {
  TRegistry reg;
  if (!reg.OpenKeyReadOnly(key)) return Absent("no key " + key);
  for (const std::string& subkey : reg.GetKeyNames()) Print(subkey + "\\");
  for (const std::string& name : reg.GetValueNames()) {
    Print(QuoteRegText(name) + "=" + FormatRegData(ValueOf(reg, name)));
  }
  return kDone;
}

int Delete(const std::string& key, const std::string* name) {
  TRegistry reg;
  if (!name) return reg.DeleteKey(key) ? kDone : Absent("no key " + key);
  if (!reg.OpenKey(key, false)) return Absent("no key " + key);
  return reg.DeleteValue(*name) ? kDone : Absent("no value " + *name + " in " + key);
}

int Run(const std::vector<std::string>& args) {
  const size_t n = args.size();
  const std::string command = n ? args[0] : "";
  if ((command == "--help" || command == "-h") && n == 1) {
    std::fputs(kUsage, stdout);
    return kDone;
  }
  if (command == "get" && n == 3) return Get(args[1], args[2]);
  if (command == "set" && n == 4) return Set("", args[1], args[2], args[3]);
  if (command == "set" && n == 5 && (args[1] == "--dword" || args[1] == "--hex")) {
    return Set(args[1], args[2], args[3], args[4]);
  }
  if (command == "list" && n <= 2) return List(n == 2 ? args[1] : "\\");
  if (command == "delete" && (n == 2 || n == 3)) return Delete(args[1], n == 3 ? &args[2] : nullptr);
  std::fputs(kUsage, stderr);
  return kFailed;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) args.push_back(Utf8ToWin1252(argv[i]));
    return Run(args);
  } catch (const Exception& e) {
    std::fprintf(stderr, "mdreg: %s\n", Win1252ToUtf8(e.Message).c_str());
    return kFailed;
  }
}
