#ifndef HALTWICK_SHELL_WINDOW_H
#define HALTWICK_SHELL_WINDOW_H

namespace GameShell::Window {

// Gives the window its own class, "haltwick", "Haltwick", by which docks and task bars match it
// to its desktop entry. Call before the library starts: it names its top-level window once,
// when it creates it. Does nothing without X.
void NameClass();

// Sets the window's icon (_NET_WM_ICON), the train at every size the build made, for the title
// bar and the task switcher. Call once the window is open. Does nothing without an X window.
void SetIcon();

// Sends the frame just copied to the screen to the X server, and handles the events that
// have come in from it, so the next tick sees their keys. The library's X11 driver does both
// on a background thread every 1/100 s only: up to a tick more before a key reaches a tick,
// and frames that reach the server in bursts, which the sync of a key's handling then waits
// behind. Here the frame goes out with no waiting, and the driver's handler (a round trip to
// the server) runs only when events are there. Does nothing without an X window.
void Service();

}  // namespace GameShell::Window

#endif
