#ifndef HALTWICK_TESTS_SUPPORT_XSERVER_H
#define HALTWICK_TESTS_SUPPORT_XSERVER_H

#include <sys/types.h>

#include <string>

namespace TestSupport {

// A private Xvfb for one test process: no reset when the last client leaves, key auto-repeat
// pushed far out so held keys do not repeat. Stopped by the destructor.
class XServer {
public:
    pid_t Pid = -1;
    std::string Display;  // ":N", empty when the server could not start

    explicit XServer(int depth = 24);
    ~XServer();
    // Ends the server at once, as a logout or a lost forwarded display does.
    void Stop();
    XServer(const XServer&) = delete;
    XServer& operator=(const XServer&) = delete;
};

}  // namespace TestSupport

#endif
