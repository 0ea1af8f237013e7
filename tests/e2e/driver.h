#ifndef HALTWICK_TESTS_E2E_DRIVER_H
#define HALTWICK_TESTS_E2E_DRIVER_H

#include <sys/types.h>

#include <functional>
#include <string>

#include "tests/e2e/screen.h"

struct _XDisplay;

namespace E2E {

// The built game in a session of its own, stdin from /dev/null, stdout and stderr captured in
// files (the game never flushes, so they are read once it has exited). It dies with the test
// process, and the destructor kills it if it is still running.
class GameProcess {
public:
    int ExitStatus = -1;  // valid once WaitExit returned true

    GameProcess(const std::string& path, const std::string& display);
    ~GameProcess();
    GameProcess(const GameProcess&) = delete;
    GameProcess& operator=(const GameProcess&) = delete;

    bool WaitExit(int timeoutMs);
    bool Running();
    std::string Output() const;
    std::string Errors() const;

private:
    pid_t Pid = -1;
    std::string OutPath, ErrPath;
};

struct Rect {
    int X = 0, Y = 0, W = 800, H = 600;
};

// One X connection to the test's server: finds the game's window, gives it the focus, sends it
// real key events through XTest and grabs its pixels.
class GameWindow {
public:
    unsigned long Id = 0;
    int Width = 0, Height = 0;

    explicit GameWindow(const std::string& display);
    ~GameWindow();
    GameWindow(const GameWindow&) = delete;
    GameWindow& operator=(const GameWindow&) = delete;

    // Waits for a viewable top-level window with this title, then focuses it.
    bool Find(const std::string& title, int timeoutMs);
    std::string Title() const;

    void Key(unsigned long keysym, bool down);
    // For keys the game tests as held: down for several 1/100 s ticks, Ctrl around it if asked.
    void Hold(unsigned long keysym, int ms = 70, bool ctrl = false);
    // For keys read from the keyboard buffer: a short press.
    void Tap(unsigned long keysym);
    // Letters, digits and blanks, one short press each.
    void Type(const std::string& chars);

    Image Grab(Rect r = Rect{});
    // Grabs r until pred holds or timeoutMs passes; the last grab is left in *last.
    bool WaitFor(const std::function<bool(const Image&)>& pred, int timeoutMs,
                 Image* last = nullptr, Rect r = Rect{});

private:
    _XDisplay* Dpy;
};

void SleepMs(int ms);

}  // namespace E2E

#endif
