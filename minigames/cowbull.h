#ifndef HALTWICK_MINIGAMES_COWBULL_H
#define HALTWICK_MINIGAMES_COWBULL_H

#include <vector>

#include "framework/minigame.h"

namespace MiniGames {

// One scored guess, as listed in the history.
struct CowBull_Guess {
    int Number;  // the four digits as one value, 0..9999
    int Cows;
    int Bulls;
    CowBull_Guess(int number, int cows, int bulls);
};

// Guess a secret of four digits (leading zeros and repeats allowed); each fourth digit typed
// scores the guess with cows and bulls. Worth 55 MPH.
class CowBull : public MiniGame {
public:
    int Hidden[4];                     // the secret, most significant digit first
    int Guess[4] = {0, 0, 0, 0};       // digits typed so far; untyped places hold 0
    int GuessPos = 0;                  // digits typed, 0..3 between ticks
    std::vector<CowBull_Guess> Guesses;  // every scored guess, oldest first

    CowBull();
    static MiniGame* Factory();
    void Tick(int timeLeft) override;
    void Draw(BITMAP* target) override;
    MiniGameInfo* GetInfo() override;
};

// Scores guess against hidden in one pass: a position matching exactly takes a bull unless an
// earlier position already used it, otherwise the first free equal digit gives a cow.
CowBull_Guess ScoreGuess(const int hidden[4], const int guess[4]);

}  // namespace MiniGames

#endif
