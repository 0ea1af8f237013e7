#ifndef HALTWICK_MINIGAMES_ALPHABET_H
#define HALTWICK_MINIGAMES_ALPHABET_H

#include "framework/minigame.h"

namespace MiniGames {

// Type a to z in order, either case. Worth 10 MPH.
class Alphabet : public MiniGame {
public:
    char Letter = 'a';  // next letter to type; '{' (the code after 'z') once all are typed

    static MiniGame* Factory();
    void Tick(int timeLeft) override;
    void Draw(BITMAP* target) override;
    MiniGameInfo* GetInfo() override;
};

}  // namespace MiniGames

#endif
