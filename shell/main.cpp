// Haltwick: stop the runaway train by winning mini-games before 6:06 of game time runs out.
#include <allegro.h>

#include "shell/clock.h"
#include "shell/init.h"
#include "shell/run.h"

namespace {

#ifdef ALLEGRO_WINDOWS
// The library's DirectDraw window goes, under Wine, through OpenGL and a rendering thread that
// takes a core of its own; its GDI window is five times as fast there and answers keys sooner.
const int WindowDriver = GFX_GDI;
#else
const int WindowDriver = GFX_AUTODETECT_WINDOWED;
#endif

}  // namespace

int main() {
    if (!GameInit::InitGame("Haltwick", WindowDriver, GFX_AUTODETECT, 800, 600,
                            GameTimer, BPS_TO_TIMER(100)))
        return -1;
    BITMAP* buffer = create_bitmap(SCREEN_W, SCREEN_H);
    if (!buffer)
        return -1;

    GameShell::Run run(buffer);
    TimerActive = true;
    GameShell::MainLoop(run);
    GameShell::EndScreen(run);
    return 0;
}
END_OF_MAIN()
