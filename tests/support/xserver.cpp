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

XServer::XServer(int depth) {
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
        std::string screen = "1024x768x" + std::to_string(depth);
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
    if (!number.empty())
        Display = ":" + number;
}

XServer::~XServer() { Stop(); }

void XServer::Stop() {
    if (Pid > 0) {
        kill(Pid, SIGTERM);
        waitpid(Pid, nullptr, 0);
        Pid = -1;
    }
}

}  // namespace TestSupport
