#ifndef HALTWICK_TESTS_SUPPORT_XSERVER_H
#define HALTWICK_TESTS_SUPPORT_XSERVER_H

#include <sys/types.h>

#include <string>

namespace TestSupport {

// What a desktop around the game would set: the screen's size, the desktop's scale as Xft.dpi
// (none when 0), and a real window manager (openbox) for fullscreen and frames.
struct Desktop {
    std::string Screen = "1024x768";
    int Dpi = 0;
    bool WindowManager = false;
    // From HALTWICK_TEST_SCREEN, HALTWICK_TEST_DPI and HALTWICK_TEST_WM (any value), so one
    // suite can run again on another desktop as its own ctest entry.
    static Desktop FromEnvironment();
};

// A private Xvfb for one test process: no reset when the last client leaves, key auto-repeat
// pushed far out so held keys do not repeat. Stopped by the destructor, window manager first.
class XServer {
public:
    pid_t Pid = -1;
    pid_t WindowManagerPid = -1;
    std::string Display;  // ":N", empty when the server (or its window manager) did not start

    explicit XServer(int depth = 24, const Desktop& desktop = Desktop{});
    ~XServer();
    // Ends the server at once, as a logout or a lost forwarded display does.
    void Stop();
    XServer(const XServer&) = delete;
    XServer& operator=(const XServer&) = delete;
};

}  // namespace TestSupport

#endif
