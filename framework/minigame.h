#ifndef HALTWICK_FRAMEWORK_MINIGAME_H
#define HALTWICK_FRAMEWORK_MINIGAME_H

#include <string>

struct BITMAP;

namespace MiniGames {

// What a mini-game says about itself: shown in the title line, the help overlay and the
// chooser menu. Handed out by GetInfo() with new; the receiver deletes it.
struct MiniGameInfo {
    std::string Name;  // "<title> - Worth <Worth> MPH"
    std::string Help;  // may hold 0xB7 hard blanks and line feeds
    int Worth;         // MPH a win takes off the train; the shell removes Worth / 2 speed units

    MiniGameInfo(std::string name, std::string help, int worth);
};

// One play of a mini-game. Created by its class's Factory() and owned by whoever called it.
// The manager ticks it once per 1/100 s logic tick (never while the help is up) and draws it
// once per frame; both stop mattering once Running is false.
class MiniGame {
public:
    bool Running = true;  // cleared when the game finishes, won or out of time
    bool Won = false;     // set only in the tick that clears Running on reaching the goal

    virtual ~MiniGame() = default;

    // timeLeft is whole seconds left on the game clock; below 1 the game ends unwon before
    // reading any key. Takes at most one key from the keyboard buffer per call.
    virtual void Tick(int timeLeft) = 0;
    // Draws the whole view into the frame's off-screen bitmap; nothing once Running is false.
    virtual void Draw(BITMAP* target) = 0;
    // A fresh record on every call, owned by the caller.
    virtual MiniGameInfo* GetInfo() = 0;

protected:
    // True when the game may go on this tick: ends it unwon once the time is up.
    bool StillPlaying(int timeLeft);
    // Ends the game won: the only way Won is ever set, always together with Running cleared.
    void Win();
};

// Creates a new game owned by the caller.
typedef MiniGame* (*MiniGameFactory)();

}  // namespace MiniGames

#endif
