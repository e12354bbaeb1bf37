#include "platform/window_messages.h"

#include "platform/atoms.h"
#include "platform/instance_bus.h"
#include "platform/log.h"
#include "platform/text.h"

#include <unistd.h>

#include <map>
#include <vector>

namespace {

constexpr UINT kFirstMessage = 0xC000;
constexpr std::size_t kMaxName = 255;

struct Registry {
  std::map<std::string, UINT> by_key;  // upper-cased name
  std::vector<std::string> names;      // by id - kFirstMessage, as first spelled
};

Registry& Messages() {
  static Registry registry;
  return registry;
}

InstanceMessageHandler& Handler() {
  static InstanceMessageHandler handler;
  return handler;
}

void CallHandler(UINT msg, WPARAM wParam, LPARAM lParam) {
  // A copy, so a handler that replaces itself finishes on its own code.
  const InstanceMessageHandler handler = Handler();
  if (!handler) return;
  try {
    handler(msg, wParam, lParam);
  } catch (const std::exception& e) {
    LogWarning("instance message handler failed: " + std::string(e.what()));
  } catch (...) {
    LogWarning("instance message handler failed");
  }
}

}  // namespace

UINT RegisterWindowMessage(std::string_view name) {
  if (name.empty() || name.size() > kMaxName) return 0;
  Registry& r = Messages();
  const std::string key = AnsiUpperCase(name);
  if (auto found = r.by_key.find(key); found != r.by_key.end()) return found->second;
  if (r.names.size() >= 0x10000 - kFirstMessage) return 0;
  const UINT id = kFirstMessage + UINT(r.names.size());
  r.names.emplace_back(name);
  r.by_key.emplace(key, id);
  return id;
}

std::string RegisteredMessageName(UINT id) {
  const Registry& r = Messages();
  if (id < kFirstMessage || id - kFirstMessage >= r.names.size()) return {};
  return r.names[id - kFirstMessage];
}

UINT RegisteredMessageId(std::string_view name) {
  const Registry& r = Messages();
  const auto found = r.by_key.find(AnsiUpperCase(name));
  return found == r.by_key.end() ? 0 : found->second;
}

HWND MainWindowHandle() { return HWND(getpid()); }

void SetInstanceMessageHandler(InstanceMessageHandler handler) { Handler() = std::move(handler); }

LRESULT SendMessage(HWND hwnd, UINT msg, WPARAM, LPARAM lParam) {
  if (hwnd != HWND_BROADCAST) return 0;
  const std::string name = RegisteredMessageName(msg);
  if (name.empty()) {
    LogWarning("message " + IntToStr(msg) + " is not registered; not sent");
    return 0;
  }
  CallHandler(msg, MainWindowHandle(), lParam);
  BroadcastOnInstanceBus(name, GlobalGetAtomName(ATOM(lParam & 0xFFFF)));
  return 0;
}

void DeliverInstanceMessage(UINT msg, uint32_t sender, std::string_view text) {
  const ATOM atom = GlobalAddAtom(text);
  CallHandler(msg, WPARAM(sender), LPARAM(atom));
  if (atom != 0) GlobalDeleteAtom(atom);
}
