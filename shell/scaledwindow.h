#ifndef HALTWICK_SHELL_SCALEDWINDOW_H
#define HALTWICK_SHELL_SCALEDWINDOW_H

#include <memory>

#include "shell/scale.h"
#include "shell/scaler.h"

struct BITMAP;

// The game's window at any size: what the desktop says of its scale and room, the window's
// size and place, fullscreen, and a picture of the frame at any size in place of the library's
// own 800 x 600 drawing. On X it keeps a connection of its own, so the library's input thread
// and lock are never in its way; on Windows it draws on the library's GDI window. Main thread
// only. Everything does nothing where the game cannot be shown scaled (no X window, an X screen
// not in 32-bit RGB, another Windows driver than GDI, no X and no Windows): the game then stays
// at 800 x 600.
namespace GameShell::ScaledWindow {

// Call once the library's window is open. False when the game cannot be shown scaled.
bool Open();

// X: Xft.dpi / 96 from the root window's resources, else the whole GDK_SCALE, else 1.
// Windows: the system DPI / 96.
double DesktopScale();
// The work area of the monitor the window is on (on X the whole screen without a window
// manager).
Scale::Area WorkArea();
// The frame around the window: the window manager's on X (none without one), the caption
// and borders of the window's style on Windows.
Scale::Frame FrameExtents();

// Puts the window at a (its own area, inside any frame) and fixes its size there.
void Place(Scale::Area a);
// Fullscreen or back, never by a mode change: asked of the window manager on X, a borderless
// window over the monitor on Windows. False when nothing would honour it.
bool RequestFullscreen(bool on);
// Fixes the window's size at w x h, or lets it be sized freely (w = 0) while fullscreen.
void FixSize(int w, int h);

// Takes in what changed since the last call: the window's size, its fullscreen state, a part
// of the picture to draw again. True when the picture must be drawn again.
bool Update();
int Width();
int Height();
bool Fullscreen();

// Shows frame (800 x 600, 16-bit) scaled into picture, black around it. Hide gives the window
// back to the library's own 1x drawing.
void Show(BITMAP* frame, Scale::Area picture);
void Hide();

// For the windows of each platform: a scaler of the frame to w x h, reading its 16-bit pixels
// as the library does (the colour layout set with the graphics mode).
std::unique_ptr<Scaler> FrameScaler(int w, int h);

// The X connection's file descriptor, to wait on; -1 when closed, and on Windows.
int Descriptor();

}  // namespace GameShell::ScaledWindow

#endif
