#include "tests/e2e/driver.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>

namespace E2E {

void SleepMs(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

namespace {

using Clock = std::chrono::steady_clock;

std::string TempFile() {
    char name[] = "/tmp/haltwick-e2e-XXXXXX";
    int fd = mkstemp(name);
    if (fd >= 0)
        close(fd);
    return name;
}

std::string Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// A window that vanished between two requests must fail the check, not end the test process.
int IgnoreXError(Display*, XErrorEvent*) { return 0; }

bool ElapsedBefore(Clock::time_point start, int timeoutMs) {
    return Clock::now() - start < std::chrono::milliseconds(timeoutMs);
}

}  // namespace

GameProcess::GameProcess(const std::string& path, const std::string& display)
    : OutPath(TempFile()), ErrPath(TempFile()) {
    Pid = fork();
    if (Pid != 0)
        return;
    // A new session without a terminal, so the library cannot fall back to a console; killed
    // with the test process so no game outlives a crashed or timed-out test.
    setsid();
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    int in = open("/dev/null", O_RDONLY);
    int out = open(OutPath.c_str(), O_WRONLY | O_TRUNC);
    int err = open(ErrPath.c_str(), O_WRONLY | O_TRUNC);
    dup2(in, 0);
    dup2(out, 1);
    dup2(err, 2);
    setenv("DISPLAY", display.c_str(), 1);
    execl(path.c_str(), path.c_str(), (char*)nullptr);
    _exit(127);
}

GameProcess::~GameProcess() {
    if (Running()) {
        kill(-Pid, SIGKILL);
        waitpid(Pid, nullptr, 0);
    }
    unlink(OutPath.c_str());
    unlink(ErrPath.c_str());
}

bool GameProcess::Running() { return Pid > 0 && !WaitExit(0); }

bool GameProcess::WaitExit(int timeoutMs) {
    if (ExitStatus >= 0)
        return true;
    auto start = Clock::now();
    do {
        int status;
        if (waitpid(Pid, &status, WNOHANG) == Pid) {
            ExitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            return true;
        }
        SleepMs(5);
    } while (ElapsedBefore(start, timeoutMs));
    return false;
}

std::string GameProcess::Output() const { return Slurp(OutPath); }
std::string GameProcess::Errors() const { return Slurp(ErrPath); }

GameWindow::GameWindow(const std::string& display) : Dpy(XOpenDisplay(display.c_str())) {
    XSetErrorHandler(IgnoreXError);
}

GameWindow::~GameWindow() {
    if (Dpy)
        XCloseDisplay(Dpy);
}

std::string GameWindow::Title() const {
    if (!Dpy || !Id)
        return "";
    char* name = nullptr;
    std::string title;
    if (XFetchName(Dpy, Id, &name) && name) {
        title = name;
        XFree(name);
        return title;
    }
    // A title set only as UTF-8 lives in _NET_WM_NAME.
    Atom netName = XInternAtom(Dpy, "_NET_WM_NAME", False);
    Atom type;
    int format;
    unsigned long count, after;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(Dpy, Id, netName, 0, 256, False, AnyPropertyType, &type, &format, &count,
                           &after, &data) == Success &&
        data) {
        title.assign((char*)data, count);
        XFree(data);
    }
    return title;
}

bool GameWindow::Find(const std::string& title, int timeoutMs) {
    if (!Dpy)
        return false;
    auto start = Clock::now();
    do {
        Window root, parent, *children = nullptr;
        unsigned count = 0;
        XQueryTree(Dpy, DefaultRootWindow(Dpy), &root, &parent, &children, &count);
        for (unsigned i = 0; i < count && !Id; ++i) {
            Id = children[i];
            XWindowAttributes attr;
            if (Title() != title || !XGetWindowAttributes(Dpy, Id, &attr) ||
                attr.map_state != IsViewable) {
                Id = 0;
                continue;
            }
            Width = attr.width;
            Height = attr.height;
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
    } while (ElapsedBefore(start, timeoutMs));
    return false;
}

void GameWindow::Key(unsigned long keysym, bool down) {
    XTestFakeKeyEvent(Dpy, XKeysymToKeycode(Dpy, keysym), down, CurrentTime);
    XSync(Dpy, False);
}

void GameWindow::Hold(unsigned long keysym, int ms, bool ctrl) {
    if (ctrl)
        Key(XK_Control_L, true);
    Key(keysym, true);
    SleepMs(ms);
    Key(keysym, false);
    if (ctrl)
        Key(XK_Control_L, false);
}

void GameWindow::Tap(unsigned long keysym) {
    // Gaps on both sides keep a release and the next press of the same key apart in time, so
    // the library does not take them for auto-repeat.
    Key(keysym, true);
    SleepMs(4);
    Key(keysym, false);
    SleepMs(4);
}

void GameWindow::Type(const std::string& chars) {
    // Latin-1 keysyms equal the character codes of lower-case letters, digits and the blank.
    for (char c : chars)
        Tap((unsigned char)c);
}

Image GameWindow::Grab(Rect r) {
    Image img;
    XImage* x = Dpy && Id ? XGetImage(Dpy, Id, r.X, r.Y, r.W, r.H, AllPlanes, ZPixmap) : nullptr;
    if (!x)
        return img;
    img.X0 = r.X;
    img.Y0 = r.Y;
    img.W = r.W;
    img.H = r.H;
    img.Pixels.reserve(r.W * r.H);
    auto channel = [](unsigned long pixel, unsigned long mask) {
        int shift = __builtin_ctzl(mask);
        return int((pixel & mask) >> shift) * 255 / int(mask >> shift);
    };
    // The usual 24-bit server layout is read straight from the buffer; anything else per pixel.
    bool direct = x->bits_per_pixel == 32 && x->byte_order == LSBFirst;
    for (int y = 0; y < r.H; ++y)
        for (int x0 = 0; x0 < r.W; ++x0) {
            unsigned long p = direct ? *(uint32_t*)(x->data + y * x->bytes_per_line + 4 * x0)
                                     : XGetPixel(x, x0, y);
            img.Pixels.push_back(
                Rgb{channel(p, x->red_mask), channel(p, x->green_mask), channel(p, x->blue_mask)});
        }
    XDestroyImage(x);
    return img;
}

bool GameWindow::WaitFor(const std::function<bool(const Image&)>& pred, int timeoutMs, Image* last,
                         Rect r) {
    auto start = Clock::now();
    Image img;
    bool ok;
    while (!(ok = pred(img = Grab(r))) && ElapsedBefore(start, timeoutMs))
        SleepMs(15);
    if (last)
        *last = std::move(img);
    return ok;
}

}  // namespace E2E
