// The frame loops the game's own frame rate is judged against, in a window set up as the
// game's and titled "Haltwick reference loop: MODE": "bare" clears and copies a frame, "main"
// composes the main screen's reference (the same library calls, see references.h) and copies
// it. Frames are counted by the game's own clock, as its "FPS: %d" line counts them. Prints
// the median of the whole seconds measured after two to settle.
//   reference_loop bare|main SECONDS
#include <allegro.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "bench/references.h"
#include "gfx/train.h"
#include "shell/clock.h"
#include "shell/init.h"

int main(int argc, char** argv) {
    bool bare = argc == 3 && std::strcmp(argv[1], "bare") == 0;
    bool main = argc == 3 && std::strcmp(argv[1], "main") == 0;
    int seconds = argc == 3 ? std::atoi(argv[2]) : 0;
    if ((!bare && !main) || seconds < 2) {
        std::fprintf(stderr, "usage: reference_loop bare|main SECONDS (2 or more)\n");
        return 2;
    }
    std::string title = std::string("Haltwick reference loop: ") + argv[1];
    if (!GameInit::InitGame(title, GFX_AUTODETECT_WINDOWED, GFX_AUTODETECT, 800, 600, GameTimer,
                            BPS_TO_TIMER(100)))
        return 1;
    BITMAP* frame = create_bitmap(SCREEN_W, SCREEN_H);
    TrainSys::Train train;  // only for its picture, drawn once here as in the game

    TimerActive = true;
    std::vector<int> rates;
    int second = SElapsed;
    while (static_cast<int>(rates.size()) < seconds) {
        if (bare)
            clear_bitmap(frame);
        else
            Reference::Main(frame, train.Picture);
        blit(frame, screen, 0, 0, 0, 0, SCREEN_W, SCREEN_H);
        CurFPS++;
        if (SElapsed != second) {
            second = SElapsed;
            if (second > 2)
                rates.push_back(FPS);
        }
    }
    std::nth_element(rates.begin(), rates.begin() + rates.size() / 2, rates.end());
    std::printf("%d\n", rates[rates.size() / 2]);
    destroy_bitmap(frame);
    return 0;
}
END_OF_MAIN()
