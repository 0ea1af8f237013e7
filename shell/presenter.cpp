#include "shell/presenter.h"

#include <allegro.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>

#include "gfx/frame.h"
#include "shell/desktop.h"
#include "shell/scale.h"
#include "shell/scaledwindow.h"

namespace GameShell::Presenter {

namespace {

// Asked for by keys, on whichever thread reads the keyboard; done by Show on the main thread.
std::atomic<int> FullscreenToggles{0};
std::atomic<int> ZoomSteps{0};
std::atomic<bool> ZoomReset{false};
std::atomic<bool> Taking{false};

bool Scalable = false;  // the window can be shown at other sizes than 800 x 600
int FirstScale = 1;     // the desktop's, or HALTWICK_SCALE's
int WindowScale = 1;    // the window's, kept while fullscreen
bool WasFullscreen = false;
BITMAP* PausedCopy = nullptr;  // the frame with the "Paused" line, while paused

bool Held(int a, int b) { return key[a] || key[b]; }

// The keyboard's hook: returns 0 for the keys it takes, so no screen of the game sees them.
// Runs while the library moves a key into the buffer (in poll_keyboard, or its own thread).
int OnKey(int typed) {
    if (!Taking)
        return typed;
    int code = typed >> 8;
    bool ctrl = (key_shifts & KB_CTRL_FLAG) || Held(KEY_LCONTROL, KEY_RCONTROL);
    bool alt = (key_shifts & KB_ALT_FLAG) || key[KEY_ALT];
    if (code == KEY_F11 || (alt && (code == KEY_ENTER || code == KEY_ENTER_PAD))) {
        FullscreenToggles++;
        return 0;
    }
    if (!ctrl)
        return typed;
    // Plus is shifted Equals on most keyboards; Ctrl+Equals zooms in browsers too.
    if (code == KEY_EQUALS || code == KEY_PLUS_PAD)
        ZoomSteps++;
    else if (code == KEY_MINUS || code == KEY_MINUS_PAD)
        ZoomSteps--;
    else if (code == KEY_0 || code == KEY_0_PAD)
        ZoomReset = true;
    else
        return typed;
    return 0;
}
END_OF_FUNCTION(OnKey)

void Rescale(int k) {
    Scale::Area work = ScaledWindow::WorkArea();
    Scale::Frame frame = ScaledWindow::FrameExtents();
    WindowScale = Scale::Fitted(k, work, frame);
    ScaledWindow::Place(Scale::Centred(WindowScale, work, frame));
}

void ActOnKeys() {
    if (FullscreenToggles.exchange(0) % 2)
        ScaledWindow::RequestFullscreen(!ScaledWindow::Fullscreen());
    int steps = ZoomSteps.exchange(0);
    bool reset = ZoomReset.exchange(false);
    if ((steps || reset) && !ScaledWindow::Fullscreen()) {
        int k = reset ? FirstScale : WindowScale + steps;
        if (std::clamp(k, 1, Scale::Most) != WindowScale)
            Rescale(k);
    }
}

// Follows fullscreen however it came, our keys or the window manager's own: free to cover
// the monitor while it lasts, fixed at the window's scale again after.
void FollowFullscreen() {
    bool now = ScaledWindow::Fullscreen();
    if (now == WasFullscreen)
        return;
    WasFullscreen = now;
    if (now)
        ScaledWindow::FixSize(0, 0);
    else
        ScaledWindow::FixSize(WindowScale * Misc::FrameWidth, WindowScale * Misc::FrameHeight);
}

void Put(BITMAP* frame) {
    int w = ScaledWindow::Width(), h = ScaledWindow::Height();
    bool unscaled = w == Misc::FrameWidth && h == Misc::FrameHeight && !ScaledWindow::Fullscreen();
    if (!Scalable || unscaled) {
        ScaledWindow::Hide();
        blit(frame, screen, 0, 0, 0, 0, Misc::FrameWidth, Misc::FrameHeight);
        return;
    }
    ScaledWindow::Show(frame, Scale::Fit(w, h));
}

}  // namespace

void Install() {
    LOCK_FUNCTION(OnKey);
    keyboard_callback = OnKey;
    Taking = true;
    Scalable = ScaledWindow::Open();
    if (!Scalable)
        return;
    FirstScale = Scale::FromEnvironment(std::getenv("HALTWICK_SCALE"));
    if (FirstScale == 0)
        FirstScale = Scale::Rounded(ScaledWindow::DesktopScale());
    WasFullscreen = ScaledWindow::Fullscreen();
    Rescale(FirstScale);
}

void TakeKeys(bool on) { Taking = on; }

bool Present(BITMAP* frame) {
    Show(frame);
    return Desktop::PlayOn(frame);
}

bool Keep(BITMAP* frame) {
    Refresh(frame, false);
    return Desktop::PlayOn(frame);
}

void Show(BITMAP* frame) {
    // Made for a pause, and not needed once frames come again.
    if (PausedCopy) {
        destroy_bitmap(PausedCopy);
        PausedCopy = nullptr;
    }
    ScaledWindow::Update();
    ActOnKeys();
    FollowFullscreen();
    Put(frame);
}

void ShowPaused(BITMAP* frame) {
    if (!PausedCopy)
        PausedCopy = create_bitmap(Misc::FrameWidth, Misc::FrameHeight);
    if (!PausedCopy) {
        Put(frame);
        return;
    }
    blit(frame, PausedCopy, 0, 0, 0, 0, Misc::FrameWidth, Misc::FrameHeight);
    int th = text_height(font);
    textprintf_right_ex(PausedCopy, font, Misc::FrameWidth, 3 * th, makecol(255, 255, 255),
                        makecol(0, 0, 0), "Paused");
    Put(PausedCopy);
}

bool Refresh(BITMAP* frame, bool paused) {
    if (!ScaledWindow::Update())
        return false;
    FollowFullscreen();
    if (paused)
        ShowPaused(frame);
    else
        Put(frame);
    return true;
}

}  // namespace GameShell::Presenter
