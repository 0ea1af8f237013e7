#include "minigames/alphabet.h"

#include <allegro.h>

namespace MiniGames {

namespace {

const char HelpText[] =
    "Type the alphabet as fast as you can - the longer you take, the less time you will have "
    "for other activities and stopping the train.";

}  // namespace

MiniGame* Alphabet::Factory() { return new Alphabet; }

void Alphabet::Tick(int timeLeft) {
    if (!StillPlaying(timeLeft))
        return;
    if (keypressed()) {
        // Any other key is taken out and dropped; arrows and function keys carry code 0.
        int c = readkey() & 0xFF;
        if (c == Letter || c + ('a' - 'A') == Letter)
            ++Letter;
    }
    if (Letter == 'z' + 1)
        Win();
}

void Alphabet::Draw(BITMAP* target) {
    if (!Running)
        return;
    textprintf_ex(target, font, 15, 15, makecol(255, 255, 255), -1, "Current Letter: %c", Letter);
}

MiniGameInfo* Alphabet::GetInfo() {
    return new MiniGameInfo("Alphabet - Worth 10 MPH", HelpText, 10);
}

}  // namespace MiniGames
