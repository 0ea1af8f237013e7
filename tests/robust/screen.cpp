#include "tests/robust/screen.h"

#include <X11/keysym.h>

#include <cstdio>
#include <cstdlib>

namespace Robust {

using namespace TestSupport;

std::string GamePath() {
    const char* game = std::getenv("HALTWICK_GAME");
    return game ? game : HALTWICK_GAME;
}

bool SanitizerReported(const std::string& errors) {
    return errors.find("Sanitizer") != std::string::npos ||
           errors.find("runtime error") != std::string::npos;
}

bool Screen::Shows(int x, int y, const std::string& text) {
    return ReadAt(Grab(Rect{0, 0, 800, y + 8}), x, y, White, text.size()) == text;
}

std::string Screen::StatusLine(int row) {
    return TestSupport::StatusLine(Grab(Rect{0, 0, 800, 24}), row);
}

bool Screen::TimeLeft(int* seconds) {
    int minutes, rest;
    char tail;
    if (std::sscanf(StatusLine(1).c_str(), "Time Left: %d:%d%c", &minutes, &rest, &tail) != 2)
        return false;
    // Both parts carry the sign of a negative remainder, as in 0:-14.
    *seconds = minutes * 60 + rest;
    return true;
}

bool Screen::ShowsEndScreen() { return Shows(312, 308, "Press any key to exit."); }

bool Screen::HoldUntil(unsigned long keysym, const std::function<bool()>& shown, int timeoutMs) {
    Key(keysym, true);
    bool done = TestSupport::WaitFor(shown, timeoutMs);
    Key(keysym, false);
    return done;
}

bool Screen::Quit(GameProcess& game, int timeoutMs) {
    if (!HoldUntil(XK_Escape, [&] { return ShowsEndScreen(); }, timeoutMs))
        return false;
    // The end screen throws away what is typed in its first moments; retry in case. Closing
    // takes Wine 2 s with no window manager to withdraw the window.
    for (double end = NowMs() + timeoutMs; NowMs() < end;) {
        SleepMs(500);
        Hold(XK_space, 30);
        if (game.Wait(3000))
            return true;
    }
    return false;
}

}  // namespace Robust
