// mdmsg: sends and watches the instance messages of the program by hand.
//
//   mdmsg listen [--hub]
//   mdmsg send status CODE NAME [N1 N2]
//   mdmsg send command NAME CMD [N1 N2 TEXT72 EXTRA20]
//   mdmsg send grid NAME CMD [TEXT72 EXTRA20]
//   mdmsg send raw MSGNAME TEXT
//   mdmsg --help | -h
//
// Arguments are UTF-8 and travel as Windows-1252. --help prints the usage
// on stdout (exit status 0). No command or an unknown one: the usage on
// stderr; other bad arguments: one line on stderr; either way exit status 2.
// The bus off or the hub taken: exit status 1.
#include "platform/atoms.h"
#include "platform/codepage.h"
#include "platform/errors.h"
#include "platform/instance_bus.h"
#include "platform/text.h"
#include "platform/window_messages.h"
#include "templates/instance_messages.h"

#include <poll.h>
#include <signal.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr int kBadArguments = 2;
constexpr int kNoBus = 1;

constexpr const char* kUsage =
    "usage: mdmsg listen [--hub]\n"
    "       mdmsg send status CODE NAME [N1 N2]\n"
    "       mdmsg send command NAME CMD [N1 N2 TEXT72 EXTRA20]\n"
    "       mdmsg send grid NAME CMD [TEXT72 EXTRA20]\n"
    "       mdmsg send raw MSGNAME TEXT\n"
    "       mdmsg --help\n"
    "Watches (listen) or sends (send) the instance messages of the running copies of the program.\n"
    "Arguments are UTF-8 and travel as Windows-1252.\n";

class BadArguments : public Exception {
 public:
  using Exception::Exception;
};

void PrintLine(FILE* to, const std::string& line) {
  std::fwrite(line.data(), 1, line.size(), to);
  std::fputc('\n', to);
  std::fflush(to);
}

// Stored bytes for a terminal: control bytes (and the five bytes
// Windows-1252 leaves unassigned) escaped, the rest as UTF-8, in quotes.
std::string Shown(const std::string& text) {
  std::string escaped;
  for (const char c : text) {
    const auto byte = uint8_t(c);
    const bool control = byte < 0x20 || byte == 0x7F || byte == 0x81 || byte == 0x8D || byte == 0x8F ||
                         byte == 0x90 || byte == 0x9D;
    if (c == '\\' || c == '"') {
      escaped += '\\';
      escaped += c;
    } else if (c == '\r') {
      escaped += "\\r";
    } else if (c == '\n') {
      escaped += "\\n";
    } else if (c == '\t') {
      escaped += "\\t";
    } else if (control) {
      escaped += "\\x" + IntToHex(byte, 2);
    } else {
      escaped += c;
    }
  }
  return "\"" + Win1252ToUtf8(escaped) + "\"";
}

std::string TimeOfDay() {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  tm local{};
  localtime_r(&now.tv_sec, &local);
  char text[32];
  std::snprintf(text, sizeof(text), "%02d:%02d:%02d.%03ld", local.tm_hour, local.tm_min, local.tm_sec,
                now.tv_nsec / 1000000);
  return text;
}

void PrintMessage(UINT msg, WPARAM sender, LPARAM lParam) {
  const std::string text = GlobalGetAtomName(ATOM(lParam & 0xFFFF));
  PrintLine(stdout, TimeOfDay() + " " + RegisteredMessageName(msg) + " from " + IntToStr(sender) + " " +
                        Shown(text) + " name " + Shown(Copy(text, 1, 30)) + " letter " + Shown(Copy(text, 31, 1)) +
                        " rest " + Shown(Copy(text, 32, 255)));
}

volatile sig_atomic_t stop_requested = 0;

void RequestStop(int) { stop_requested = 1; }

int Listen(const std::vector<std::string>& args) {
  if (args.size() > 1 || (args.size() == 1 && args[0] != "--hub"))
    throw BadArguments("usage: mdmsg listen [--hub]");
  const bool hub = args.size() == 1;
  // Blocked but for the wait itself, so a Ctrl-C between two waits is not lost.
  sigset_t stops, during_wait;
  sigemptyset(&stops);
  sigaddset(&stops, SIGINT);
  sigaddset(&stops, SIGTERM);
  sigprocmask(SIG_BLOCK, &stops, &during_wait);
  sigdelset(&during_wait, SIGINT);
  sigdelset(&during_wait, SIGTERM);
  struct sigaction on_stop {};
  on_stop.sa_handler = RequestStop;
  sigaction(SIGINT, &on_stop, nullptr);
  sigaction(SIGTERM, &on_stop, nullptr);

  switch (OpenInstanceBus(hub ? BusRole::Hub : BusRole::Instance)) {
    case BusJoin::Joined: break;
    case BusJoin::HubTaken: PrintLine(stderr, "mdmsg: a live hub is already on the bus"); return kNoBus;
    case BusJoin::Off: return kNoBus;
  }
  MsgStatus();
  MsgMngrCommand();
  MsgGridAction();
  SetInstanceMessageHandler(PrintMessage);
  PrintLine(stdout, "listening in " + InstanceBusFolder() + " as " + (hub ? std::string("hub") : IntToStr(getpid())));
  while (!stop_requested) {
    pollfd readable{InstanceBusDescriptor(), POLLIN, 0};
    if (ppoll(&readable, 1, nullptr, &during_wait) > 0) ProcessInstanceBus();
  }
  CloseInstanceBus();
  return 0;
}

