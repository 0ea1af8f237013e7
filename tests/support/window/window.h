#ifndef HALTWICK_TESTS_SUPPORT_WINDOW_WINDOW_H
#define HALTWICK_TESTS_SUPPORT_WINDOW_WINDOW_H

#include <functional>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "tests/support/window/reader.h"

struct _XDisplay;

namespace TestSupport {

void SleepMs(int ms);
// Milliseconds on the monotonic clock.
double NowMs();
// Polls until done() holds or timeoutMs passes; done() is asked at least once.
bool WaitFor(const std::function<bool()>& done, int timeoutMs);

// The X name of a key, for logs.
std::string KeyName(unsigned long keysym);

struct Rect {
    int X = 0, Y = 0, W = 800, H = 600;
    bool operator==(const Rect& o) const { return X == o.X && Y == o.Y && W == o.W && H == o.H; }
};

// One X connection to a server the game runs on, as a player meets the game: finds its window,
// gives it the focus, sends it real key events through XTest and grabs its pixels.
class GameWindow {
public:
    unsigned long Id = 0;
    int Width = 0, Height = 0;

    // An empty display means $DISPLAY.
    explicit GameWindow(const std::string& display);
    ~GameWindow();
    GameWindow(const GameWindow&) = delete;
    GameWindow& operator=(const GameWindow&) = delete;

    // Waits for a viewable top-level window with this title, then focuses it.
    bool Find(const std::string& title, int timeoutMs);
    // The window found is still mapped.
    bool Exists();
    std::string Title() const;

    void Key(unsigned long keysym, bool down);
    // For keys the game tests as held: down for several 1/100 s ticks, Ctrl around it if asked.
    void Hold(unsigned long keysym, int ms = 70, bool ctrl = false);
    // Asks the window to close, as a window manager's close button does (WM_DELETE_WINDOW).
    void RequestClose();
    // Asks the window manager to make the window fullscreen or not, as its menus, desktop
    // shortcuts and wmctrl do (_NET_WM_STATE).
    void RequestFullscreen(bool on);
    // The window's place on the screen and its size now.
    Rect Geometry();
    // Gives the focus to a small window of this connection's own beside the game's, as a
    // player does who switches to another program; FocusBack clicks into the game's window and
    // focuses it again (Wine activates a window on a click, not on the X focus alone).
    void FocusAway();
    void FocusBack();
    // WM_CLASS as "name/class".
    std::string Class();
    // Width and height of each picture in the window's _NET_WM_ICON.
    std::vector<std::pair<int, int>> IconSizes();

    // For keys read from the keyboard buffer: a short press, down for downMs (0: released in
    // the same request, as some tools and fast typists' keyboards do).
    void Tap(unsigned long keysym, int downMs = 4);
    // Letters, digits and blanks, one short press each.
    void Type(const std::string& chars, int downMs = 4);

    // Where the window shows the game's 800 x 600 frame now: all of it at 1x, else as large
    // as fits at 4:3, centred, as at any scale and in fullscreen.
    Rect Picture();
    // The pixels of r in any visual, palettes included; empty once the window is gone. r is in
    // the frame's own pixels: a scaled picture is read at the centre of each of them.
    Image Grab(Rect r = Rect{});
    // The window's own pixels, unscaled, r in window coordinates.
    Image GrabWindow(Rect r);
    // Grabs r until pred holds or timeoutMs passes; the last grab is left in *last.
    bool WaitFor(const std::function<bool(const Image&)>& pred, int timeoutMs,
                 Image* last = nullptr, Rect r = Rect{});

private:
    _XDisplay* Dpy;
    unsigned long Colormap = 0;
    unsigned long Elsewhere = 0;  // FocusAway's window
    std::unordered_map<unsigned long, Rgb> Palette;  // X pixel -> colour, for visuals without masks
};

}  // namespace TestSupport

#endif
