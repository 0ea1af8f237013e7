#include "shell/window.h"

#include <allegro.h>
#ifdef ALLEGRO_WITH_XWINDOWS
#include <allegro/platform/aintunix.h>
#include <xalleg.h>
#endif

namespace GameShell::Window {

#ifdef ALLEGRO_WITH_XWINDOWS

void TakeKeys() {
    // Reading what the socket holds does not wait; the driver's handler syncs with the server
    // (a round trip), so it runs only for events. The lock keeps the driver's thread off the
    // connection meanwhile.
    XLOCK();
    bool waiting = _xwin.display && XEventsQueued(_xwin.display, QueuedAfterFlush) > 0;
    XUNLOCK();
    if (waiting)
        _xwin_handle_input();
}

void PushFrame() {
    XLOCK();
    if (_xwin.display)
        XFlush(_xwin.display);
    XUNLOCK();
}

#else

void TakeKeys() {}
void PushFrame() {}

#endif

}  // namespace GameShell::Window
