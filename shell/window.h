#ifndef HALTWICK_SHELL_WINDOW_H
#define HALTWICK_SHELL_WINDOW_H

// The library's X11 driver takes key events from the server, and sends it the frames copied
// to the screen, on a background thread every 1/100 s: up to a tick more before a key reaches
// the next tick, and frames that reach the server in bursts a key's handling then waits
// behind. The main loop does both itself, with no round trip to the server unless there are
// events to handle. Both do nothing without an X window.
namespace GameShell::Window {

// Handles the events that have reached the game, so the next tick sees their keys.
void TakeKeys();
// Sends what was copied to the screen to the server now, without waiting for it.
void PushFrame();

}  // namespace GameShell::Window

#endif
