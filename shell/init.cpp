#include "shell/init.h"

#include <allegro.h>
#include <cerrno>
#include <cstdlib>

namespace GameInit {

bool InitGame(std::string title, int card1, int card2, int width, int height,
              void (*timerProc)(), int timerSpeed) {
    if (install_allegro(SYSTEM_AUTODETECT, &errno, atexit) != 0)
        return false;
    if (install_keyboard() != 0)
        return false;
    // The library would end the process on Ctrl+Alt+End, and End is a game key.
    three_finger_flag = FALSE;
    if (install_timer() != 0)
        return false;
    set_color_depth(16);
    if (set_gfx_mode(card1, width, height, 0, 0) != 0 &&
        set_gfx_mode(card2, width, height, 0, 0) != 0)
        return false;
    set_window_title(title.c_str());
    return install_int_ex(timerProc, timerSpeed) == 0;
}

}  // namespace GameInit
