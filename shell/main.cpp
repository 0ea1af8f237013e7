// Haltwick: stop the runaway train by winning mini-games before 6:06 of game time runs out.
#include <allegro.h>

#include "gfx/frame.h"
#include "shell/clock.h"
#include "shell/desktop.h"
#include "shell/init.h"
#include "shell/presenter.h"
#include "shell/run.h"
#include "shell/window.h"

namespace {

#ifdef ALLEGRO_WINDOWS
// The library's DirectDraw window goes, under Wine, through OpenGL and a rendering thread that
// takes a core of its own; its GDI window is five times as fast there and answers keys sooner.
// Failing that, the DirectDraw window: never a fullscreen mode change, which on Windows would
// take the player's desktop away.
const int WindowDriver = GFX_GDI;
const int FallbackDriver = GFX_DIRECTX_WIN;
#else
const int WindowDriver = GFX_AUTODETECT_WINDOWED;
const int FallbackDriver = GFX_AUTODETECT;
#endif

// Every way out after the library started: a termination signal that came meanwhile ends the
// process by that signal instead.
int Leave(int status) {
    GameShell::Desktop::EndBySignal();
    return status;
}

}  // namespace

int main() {
    GameShell::Desktop::Prepare();
    GameShell::Window::NameClass();
    bool started = GameInit::InitGame("Haltwick", WindowDriver, FallbackDriver, 800, 600,
                                      GameTimer, BPS_TO_TIMER(TicksPerSecond));
    GameShell::Desktop::CatchSignals();
    if (!started)
        return Leave(-1);
    GameShell::Window::SetIcon();
    GameShell::Presenter::Install();
    if (!GameShell::Desktop::Install()) {
        allegro_message("Haltwick cannot run here: the window system would stop it whenever "
                        "its window lost the focus.\n");
        return Leave(-1);
    }
    BITMAP* buffer = create_bitmap(Misc::FrameWidth, Misc::FrameHeight);
    if (!buffer)
        return Leave(-1);

    {
        GameShell::Run run(buffer);
        TimerActive = true;
        GameShell::Desktop::LetSignalsIn();
        GameShell::MainLoop(run);
        // Closed or ended from outside: straight out, as after the end screen.
        if (!GameShell::Desktop::QuitRequested)
            GameShell::EndScreen(run);
    }
    return Leave(0);
}
END_OF_MAIN()
