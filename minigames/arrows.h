#ifndef HALTWICK_MINIGAMES_ARROWS_H
#define HALTWICK_MINIGAMES_ARROWS_H

#include "framework/minigame.h"

namespace MiniGames {

// Press 20 randomly named arrow keys. Reads the key-state table and never takes keys out of
// the keyboard buffer. Worth 10 MPH.
class Arrows : public MiniGame {
public:
    int Count = 0;  // correct presses so far, 0..20
    int Arrow = 0;  // scancode of the arrow to press: KEY_LEFT, KEY_RIGHT, KEY_UP or KEY_DOWN

    Arrows();
    static MiniGame* Factory();
    // Names the next arrow at random (one rand() draw).
    void NewArrow();
    // "Left", "Right", "Up", "Down", or "Weird - this is a bug!" for any other code.
    static const char* ArrowName(int code);
    void Tick(int timeLeft) override;
    void Draw(BITMAP* target) override;
    MiniGameInfo* GetInfo() override;
};

}  // namespace MiniGames

#endif
