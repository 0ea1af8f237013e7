#ifndef HALTWICK_MINIGAMES_NUMBERLOOP_H
#define HALTWICK_MINIGAMES_NUMBERLOOP_H

#include <ostream>

#include "framework/minigame.h"

namespace MiniGames {

// Sort a loop of 1..20: Left and Right turn it, Space swaps the number under the line with the
// slot above it, Z dumps the board as a goal condition on standard output. Worth 80 MPH.
class NumberLoop : public MiniGame {
public:
    int Board[20];  // the loop, indices modulo 20; 0 marks the empty cell
    int Num = 0;    // the slot above the line; 0 when empty
    int Pos = 0;    // loop index shown at the left end of the middle row, 0..19

    NumberLoop();
    static MiniGame* Factory();
    void Tick(int timeLeft) override;
    void Draw(BITMAP* target) override;
    MiniGameInfo* GetInfo() override;

    // True when Num is empty and the loop holds the goal order at any rotation.
    bool Solved() const;
    // Writes the board as the solved condition it would be the goal of.
    void DumpGoal(std::ostream& out) const;
};

}  // namespace MiniGames

#endif
