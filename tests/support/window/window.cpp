#include "tests/support/window/window.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <chrono>
#include <cstdint>
#include <thread>

namespace TestSupport {

void SleepMs(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

double NowMs() {
    using namespace std::chrono;
    return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
}

bool WaitFor(const std::function<bool()>& done, int timeoutMs) {
    for (double end = NowMs() + timeoutMs; !done(); SleepMs(15))
        if (NowMs() >= end)
            return false;
    return true;
}

std::string KeyName(unsigned long keysym) {
    const char* name = XKeysymToString(keysym);
    return name ? name : std::to_string(keysym);
}

namespace {

// A window that vanished between two requests must fail the check, not end the test process.
int IgnoreXError(Display*, XErrorEvent*) { return 0; }

// A channel of a true-colour pixel scaled to 0..255.
int Channel(unsigned long pixel, unsigned long mask) {
    int shift = __builtin_ctzl(mask);
    return int((pixel & mask) >> shift) * 255 / int(mask >> shift);
}

}  // namespace

GameWindow::GameWindow(const std::string& display)
    : Dpy(XOpenDisplay(display.empty() ? nullptr : display.c_str())) {
    XSetErrorHandler(IgnoreXError);
}

GameWindow::~GameWindow() {
    if (Dpy)
        XCloseDisplay(Dpy);  // takes FocusAway's window with it
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
    // A window manager puts the window inside a frame of its own: look one level down too.
    std::function<bool(Window, int)> search = [&](Window under, int depth) {
        Window root, parent, *children = nullptr;
        unsigned count = 0;
        XQueryTree(Dpy, under, &root, &parent, &children, &count);
        for (unsigned i = 0; i < count && !Id; ++i) {
            Id = children[i];
            XWindowAttributes attr;
            if (Title() != title || !XGetWindowAttributes(Dpy, Id, &attr) ||
                attr.map_state != IsViewable) {
                Id = 0;
                if (depth > 0)
                    search(children[i], depth - 1);
                continue;
            }
            Width = attr.width;
            Height = attr.height;
            Colormap = attr.colormap;
        }
        if (children)
            XFree(children);
        return Id != 0;
    };
    bool found = TestSupport::WaitFor([&] { return search(DefaultRootWindow(Dpy), 1); }, timeoutMs);
    if (!found)
        return false;
    // No window manager hands out the focus here; the pointer goes in too, for focus-follows.
    XWarpPointer(Dpy, None, Id, 0, 0, 0, 0, Width / 2, Height / 2);
    XSetInputFocus(Dpy, Id, RevertToPointerRoot, CurrentTime);
    XSync(Dpy, False);
    return true;
}

bool GameWindow::Exists() {
    XWindowAttributes attr;
    return Id && XGetWindowAttributes(Dpy, Id, &attr) && attr.map_state == IsViewable;
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

void GameWindow::RequestClose() {
    XEvent e = {};
    e.xclient.type = ClientMessage;
    e.xclient.window = Id;
    e.xclient.message_type = XInternAtom(Dpy, "WM_PROTOCOLS", False);
    e.xclient.format = 32;
    e.xclient.data.l[0] = XInternAtom(Dpy, "WM_DELETE_WINDOW", False);
    e.xclient.data.l[1] = CurrentTime;
    XSendEvent(Dpy, Id, False, NoEventMask, &e);
    XSync(Dpy, False);
}

void GameWindow::RequestFullscreen(bool on) {
    XEvent e = {};
    e.xclient.type = ClientMessage;
    e.xclient.window = Id;
    e.xclient.message_type = XInternAtom(Dpy, "_NET_WM_STATE", False);
    e.xclient.format = 32;
    e.xclient.data.l[0] = on ? 1 : 0;
    e.xclient.data.l[1] = XInternAtom(Dpy, "_NET_WM_STATE_FULLSCREEN", False);
    e.xclient.data.l[3] = 2;  // from a pager or a user's tool, not the application
    XSendEvent(Dpy, DefaultRootWindow(Dpy), False, SubstructureRedirectMask | SubstructureNotifyMask,
               &e);
    XSync(Dpy, False);
}

Rect GameWindow::Geometry() {
    XWindowAttributes attr;
    Rect g{0, 0, 0, 0};
    ::Window child;
    if (!Dpy || !Id || !XGetWindowAttributes(Dpy, Id, &attr))
        return g;
    XTranslateCoordinates(Dpy, Id, DefaultRootWindow(Dpy), 0, 0, &g.X, &g.Y, &child);
    g.W = attr.width;
    g.H = attr.height;
    return g;
}

void GameWindow::FocusAway() {
    if (!Elsewhere) {
        // In the screen's bottom left corner: clear of the game's status lines and title
        // wherever the window stands (Wine places it away from the corner).
        int side = 60;
        Elsewhere = XCreateSimpleWindow(Dpy, DefaultRootWindow(Dpy), 0,
                                        DisplayHeight(Dpy, DefaultScreen(Dpy)) - side, side, side,
                                        0, 0, 0);
        XMapWindow(Dpy, Elsewhere);
        TestSupport::WaitFor(
            [&] {
                XWindowAttributes attr;
                return XGetWindowAttributes(Dpy, Elsewhere, &attr) && attr.map_state == IsViewable;
            },
            2000);
    }
    XWarpPointer(Dpy, None, Elsewhere, 0, 0, 0, 0, 30, 30);
    XSetInputFocus(Dpy, Elsewhere, RevertToPointerRoot, CurrentTime);
    XSync(Dpy, False);
}

void GameWindow::FocusBack() {
    XWarpPointer(Dpy, None, Id, 0, 0, 0, 0, Width / 2, Height / 2);
    XSync(Dpy, False);
    XTestFakeButtonEvent(Dpy, 1, True, CurrentTime);
    XTestFakeButtonEvent(Dpy, 1, False, CurrentTime);
    XSetInputFocus(Dpy, Id, RevertToPointerRoot, CurrentTime);
    XSync(Dpy, False);
}

std::string GameWindow::Class() {
    XClassHint hint = {};
    if (!Id || !XGetClassHint(Dpy, Id, &hint))
        return "";
    std::string both = std::string(hint.res_name ? hint.res_name : "") + "/" +
                       (hint.res_class ? hint.res_class : "");
    XFree(hint.res_name);
    XFree(hint.res_class);
    return both;
}

std::vector<std::pair<int, int>> GameWindow::IconSizes() {
    std::vector<std::pair<int, int>> sizes;
    Atom type;
    int format;
    unsigned long count, after;
    unsigned char* data = nullptr;
    if (!Id || XGetWindowProperty(Dpy, Id, XInternAtom(Dpy, "_NET_WM_ICON", False), 0, 1 << 20,
                                  False, XA_CARDINAL, &type, &format, &count, &after,
                                  &data) != Success || !data)
        return sizes;
    // Xlib hands 32-bit items over as longs: width, height, then width * height pixels.
    const unsigned long* items = reinterpret_cast<unsigned long*>(data);
    for (unsigned long i = 0; i + 2 <= count;) {
        unsigned long w = items[i], h = items[i + 1];
        sizes.emplace_back(int(w), int(h));
        i += 2 + w * h;
    }
    XFree(data);
    return sizes;
}

void GameWindow::Tap(unsigned long keysym, int downMs) {
    // The gap after it keeps a release and the next press of the same key apart in time, so
    // the library does not take them for auto-repeat.
    KeyCode code = XKeysymToKeycode(Dpy, keysym);
    XTestFakeKeyEvent(Dpy, code, True, CurrentTime);
    if (downMs > 0) {
        XSync(Dpy, False);
        SleepMs(downMs);
    }
    XTestFakeKeyEvent(Dpy, code, False, CurrentTime);
    XSync(Dpy, False);
    SleepMs(4);
}

void GameWindow::Type(const std::string& chars, int downMs) {
    // Latin-1 keysyms equal the character codes of lower-case letters, digits and the blank.
    for (char c : chars)
        Tap((unsigned char)c, downMs);
}

Rect GameWindow::Picture() {
    Rect g = Geometry();
    if (g.W == 0)
        return Rect{};
    int w = g.W, h = g.H;
    Rect p;
    if (w * 600 >= h * 800) {
        p.H = h;
        p.W = h * 800 / 600;
    } else {
        p.W = w;
        p.H = w * 600 / 800;
    }
    p.X = (w - p.W) / 2;
    p.Y = (h - p.H) / 2;
    return p;
}

namespace {

// An image of r with room for its pixels, none in it yet.
Image Empty(Rect r) {
    Image img;
    img.X0 = r.X;
    img.Y0 = r.Y;
    img.W = r.W;
    img.H = r.H;
    img.Pixels.reserve(r.W * r.H);
    return img;
}

}  // namespace

Image GameWindow::Grab(Rect r) {
    Rect p = Picture();
    if (p.W == 800 && p.H == 600)
        return GrabWindow(Rect{r.X + p.X, r.Y + p.Y, r.W, r.H});
    // The window's pixels under r, then one of them per frame pixel: the one at its centre.
    auto x = [&](int logical) { return p.X + (2 * logical + 1) * p.W / 1600; };
    auto y = [&](int logical) { return p.Y + (2 * logical + 1) * p.H / 1200; };
    int x0 = x(r.X), y0 = y(r.Y), x1 = x(r.X + r.W - 1), y1 = y(r.Y + r.H - 1);
    Image big = GrabWindow(Rect{x0, y0, x1 - x0 + 1, y1 - y0 + 1});
    if (big.Pixels.empty())
        return big;
    Image img = Empty(r);
    for (int row = r.Y; row < r.Y + r.H; ++row)
        for (int column = r.X; column < r.X + r.W; ++column)
            img.Pixels.push_back(big.At(x(column), y(row)));
    return img;
}

Image GameWindow::GrabWindow(Rect r) {
    Image img;
    XImage* x = Dpy && Id ? XGetImage(Dpy, Id, r.X, r.Y, r.W, r.H, AllPlanes, ZPixmap) : nullptr;
    if (!x)
        return img;
    img = Empty(r);
    bool trueColour = x->red_mask && x->green_mask && x->blue_mask;
    // The usual 24-bit server layout is read straight from the buffer; anything else per pixel.
    bool direct = trueColour && x->bits_per_pixel == 32 && x->byte_order == LSBFirst;
    for (int y = 0; y < r.H; ++y)
        for (int x0 = 0; x0 < r.W; ++x0) {
            unsigned long p = direct ? *(uint32_t*)(x->data + y * x->bytes_per_line + 4 * x0)
                                     : XGetPixel(x, x0, y);
            if (trueColour) {
                img.Pixels.push_back(Rgb{Channel(p, x->red_mask), Channel(p, x->green_mask),
                                         Channel(p, x->blue_mask)});
                continue;
            }
            // A palette: the server says what each pixel value looks like.
            auto known = Palette.find(p);
            if (known == Palette.end()) {
                XColor c;
                c.pixel = p;
                XQueryColor(Dpy, Colormap, &c);
                known = Palette.emplace(p, Rgb{c.red >> 8, c.green >> 8, c.blue >> 8}).first;
            }
            img.Pixels.push_back(known->second);
        }
    XDestroyImage(x);
    return img;
}

bool GameWindow::WaitFor(const std::function<bool(const Image&)>& pred, int timeoutMs, Image* last,
                         Rect r) {
    Image img;
    bool ok = TestSupport::WaitFor([&] { return pred(img = Grab(r)); }, timeoutMs);
    if (last)
        *last = std::move(img);
    return ok;
}

}  // namespace TestSupport
