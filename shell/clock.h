#ifndef HALTWICK_SHELL_CLOCK_H
#define HALTWICK_SHELL_CLOCK_H

#include <atomic>
#include <chrono>

// The game clock, shared between GameTimer on the library's timer thread and the main
// thread. All start at zero; no locks, only atomic read-modify-writes.
extern std::atomic<bool> TimerActive;  // game seconds count only while true
extern std::atomic<bool> FocusPaused;  // the window lost the focus: nothing counts
extern std::atomic<int> GameTime;      // 1/100 s ticks arrived but not yet worked off
extern std::atomic<int> CurFPS;        // frames copied to the screen since the last second
extern std::atomic<int> FPS;           // frames copied during the last whole second
extern std::atomic<int> SecTrack;      // ticks since the last second boundary
extern std::atomic<int> SElapsed;      // game seconds used, 30-second penalties included
// When the last tick came, on the steady clock, in its units since its epoch.
extern std::atomic<std::chrono::steady_clock::rep> LastTick;

const int TicksPerSecond = 100;

// Called 100 times a second on the timer thread: counts a tick and, every 100th, hands the
// frame count over and counts a game second if the clock runs. While paused it counts nothing,
// so play resumes from the same tick. Never blocks or allocates.
void GameTimer();

#endif
