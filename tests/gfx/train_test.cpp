#include <allegro.h>
#include <gtest/gtest.h>

#include <string>

#include "gfx/train.h"
#include "tests/support/pixels.h"

using TestSupport::AnyPixel;
using TestSupport::Colour;
using TestSupport::CountPixels;
using TestSupport::Frame;
using TestSupport::TextAt;

namespace {

int Grey() { return Colour(128, 128, 128); }
int Brown() { return Colour(128, 64, 0); }
int White() { return Colour(255, 255, 255); }
int Yellow() { return Colour(255, 255, 0); }
int Blue() { return Colour(0, 0, 255); }

// The game's call: layout at (0, 50); the track row then sits at y 170.
void DrawMainScreen(TrainSys::Train& train, BITMAP* bmp, int w = 800) {
    train.Draw(bmp, 0, 50, w);
}

// The first characters of the track row when drawn from the given phase offset.
std::string TrackStart(int offset) { return std::string(" - - + - - + - - +").substr(offset, 12); }

bool SameBitmaps(BITMAP* a, BITMAP* b) {
    for (int y = 0; y < a->h; ++y)
        for (int x = 0; x < a->w; ++x)
            if (getpixel(a, x, y) != getpixel(b, x, y))
                return false;
    return true;
}

struct TrackCase {
    const char* Rule;
    int Distance, Speed, Ticks;
    int After, Offset;
};

TEST(Train, TrackPhaseFollowsTheHundredsOfDistance) {
    const TrackCase cases[] = {
        {"a new train starts in phase 0", 0, 75, 0, 0, 0},
        {"tick 1", 0, 75, 1, 75, 0},
        {"tick 2", 0, 75, 2, 150, 3},
        {"tick 3", 0, 75, 3, 225, 2},
        {"tick 4", 0, 75, 4, 300, 1},
        {"tick 5", 0, 75, 5, 375, 1},
        {"tick 6 wraps", 0, 75, 6, 50, 0},
        {"tick 7", 0, 75, 7, 125, 3},
        {"exactly 400 stays", 325, 75, 1, 400, 0},
        {"475 wraps at once to 75", 325, 75, 2, 75, 0},
        {"top speed from 400 wraps to 100", 400, 100, 1, 100, 3},
        {"a stopped train keeps its phase", 150, 0, 50, 150, 3},
    };
    TrainSys::Train train;
    for (const TrackCase& c : cases) {
        SCOPED_TRACE(c.Rule);
        train.Distance = c.Distance;
        train.Speed = c.Speed;
        for (int i = 0; i < c.Ticks; ++i)
            train.Tick();
        EXPECT_EQ(train.Distance, c.After);
        Frame frame;
        DrawMainScreen(train, frame.Bmp);
        EXPECT_TRUE(TextAt(frame.Bmp, 0, 170, TrackStart(c.Offset).c_str(), Brown()))
            << "offset " << c.Offset;
    }
}

TEST(Train, StoppedTrainDrawsTheSameFrame) {
    TrainSys::Train train;
    train.Distance = 250;
    train.Speed = 0;
    Frame before, after;
    DrawMainScreen(train, before.Bmp);
    for (int i = 0; i < 50; ++i)
        train.Tick();
    DrawMainScreen(train, after.Bmp);
    EXPECT_TRUE(SameBitmaps(before.Bmp, after.Bmp));
}

TEST(Train, WidthArgumentChangesNothing) {
    TrainSys::Train train;
    Frame full, narrow, none;
    DrawMainScreen(train, full.Bmp, 800);
    DrawMainScreen(train, narrow.Bmp, 300);
    DrawMainScreen(train, none.Bmp, 0);
    EXPECT_TRUE(SameBitmaps(full.Bmp, narrow.Bmp));
    EXPECT_TRUE(SameBitmaps(full.Bmp, none.Bmp));
}

TEST(Train, PictureStandsMaskedAgainstTheRightEdge) {
    TrainSys::Train train;
    Frame frame;
    clear_to_color(frame.Bmp, Blue());  // shows through wherever the picture is transparent
    DrawMainScreen(train, frame.Bmp);
    int grey = CountPixels(frame.Bmp, 250, 106, 799, 169, Grey());
    EXPECT_GT(grey, 0);
    EXPECT_EQ(CountPixels(frame.Bmp, 0, 0, 799, 599, Grey()), grey);
    // Text rows 0-6 of the picture and the cells around its strokes let the frame through.
    EXPECT_EQ(CountPixels(frame.Bmp, 250, 50, 799, 105, Blue()), 550 * 56);
    EXPECT_EQ(CountPixels(frame.Bmp, 250, 106, 799, 169, Blue()) + grey, 550 * 64);
    EXPECT_FALSE(AnyPixel(frame.Bmp, 0, 0, 799, 599, Colour(255, 0, 255)));
}

TEST(Train, PictureRowsKeepTheirLengths) {
    // Characters in each drawn row of the picture, text rows 7 to 14.
    const int lengths[] = {25, 35, 34, 64, 64, 65, 66, 67};
    TrainSys::Train train;
    Frame frame;
    DrawMainScreen(train, frame.Bmp);
    for (int r = 0; r < 8; ++r) {
        SCOPED_TRACE(testing::Message() << "picture row " << 7 + r);
        int top = 50 + 8 * (7 + r), end = 250 + 8 * lengths[r];
        EXPECT_TRUE(AnyPixel(frame.Bmp, 250, top, end - 1, top + 7, Grey()));
        EXPECT_FALSE(AnyPixel(frame.Bmp, end, top, 799, top + 7, Grey()));
    }
}

TEST(Train, TrackBannerAndIntroductionRows) {
    TrainSys::Train train;
    Frame frame;
    DrawMainScreen(train, frame.Bmp);
    int brown = CountPixels(frame.Bmp, 0, 170, 799, 177, Brown());
    EXPECT_GT(brown, 0);
    EXPECT_EQ(CountPixels(frame.Bmp, 0, 0, 799, 599, Brown()), brown);

    // Banner: six rows of at most 75 characters from y 210, white.
    for (int i = 0; i < 6; ++i)
        EXPECT_TRUE(AnyPixel(frame.Bmp, 0, 210 + 8 * i, 599, 217 + 8 * i, White())) << i;
    EXPECT_FALSE(AnyPixel(frame.Bmp, 600, 210, 799, 257, White()));

    struct IntroRow {
        int Y;
        bool Yellow;
        const char* Text;
    };
    const IntroRow rows[] = {
        {270, false,
         "ALERT! An elderly lady has FALLEN on your train. You have 6 minutes and 6 seconds to "
         "stop the train,"},
        {278, false,
         "before she falls out and dies. Play through the random mini-games to slow the train "
         "down until it"},
        {286, false,
         "slows to a stop. If you can stop the train in time, you save her and win! Good luck!"},
        {294, true,
         "  You slow down for each mini-game won. To play a game hit Home. To exit the game, hit "
         "End. You are"},
        {302, true,
         "  penalized for each game you end without finishing. You can choose a mini-game by "
         "hitting Tab."},
        {326, false,
         "To get help in a game press F1. The timer is stopped while you read the help screens."},
    };
    int ink = 0;
    for (const IntroRow& row : rows) {
        std::string shown = std::string(row.Text).substr(0, 100);  // 100 cells fit on screen
        int colour = row.Yellow ? Yellow() : White();
        EXPECT_TRUE(TextAt(frame.Bmp, 0, row.Y, shown.c_str(), colour)) << row.Text;
        ink += CountPixels(frame.Bmp, 0, row.Y, 799, row.Y + 7, colour);
    }
    // White and yellow nowhere but the banner and these rows: two empty rows before the last.
    int bannerInk = CountPixels(frame.Bmp, 0, 210, 799, 257, White());
    EXPECT_EQ(CountPixels(frame.Bmp, 0, 0, 799, 599, White()) +
                  CountPixels(frame.Bmp, 0, 0, 799, 599, Yellow()),
              bannerInk + ink);
}

}  // namespace
