#include <allegro.h>
#include <gtest/gtest.h>

#include <cstdlib>

#include "gfx/misc.h"
#include "tests/support/pixels.h"

using TestSupport::Colour;
using TestSupport::CountPixels;
using TestSupport::Frame;

namespace {

// Raw pixel values that tell where they were painted: the low byte is x, the next y, both
// modulo 256 (enough to find a pixel's origin a few pixels away).
int Origin(int x, int y) { return (x & 255) | (y & 255) << 8; }

void PaintOrigins(BITMAP* bmp) {
    for (int y = 0; y < bmp->h; ++y)
        for (int x = 0; x < bmp->w; ++x)
            putpixel(bmp, x, y, Origin(x, y));
}

// Signed distance between two coordinates known modulo 256.
int Apart(int a, int b) { return int(static_cast<signed char>((a - b) & 255)); }

// Pixels whose colour came from farther than 3 pixels away on either axis.
int FarPixels(BITMAP* bmp) {
    int far = 0;
    for (int y = 0; y < bmp->h; ++y)
        for (int x = 0; x < bmp->w; ++x) {
            int v = getpixel(bmp, x, y);
            far += std::abs(Apart(v & 255, x)) > 3 || std::abs(Apart(v >> 8 & 255, y)) > 3;
        }
    return far;
}

// True when the line of n pixels from (x, y) in steps (dx, dy) is made of `blocks` runs of
// equal pixels, none shorter than 3: one run per pixel of the scratch bitmap.
bool Blocky(BITMAP* bmp, int x, int y, int dx, int dy, int n, int blocks) {
    int runs = 0, run = 1;
    for (int i = 1; i <= n; ++i) {
        if (i < n && getpixel(bmp, x + i * dx, y + i * dy) ==
                         getpixel(bmp, x + (i - 1) * dx, y + (i - 1) * dy)) {
            ++run;
            continue;
        }
        if (run < 3)
            return false;
        ++runs;
        run = 1;
    }
    return runs == blocks;
}

// Rows and columns not cut into a third as many blocks.
int MisshapenLines(BITMAP* bmp) {
    int bad = 0;
    for (int y = 0; y < bmp->h; ++y)
        bad += !Blocky(bmp, 0, y, 1, 0, bmp->w, bmp->w / 3);
    for (int x = 0; x < bmp->w; ++x)
        bad += !Blocky(bmp, x, 0, 0, 1, bmp->h, bmp->h / 3);
    return bad;
}

TEST(Obscure, UniformBitmapStaysTheSame) {
    Frame frame;
    int grey = Colour(128, 128, 128);
    clear_to_color(frame.Bmp, grey);
    Misc::Obscure(frame.Bmp);
    EXPECT_EQ(CountPixels(frame.Bmp, 0, 0, 799, 599, grey), 800 * 600);
}

TEST(Obscure, FrameBecomesBlocksOfNearbyPixels) {
    Frame frame;
    PaintOrigins(frame.Bmp);
    Misc::Obscure(frame.Bmp);
    EXPECT_EQ(FarPixels(frame.Bmp), 0);  // down to the bottom-right corner
    EXPECT_EQ(MisshapenLines(frame.Bmp), 0);
}

TEST(Obscure, TextTurnsIntoUnmixedBlocks) {
    Frame frame;
    int white = Colour(255, 255, 255), black = Colour(0, 0, 0);
    textout_ex(frame.Bmp, font, "Mini Game: Quick Math", 0, 0, white, black);
    Misc::Obscure(frame.Bmp);
    EXPECT_FALSE(TestSupport::TextAt(frame.Bmp, 0, 0, "Mini Game: Quick Math", white));
    int whites = CountPixels(frame.Bmp, 0, 0, 799, 599, white);
    EXPECT_GT(whites, 0);  // the shape is still there
    // Nothing averaged: every pixel is still one of the two colours.
    EXPECT_EQ(whites + CountPixels(frame.Bmp, 0, 0, 799, 599, black), 800 * 600);
}

TEST(Obscure, BitmapsUnderThreePixelsOnASideAreLeftAlone) {
    const int sizes[][2] = {{2, 2}, {1, 100}, {100, 2}, {2, 100}};
    for (const auto& size : sizes) {
        SCOPED_TRACE(testing::Message() << size[0] << " x " << size[1]);
        Frame frame(size[0], size[1]);
        PaintOrigins(frame.Bmp);
        Misc::Obscure(frame.Bmp);
        int changed = 0;
        for (int y = 0; y < size[1]; ++y)
            for (int x = 0; x < size[0]; ++x)
                changed += getpixel(frame.Bmp, x, y) != Origin(x, y);
        EXPECT_EQ(changed, 0);
    }
}

TEST(Obscure, WorksAtADepthOtherThanTheScreens) {
    BITMAP* deep = create_bitmap_ex(32, 300, 200);
    ASSERT_NE(deep, nullptr);
    PaintOrigins(deep);
    Misc::Obscure(deep);
    EXPECT_EQ(FarPixels(deep), 0);
    EXPECT_EQ(MisshapenLines(deep), 0);
    destroy_bitmap(deep);
}

}  // namespace
