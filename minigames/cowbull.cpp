#include "minigames/cowbull.h"

#include <allegro.h>

#include <cstdlib>

#include "gfx/frame.h"

namespace MiniGames {

namespace {

const char HelpText[] =
    "This is a simple version of Cows and Bulls. The computer will pick a 4 digit number at "
    "random. Your job is to guess this number. When you guess, you are given Cows and Bulls to "
    "say how you are doing. A bull means one of your digits is correct and in the correct "
    "position. A cow means one of your digits is correct but not in the correct position. Keep "
    "guessing until you get the number. The quicker you finish, the sooner you can get back to "
    "stopping the train.";

}  // namespace

MiniGame* CowBull::Factory() { return new CowBull; }

CowBull::CowBull() {
    // The manager seeds rand() once; one draw per digit, most significant first.
    for (int& digit : Hidden)
        digit = rand() % 10;
}

void CowBull::Tick(int timeLeft) {
    if (!StillPlaying(timeLeft))
        return;
    if (keypressed()) {
        int c = readkey() & 0xFF;
        if (c >= '0' && c <= '9')
            Guess[GuessPos++] = c - '0';
    }
    if (GuessPos < 4)
        return;

    // The fourth digit is scored in the tick it arrives; then a fresh guess starts.
    Guesses.push_back(ScoreGuess(Hidden, Guess));
    if (Guesses.back().Bulls == 4)
        Win();
    for (int& digit : Guess)
        digit = 0;
    GuessPos = 0;
}

void CowBull::Draw(BITMAP* target) {
    if (!Running)
        return;
    int th = text_height(font);
    int white = makecol(255, 255, 255);
    int black = makecol(0, 0, 0);

    textprintf_ex(target, font, 50, 50, white, black, "Guess:  %d %d %d %d", Guess[0], Guess[1],
                  Guess[2], Guess[3]);
    // Same columns as the digits above, drawn transparent so only the underscore shows.
    char under[4];
    for (int k = 0; k < 4; ++k)
        under[k] = k == GuessPos ? '_' : ' ';
    textprintf_ex(target, font, 50, 50, white, -1, "        %c %c %c %c", under[0], under[1],
                  under[2], under[3]);

    textprintf_ex(target, font, 25, 75, white, black, "Previous Guesses:");
    // Newest first; older guesses past the bottom are kept but not shown.
    int rows = (Misc::FrameHeight - 100) / th;
    int count = static_cast<int>(Guesses.size());
    for (int r = 0; r < rows && r < count; ++r) {
        int place = count - 1 - r;
        const CowBull_Guess& g = Guesses[place];
        textprintf_ex(target, font, 40, 90 + r * th, white, black,
                      "Guess %d: %04d   Cows: %d  Bulls: %d", place + 1, g.Number, g.Cows,
                      g.Bulls);
    }
}

MiniGameInfo* CowBull::GetInfo() {
    return new MiniGameInfo("Cows and Bulls - Worth 55 MPH", HelpText, 55);
}

CowBull_Guess::CowBull_Guess(int number, int cows, int bulls)
    : Number(number), Cows(cows), Bulls(bulls) {}

CowBull_Guess ScoreGuess(const int hidden[4], const int guess[4]) {
    // One pass: an earlier position's cow can use up the secret digit that a later position
    // matches exactly, so with repeated digits a would-be bull may become a cow or nothing.
    bool used[4] = {false, false, false, false};
    int cows = 0;
    int bulls = 0;
    for (int i = 0; i < 4; ++i) {
        if (guess[i] == hidden[i] && !used[i]) {
            used[i] = true;
            ++bulls;
            continue;
        }
        for (int j = 0; j < 4; ++j) {
            if (!used[j] && hidden[j] == guess[i]) {
                used[j] = true;
                ++cows;
                break;
            }
        }
    }
    int number = guess[0] * 1000 + guess[1] * 100 + guess[2] * 10 + guess[3];
    return CowBull_Guess(number, cows, bulls);
}

}  // namespace MiniGames