std::string Stored(const std::string& argument) {
  try {
    return Utf8ToWin1252(argument);
  } catch (const EConvertError& e) {
    throw BadArguments("'" + argument + "' cannot be sent: " + e.Message);
  }
}

int Number(const std::string& argument) {
  int value = 0;
  if (!TryStrToInt(argument, value)) throw BadArguments("'" + argument + "' is not a number");
  return value;
}

// Fills the optional arguments after the required ones with their defaults.
std::vector<std::string> Arguments(const std::vector<std::string>& given, std::size_t required,
                                   const std::vector<std::string>& defaults, const char* usage) {
  if (given.size() < required || given.size() > required + defaults.size()) throw BadArguments(usage);
  std::vector<std::string> all;
  for (const std::string& argument : given) all.push_back(Stored(argument));
  for (std::size_t i = given.size() - required; i < defaults.size(); ++i) all.push_back(defaults[i]);
  return all;
}

std::string Letter(const std::string& argument) {
  if (argument.size() != 1) throw BadArguments("CMD must be one character");
  return argument;
}

// Checks the arguments and returns the send to make once on the bus.
std::function<bool()> SendOf(const std::vector<std::string>& args) {
  const std::string kind = args.empty() ? "" : args[0];
  const std::vector<std::string> rest(args.begin() + (args.empty() ? 0 : 1), args.end());
  if (kind == "status") {
    const auto a = Arguments(rest, 2, {"0", "0"}, "usage: mdmsg send status CODE NAME [N1 N2]");
    const int code = Number(a[0]), n1 = Number(a[2]), n2 = Number(a[3]);
    if (code < 5) throw BadArguments("status codes below 5 send nothing");
    return [=] { return SendHubMessage(code, a[1], n1, n2); };
  }
  if (kind == "command") {
    const auto a = Arguments(rest, 2, {"0", "0", "", ""}, "usage: mdmsg send command NAME CMD [N1 N2 TEXT72 EXTRA20]");
    const std::string cmd = Letter(a[1]);
    const int n1 = Number(a[2]), n2 = Number(a[3]);
    return [=] { return SendChildMessage(a[0], cmd, n1, a[5], a[4], n2); };
  }
  if (kind == "grid") {
    const auto a = Arguments(rest, 2, {"", ""}, "usage: mdmsg send grid NAME CMD [TEXT72 EXTRA20]");
    const std::string cmd = Letter(a[1]);
    return [=] { return SendChildNotice(a[0], cmd, a[2], a[3]); };
  }
  if (kind == "raw") {
    const auto a = Arguments(rest, 2, {}, "usage: mdmsg send raw MSGNAME TEXT");
    const UINT id = RegisterWindowMessage(a[0]);
    if (id == 0) throw BadArguments("MSGNAME must have 1-255 bytes");
    if (a[1].size() > 255) throw BadArguments("the text has " + IntToStr(a[1].size()) + " bytes, at most 255 travel");
    return [id, text = a[1]] {
      const ATOM atom = GlobalAddAtom(text);
      SendMessage(HWND_BROADCAST, id, MainWindowHandle(), LPARAM(atom));
      if (atom != 0) GlobalDeleteAtom(atom);
      return true;
    };
  }
  throw BadArguments("usage: mdmsg send status|command|grid|raw ...");
}

int Send(const std::vector<std::string>& args) {
  const std::function<bool()> send = SendOf(args);
  if (OpenInstanceBus() != BusJoin::Joined) return kNoBus;
  const bool sent = send();  // what kept it back is in the log
  CloseInstanceBus();
  return sent ? 0 : kBadArguments;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  const std::string command = args.empty() ? "" : args[0];
  const std::vector<std::string> rest(args.begin() + (args.empty() ? 0 : 1), args.end());
  if (command == "--help" || command == "-h") {
    std::fputs(kUsage, stdout);
    return 0;
  }
  try {
    if (command == "listen") return Listen(rest);
    if (command == "send") return Send(rest);
    if (!command.empty()) PrintLine(stderr, "mdmsg: unknown command '" + command + "'");
    std::fputs(kUsage, stderr);
    return kBadArguments;
  } catch (const BadArguments& e) {
    PrintLine(stderr, "mdmsg: " + e.Message);
    return kBadArguments;
  }
}
