#include "minigames/numberloop.h"

#include <allegro.h>

#include <algorithm>
#include <cstdlib>
#include <iostream>
#include <string>

namespace MiniGames {

namespace {

const int LoopSize = 20;

// The loop read clockwise from the left end of the middle row; any rotation counts.
const int Goal[LoopSize] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 11, 20, 19, 18, 17, 16, 15, 14, 13, 12, 10};

// Written with ordinary blanks so the picture reads as it shows; GetInfo turns every blank into
// a hard blank, so the word wrap neither breaks the picture's lines nor drops their indentation.
const char HelpText[] =
    "The idea is to organize the numbers in the loop. The left and right arrows rotate the "
    "loop. Pressing space swaps the value above the line and under it. The idea is to get the "
    "loop to look like the following:\n"
    "           0\n"
    "           |\n"
    "           |\n"
    "           X\n"
    "           |\n"
    "           |\n"
    " 01 02 03 04 05 06 07 08 09\n"
    "10                        11\n"
    " 12 13 14 15 16 17 18 19 20\n"
    "\n"
    "The quicker you accomplish this, the quicker you can get back to stopping the train!";

// The line from the slot down to the loop, crossed where the number under it is swapped.
const char* const SlotLine[] = {
    "           |           ", "           |           ", "           X           ",
    "           |           ", "           |           ",
};

// The number r places clockwise from index pos, which stands at the left end of the middle row.
int At(const int board[LoopSize], int pos, int r) { return board[(pos + r) % LoopSize]; }

}  // namespace

MiniGame* NumberLoop::Factory() { return new NumberLoop; }

NumberLoop::NumberLoop() {
    for (int i = 0; i < LoopSize; ++i)
        Board[i] = i + 1;
    // Exactly one rand() per place, and any place may be swapped with any other.
    for (int i = 0; i < LoopSize; ++i)
        std::swap(Board[i], Board[rand() % LoopSize]);
}

void NumberLoop::Tick(int timeLeft) {
    if (!StillPlaying(timeLeft))
        return;
    if (keypressed()) {
        switch (readkey() >> 8) {
        case KEY_LEFT:
            Pos = (Pos + 1) % LoopSize;
            break;
        case KEY_RIGHT:
            Pos = (Pos + LoopSize - 1) % LoopSize;
            break;
        case KEY_SPACE:
            // The fifth number of the top row stands under the line.
            std::swap(Num, Board[(Pos + 5) % LoopSize]);
            break;
        case KEY_Z:
            DumpGoal(std::cout);
            break;
        default:
            break;
        }
    }
    // Checked with or without a key: a deal already in goal order wins on its first tick.
    if (Solved())
        Win();
}

void NumberLoop::Draw(BITMAP* target) {
    if (!Running)
        return;
    int th = text_height(font);
    int white = makecol(255, 255, 255);
    int black = makecol(0, 0, 0);
    int cx = target->w / 2;
    // Each row is centred by itself; the blanks in the formats line the picture up.
    textprintf_centre_ex(target, font, cx, 20, white, black, "           %02d           ", Num);
    for (int r = 1; r <= 5; ++r)
        textprintf_centre_ex(target, font, cx, 20 + r * th, white, black, "%s", SlotLine[r - 1]);
    // Clockwise: middle-row left end, top row left to right, middle-row right end, bottom row
    // right to left.
    textprintf_centre_ex(target, font, cx, 20 + 6 * th, white, black,
                         " %02d %02d %02d %02d %02d %02d %02d %02d %02d", At(Board, Pos, 1),
                         At(Board, Pos, 2), At(Board, Pos, 3), At(Board, Pos, 4),
                         At(Board, Pos, 5), At(Board, Pos, 6), At(Board, Pos, 7),
                         At(Board, Pos, 8), At(Board, Pos, 9));
    textprintf_centre_ex(target, font, cx, 20 + 7 * th, white, black,
                         "%02d                         %02d", At(Board, Pos, 0),
                         At(Board, Pos, 10));
    textprintf_centre_ex(target, font, cx, 20 + 8 * th, white, black,
                         " %02d %02d %02d %02d %02d %02d %02d %02d %02d", At(Board, Pos, 19),
                         At(Board, Pos, 18), At(Board, Pos, 17), At(Board, Pos, 16),
                         At(Board, Pos, 15), At(Board, Pos, 14), At(Board, Pos, 13),
                         At(Board, Pos, 12), At(Board, Pos, 11));
}

MiniGameInfo* NumberLoop::GetInfo() {
    std::string help = HelpText;
    std::replace(help.begin(), help.end(), ' ', '\xB7');
    return new MiniGameInfo("Number Loop - Worth 80 MPH", help, 80);
}

bool NumberLoop::Solved() const {
    if (Num != 0)
        return false;
    for (int c = 0; c < LoopSize; ++c) {
        int k = 0;
        while (k < LoopSize && At(Board, c, k) == Goal[k])
            ++k;
        if (k == LoopSize)
            return true;
    }
    return false;
}

void NumberLoop::DumpGoal(std::ostream& out) const {
    // By raw index whatever Pos is; left unflushed, like any other text on standard output.
    out << "if(Num == 0 ";
    for (int i = 0; i < LoopSize; ++i)
        out << "&& Board[(Pos + " << i << ") % 20] == " << Board[i] << " ";
    out << ")";
}

}  // namespace MiniGames
