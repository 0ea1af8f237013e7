#ifndef HALTWICK_SHELL_DESKTOP_H
#define HALTWICK_SHELL_DESKTOP_H

#include <atomic>

struct BITMAP;

// How the game meets the desktop around it: a close request or a termination signal ends the
// run by the normal way out, a lost display ends the process at once, and the game pauses
// while its window does not have the focus. The library's callbacks and the signal handlers
// only store into the atomics below; the main thread acts on them in PlayOn.
namespace GameShell::Desktop {

extern std::atomic<bool> QuitRequested;  // close button, WM_DELETE_WINDOW / WM_CLOSE, or a signal

// First thing in main, before the library starts. Notes which of SIGTERM, SIGINT, SIGHUP and
// SIGQUIT the process started with ignored (nohup, a background job of a script), which stay
// ignored; holds all four back until the game's loop can act on them, on every thread the
// library starts; and leaves at once when the display is lost, even while it opens.
void Prepare();

// Right after the library started, whether it started or not: its handlers for the signals
// noted above give way to the game's, which only ask the run to end.
void CatchSignals();

// Hooks the close button and the focus changes. Call once the graphics mode is set: changing
// the mode drops the hooks. False when the window system would not let the game run on in
// the background, where the library would park its threads with no way out.
bool Install();

// Once the loops ask PlayOn whether to go on: lets the signals held back by Prepare in.
void LetSignalsIn();

// Every loop that can wait (the main loop, the chooser menu, the end screen) calls this once
// a pass, after its frame went to the presenter. It hands that frame to the window system, and
// while the focus is lost it holds the clock, releases every held key and sleeps until the
// window system says something, with "Paused" over the frame; the frame comes back when the
// focus does. Answers whether play goes on: false once a quit was requested, and the caller
// leaves through its normal way out.
bool PlayOn(BITMAP* shown);

// Last thing in main, once the run and its objects are gone: shuts the library down and gives
// the signals back the dispositions the process started with. A termination signal caught
// before, or held back meanwhile, then ends the process by that signal, as a shell or a
// service manager expects; from here on one ends it at once. Returns only when none came.
void EndBySignal();

}  // namespace GameShell::Desktop

#endif
