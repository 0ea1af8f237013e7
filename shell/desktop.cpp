#include "shell/desktop.h"

#include <allegro.h>

#include "shell/clock.h"
#include "shell/presenter.h"
#include "shell/scaledwindow.h"
#include "shell/window.h"

#ifdef ALLEGRO_WINDOWS
#include <winalleg.h>
#else
#include <poll.h>
#include <pthread.h>
#include <unistd.h>

#include <csignal>
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

#ifdef ALLEGRO_WINDOWS
// Wakes the paused main thread; the window thread paints the window by itself meanwhile.
HANDLE Woken = CreateEvent(nullptr, FALSE, FALSE, nullptr);
void Wake() { SetEvent(Woken); }
#else
void Wake() {}  // X wakes the paused main thread through its connection
#endif

// The library calls these outside the main thread (its input thread, or Windows' window thread).
void OnClose() {
    QuitRequested = true;
    Wake();
}
void OnFocusIn() {
    HasFocus = true;
    HadFocus = true;
    Wake();
}
void OnFocusOut() { HasFocus = false; }

#ifndef ALLEGRO_WINDOWS
// SIGQUIT too: the library's own handler for it could abort instead of dumping core by SIGQUIT.
const int TerminationSignals[] = {SIGTERM, SIGINT, SIGHUP, SIGQUIT};
sigset_t Held;     // all four, held back from start-up until the loops can act on them
sigset_t Ignored;  // those ignored when the process started, which it leaves ignored

void OnSignal(int sig) {
    QuitSignal = sig;
    QuitRequested = true;
}

// Gives each signal that was not ignored at start the action handler, and each that was SIG_IGN
// again (which also drops one held back meanwhile).
void SetActions(void (*handler)(int)) {
    struct sigaction action = {};
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int sig : TerminationSignals) {
        action.sa_handler = sigismember(&Ignored, sig) ? SIG_IGN : handler;
        sigaction(sig, &action, nullptr);
    }
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
// place. Asked after them, the answer cannot be older than the next change they see; noted
// under the lock they are called in, it cannot overwrite one they saw meanwhile either.
void NoteFocusNow() {
#if defined(ALLEGRO_WINDOWS)
    if (GetForegroundWindow() == win_get_window())
        OnFocusIn();
#elif defined(ALLEGRO_WITH_XWINDOWS)
    XLOCK();
    ::Window focus = None;
    int revert;
    if (_xwin.display)
        XGetInputFocus(_xwin.display, &focus, &revert);
    if (focus != None && (focus == _xwin.wm_window || focus == _xwin.window))
        OnFocusIn();
    XUNLOCK();
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

// While paused, the library's input thread would still wake a thousand times a second to look
// for events. It is parked meanwhile, and the main thread sleeps until either X connection has
// something to say (the focus returning comes through the library's) or a signal interrupts
// it. Events already read off the library's connection, which would not wake it, are handled
// first; the timeout only bounds what one read by anything else could delay.
class Asleep {
public:
#ifdef ALLEGRO_WITH_XWINDOWS
    Asleep() { _unix_bg_man->disable_interrupts(); }
    ~Asleep() { _unix_bg_man->enable_interrupts(); }
    Asleep(const Asleep&) = delete;
    Asleep& operator=(const Asleep&) = delete;

    void UntilTheDisplaySpeaks() {
        XLOCK();
        bool queued = _xwin.display && XEventsQueued(_xwin.display, QueuedAlready) > 0;
        XUNLOCK();
        if (queued)
            return;
        pollfd fds[] = {{_xwin.display ? ConnectionNumber(_xwin.display) : -1, POLLIN, 0},
                        {ScaledWindow::Descriptor(), POLLIN, 0}};
        poll(fds, 2, 100);
    }
#elif defined(ALLEGRO_WINDOWS)
    // Until the focus comes back or a close is asked for; a minimized window can be restored
    // with no change of focus, hence the timeout.
    void UntilTheDisplaySpeaks() { WaitForSingleObject(Woken, 100); }
#else
    void UntilTheDisplaySpeaks() { rest(10); }
#endif
};

}  // namespace

void Prepare() {
#ifndef ALLEGRO_WINDOWS
    sigemptyset(&Held);
    sigemptyset(&Ignored);
    for (int sig : TerminationSignals) {
        struct sigaction was;
        if (sigaction(sig, nullptr, &was) == 0 && was.sa_handler == SIG_IGN)
            sigaddset(&Ignored, sig);
        sigaddset(&Held, sig);
    }
    // Before the library starts its threads, which inherit the mask; ignored ones too, as the
    // library's handler takes them over until CatchSignals.
    pthread_sigmask(SIG_BLOCK, &Held, nullptr);
#endif
#ifdef ALLEGRO_WITH_XWINDOWS
    XSetIOErrorHandler(OnLostDisplay);
#endif
}

void CatchSignals() {
#ifndef ALLEGRO_WINDOWS
    // The library's handler would shut it down inside the handler, which can deadlock on its
    // lock or abort.
    SetActions(OnSignal);
#endif
}

bool Install() {
    // Any other mode would park the game's threads inside the library, where neither a close
    // request nor the pause below could reach them. A screen without a backing store takes only
    // the one that forgets the picture: the pause draws the frame again as it ends.
    if (set_display_switch_mode(SWITCH_BACKGROUND) != 0 &&
        set_display_switch_mode(SWITCH_BACKAMNESIA) != 0)
        return false;
    // Setting a mode drops the callbacks.
    set_display_switch_callback(SWITCH_IN, OnFocusIn);
    set_display_switch_callback(SWITCH_OUT, OnFocusOut);
    set_close_button_callback(OnClose);
    NoteFocusNow();
    return true;
}

void LetSignalsIn() {
#ifndef ALLEGRO_WINDOWS
    pthread_sigmask(SIG_UNBLOCK, &Held, nullptr);
#endif
}

bool PlayOn(BITMAP* shown) {
    Window::Service();
    if (FocusLost() && !QuitRequested) {
        FocusPaused = true;
        ReleaseKeys();
        Presenter::ShowPaused(shown);
        // The clock counts nothing meanwhile: its timer would only wake the timer thread (and,
        // under Wine, the Wine server) a hundred times a second. Its slot is free again for it.
        remove_int(GameTimer);
        {
            Asleep asleep;
            while (FocusLost() && !QuitRequested) {
                asleep.UntilTheDisplaySpeaks();
                Presenter::Refresh(shown, true);
                Window::Service();
            }
        }
        install_int_ex(GameTimer, BPS_TO_TIMER(TicksPerSecond));
        if (!QuitRequested)
            Presenter::Show(shown);
        FocusPaused = false;
    }
    return !QuitRequested;
}

void EndBySignal() {
#ifndef ALLEGRO_WINDOWS
    // Held back while the library goes, then each ends the process by its default action.
    pthread_sigmask(SIG_BLOCK, &Held, nullptr);
    allegro_exit();
    SetActions(SIG_DFL);
    int sig = QuitSignal;
    if (sig != 0)
        raise(sig);
    pthread_sigmask(SIG_UNBLOCK, &Held, nullptr);
    if (sig != 0)
        _exit(128 + sig);  // not reached: the default action ends the process
#endif
}

}  // namespace GameShell::Desktop
