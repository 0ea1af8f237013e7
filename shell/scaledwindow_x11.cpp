#include "shell/scaledwindow.h"

#include <allegro.h>

#ifdef ALLEGRO_WITH_XWINDOWS
#include <allegro/platform/aintunix.h>
#include <xalleg.h>

#include <X11/Xatom.h>
#include <X11/Xresource.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <X11/extensions/Xrandr.h>
#include <sys/ipc.h>
#include <sys/shm.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "gfx/frame.h"
#include "shell/framechanges.h"
#include "shell/scaler.h"
#endif

namespace GameShell::ScaledWindow {

#ifdef ALLEGRO_WITH_XWINDOWS

namespace {

Display* Dpy = nullptr;  // our own connection
::Window Top = None;     // the library's top-level window
::Window Picture = None; // ours, over the library's drawing window
GC Gc = nullptr;
int TopWidth = Misc::FrameWidth, TopHeight = Misc::FrameHeight;
bool IsFullscreen = false;
Scale::Frame Framed;  // the window manager's frame, as last asked
bool Mapped = false;

// The scaled picture, remade when its size changes.
XImage* Image = nullptr;
XShmSegmentInfo Shm = {};
bool UsesShm = false;
std::unique_ptr<Scaler> Scaled;
std::vector<const uint16_t*> Rows(Misc::FrameHeight);
Scale::Area Placed;  // where the picture sits in the window
FrameChanges Changes;
bool Whole = true;  // the window lost its picture, or never had it: the next goes whole

Atom AtomOf(const char* name) { return XInternAtom(Dpy, name, False); }

// Up to `count` longs of a 32-bit property; empty when it is not there.
std::vector<long> Longs(::Window w, const char* name, long count) {
    std::vector<long> values;
    Atom type;
    int format;
    unsigned long items, after;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(Dpy, w, AtomOf(name), 0, count, False, AnyPropertyType, &type, &format,
                           &items, &after, &data) == Success &&
        data && format == 32) {
        const long* v = reinterpret_cast<const long*>(data);
        values.assign(v, v + items);
    }
    if (data)
        XFree(data);
    return values;
}

bool WindowManagerSupports(const char* hint) {
    ::Window root = DefaultRootWindow(Dpy);
    if (Longs(root, "_NET_SUPPORTING_WM_CHECK", 1).empty())
        return false;
    long wanted = static_cast<long>(AtomOf(hint));
    std::vector<long> supported = Longs(root, "_NET_SUPPORTED", 1024);
    return std::find(supported.begin(), supported.end(), wanted) != supported.end();
}

bool StateIsFullscreen() {
    long wanted = static_cast<long>(AtomOf("_NET_WM_STATE_FULLSCREEN"));
    std::vector<long> state = Longs(Top, "_NET_WM_STATE", 64);
    return std::find(state.begin(), state.end(), wanted) != state.end();
}

void DropImage() {
    if (!Image)
        return;
    if (UsesShm) {
        XShmDetach(Dpy, &Shm);
        XSync(Dpy, False);
        shmdt(Shm.shmaddr);
    }
    XDestroyImage(Image);  // frees the pixels too when they are not shared
    Image = nullptr;
    Scaled.reset();
}

// A picture of w x h, in shared memory where the server offers it.
bool MakeImage(int w, int h) {
    DropImage();
    Visual* visual = DefaultVisual(Dpy, DefaultScreen(Dpy));
    int depth = DefaultDepth(Dpy, DefaultScreen(Dpy));
    if (UsesShm) {
        Image = XShmCreateImage(Dpy, visual, depth, ZPixmap, nullptr, &Shm, w, h);
        Shm.shmid = Image ? shmget(IPC_PRIVATE, Image->bytes_per_line * h, IPC_CREAT | 0600) : -1;
        if (Shm.shmid >= 0) {
            Shm.shmaddr = Image->data = static_cast<char*>(shmat(Shm.shmid, nullptr, 0));
            Shm.readOnly = False;
            XShmAttach(Dpy, &Shm);
            XSync(Dpy, False);
            shmctl(Shm.shmid, IPC_RMID, nullptr);  // freed once both sides let go
        } else if (Image) {
            XDestroyImage(Image);
            Image = nullptr;
        }
    }
    if (!Image) {
        UsesShm = false;
        Image = XCreateImage(Dpy, visual, depth, ZPixmap, 0, nullptr, w, h, 32, 0);
        if (!Image)
            return false;
        Image->data = static_cast<char*>(std::malloc(Image->bytes_per_line * h));
    }
    Scaled = FrameScaler(w, h);
    return true;
}

// Rows top to bottom - 1 of the picture to the window.
void Send(int top, int bottom) {
    if (UsesShm)
        XShmPutImage(Dpy, Picture, Gc, Image, 0, top, Placed.X, Placed.Y + top, Placed.W,
                     bottom - top, False);
    else
        XPutImage(Dpy, Picture, Gc, Image, 0, top, Placed.X, Placed.Y + top, Placed.W,
                  bottom - top);
}

// A cursor with no pixels: the pointer is hidden over the game, as the library hides it.
Cursor Invisible() {
    char nothing[1] = {0};
    Pixmap blank = XCreateBitmapFromData(Dpy, Picture, nothing, 1, 1);
    XColor black = {};
    Cursor c = XCreatePixmapCursor(Dpy, blank, blank, &black, &black, 0, 0);
    XFreePixmap(Dpy, blank);
    return c;
}

}  // namespace

