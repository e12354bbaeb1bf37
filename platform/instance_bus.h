// The instance bus: how instances of the program on one machine reach each
// other. Each member binds one datagram socket in a private folder,
//   $XDG_RUNTIME_DIR/corvenstead/bus/<pid>.sock
// or, without XDG_RUNTIME_DIR, corvenstead-<uid>/bus in the system's
// temporary folder; the hub binds hub.sock there instead. Datagrams are
// those of platform/bus_datagram.h.
//
// A folder that is a symbolic link, belongs to another user or is open to
// others is refused: the bus stays off (one warning in the log) and the
// program runs on alone, its own handler still served. Binding replaces a
// dead socket of its name; CloseInstanceBus removes its own.
//
// Sending never waits for another process: a peer whose socket is dead is
// removed from the folder, a peer whose queue is full misses the message
// (logged). Receiving hands every message whose name this process has
// registered to its handler (platform/window_messages.h), in arrival order;
// other names are dropped, broken datagrams dropped and logged.
//
// The core is plain C++ around a pollable descriptor; platform/qt/
// instance_bus_qt.h serves it from the Qt event loop. UI thread only.
#pragma once

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
// Where the members' sockets are (whether or not it exists yet).
std::string InstanceBusFolder();

// Delivers every message waiting, one at a time, and returns when none is
// left. Safe to re-enter from a handler's nested event loop: the inner call
// goes on with the next message.
void ProcessInstanceBus();

// The sending half of SendMessage: one datagram to every other member.
// A text over 255 bytes is logged and not sent. Nothing happens while closed.
void BroadcastOnInstanceBus(std::string_view name, std::string_view text);

// True when a live member is bound as the hub.
bool HubOnInstanceBus();

// The first call after opening tells every member that this instance is
// ready for input; later calls do nothing. Never given to a handler.
void AnnounceInstanceReady();

// Blocks until the process `pid` has announced it is ready (true), it has
// ended or `milliseconds` have passed (false). Messages arriving meanwhile
// are kept and delivered afterwards, in order, from the event loop (see
// SetInstanceBusWakeHook). With the bus off no announcement can come: false
// at once.
bool WaitForInputIdle(int pid, unsigned milliseconds);

// Called when messages were kept for later by WaitForInputIdle; the event
// loop's adapter uses it to run ProcessInstanceBus soon. Empty by default.
void SetInstanceBusWakeHook(std::function<void()> hook);
