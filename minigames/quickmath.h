#ifndef HALTWICK_MINIGAMES_QUICKMATH_H
#define HALTWICK_MINIGAMES_QUICKMATH_H

#include <string>

#include "framework/minigame.h"

namespace MiniGames {

// One arithmetic problem, "a + b", "a - b" or "a * b", and its result.
struct QuickMath_Problem {
    std::string Text;
    int Answer;
    QuickMath_Problem(std::string text, int answer);
};

// Answer random sums, differences and products; won on the eleventh correct answer.
// Worth 25 MPH.
class QuickMath : public MiniGame {
public:
    int Solved = 0;                        // correct answers so far
    int Input = 0;                         // the number typed so far, never negative
    QuickMath_Problem* CurProb = nullptr;  // owned; null until the next tick makes one

    QuickMath() = default;
    QuickMath(const QuickMath&) = delete;
    QuickMath& operator=(const QuickMath&) = delete;
    ~QuickMath() override;
    static MiniGame* Factory();
    // A new random problem, owned by the caller.
    static QuickMath_Problem* RandProb();
    void Tick(int timeLeft) override;
    void Draw(BITMAP* target) override;
    MiniGameInfo* GetInfo() override;
};

}  // namespace MiniGames

#endif
