#ifndef HALTWICK_SHELL_XSCREEN_H
#define HALTWICK_SHELL_XSCREEN_H

#include "shell/scale.h"

struct BITMAP;

// The game's window on X at any size: what the desktop says of its scale and room, the window's
// size and place, fullscreen through the window manager, and a picture of the frame at any size
// laid over the library's own 800 x 600 drawing window. It keeps an X connection of its own, so
// the library's input thread and lock are never in its way; main thread only. Everything does
// nothing without an X window, or on a screen whose pixels it cannot write (not 32-bit RGB):
// the game then stays at 800 x 600.
namespace GameShell::XScreen {

// Call once the library's window is open. False when the game cannot be shown scaled.
bool Open();

// Xft.dpi / 96 from the root window's resources, else the whole GDK_SCALE, else 1.
double DesktopScale();
// The work area of the monitor the window is on, or the whole screen without a window manager.
Scale::Area WorkArea();
// The window manager's frame around the window, none without one.
Scale::Frame FrameExtents();

// Puts the window at a (its own area, inside any frame) and fixes its size there.
void Place(Scale::Area a);
// Asks the window manager for fullscreen or back; false when none would honour it.
bool RequestFullscreen(bool on);
// Fixes the window's size at w x h, or lets it be sized freely (w = 0) while fullscreen.
void FixSize(int w, int h);

// Handles what the server said since the last call: the window's new size, its fullscreen
// state, a part of the picture to draw again. True when the picture must be drawn again.
bool Update();
int Width();
int Height();
bool Fullscreen();

// Shows frame (800 x 600, 16-bit) scaled into picture, black around it. Hide gives the window
// back to the library's own 1x drawing.
void Show(BITMAP* frame, Scale::Area picture);
void Hide();

// The connection's file descriptor, to wait on; -1 when closed.
int Descriptor();

}  // namespace GameShell::XScreen

#endif
