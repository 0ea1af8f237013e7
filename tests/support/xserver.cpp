#include "tests/support/xserver.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

namespace TestSupport {

Desktop Desktop::FromEnvironment() {
    Desktop d;
    if (const char* screen = std::getenv("HALTWICK_TEST_SCREEN"))
        d.Screen = screen;
    if (const char* dpi = std::getenv("HALTWICK_TEST_DPI"))
        d.Dpi = std::atoi(dpi);
    d.WindowManager = std::getenv("HALTWICK_TEST_WM") != nullptr;
    return d;
}

namespace {

// Runs a command with DISPLAY set, its output thrown away; true when it exited 0.
bool RunOn(const std::string& display, const std::string& command) {
    std::string line = "DISPLAY=" + display + " " + command + " >/dev/null 2>&1";
    return std::system(line.c_str()) == 0;
}

}  // namespace

XServer::XServer(int depth, const Desktop& desktop) {
    int fds[2];
    if (pipe(fds) != 0)
        return;
    Pid = fork();
    if (Pid == 0) {
        // Goes with the test process even when that is killed (a crash, a ctest timeout).
        prctl(PR_SET_PDEATHSIG, SIGTERM);
        close(fds[0]);
        int devnull = open("/dev/null", O_RDWR);
        dup2(devnull, 0);
        dup2(devnull, 1);
        dup2(devnull, 2);
        std::string fd = std::to_string(fds[1]);
        std::string screen = desktop.Screen + "x" + std::to_string(depth);
        execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-noreset", "-nolisten", "tcp",
               "-ardelay", "100000", "-screen", "0", screen.c_str(), (char*)nullptr);
        _exit(127);
    }
    close(fds[1]);
    // Xvfb writes its display number once it accepts clients.
    std::string number;
    pollfd p{fds[0], POLLIN, 0};
    char c;
    while (poll(&p, 1, 20000) > 0 && read(fds[0], &c, 1) == 1 && c != '\n')
        number += c;
    close(fds[0]);
    if (number.empty())
        return;
    Display = ":" + number;
    if (desktop.Dpi > 0 &&
        !RunOn(Display, "sh -c \"echo 'Xft.dpi: " + std::to_string(desktop.Dpi) + "' | xrdb -merge\""))
        Display.clear();
    if (desktop.WindowManager && !Display.empty()) {
        WindowManagerPid = fork();
        if (WindowManagerPid == 0) {
            prctl(PR_SET_PDEATHSIG, SIGTERM);
            int devnull = open("/dev/null", O_RDWR);
            dup2(devnull, 0);
            dup2(devnull, 1);
            dup2(devnull, 2);
            setenv("DISPLAY", Display.c_str(), 1);
            // Its start-up command runs once it manages the screen; a window mapped before that
            // can be left unmapped, and asks of fullscreen go unanswered.
            execlp("openbox", "openbox", "--startup",
                   "xprop -root -f HALTWICK_WM_READY 32c -set HALTWICK_WM_READY 1", (char*)nullptr);
            _exit(127);
        }
        // Which takes about a second.
        bool ready = false;
        for (int i = 0; i < 100 && !ready; ++i) {
            ready = RunOn(Display, "sh -c \"xprop -root HALTWICK_WM_READY | grep -q '= 1'\"");
            if (!ready)
                usleep(100000);
        }
        if (!ready)
            Display.clear();
    }
}

XServer::~XServer() { Stop(); }

void XServer::Stop() {
    if (WindowManagerPid > 0) {
        kill(WindowManagerPid, SIGTERM);
        waitpid(WindowManagerPid, nullptr, 0);
        WindowManagerPid = -1;
    }
    if (Pid > 0) {
        kill(Pid, SIGTERM);
        waitpid(Pid, nullptr, 0);
        Pid = -1;
    }
}

}  // namespace TestSupport
