#include "minigames/arrows.h"

#include <allegro.h>

#include <cstdlib>

namespace MiniGames {

namespace {

const char HelpText[] =
    "Push the 20 given arrows as fast as you can. The faster you do this, the quicker you get "
    "back to your game!";

const int Goal = 20;  // counted presses that win the game

}  // namespace

MiniGame* Arrows::Factory() { return new Arrows; }

Arrows::Arrows() { NewArrow(); }

void Arrows::Tick(int timeLeft) {
    if (!StillPlaying(timeLeft))
        return;
    // The buffer is only looked at, never read: once any key waits, holding the named arrow
    // counts at every tick until some other reader empties the buffer.
    if (keypressed() && key[Arrow]) {
        ++Count;
        NewArrow();
    }
    if (Count >= Goal)
        Win();
}

void Arrows::Draw(BITMAP* target) {
    if (!Running)
        return;
    // Count is the presses made so far, so the arrows are numbered 0 to 19.
    textprintf_ex(target, font, 15, 15, makecol(255, 255, 255), -1, "Arrow %d: %s", Count,
                  ArrowName(Arrow));
}

MiniGameInfo* Arrows::GetInfo() { return new MiniGameInfo("Arrows - Worth 10 MPH", HelpText, 10); }

void Arrows::NewArrow() {
    static const int Choices[4] = {KEY_LEFT, KEY_RIGHT, KEY_UP, KEY_DOWN};
    Arrow = Choices[rand() % 4];
}

const char* Arrows::ArrowName(int code) {
    switch (code) {
    case KEY_LEFT:
        return "Left";
    case KEY_RIGHT:
        return "Right";
    case KEY_UP:
        return "Up";
    case KEY_DOWN:
        return "Down";
    default:
        return "Weird - this is a bug!";
    }
}

}  // namespace MiniGames
