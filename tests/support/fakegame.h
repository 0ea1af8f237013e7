#ifndef HALTWICK_TESTS_SUPPORT_FAKEGAME_H
#define HALTWICK_TESTS_SUPPORT_FAKEGAME_H

#include <allegro.h>

#include <string>
#include <vector>

#include "framework/minigame.h"

namespace TestSupport {

// The colour a running fake game fills its whole view with.
inline int FakeColour() { return makecol(200, 0, 0); }

// A mini-game for framework tests. It counts its live instances, so a leak or a double delete
// shows in Live, records the keys it takes from the buffer, and wins on the tick a test sets.
// Game Id is named "Fake <Id> - Worth <Worth> MPH" with Worth 10 * (Id + 1).
class FakeGame : public MiniGames::MiniGame {
public:
    static inline int Live = 0;                 // constructed and not yet deleted
    static inline FakeGame* Newest = nullptr;   // the latest one made, null once deleted
    static inline std::string Help = "Reach the goal.";  // every fake's help text

    int Id;
    int Ticks = 0;              // calls of Tick that got past the time check
    int WinOnTick = 0;          // the tick that reaches the goal; 0 never does
    std::vector<int> KeysRead;  // scancodes taken from the buffer, one per tick at most

    explicit FakeGame(int id) : Id(id) {
        ++Live;
        Newest = this;
    }
    ~FakeGame() override {
        --Live;
        if (Newest == this)
            Newest = nullptr;
    }

    void Tick(int timeLeft) override {
        if (!StillPlaying(timeLeft))
            return;
        ++Ticks;
        if (keypressed())
            KeysRead.push_back(readkey() >> 8);
        if (Ticks == WinOnTick) {
            Running = false;
            Won = true;
        }
    }

    // Fills the whole target, so the manager's own drawing stands out.
    void Draw(BITMAP* target) override {
        if (Running)
            clear_to_color(target, FakeColour());
    }

    MiniGames::MiniGameInfo* GetInfo() override {
        int worth = 10 * (Id + 1);
        return new MiniGames::MiniGameInfo(
            "Fake " + std::to_string(Id) + " - Worth " + std::to_string(worth) + " MPH", Help,
            worth);
    }
};

template <int Id>
MiniGames::MiniGame* MakeFake() {
    return new FakeGame(Id);
}

// Five factories, as many as the game registers; line or index i makes FakeGame i.
inline const std::vector<MiniGames::MiniGameFactory> FakeFactories = {
    MakeFake<0>, MakeFake<1>, MakeFake<2>, MakeFake<3>, MakeFake<4>};

}  // namespace TestSupport

#endif
