#ifndef HALTWICK_SHELL_DESKTOP_H
#define HALTWICK_SHELL_DESKTOP_H

#include <atomic>

struct BITMAP;

// How the game meets the desktop around it: a close request or a termination signal ends the
// run by the normal way out, a lost display ends the process at once, and the game pauses
// while its window does not have the focus. The library's callbacks and the signal handlers
// only store into the atomics below; the main thread acts on them in Idle.
namespace GameShell::Desktop {

extern std::atomic<bool> QuitRequested;  // close button, WM_DELETE_WINDOW / WM_CLOSE, or a signal

// Hooks the close button, the focus changes, SIGTERM, SIGINT, SIGHUP and SIGQUIT, and the loss
// of the X connection. Call once the graphics mode is set: changing the mode drops the hooks.
void Install();

// Every loop that can wait (the main loop, the chooser menu, the end screen) calls this once
// a pass, after shown is on the screen. It hands the frame to the window system, and while the
// focus is lost it holds the clock, releases every held key and sleeps, shows a "Paused" line
// over the frame, and puts shown back when the focus returns. Answers false once a quit was
// requested: the caller leaves through its normal way out.
bool Idle(BITMAP* shown);

// After the run is over and its objects are gone: when a termination signal ended it, shuts
// the library down and ends the process by that signal, as a shell or a service manager
// expects. Returns only when no signal asked.
void EndBySignal();

}  // namespace GameShell::Desktop

#endif
