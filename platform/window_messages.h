// Registered window messages between instances of the program, in the shape
// the program calls: RegisterWindowMessage, then SendMessage(HWND_BROADCAST,
// id, handle, atom) with the text in an atom (platform/atoms.h).
//
// A broadcast runs this process's own handler first, synchronously, then
// hands (message name, text) to the instance bus (platform/instance_bus.h),
// which sends it to every other instance without waiting for any of them.
// There are no windows behind the handles: a process has one handler
// (SetInstanceMessageHandler) standing for its main form, and its handle is
// its process id.
//
// UI thread only, like the window calls they stand for.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

using UINT = unsigned int;
using WPARAM = uintptr_t;
using LPARAM = intptr_t;
using LRESULT = intptr_t;
using HWND = uintptr_t;

inline constexpr HWND HWND_BROADCAST = 0xFFFF;

// The same name, whatever its case, gives the same id (0xC000-0xFFFF) for
// the life of the process. An empty name or one over 255 bytes gives 0.
// Ids mean nothing to another process: messages travel by name.
UINT RegisterWindowMessage(std::string_view name);
// The name an id was registered under ("" for none) and the id of a name
// (0 when this process never registered it).
std::string RegisteredMessageName(UINT id);
UINT RegisteredMessageId(std::string_view name);

// The handle of this instance's main form: its process id. Receivers get the
// sender's as the word parameter.
HWND MainWindowHandle();

// The main form's handler of registered messages: (id, sender's handle,
// atom). An exception it raises is logged and goes no further.
using InstanceMessageHandler = std::function<void(UINT msg, WPARAM wParam, LPARAM lParam)>;
void SetInstanceMessageHandler(InstanceMessageHandler handler);

// Only HWND_BROADCAST of a registered id is sent; anything else returns 0
// at once. The word parameter is taken to be MainWindowHandle(): every
// receiver, this process's handler too, gets this process's handle. The
// text is that of the atom in the low word of lParam ("" when it has none).
// Returns 0 once this process's handler has run and the datagrams are out.
LRESULT SendMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

// The receiving side (the instance bus): `text` becomes an atom for the
// length of the handler call, as the sender's atom would be.
void DeliverInstanceMessage(UINT msg, uint32_t sender, std::string_view text);
