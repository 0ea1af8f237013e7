#include "gfx/train.h"

#include <allegro.h>

#include "gfx/frame.h"

namespace TrainSys {

namespace {

const int PictureWidth = 550;
const int PictureRows = 15;
const int FirstArtRow = 7;  // rows above the art stay transparent

// A steam locomotive facing left with its coach behind, smoke drifting back.
const char* const TrainA[] = {
    "   _    (@@) (@@@) (@)  o",
    "  | |  (  )         ____           ",
    "  | |_______________|  |          ",
    " _|_|_____|__|___|___|__|_    ________________________________  ",
    "|  _    _    _    _   __  |  |  [ ]  [ ]  [ ]  [ ]  [ ]  [ ] |  ",
    "< (_)  (_)  (_)  (_) |  | |==|                              |    ",
    "/________________________|  |______________________________|      ",
    "  (O)  (O)  (O)  (O)   (O)      (O)(O)            (O)(O)           ",
};

// 25 repeats of " - - +"; drawn from a phase offset so the marks run past the wheels.
const char TrackA[] =
    " - - + - - + - - + - - + - - + - - + - - + - - + - - + - - + - - + - - + - - +"
    " - - + - - + - - + - - + - - + - - + - - + - - + - - + - - + - - + - - +";

const char* const LogoA[] = {
    "       #   #    ###    #       #####   #   #   #####    ####   #   #       ",
    "       #   #   #   #   #         #     #   #     #     #       #  #        ",
    "       #####   #####   #         #     # # #     #     #       ###         ",
    "       #   #   #   #   #         #     ## ##     #     #       #  #        ",
    "       #   #   #   #   #####     #     #   #   #####    ####   #   #       ",
    "       Stop the runaway train - a five mini-game race by the Haltwick team ",
};

const char* const InfoTextC[] = {
    "ALERT! An elderly lady has FALLEN on your train. You have 6 minutes and 6 seconds to stop "
    "the train,",
    "before she falls out and dies. Play through the random mini-games to slow the train down "
    "until it",
    "slows to a stop. If you can stop the train in time, you save her and win! Good luck!",
    "  You slow down for each mini-game won. To play a game hit Home. To exit the game, hit End. "
    "You are",
    "  penalized for each game you end without finishing. You can choose a mini-game by hitting "
    "Tab.",
    "To get help in a game press F1. The timer is stopped while you read the help screens.",
};
// Text row of each introduction line below y + 60; two empty rows before the last.
const int InfoRow[] = {20, 21, 22, 23, 24, 27};
const bool InfoYellow[] = {false, false, false, true, true, false};

}  // namespace

Train::Train() {
    int th = text_height(font);
    Picture = create_bitmap(PictureWidth, PictureRows * th);
    clear_to_color(Picture, makecol(255, 0, 255));
    for (int r = 0; r < 8; ++r)
        textprintf_ex(Picture, font, 0, (FirstArtRow + r) * th, makecol(128, 128, 128),
                      makecol(255, 0, 255), "%s", TrainA[r]);
}

Train::~Train() { destroy_bitmap(Picture); }

void Train::Tick() {
    Distance += Speed;
    // Wraps once and keeps exactly 400, so a stopping train keeps its phase.
    if (Distance > 400)
        Distance -= 400;
}

void Train::Draw(BITMAP* bmp, int x, int y, int) {
    int th = text_height(font);
    int white = makecol(255, 255, 255);
    int black = makecol(0, 0, 0);
    masked_blit(Picture, bmp, 0, 0, Misc::FrameWidth - PictureWidth, y, PictureWidth, PictureRows * th);

    // 0, 3, 2, 1 as the hundreds digit climbs, so the marks step right one character a time.
    int offset = (4 - Distance / 100) % 4;
    textprintf_ex(bmp, font, x, y + PictureRows * th, makecol(128, 64, 0), black, "%s",
                  TrackA + offset);

    for (int i = 0; i < 6; ++i)
        textprintf_ex(bmp, font, x, y + (20 + i) * th, white, black, "%s", LogoA[i]);
    int yellow = makecol(255, 255, 0);
    for (int i = 0; i < 6; ++i)
        textprintf_ex(bmp, font, x, y + 60 + InfoRow[i] * th, InfoYellow[i] ? yellow : white,
                      black, "%s", InfoTextC[i]);
}

}  // namespace TrainSys
