#include "minigames/quickmath.h"

#include <allegro.h>

#include <climits>
#include <cstdlib>
#include <sstream>
#include <utility>

namespace MiniGames {

namespace {

const char HelpText[] =
    "Answer the 10 simple math questions as quicky as you can - the longer you take, the less "
    "time you will have for other activities and stopping the train.";

// The entry with one more digit typed. A digit that would overflow an int is dropped, so a
// player leaning on a key only ever sees a wrong answer, never a wrapped-around one.
int AppendDigit(int entry, int digit) {
    if (entry > (INT_MAX - digit) / 10)
        return entry;
    return entry * 10 + digit;
}

}  // namespace

MiniGame* QuickMath::Factory() { return new QuickMath; }

QuickMath::~QuickMath() { delete CurProb; }

void QuickMath::Tick(int timeLeft) {
    if (!StillPlaying(timeLeft))
        return;
    // A new problem appears the tick after a correct answer, before any key is looked at.
    if (!CurProb)
        CurProb = RandProb();
    if (!keypressed())
        return;

    int k = readkey();
    int scancode = (k >> 8) & 0xFF;
    int c = k & 0xFF;
    if (scancode == KEY_ENTER || scancode == KEY_ENTER_PAD) {
        if (Input == CurProb->Answer) {
            // Solved must pass 10, so it takes eleven right answers.
            if (++Solved > 10)
                Win();
            delete CurProb;
            CurProb = nullptr;
        }
        Input = 0;  // a wrong answer keeps its problem but starts the entry afresh
    } else if (scancode == KEY_BACKSPACE) {
        Input = 0;  // clears the whole entry, not the last digit
    } else if (c >= '0' && c <= '9') {
        Input = AppendDigit(Input, c - '0');
    }
}

void QuickMath::Draw(BITMAP* target) {
    if (!Running || !CurProb)
        return;
    textprintf_ex(target, font, 15, 15, makecol(255, 255, 255), -1, "Current Problem: %s = %d",
                  CurProb->Text.c_str(), Input);
}

MiniGameInfo* QuickMath::GetInfo() {
    return new MiniGameInfo("Quick Math - Worth 25 MPH", HelpText, 25);
}

QuickMath_Problem::QuickMath_Problem(std::string text, int answer)
    : Text(std::move(text)), Answer(answer) {}

QuickMath_Problem* QuickMath::RandProb() {
    int op = rand() % 3;
    int a, b, answer;
    const char* sign;
    if (op == 2) {
        a = rand() % 10 + 1;
        b = rand() % 10 + 1;
        sign = " * ";
        answer = a * b;
    } else {
        // Redraw both until the first operand is the larger, for sums as well as differences.
        do {
            a = rand() % 400 + 1;
            b = rand() % 200 + 1;
        } while (b > a);
        sign = op == 0 ? " + " : " - ";
        answer = op == 0 ? a + b : a - b;
    }
    std::ostringstream text;
    text << a << sign << b;
    return new QuickMath_Problem(text.str(), answer);
}

}  // namespace MiniGames
