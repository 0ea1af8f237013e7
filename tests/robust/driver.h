#ifndef HALTWICK_TESTS_ROBUST_DRIVER_H
#define HALTWICK_TESTS_ROBUST_DRIVER_H

#include <sys/types.h>

#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

#include "tests/support/pixels.h"

struct _XDisplay;

namespace Robust {

void SleepMs(int ms);
// The X name of a key, for logs.
std::string KeyName(unsigned long keysym);
// Milliseconds on the monotonic clock.
double NowMs();
// Polls until done() holds or timeoutMs passes.
bool WaitFor(const std::function<bool()>& done, int timeoutMs);

// A command (the built game, or the game under valgrind) in a session of its own with stdin
// closed, so the graphics library has no terminal to fall back to. Its stdout is dropped and its
// stderr kept for the test. It dies with the test process, and the destructor kills what is left.
class Process {
public:
    int ExitCode = -1;  // exit code, or 128 + signal, once Wait has returned true

    // An empty display runs it with no DISPLAY at all.
    Process(const std::vector<std::string>& argv, const std::string& display);
    ~Process();
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;

    bool Wait(int timeoutMs);
    bool Running() { return !Wait(0); }
    std::string Errors() const;

private:
    pid_t Pid = -1;
    std::string ErrPath;
};

// The game's window on one X server as a player meets it: real key events through XTest, and
// its pixels read back into a 16-bit bitmap in the game's own colours, so the test support's
// glyph matching reads its text.
class Screen {
public:
    explicit Screen(const std::string& display);
    ~Screen();
    Screen(const Screen&) = delete;
    Screen& operator=(const Screen&) = delete;

    // Waits for the mapped window titled "Haltwick" and gives it the keyboard focus.
    bool Find(int timeoutMs);
    bool Exists();

    void Key(unsigned long keysym, bool down);
    void Tap(unsigned long keysym, int ms = 30);

    // The top rows of the window, full width, into frame.
    void Grab(TestSupport::Frame& frame);
    // Text drawn in white from (x, y) on, as in a fresh grab.
    bool Shows(int x, int y, const std::string& text);
    // The white status line of row 0 (FPS), 1 (time left) or 2 (speed), read leftwards from the
    // right edge; "" when there is none (the chooser menu hides them).
    std::string StatusLine(int row);
    // Seconds left as the countdown shows them; false when it cannot be read.
    bool TimeLeft(int* seconds);
    // The end screen's last line is up.
    bool ShowsEndScreen();
    // Holds keysym until shown() holds, for keys the game sees only as held at a tick: under
    // valgrind a short tap can fall between two ticks.
    bool HoldUntil(unsigned long keysym, const std::function<bool()>& shown, int timeoutMs);
    // Ends the run with Escape and leaves the end screen with a key; true once the game exited.
    bool Quit(Process& game, int timeoutMs);

private:
    _XDisplay* Dpy;
    unsigned long Id = 0;
    unsigned long Colormap = 0;
    std::unordered_map<unsigned long, int> Colours;  // X pixel -> 16-bit colour
};

// The built game of this build tree.
const char GamePath[] = HALTWICK_GAME;

}  // namespace Robust

#endif
