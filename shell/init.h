#ifndef HALTWICK_SHELL_INIT_H
#define HALTWICK_SHELL_INIT_H

#include <string>

namespace GameInit {

// Brings the library up: system, keyboard, timer, a 16-bit width x height mode (card1 first,
// then card2), the window title, and timerProc every timerSpeed counts. Stops at the first
// failing step and returns false, printing nothing and undoing nothing: the library's own
// shutdown runs at exit.
bool InitGame(std::string title, int card1, int card2, int width, int height,
              void (*timerProc)(), int timerSpeed);

}  // namespace GameInit

#endif
