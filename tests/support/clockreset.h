#ifndef HALTWICK_TESTS_SUPPORT_CLOCKRESET_H
#define HALTWICK_TESTS_SUPPORT_CLOCKRESET_H

#include "shell/clock.h"

namespace TestSupport {

// Puts the clock globals back to their state at process start.
inline void ResetClock() {
    TimerActive = false;
    FocusPaused = false;
    GameTime = 0;
    CurFPS = 0;
    FPS = 0;
    SecTrack = 0;
    SElapsed = 0;
}

}  // namespace TestSupport

#endif
