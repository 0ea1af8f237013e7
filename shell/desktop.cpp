#include "shell/desktop.h"

#include <allegro.h>

#include "shell/clock.h"
#include "shell/window.h"

#ifdef ALLEGRO_WINDOWS
#include <winalleg.h>
#else
#include <csignal>
#include <pthread.h>
#include <unistd.h>
#endif
#ifdef ALLEGRO_WITH_XWINDOWS
#include <allegro/internal/aintern.h>
#include <allegro/platform/aintunix.h>
#include <xalleg.h>
#endif

namespace GameShell::Desktop {

std::atomic<bool> QuitRequested{false};

namespace {

std::atomic<int> QuitSignal{0};  // the termination signal that asked, 0 for none
std::atomic<bool> HasFocus{false};
std::atomic<bool> HadFocus{false};

// The library calls these outside the main thread (its input thread, or Windows' window thread).
void OnClose() { QuitRequested = true; }
void OnFocusIn() {
    HasFocus = true;
    HadFocus = true;
}
void OnFocusOut() { HasFocus = false; }

#ifndef ALLEGRO_WINDOWS
// SIGQUIT too: the library's own handler for it could abort instead of dumping core by SIGQUIT.
const int TerminationSignals[] = {SIGTERM, SIGINT, SIGHUP, SIGQUIT};

void OnSignal(int sig) {
    QuitSignal = sig;
    QuitRequested = true;
}
#endif

#ifdef ALLEGRO_WITH_XWINDOWS
// Xlib's own handler calls exit(), whose clean-up then waits forever for the library's input
// thread. The game keeps no data, so nothing is lost by leaving at once.
int OnLostDisplay(Display*) {
    static const char message[] = "Haltwick: lost the connection to the display\n";
    ssize_t written = write(STDERR_FILENO, message, sizeof message - 1);
    (void)written;  // nowhere else to report a failure
    _exit(1);
}
#endif

// Keys held as the focus left must not act on their own when play resumes.
void ReleaseKeys() {
#ifdef ALLEGRO_WITH_XWINDOWS
    // The library releases on FocusOut only the keys that the last poll_keyboard() saw down; a
    // key pressed since then stays down. Its input thread changes the same state under this lock.
    XLOCK();
    for (int k = 1; k < KEY_MAX; ++k)
        if (key[k] || _key[k])
            _handle_key_release(k);
    _key_shifts &= ~(KB_SHIFT_FLAG | KB_CTRL_FLAG | KB_ALT_FLAG | KB_LWIN_FLAG | KB_RWIN_FLAG |
                     KB_MENU_FLAG | KB_COMMAND_FLAG);
    XUNLOCK();
    poll_keyboard();
#endif
    // Windows' library releases every key itself when the window is deactivated.
    clear_keybuf();
}

// The window manager may have focused the window as it appeared, before the callbacks were in
// place; asked after them, the answer cannot be older than the next change they see.
bool FocusedNow() {
#if defined(ALLEGRO_WINDOWS)
    return GetForegroundWindow() == win_get_window();
#elif defined(ALLEGRO_WITH_XWINDOWS)
    XLOCK();
    ::Window focus = None;
    int revert;
    if (_xwin.display)
        XGetInputFocus(_xwin.display, &focus, &revert);
    bool ours = focus != None && (focus == _xwin.wm_window || focus == _xwin.window);
    XUNLOCK();
    return ours;
#else
    return false;
#endif
}

// True while the window, having had the focus once, is without it (or minimized). A game that
// starts unfocused plays on, as it always did when started from a terminal or a test.
bool FocusLost() {
    if (!HadFocus)
        return false;
#ifdef ALLEGRO_WINDOWS
    // A minimized window can stay the active one on Windows.
    if (IsIconic(win_get_window()))
        return true;
#endif
    return !HasFocus;
}

void ShowPaused() {
    int th = text_height(font);
    textprintf_right_ex(screen, font, SCREEN_W, 3 * th, makecol(255, 255, 255), makecol(0, 0, 0),
                        "Paused");
}

}  // namespace

void Install() {
    // Any other mode would park the game's threads inside the library, where neither a close
    // request nor the pause below could reach them. Setting a mode drops the callbacks.
    set_display_switch_mode(SWITCH_BACKGROUND);
    set_display_switch_callback(SWITCH_IN, OnFocusIn);
    set_display_switch_callback(SWITCH_OUT, OnFocusOut);
    set_close_button_callback(OnClose);
    if (FocusedNow())
        OnFocusIn();
#ifndef ALLEGRO_WINDOWS
    struct sigaction action = {};
    action.sa_handler = OnSignal;
    action.sa_flags = SA_RESTART;
    sigemptyset(&action.sa_mask);
    for (int sig : TerminationSignals)
        sigaction(sig, &action, nullptr);
#endif
#ifdef ALLEGRO_WITH_XWINDOWS
    XSetIOErrorHandler(OnLostDisplay);
#endif
}

bool Idle(BITMAP* shown) {
    Window::Service();
    if (FocusLost() && !QuitRequested) {
        FocusPaused = true;
        ReleaseKeys();
        ShowPaused();
        // Nothing is played meanwhile, so a sleep costs nothing; the library keeps the frame
        // and shows it again when the window is uncovered.
        while (FocusLost() && !QuitRequested) {
            rest(10);
            Window::Service();
        }
        blit(shown, screen, 0, 0, 0, 0, SCREEN_W, SCREEN_H);
        FocusPaused = false;
    }
    return !QuitRequested;
}

void EndBySignal() {
#ifndef ALLEGRO_WINDOWS
    int sig = QuitSignal;
    if (sig == 0)
        return;
    allegro_exit();
    signal(sig, SIG_DFL);
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, sig);
    pthread_sigmask(SIG_UNBLOCK, &set, nullptr);
    raise(sig);
    _exit(128 + sig);  // not reached: the default action ends the process
#endif
}

}  // namespace GameShell::Desktop