bool Open() {
    XLOCK();
    std::string name = _xwin.display ? DisplayString(_xwin.display) : "";
    Top = _xwin.wm_window;
    XUNLOCK();
    if (name.empty() || Top == None || !(Dpy = XOpenDisplay(name.c_str())))
        return false;
    Visual* visual = DefaultVisual(Dpy, DefaultScreen(Dpy));
    int formats = 0;
    int bits = 0;
    XPixmapFormatValues* f = XListPixmapFormats(Dpy, &formats);
    for (int i = 0; i < formats; ++i)
        if (f[i].depth == DefaultDepth(Dpy, DefaultScreen(Dpy)))
            bits = f[i].bits_per_pixel;
    if (f)
        XFree(f);
    if (visual->c_class != TrueColor || bits != 32 || visual->red_mask != 0xff0000 ||
        visual->green_mask != 0xff00 || visual->blue_mask != 0xff) {
        XCloseDisplay(Dpy);
        Dpy = nullptr;
        return false;
    }
    UsesShm = XShmQueryExtension(Dpy);
    XSelectInput(Dpy, Top, StructureNotifyMask | PropertyChangeMask);
    XWindowAttributes attr;
    XGetWindowAttributes(Dpy, Top, &attr);
    TopWidth = attr.width;
    TopHeight = attr.height;
    XSetWindowAttributes set = {};
    set.background_pixel = BlackPixel(Dpy, DefaultScreen(Dpy));
    set.event_mask = ExposureMask;
    Picture = XCreateWindow(Dpy, Top, 0, 0, TopWidth, TopHeight, 0, CopyFromParent, InputOutput,
                            CopyFromParent, CWBackPixel | CWEventMask, &set);
    XDefineCursor(Dpy, Picture, Invisible());
    Gc = XCreateGC(Dpy, Picture, 0, nullptr);
    IsFullscreen = StateIsFullscreen();
    XSync(Dpy, False);
    return true;
}

double DesktopScale() {
    if (Dpy) {
        if (const char* resources = XResourceManagerString(Dpy)) {
            XrmInitialize();
            XrmDatabase db = XrmGetStringDatabase(resources);
            char* type = nullptr;
            XrmValue value;
            double dpi = 0;
            if (db && XrmGetResource(db, "Xft.dpi", "Xft.Dpi", &type, &value) && value.addr)
                dpi = std::atof(value.addr);
            if (db)
                XrmDestroyDatabase(db);
            if (dpi > 0)
                return dpi / 96;
        }
    }
    const char* gdk = std::getenv("GDK_SCALE");
    int whole = gdk ? std::atoi(gdk) : 0;
    return whole >= 1 ? whole : 1;
}

