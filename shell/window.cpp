#include "shell/window.h"

#include <allegro.h>
#ifdef ALLEGRO_WITH_XWINDOWS
#include <allegro/platform/aintunix.h>
#include <xalleg.h>
#endif

namespace GameShell::Window {

void Service() {
#ifdef ALLEGRO_WITH_XWINDOWS
    // The driver's lock keeps its thread off the connection meanwhile.
    XLOCK();
    bool waiting = false;
    if (_xwin.display) {
        XFlush(_xwin.display);
        waiting = XEventsQueued(_xwin.display, QueuedAfterReading) > 0;
    }
    XUNLOCK();
    if (waiting)
        _xwin_handle_input();
#endif
}

}  // namespace GameShell::Window
