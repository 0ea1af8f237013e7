#include "shell/scaledwindow.h"

#include <allegro.h>

#ifdef ALLEGRO_WINDOWS
#include <winalleg.h>

#include <atomic>
#include <cstdint>
#include <mutex>
#include <vector>

#include "gfx/frame.h"
#include "shell/framechanges.h"

namespace GameShell::ScaledWindow {

namespace {

HWND Wnd = nullptr;  // the library's window; its own thread serves its messages
int ClientWidth = Misc::FrameWidth, ClientHeight = Misc::FrameHeight;
// Fullscreen, by a style change: the window's style fixes its size otherwise, against a window
// manager under Wine too. Read on the window's thread as well.
std::atomic<bool> Popup{false};
LONG WindowedStyle = 0;  // the style and place to go back to
WINDOWPLACEMENT Windowed = {};
bool Painting = false;  // the library's driver leaves the window to Paint
bool Whole = true;      // the next picture goes to the window whole, not only its changed rows

// The picture as last shown, for Paint to show again on the window's thread.
std::mutex PictureLock;
std::unique_ptr<Scaler> Scaled;
std::vector<uint32_t> Pixels;
Scale::Area Placed;
std::vector<const uint16_t*> Rows(Misc::FrameHeight);
FrameChanges Changes;

RECT MonitorRect(bool work) {
    MONITORINFO info = {};
    info.cbSize = sizeof info;
    GetMonitorInfo(MonitorFromWindow(Wnd, MONITOR_DEFAULTTONEAREST), &info);
    return work ? info.rcWork : info.rcMonitor;
}

// The caption and borders around the window's own area, for the style it has when windowed.
RECT Framed(RECT r) {
    LONG style = Popup ? WindowedStyle : GetWindowLong(Wnd, GWL_STYLE);
    AdjustWindowRectEx(&r, style, FALSE, GetWindowLong(Wnd, GWL_EXSTYLE));
    return r;
}

// Everything of the window's area around the picture, black. Holds PictureLock.
void PaintBars(HDC dc) {
    RECT client;
    GetClientRect(Wnd, &client);
    HBRUSH black = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    const RECT bars[] = {
        {0, 0, client.right, Placed.Y},
        {0, Placed.Y + Placed.H, client.right, client.bottom},
        {0, Placed.Y, Placed.X, Placed.Y + Placed.H},
        {Placed.X + Placed.W, Placed.Y, client.right, Placed.Y + Placed.H},
    };
    for (const RECT& r : bars)
        if (r.right > r.left && r.bottom > r.top)
            FillRect(dc, &r, black);
}

// Rows top to bottom - 1 of the picture, its 32-bit pixels as they are: the system only copies
// them. Holds PictureLock.
void PaintPicture(HDC dc, int top, int bottom) {
    if (Pixels.empty() || bottom <= top)
        return;
    int lines = bottom - top;
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi.bmiHeader.biWidth = Placed.W;
    bi.bmiHeader.biHeight = -lines;  // top row first
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    SetDIBitsToDevice(dc, Placed.X, Placed.Y + top, Placed.W, lines, 0, 0, 0, lines,
                      &Pixels[size_t(top) * Placed.W], &bi, DIB_RGB_COLORS);
}

// The library's driver calls this for the window's invalid parts while we draw it, on the
// window's thread: the last picture again, so the window is whole while the game is paused.
void Paint(HDC dc, RECT*) {
    std::lock_guard<std::mutex> hold(PictureLock);
    PaintBars(dc);
    PaintPicture(dc, 0, Placed.H);
}

void TakeWindow(bool take) {
    if (take == Painting)
        return;
    gfx_gdi_set_painter(take ? Paint : nullptr);
    Painting = take;
    Whole = true;  // the library drew the window meanwhile
}

// On the window's thread, before the library: the pointer is hidden over a fullscreen game.
int OnMessage(HWND, UINT message, WPARAM, LPARAM lparam, int* result) {
    if (message == WM_SETCURSOR && LOWORD(lparam) == HTCLIENT && Popup) {
        SetCursor(nullptr);
        *result = TRUE;
        return 0;
    }
    return 1;
}

}  // namespace

bool Open() {
    if (!gfx_driver || gfx_driver->id != GFX_GDI || !(Wnd = win_get_window()))
        return false;
    RECT client;
    GetClientRect(Wnd, &client);
    ClientWidth = client.right;
    ClientHeight = client.bottom;
    win_set_msg_pre_proc(OnMessage);
    return true;
}

double DesktopScale() {
    // Windows 10 1607 and later; the manifest's system awareness makes both the system DPI.
    using DpiForSystem = UINT(WINAPI*)();
    HMODULE user = GetModuleHandleW(L"user32.dll");
    auto dpiForSystem = reinterpret_cast<DpiForSystem>(
        reinterpret_cast<void (*)()>(user ? GetProcAddress(user, "GetDpiForSystem") : nullptr));
    UINT dpi = 0;
    if (dpiForSystem) {
        dpi = dpiForSystem();
    } else {
        HDC screenDc = GetDC(nullptr);
        dpi = GetDeviceCaps(screenDc, LOGPIXELSX);
        ReleaseDC(nullptr, screenDc);
    }
    return dpi > 0 ? dpi / 96.0 : 1;
}

Scale::Area WorkArea() {
    if (!Wnd)
        return Scale::Area{};
    RECT w = MonitorRect(true);
    return Scale::Area{int(w.left), int(w.top), int(w.right - w.left), int(w.bottom - w.top)};
}

Scale::Frame FrameExtents() {
    if (!Wnd)
        return Scale::Frame{};
    RECT r = Framed(RECT{0, 0, 0, 0});
    return Scale::Frame{int(-r.left), int(r.right), int(-r.top), int(r.bottom)};
}

void Place(Scale::Area a) {
    if (!Wnd)
        return;
    // Before the window grows: the screen alone could not fill it.
    if (a.W != Misc::FrameWidth || a.H != Misc::FrameHeight)
        TakeWindow(true);
    RECT r = Framed(RECT{a.X, a.Y, a.X + a.W, a.Y + a.H});
    SetWindowPos(Wnd, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
}

bool RequestFullscreen(bool on) {
    if (!Wnd)
        return false;
    if (on == Popup)
        return true;
    if (on) {
        Windowed.length = sizeof Windowed;
        GetWindowPlacement(Wnd, &Windowed);
        WindowedStyle = GetWindowLong(Wnd, GWL_STYLE);
        RECT m = MonitorRect(false);
        TakeWindow(true);
        Popup = true;
        // The system menu stays, and with it the close command of the taskbar and Alt+F4.
        SetWindowLong(Wnd, GWL_STYLE, (WindowedStyle & ~(WS_CAPTION | WS_THICKFRAME)) | WS_POPUP);
        SetWindowPos(Wnd, HWND_TOP, m.left, m.top, m.right - m.left, m.bottom - m.top,
                     SWP_FRAMECHANGED | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
    } else {
        Popup = false;
        SetWindowLong(Wnd, GWL_STYLE, WindowedStyle);
        SetWindowPlacement(Wnd, &Windowed);
        SetWindowPos(Wnd, nullptr, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER |
                         SWP_FRAMECHANGED);
    }
    return true;
}

// The window's style fixes its size: the player cannot drag its edges.
void FixSize(int, int) {}

bool Update() {
    if (!Wnd)
        return false;
    // A minimized window has no area: it keeps the size it will come back at.
    RECT client;
    if (IsIconic(Wnd) || !GetClientRect(Wnd, &client) || client.right <= 0 || client.bottom <= 0)
        return false;
    bool again = client.right != ClientWidth || client.bottom != ClientHeight;
    Whole |= again;
    ClientWidth = client.right;
    ClientHeight = client.bottom;
    return again;
}

int Width() { return ClientWidth; }
int Height() { return ClientHeight; }
bool Fullscreen() { return Popup; }

void Show(BITMAP* frame, Scale::Area picture) {
    if (!Wnd || picture.W <= 0 || picture.H <= 0)
        return;
    TakeWindow(true);
    for (int y = 0; y < Misc::FrameHeight; ++y)
        Rows[y] = reinterpret_cast<const uint16_t*>(frame->line[y]);
    bool moved = !Scaled || picture.X != Placed.X || picture.Y != Placed.Y ||
                 picture.W != Placed.W || picture.H != Placed.H;
    const std::vector<std::pair<int, int>>& runs = Changes.Take(Rows.data(), moved || Whole);
    if (runs.empty())
        return;
    HDC dc = GetDC(Wnd);
    {
        std::lock_guard<std::mutex> hold(PictureLock);
        if (moved) {
            Scaled = FrameScaler(picture.W, picture.H);
            Pixels.assign(size_t(picture.W) * picture.H, 0);
            Placed = picture;
        }
        if (moved || Whole)
            PaintBars(dc);
        // Under Wine every row handed over is copied twice more on its way to the screen.
        unsigned char* pixels = reinterpret_cast<unsigned char*>(Pixels.data());
        for (const std::pair<int, int>& run : runs) {
            std::pair<int, int> rows = Scaled->ScreenRows(run.first, run.second);
            Scaled->Draw(Rows.data(), pixels, picture.W * 4, rows.first, rows.second);
            PaintPicture(dc, rows.first, rows.second);
        }
        Whole = false;
    }
    ReleaseDC(Wnd, dc);
    // Wine sends a window's drawing to the X display when a thread checks its message queue.
    GetQueueStatus(QS_ALLINPUT);
}

void Hide() {
    if (Wnd)
        TakeWindow(false);
}

int Descriptor() { return -1; }

}  // namespace GameShell::ScaledWindow

#endif
