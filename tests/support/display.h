#ifndef HALTWICK_TESTS_SUPPORT_DISPLAY_H
#define HALTWICK_TESTS_SUPPORT_DISPLAY_H

#include <string>

#include "tests/support/xserver.h"

namespace TestSupport {

// A private X server with the graphics library brought up on it as the game does: keyboard,
// timer and an 800 x 600 16-bit window. For the whole of a test or benchmark process; the
// destructor shuts the library down while the server is still there.
class GameDisplay {
public:
    std::string Error;  // empty when everything is up

    GameDisplay();
    ~GameDisplay();
    GameDisplay(const GameDisplay&) = delete;
    GameDisplay& operator=(const GameDisplay&) = delete;

private:
    XServer Server;
};

}  // namespace TestSupport

#endif
