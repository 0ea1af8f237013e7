#ifndef HALTWICK_SHELL_RUN_H
#define HALTWICK_SHELL_RUN_H

#include "gfx/train.h"

struct BITMAP;

namespace MiniGameManagement {
class MiniGameManager;
}

namespace GameShell {

const int TimeLimit = 366;  // seconds of game time, 6:06

// One run of the game from the first logic tick to the end screen. main owns one, and it owns
// the frame's off-screen bitmap, the mini-game manager and the train. Everything here runs on
// the main thread; the clock globals are the only state shared with the timer.
class Run {
public:
    BITMAP* Buffer;                                 // every frame is composed here
    MiniGameManagement::MiniGameManager* Manager;   // registered games, the running one
    TrainSys::Train Train;                          // holds the speed, draws the main screen
    bool Finished = false;  // the loop leaves at its next check
    bool Won = false;       // the train stopped: decides the end message
    bool InGame = false;    // a mini-game is on screen instead of the train

    // Takes ownership of buffer (screen-sized); registers the mini-games.
    explicit Run(BITMAP* buffer);
    ~Run();
    Run(const Run&) = delete;
    Run& operator=(const Run&) = delete;

    // Seconds left; negative after a late penalty.
    int TimeLeft() const;
    // One 1/100 s logic step: keys, the mini-game, the train, the end conditions.
    void Tick();
    // Draws the current state into Buffer, status lines on top.
    void ComposeFrame();
};

// Works off every pending tick, then draws a frame, until the run is finished or the desktop
// asks the game to quit.
void MainLoop(Run& run);

// Lays the outcome box and messages over a mosaic of the last frame in bmp.
void DrawEndScreen(BITMAP* bmp, bool won);
// Shows the end screen and waits for one key pressed after it appeared, or for a quit request.
void EndScreen(Run& run);

}  // namespace GameShell

#endif
