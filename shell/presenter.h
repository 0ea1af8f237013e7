#ifndef HALTWICK_SHELL_PRESENTER_H
#define HALTWICK_SHELL_PRESENTER_H

struct BITMAP;

// The one door to the screen. The loops compose an 800 x 600 frame and hand it here; only this
// knows the window's scale and fullscreen. The window opens at the desktop's scale (or
// HALTWICK_SCALE's), lowered until it fits, as exact k x k blocks; Ctrl+Plus and Ctrl+Minus
// step the scale, Ctrl+0 goes back to the first one, and F11 or Alt+Enter toggle fullscreen
// through the window manager, the frame fitted at 4:3 with black bars. Main thread only.
namespace GameShell::Presenter {

// Call once the graphics mode is set: opens the window at its scale and takes the keys above
// from the keyboard, before any screen of the game can read them.
void Install();

// The end screen exits on any key, those above included: off there, on everywhere else.
void TakeKeys(bool on);

// Every loop's pass ends here with its new frame: shows it, then holds while the window is
// without the focus. False once the game must quit: the caller leaves its normal way.
bool Present(BITMAP* frame);
// The same for a loop whose frame stands still (the end screen): shows it again only when the
// window was uncovered or changed size.
bool Keep(BITMAP* frame);

// Shows frame on the screen after acting on the keys above.
void Show(BITMAP* frame);
// Shows frame with "Paused" under the status lines, leaving frame itself alone.
void ShowPaused(BITMAP* frame);
// Shows the last frame again when the window was uncovered or resized; true when it did.
bool Refresh(BITMAP* frame, bool paused);

}  // namespace GameShell::Presenter

#endif
