// Plays the running game in its window like a player, one step a call, and measures it there.
// With DISPLAY set:
//   window_probe fps SECONDS    the median of the game's "FPS: %d" line, read once a second
//   window_probe start INDEX    Tab, INDEX times Down and Enter: starts mini-game INDEX
//   window_probe end            End: leaves the mini-game
//   window_probe latency N      N times a real Ctrl+Up (or Ctrl+Down) event, timed until the
//                               speed line changes; prints median, 95th percentile and N in ms
//   window_probe quit           Escape held 100 ms, then a key to close the end screen
// Every call first finds the window titled "Haltwick" and gives it the keyboard.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <allegro.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

void SleepMs(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

double MsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// The library's built-in 8 x 8 font as 64-bit masks, so the reader and the game agree.
class Glyphs {
public:
    Glyphs() {
        BITMAP* cell = create_bitmap_ex(8, 8, 8);
        for (int c = ' '; c <= '~'; ++c) {
            clear_to_color(cell, 0);
            char text[2] = {static_cast<char>(c), 0};
            textout_ex(cell, font, text, 0, 0, 1, 0);
            uint64_t mask = 0;
            for (int y = 0; y < 8; ++y)
                for (int x = 0; x < 8; ++x)
                    if (getpixel(cell, x, y))
                        mask |= uint64_t(1) << (y * 8 + x);
            Masks.push_back({mask, static_cast<char>(c)});
        }
        destroy_bitmap(cell);
    }

    // The character whose glyph is exactly mask, or 0.
    char Match(uint64_t mask) const {
        for (const auto& [m, c] : Masks)
            if (m == mask)
                return c;
        return 0;
    }

private:
    std::vector<std::pair<uint64_t, char>> Masks;
};

// The game's window on the display: key events through XTest, pixels through XGetImage.
class GameWindow {
public:
    Display* Dpy = XOpenDisplay(nullptr);
    Window Id = 0;

    ~GameWindow() {
        if (Dpy)
            XCloseDisplay(Dpy);
    }

    // Waits for a viewable top-level window titled title and gives it the keyboard.
    bool Find(const char* title, int timeoutMs) {
        auto start = Clock::now();
        while (Dpy && MsSince(start) < timeoutMs) {
            Window root, parent, *children = nullptr;
            unsigned count = 0;
            XQueryTree(Dpy, DefaultRootWindow(Dpy), &root, &parent, &children, &count);
            for (unsigned i = 0; i < count && !Id; ++i) {
                char* name = nullptr;
                XWindowAttributes attr;
                if (XFetchName(Dpy, children[i], &name) && name &&
                    std::strcmp(name, title) == 0 && XGetWindowAttributes(Dpy, children[i], &attr) &&
                    attr.map_state == IsViewable)
                    Id = children[i];
                if (name)
                    XFree(name);
            }
            if (children)
                XFree(children);
            if (Id) {
                // No window manager runs, so nobody else gives the game the keyboard.
                XSetInputFocus(Dpy, Id, RevertToPointerRoot, CurrentTime);
                XSync(Dpy, False);
                return true;
            }
            SleepMs(20);
        }
        return false;
    }

    void Key(KeySym sym, bool down) {
        XTestFakeKeyEvent(Dpy, XKeysymToKeycode(Dpy, sym), down, CurrentTime);
        XFlush(Dpy);
    }

    // Down long enough for several 1/100 s ticks to see it held.
    void Hold(KeySym sym, int ms = 60) {
        Key(sym, true);
        SleepMs(ms);
        Key(sym, false);
        SleepMs(30);
    }

    // The raw pixels of a rectangle of the window, for comparing grabs.
    std::string Raw(int x, int y, int w, int h) {
        XImage* img = XGetImage(Dpy, Id, x, y, w, h, AllPlanes, ZPixmap);
        if (!img)
            return {};
        std::string bytes(img->data, img->bytes_per_line * h);
        XDestroyImage(img);
        return bytes;
    }

    // Reads a line of white text from the font's cells: right-aligned to edge when right is
    // set, else starting at edge. Stops at two blank cells running or at a cell that is no
    // glyph.
    std::string ReadLine(const Glyphs& glyphs, int y, int edge, bool right, int cells = 40) {
        int x0 = right ? edge - 8 * cells : edge;
        XImage* img = XGetImage(Dpy, Id, x0, y, 8 * cells, 8, AllPlanes, ZPixmap);
        if (!img)
            return {};
        std::string text;
        int blanks = 0;
        for (int k = 0; k < cells && blanks < 2; ++k) {
            int cell = right ? cells - 1 - k : k;
            uint64_t mask = 0;
            for (int py = 0; py < 8; ++py)
                for (int px = 0; px < 8; ++px) {
                    unsigned long p = XGetPixel(img, cell * 8 + px, py);
                    int lum = ((p >> 16) & 0xFF) + ((p >> 8) & 0xFF) + (p & 0xFF);
                    if (lum > 3 * 200)
                        mask |= uint64_t(1) << (py * 8 + px);
                }
            char c = glyphs.Match(mask);
            if (!c)
                break;
            blanks = c == ' ' ? blanks + 1 : 0;
            text.insert(right ? text.begin() : text.end(), c);
        }
        XDestroyImage(img);
        size_t first = text.find_first_not_of(' ');
        size_t last = text.find_last_not_of(' ');
        return first == std::string::npos ? "" : text.substr(first, last - first + 1);
    }
};

const int Right = 800;  // the status lines end at the window's right edge
const int LineHeight = 8;

// The number after prefix in the status line at row, or -1.
int StatusValue(GameWindow& win, const Glyphs& glyphs, int row, const char* prefix) {
    std::string line = win.ReadLine(glyphs, row * LineHeight, Right, true);
    size_t at = line.find(prefix);
    return at == std::string::npos ? -1 : std::atoi(line.c_str() + at + std::strlen(prefix));
}

// The median of the game's FPS line read once a second, after a second and a half to settle.
int MedianFps(GameWindow& win, const Glyphs& glyphs, int seconds) {
    SleepMs(1500);
    std::vector<int> rates;
    for (int i = 0; i < seconds; ++i) {
        rates.push_back(StatusValue(win, glyphs, 0, "FPS: "));
        SleepMs(1000);
    }
    std::nth_element(rates.begin(), rates.begin() + rates.size() / 2, rates.end());
    return rates[rates.size() / 2];
}

// Ctrl+Up (or Ctrl+Down, to stay near the starting speed) pressed at a random phase of the
// 1/100 s tick; the time until the speed line's pixels change, in ms, or -1.
double SpeedKeyLatency(GameWindow& win, const Glyphs& glyphs, std::mt19937& random) {
    SleepMs(std::uniform_int_distribution<int>(30, 60)(random));
    KeySym arrow = StatusValue(win, glyphs, 2, "Speed: ") <= 150 ? XK_Up : XK_Down;
    const int x = Right - 8 * 16, y = 2 * LineHeight, w = 8 * 16;
    std::string before = win.Raw(x, y, w, LineHeight);
    auto start = Clock::now();
    win.Key(arrow, true);
    double ms = -1;
    // A short pause between grabs keeps the probe from crowding the server and the game.
    while (MsSince(start) < 500) {
        if (win.Raw(x, y, w, LineHeight) != before) {
            ms = MsSince(start);
            break;
        }
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    win.Key(arrow, false);
    return ms;
}

double Percentile(std::vector<double> v, double p) {
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, static_cast<size_t>(p * v.size()))];
}

}  // namespace

