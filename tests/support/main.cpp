// The one entry of every unit test binary: brings up a private X server and the graphics
// library as the game does (keyboard, timer, 800 x 600 16-bit window), then runs the tests.
#include <allegro.h>
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "tests/support/xserver.h"

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    TestSupport::XServer server;
    if (server.Display.empty()) {
        std::fprintf(stderr, "could not start Xvfb\n");
        return 1;
    }
    setenv("DISPLAY", server.Display.c_str(), 1);
    if (install_allegro(SYSTEM_AUTODETECT, &errno, atexit) != 0 || install_keyboard() != 0 ||
        install_timer() != 0) {
        std::fprintf(stderr, "could not install the graphics library\n");
        return 1;
    }
    set_color_depth(16);
    if (set_gfx_mode(GFX_AUTODETECT_WINDOWED, 800, 600, 0, 0) != 0) {
        std::fprintf(stderr, "could not set an 800 x 600 16-bit window\n");
        return 1;
    }
    int result = RUN_ALL_TESTS();
    // The library's exit routine must see the display before the server goes away.
    allegro_exit();
    return result;
}
