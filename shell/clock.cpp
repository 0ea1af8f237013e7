#include "shell/clock.h"

std::atomic<bool> TimerActive{false};
std::atomic<bool> FocusPaused{false};
std::atomic<int> GameTime{0};
std::atomic<int> CurFPS{0};
std::atomic<int> FPS{0};
std::atomic<int> SecTrack{0};
std::atomic<int> SElapsed{0};
std::atomic<std::chrono::steady_clock::rep> LastTick{0};

void GameTimer() {
    if (FocusPaused)
        return;
    LastTick = std::chrono::steady_clock::now().time_since_epoch().count();
    GameTime++;
    // SecTrack is ours alone, but atomic all the same: the main thread may read it.
    if (++SecTrack > 99) {
        // Exchange, so a frame counted by the main loop right now lands in one second or the next.
        FPS = CurFPS.exchange(0);
        SecTrack -= 100;
        if (TimerActive)
            SElapsed++;
    }
}