Scale::Area WorkArea() {
    Scale::Area screenArea;
    if (!Dpy)
        return screenArea;
    ::Window root = DefaultRootWindow(Dpy);
    screenArea.W = DisplayWidth(Dpy, DefaultScreen(Dpy));
    screenArea.H = DisplayHeight(Dpy, DefaultScreen(Dpy));
    // The monitor under the window's centre.
    int x = 0, y = 0;
    ::Window child;
    XTranslateCoordinates(Dpy, Top, root, TopWidth / 2, TopHeight / 2, &x, &y, &child);
    Scale::Area area = screenArea;
    int count = 0;
    if (XRRMonitorInfo* monitors = XRRGetMonitors(Dpy, root, True, &count)) {
        for (int i = 0; i < count; ++i) {
            const XRRMonitorInfo& m = monitors[i];
            if (i == 0 || (x >= m.x && y >= m.y && x < m.x + m.width && y < m.y + m.height))
                area = Scale::Area{m.x, m.y, m.width, m.height};
        }
        XRRFreeMonitors(monitors);
    }
    // The window manager's work area spans the monitors; each monitor keeps its part of it.
    std::vector<long> desktop = Longs(root, "_NET_CURRENT_DESKTOP", 1);
    long index = desktop.empty() ? 0 : desktop[0];
    std::vector<long> work = Longs(root, "_NET_WORKAREA", 4 * (index + 1));
    if (work.size() >= size_t(4 * (index + 1))) {
        const long* w = &work[4 * index];
        int left = std::max<long>(area.X, w[0]), top = std::max<long>(area.Y, w[1]);
        int right = std::min<long>(area.X + area.W, w[0] + w[2]);
        int bottom = std::min<long>(area.Y + area.H, w[1] + w[3]);
        if (right > left && bottom > top)
            area = Scale::Area{left, top, right - left, bottom - top};
    }
    return area;
}

Scale::Frame FrameExtents() {
    Scale::Frame frame;
    if (!Dpy)
        return frame;
    std::vector<long> e = Longs(Top, "_NET_FRAME_EXTENTS", 4);
    // A window manager frames a window just after it appears: give it a moment to say how.
    bool managed = !Longs(DefaultRootWindow(Dpy), "_NET_SUPPORTING_WM_CHECK", 1).empty();
    for (int tries = 0; managed && e.size() != 4 && tries < 30; ++tries) {
        rest(10);
        e = Longs(Top, "_NET_FRAME_EXTENTS", 4);
    }
    if (e.size() == 4)
        frame = Scale::Frame{int(e[0]), int(e[1]), int(e[2]), int(e[3])};
    Framed = frame;
    return frame;
}

void FixSize(int w, int h) {
    if (!Dpy)
        return;
    XSizeHints* hints = XAllocSizeHints();
    if (!hints)
        return;
    hints->flags = PMinSize | PWinGravity;
    // Positions name the frame's corner, as for most windows: with any other gravity some
    // window managers put the window back from fullscreen with its frame where it had been.
    hints->win_gravity = NorthWestGravity;
    hints->min_width = Misc::FrameWidth;
    hints->min_height = Misc::FrameHeight;
    if (w > 0) {
        hints->flags |= PMaxSize | PBaseSize;
        hints->min_width = hints->max_width = hints->base_width = w;
        hints->min_height = hints->max_height = hints->base_height = h;
    }
    XSetWMNormalHints(Dpy, Top, hints);
    XFree(hints);
    XFlush(Dpy);
}

void Place(Scale::Area a) {
    if (!Dpy)
        return;
    TopWidth = a.W;
    TopHeight = a.H;
    FixSize(a.W, a.H);
    XMoveResizeWindow(Dpy, Top, a.X - Framed.Left, a.Y - Framed.Top, a.W, a.H);
    XResizeWindow(Dpy, Picture, a.W, a.H);
    XSync(Dpy, False);
}

