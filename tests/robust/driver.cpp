#include "tests/robust/driver.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <allegro.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>

namespace Robust {

void SleepMs(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

std::string KeyName(unsigned long keysym) {
    const char* name = XKeysymToString(keysym);
    return name ? name : std::to_string(keysym);
}

bool WaitFor(const std::function<bool()>& done, int timeoutMs) {
    for (double end = NowMs() + timeoutMs; !done(); SleepMs(20))
        if (NowMs() >= end)
            return false;
    return true;
}

double NowMs() {
    using namespace std::chrono;
    return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
}

Process::Process(const std::vector<std::string>& argv, const std::string& display) {
    char path[] = "/tmp/haltwick-robust-XXXXXX";
    int err = mkstemp(path);
    ErrPath = path;
    Pid = fork();
    if (Pid != 0) {
        close(err);
        return;
    }
    setsid();
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    int null = open("/dev/null", O_WRONLY);
    dup2(null, 1);
    dup2(err, 2);
    close(0);
    if (display.empty())
        unsetenv("DISPLAY");
    else
        setenv("DISPLAY", display.c_str(), 1);
    std::vector<char*> args;
    for (const std::string& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    execvp(args[0], args.data());
    _exit(127);
}

Process::~Process() {
    if (Running()) {
        kill(-Pid, SIGKILL);
        waitpid(Pid, nullptr, 0);
    }
    unlink(ErrPath.c_str());
}

bool Process::Wait(int timeoutMs) {
    double end = NowMs() + timeoutMs;
    while (ExitCode < 0) {
        int status;
        if (waitpid(Pid, &status, WNOHANG) == Pid)
            ExitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        else if (NowMs() >= end)
            return false;
        else
            SleepMs(5);
    }
    return true;
}

std::string Process::Errors() const {
    std::ifstream in(ErrPath);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

namespace {

// The window may vanish between two requests; that must fail a check, not end the test.
int IgnoreXError(Display*, XErrorEvent*) { return 0; }

// The ink of the 8 x 8 cell at (x, y): one bit per pixel of colour fg, row by row.
uint64_t Ink(BITMAP* bmp, int x, int y, int fg) {
    uint64_t bits = 0;
    for (int dy = 0; dy < 8; ++dy)
        for (int dx = 0; dx < 8; ++dx)
            bits = bits << 1 | (getpixel(bmp, x + dx, y + dy) == fg);
    return bits;
}

// The printable character whose glyph fills the cell at (x, y) in colour fg, or 0. The glyphs
// come from the library's own font, drawn once, so a reading takes no drawing at all.
char GlyphIn(BITMAP* bmp, int x, int y, int fg) {
    static const std::vector<uint64_t> glyphs = [] {
        std::vector<uint64_t> inks;
        TestSupport::Frame cell(8, 8);
        int white = makecol16(255, 255, 255);
        for (char c = ' '; c <= '~'; ++c) {
            char s[2] = {c, 0};
            textout_ex(cell.Bmp, font, s, 0, 0, white, 0);
            inks.push_back(Ink(cell.Bmp, 0, 0, white));
        }
        return inks;
    }();
    auto found = std::find(glyphs.begin(), glyphs.end(), Ink(bmp, x, y, fg));
    return found == glyphs.end() ? 0 : static_cast<char>(' ' + (found - glyphs.begin()));
}

}  // namespace

Screen::Screen(const std::string& display) : Dpy(XOpenDisplay(display.c_str())) {
    XSetErrorHandler(IgnoreXError);
}

Screen::~Screen() {
    if (Dpy)
        XCloseDisplay(Dpy);
}

bool Screen::Find(int timeoutMs) {
    double end = NowMs() + timeoutMs;
    while (Dpy && !Id && NowMs() < end) {
        Window root, parent, *children = nullptr;
        unsigned count = 0;
        XQueryTree(Dpy, DefaultRootWindow(Dpy), &root, &parent, &children, &count);
        for (unsigned i = 0; i < count && !Id; ++i) {
            char* name = nullptr;
            XWindowAttributes attr;
            if (XFetchName(Dpy, children[i], &name) && name &&
                std::string(name) == "Haltwick" &&
                XGetWindowAttributes(Dpy, children[i], &attr) && attr.map_state == IsViewable) {
                Id = children[i];
                Colormap = attr.colormap;
            }
            XFree(name);
        }
        XFree(children);
        if (!Id)
            SleepMs(50);
    }
    if (!Id)
        return false;
    // No window manager hands out the focus here; the pointer goes in too, for focus-follows.
    XWarpPointer(Dpy, None, Id, 0, 0, 0, 0, 400, 300);
    XSetInputFocus(Dpy, Id, RevertToPointerRoot, CurrentTime);
    XSync(Dpy, False);
    return true;
}

bool Screen::Exists() {
    XWindowAttributes attr;
    return Id && XGetWindowAttributes(Dpy, Id, &attr) && attr.map_state == IsViewable;
}

void Screen::Key(unsigned long keysym, bool down) {
    XTestFakeKeyEvent(Dpy, XKeysymToKeycode(Dpy, keysym), down, CurrentTime);
    XFlush(Dpy);
}

void Screen::Tap(unsigned long keysym, int ms) {
    Key(keysym, true);
    SleepMs(ms);
    Key(keysym, false);
}

void Screen::Grab(TestSupport::Frame& frame) {
    clear_bitmap(frame.Bmp);
    XImage* image = Id ? XGetImage(Dpy, Id, 0, 0, frame.Bmp->w, frame.Bmp->h, AllPlanes, ZPixmap)
                       : nullptr;
    if (!image)
        return;
    // Any visual, palettes included: the server says what each pixel value looks like.
    for (int y = 0; y < image->height; ++y)
        for (int x = 0; x < image->width; ++x) {
            unsigned long pixel = XGetPixel(image, x, y);
            auto found = Colours.find(pixel);
            if (found == Colours.end()) {
                XColor c;
                c.pixel = pixel;
                XQueryColor(Dpy, Colormap, &c);
                found = Colours.emplace(pixel, makecol16(c.red >> 8, c.green >> 8, c.blue >> 8))
                            .first;
            }
            putpixel(frame.Bmp, x, y, found->second);
        }
    XDestroyImage(image);
}

bool Screen::Shows(int x, int y, const std::string& text) {
    TestSupport::Frame frame(800, y + 8);
    Grab(frame);
    return TestSupport::TextAt(frame.Bmp, x, y, text.c_str(), makecol16(255, 255, 255));
}

std::string Screen::StatusLine(int row) {
    TestSupport::Frame frame(800, 24);
    Grab(frame);
    // Right-aligned at the screen's edge (800, a multiple of 8), so every cell is aligned.
    std::string text;
    for (int x = frame.Bmp->w - 8; x >= 0; x -= 8) {
        char c = GlyphIn(frame.Bmp, x, 8 * row, makecol16(255, 255, 255));
        if (!c || (c == ' ' && !text.empty() && text.back() == ' '))
            break;
        text += c;
    }
    std::reverse(text.begin(), text.end());
    size_t start = text.find_first_not_of(' ');
    return start == std::string::npos ? "" : text.substr(start);
}

bool Screen::TimeLeft(int* seconds) {
    int minutes, rest;
    char tail;
    if (std::sscanf(StatusLine(1).c_str(), "Time Left: %d:%d%c", &minutes, &rest, &tail) != 2)
        return false;
    // Both parts carry the sign of a negative remainder, as in 0:-14.
    *seconds = minutes * 60 + rest;
    return true;
}

bool Screen::ShowsEndScreen() { return Shows(312, 308, "Press any key to exit."); }

bool Screen::HoldUntil(unsigned long keysym, const std::function<bool()>& shown, int timeoutMs) {
    Key(keysym, true);
    bool done = WaitFor(shown, timeoutMs);
    Key(keysym, false);
    return done;
}

bool Screen::Quit(Process& game, int timeoutMs) {
    if (!HoldUntil(XK_Escape, [&] { return ShowsEndScreen(); }, timeoutMs))
        return false;
    // The end screen throws away what is typed in its first moments; retry in case.
    for (double end = NowMs() + timeoutMs; NowMs() < end;) {
        SleepMs(500);
        Tap(XK_space);
        if (game.Wait(2000))
            return true;
    }
    return false;
}

}  // namespace Robust
