#ifndef HALTWICK_TESTS_ROBUST_SCREEN_H
#define HALTWICK_TESTS_ROBUST_SCREEN_H

#include <functional>
#include <string>

#include "tests/support/window/process.h"
#include "tests/support/window/window.h"

namespace Robust {

// The game's window as the hardening checks watch it: what its status lines and end screen
// say, read from fresh grabs, and the keys that get a slow game (valgrind) to react.
class Screen : public TestSupport::GameWindow {
public:
    using GameWindow::GameWindow;

    // Text drawn in white from (x, y) on, as in a fresh grab.
    bool Shows(int x, int y, const std::string& text);
    // The status line of row 0 (FPS), 1 (time left) or 2 (speed); "" when there is none (the
    // chooser menu hides them).
    std::string StatusLine(int row);
    // Seconds left as the countdown shows them; false when it cannot be read.
    bool TimeLeft(int* seconds);
    // The end screen's last line is up.
    bool ShowsEndScreen();
    // Holds keysym until shown() holds, for keys the game sees only as held at a tick: under
    // valgrind a short tap can fall between two ticks.
    bool HoldUntil(unsigned long keysym, const std::function<bool()>& shown, int timeoutMs);
    // Ends the run with Escape and leaves the end screen with a key; true once the game exited.
    bool Quit(TestSupport::GameProcess& game, int timeoutMs);
};

// A sanitizer's report in a game's standard error.
bool SanitizerReported(const std::string& errors);

// The game under test: the one HALTWICK_GAME names (the Windows build, which the storm also
// runs under Wine), else the built game of this build tree.
std::string GamePath();

}  // namespace Robust

#endif
