#include "shell/window.h"

#include <allegro.h>
#ifdef ALLEGRO_WITH_XWINDOWS
#include <allegro/platform/aintunix.h>
#include <xalleg.h>

#include <X11/Xatom.h>

#include <cstddef>
#endif

namespace GameShell::Window {

#ifdef ALLEGRO_WITH_XWINDOWS
extern const unsigned long IconData[];
extern const std::size_t IconDataLength;
#endif

void NameClass() {
#ifdef ALLEGRO_WITH_XWINDOWS
    xwin_set_window_name("haltwick", "Haltwick");
#endif
}

void SetIcon() {
#ifdef ALLEGRO_WITH_XWINDOWS
    XLOCK();
    if (_xwin.display && _xwin.wm_window != None) {
        Atom icon = XInternAtom(_xwin.display, "_NET_WM_ICON", False);
        XChangeProperty(_xwin.display, _xwin.wm_window, icon, XA_CARDINAL, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(IconData),
                        static_cast<int>(IconDataLength));
    }
    XUNLOCK();
#endif
}

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
