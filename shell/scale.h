#ifndef HALTWICK_SHELL_SCALE_H
#define HALTWICK_SHELL_SCALE_H

// How big the 800 x 600 frame is shown: the whole-number scale of a window, where it opens,
// and where the frame sits on a fullscreen window. Plain computation, so the choice can be
// tested without a screen; the presenter asks the desktop for the numbers.
namespace GameShell::Scale {

const int Most = 8;  // the largest scale asked for; HALTWICK_SCALE takes 1 to this

struct Area {
    int X = 0, Y = 0, W = 0, H = 0;
};

// What the window manager's frame adds around the window, in screen pixels.
struct Frame {
    int Left = 0, Right = 0, Top = 0, Bottom = 0;
};

// The desktop's scale rounded to a whole number, at least 1 (an Xft.dpi of 192 is 2).
int Rounded(double desktopScale);

// The largest scale whose window, with its frame, fits in work; at least 1, at most Most.
int Largest(Area work, Frame frame);

// The scale a window opens at: wanted (the desktop's, or the player's) lowered to fit.
int Fitted(int wanted, Area work, Frame frame);

// The window at scale k with its frame centred in work, as the window's own area (inside the
// frame); its top is kept on the screen, so the title bar stays within reach.
Area Centred(int k, Area work, Frame frame);

// Where the frame goes on a fullscreen surface of w x h: as large as fits at 4:3, centred.
Area Fit(int w, int h);

// HALTWICK_SCALE's value: 1 to Most, or 0 when it is unset or not such a number.
int FromEnvironment(const char* value);

}  // namespace GameShell::Scale

#endif
