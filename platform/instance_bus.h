// The instance bus: how instances of the program on one machine reach each
// other. Each member binds one datagram socket in a private folder,
//   $XDG_RUNTIME_DIR/corvenstead/bus/<pid>.sock
// or, without XDG_RUNTIME_DIR, the same under the user's state folder
// ($XDG_STATE_HOME, else ~/.local/state), never in a temporary folder other
// users may write; the hub binds hub.sock there instead. Datagrams are those
// of platform/bus_datagram.h.
//
// A folder that is a symbolic link, belongs to another user or is open to
// others is refused, as is a home that is not an absolute path: the bus
// stays off (one warning in the log) and the program runs on alone, its own
// handler still served. Binding replaces a dead socket of its name;
// CloseInstanceBus removes its own.
//
// Sending never waits for another process: a peer whose socket is dead is
// removed from the folder, a peer whose queue is full misses the message
// (logged). Receiving hands every message whose name this process has
// registered to its handler (platform/window_messages.h), in arrival order;
// other names are dropped, broken datagrams dropped and logged. The kernel
// tells who sent each datagram: one from another user, or from a process
// other than the sender it names, is dropped and logged.
//
// The core is plain C++ around a pollable descriptor; platform/qt/
// instance_bus_qt.h serves it from the Qt event loop. UI thread only.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

enum class BusRole { Instance, Hub };
enum class BusJoin {
  Joined,
  Off,       // the folder or the socket was refused; logged
  HubTaken,  // a live hub is already on the bus; nothing logged
};

// Opening an open bus closes it first.
BusJoin OpenInstanceBus(BusRole role = BusRole::Instance);
void CloseInstanceBus();
bool InstanceBusOpen();
// The socket to poll for reading; -1 while closed.
int InstanceBusDescriptor();
// Where the members' sockets are (whether or not it exists yet); "" when the
// user has no home to hold it.
std::string InstanceBusFolder();

// Delivers the messages waiting, one at a time, in batches: it returns
// false once none is left, true when it stopped after 256 messages or 20 ms
// with more possibly waiting (the socket stays readable; messages kept by
// WaitForInputIdle call the wake hook), so that a steady sender never holds
// the event loop. Safe to re-enter from a handler's nested event loop: the
// inner call goes on with the next message.
bool ProcessInstanceBus();

// The sending half of SendMessage: one datagram to every other member.
// A text over 255 bytes is logged and not sent. Nothing happens while closed.
void BroadcastOnInstanceBus(std::string_view name, std::string_view text);

// True when a live member is bound as the hub.
bool HubOnInstanceBus();

// The first call after opening tells every member that this instance is
// ready for input; later calls do nothing. Never given to a handler.
void AnnounceInstanceReady();

// How many messages WaitForInputIdle keeps for later, at most.
inline constexpr std::size_t kInstanceBusMaxKept = 1024;

// Blocks until the process `pid` has announced it is ready (true), it has
// ended or `milliseconds` have passed (false), however fast messages come.
// Messages arriving meanwhile are kept and delivered afterwards, in order,
// from the event loop (see SetInstanceBusWakeHook); past
// kInstanceBusMaxKept they are dropped, with one line in the log. With the
// bus off no announcement can come: false at once.
bool WaitForInputIdle(int pid, unsigned milliseconds);

// Called when messages were kept for later by WaitForInputIdle; the event
// loop's adapter uses it to run ProcessInstanceBus soon. Empty by default.
void SetInstanceBusWakeHook(std::function<void()> hook);
