#include "tests/support/display.h"

#include <allegro.h>

#include <cerrno>
#include <cstdlib>

namespace TestSupport {

GameDisplay::GameDisplay() {
    if (Server.Display.empty()) {
        Error = "could not start Xvfb";
        return;
    }
    setenv("DISPLAY", Server.Display.c_str(), 1);
    if (install_allegro(SYSTEM_AUTODETECT, &errno, atexit) != 0 || install_keyboard() != 0 ||
        install_timer() != 0) {
        Error = "could not install the graphics library";
        return;
    }
    set_color_depth(16);
    if (set_gfx_mode(GFX_AUTODETECT_WINDOWED, 800, 600, 0, 0) != 0)
        Error = "could not set an 800 x 600 16-bit window";
}

// The library's exit routine must see the display before the server goes away.
GameDisplay::~GameDisplay() { allegro_exit(); }

}  // namespace TestSupport
