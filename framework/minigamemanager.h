#ifndef HALTWICK_FRAMEWORK_MINIGAMEMANAGER_H
#define HALTWICK_FRAMEWORK_MINIGAMEMANAGER_H

#include <vector>

#include "framework/minigame.h"

struct BITMAP;

namespace MiniGameManagement {

// Owns the registered factories and at most one running mini-game with its record. Starts
// games (random or by index), ticks them, ends them the tick they finish and keeps the result
// for the shell, draws them with their title line and runs the F1 help overlay.
// The shell creates one for the whole run; everything here runs on the main thread.
class MiniGameManager {
public:
    std::vector<MiniGames::MiniGameFactory> Factories;  // registration order = menu order
    MiniGames::MiniGame* CurGame = nullptr;             // owned
    MiniGames::MiniGameInfo* CurInfo = nullptr;         // owned, set exactly while CurGame is
    bool LastWon = false;      // result of the last game EndMiniGame found running
    bool GameActive = false;   // true exactly while CurGame is set
    bool ShowHelp = false;     // help overlay up: the game is not ticked, the clock stops
    int LastReward = 0;        // Worth of that game if it was won, else 0

    // Seeds rand() with the time: the only seeding in the program.
    MiniGameManager();
    // Also frees a game still running.
    ~MiniGameManager();

    void RegisterMiniGame(MiniGames::MiniGameFactory factory);
    // Ends any running game and starts a random one; does nothing with no factory registered.
    void NewMiniGame();
    // Ends any running game and starts the one at index; does nothing for an index outside
    // the list.
    void NewMiniGame(int index);
    // Records the running game's result and deletes it and its record; no-op when idle.
    void EndMiniGame();
    // One 1/100 s tick of the running game plus the help key handling.
    void Tick(int timeLeft);
    // Draws the game, its "Mini Game:" title line and, when up, the help overlay.
    void Draw(BITMAP* target);
};

}  // namespace MiniGameManagement

#endif