int main(int argc, char** argv) {
    std::string command = argc >= 2 ? argv[1] : "";
    int value = argc >= 3 ? std::atoi(argv[2]) : 0;
    if (install_allegro(SYSTEM_NONE, &errno, atexit) != 0)
        return 1;
    Glyphs glyphs;
    GameWindow win;
    if (!win.Find("Haltwick", 20000)) {
        std::fprintf(stderr, "no Haltwick window\n");
        return 1;
    }

    if (command == "fps" && value > 0) {
        std::printf("%d\n", MedianFps(win, glyphs, value));
    } else if (command == "start" && argc == 3) {
        win.Hold(XK_Tab);
        SleepMs(100);
        for (int k = 0; k < value; ++k)
            win.Hold(XK_Down, 20);
        win.Hold(XK_Return, 20);
        SleepMs(200);
        std::string title = win.ReadLine(glyphs, 0, 0, false, 50);
        if (title.rfind("Mini Game: ", 0) != 0) {
            std::fprintf(stderr, "mini-game %d did not start: \"%s\"\n", value, title.c_str());
            return 1;
        }
        std::printf("%s\n", title.c_str());
    } else if (command == "end") {
        win.Hold(XK_End);
    } else if (command == "latency" && value > 0) {
        std::mt19937 random(12345);
        std::vector<double> latencies;
        win.Key(XK_Control_L, true);
        for (int i = 0; i < value; ++i)
            latencies.push_back(SpeedKeyLatency(win, glyphs, random));
        win.Key(XK_Control_L, false);
        if (*std::min_element(latencies.begin(), latencies.end()) < 0) {
            std::fprintf(stderr, "the speed did not change within 500 ms of a key\n");
            return 1;
        }
        std::printf("%.2f %.2f %d\n", Percentile(latencies, 0.5), Percentile(latencies, 0.95),
                    value);
    } else if (command == "quit") {
        // The end screen pauses 200 ms and then waits for a key pressed after that.
        win.Hold(XK_Escape, 100);
        SleepMs(400);
        win.Hold(XK_space);
    } else {
        std::fprintf(stderr, "usage: window_probe fps SECONDS | start INDEX | end | latency N"
                             " | quit\n");
        return 2;
    }
    return 0;
}