bool RequestFullscreen(bool on) {
    if (!Dpy || !WindowManagerSupports("_NET_WM_STATE_FULLSCREEN"))
        return false;
    if (on)
        FixSize(0, 0);
    XEvent e = {};
    e.xclient.type = ClientMessage;
    e.xclient.window = Top;
    e.xclient.message_type = AtomOf("_NET_WM_STATE");
    e.xclient.format = 32;
    e.xclient.data.l[0] = on ? 1 : 0;  // add, remove
    e.xclient.data.l[1] = static_cast<long>(AtomOf("_NET_WM_STATE_FULLSCREEN"));
    e.xclient.data.l[3] = 1;  // asked by an application
    XSendEvent(Dpy, DefaultRootWindow(Dpy), False,
               SubstructureRedirectMask | SubstructureNotifyMask, &e);
    XFlush(Dpy);
    return true;
}

bool Update() {
    if (!Dpy)
        return false;
    bool again = false;
    Atom state = AtomOf("_NET_WM_STATE");
    while (XPending(Dpy)) {
        XEvent e;
        XNextEvent(Dpy, &e);
        if (e.type == ConfigureNotify && e.xconfigure.window == Top) {
            again |= TopWidth != e.xconfigure.width || TopHeight != e.xconfigure.height;
            TopWidth = e.xconfigure.width;
            TopHeight = e.xconfigure.height;
        } else if (e.type == PropertyNotify && e.xproperty.atom == state) {
            IsFullscreen = StateIsFullscreen();
        } else if (e.type == Expose && e.xexpose.window == Picture) {
            again = true;
        }
    }
    Whole |= again;
    return again;
}

int Width() { return TopWidth; }
int Height() { return TopHeight; }
bool Fullscreen() { return IsFullscreen; }

void Show(BITMAP* frame, Scale::Area picture) {
    if (!Dpy)
        return;
    if (!Mapped) {
        XResizeWindow(Dpy, Picture, TopWidth, TopHeight);
        XMapRaised(Dpy, Picture);
        Mapped = true;
        Whole = true;
    }
    if (!Scaled || picture.W != Placed.W || picture.H != Placed.H || picture.X != Placed.X ||
        picture.Y != Placed.Y) {
        XResizeWindow(Dpy, Picture, TopWidth, TopHeight);
        XClearWindow(Dpy, Picture);  // the bars
        Placed = picture;
        Whole = true;
        if (!MakeImage(picture.W, picture.H))
            return;
    }
    for (int y = 0; y < Misc::FrameHeight; ++y)
        Rows[y] = reinterpret_cast<const uint16_t*>(frame->line[y]);
    const std::vector<std::pair<int, int>>& runs = Changes.Take(Rows.data(), Whole);
    Whole = false;
    if (runs.empty())
        return;
    unsigned char* pixels = reinterpret_cast<unsigned char*>(Image->data);
    for (const std::pair<int, int>& run : runs) {
        std::pair<int, int> rows = Scaled->ScreenRows(run.first, run.second);
        Scaled->Draw(Rows.data(), pixels, Image->bytes_per_line, rows.first, rows.second);
        Send(rows.first, rows.second);
    }
    // The next frame is drawn into the same memory: the server must be done with this one.
    XSync(Dpy, False);
}

void Hide() {
    if (!Dpy || !Mapped)
        return;
    XUnmapWindow(Dpy, Picture);
    XSync(Dpy, False);
    Mapped = false;
}

int Descriptor() { return Dpy ? ConnectionNumber(Dpy) : -1; }

#elif !defined(ALLEGRO_WINDOWS)

// Neither X nor Windows: the library's own window at 800 x 600.
bool Open() { return false; }
double DesktopScale() { return 1; }
Scale::Area WorkArea() { return Scale::Area{}; }
Scale::Frame FrameExtents() { return Scale::Frame{}; }
void Place(Scale::Area) {}
bool RequestFullscreen(bool) { return false; }
void FixSize(int, int) {}
bool Update() { return false; }
int Width() { return 800; }
int Height() { return 600; }
bool Fullscreen() { return false; }
void Show(BITMAP*, Scale::Area) {}
void Hide() {}
int Descriptor() { return -1; }

#endif

}  // namespace GameShell::ScaledWindow
