#ifndef HALTWICK_TESTS_SUPPORT_WINDOW_READER_H
#define HALTWICK_TESTS_SUPPORT_WINDOW_READER_H

#include <cstdint>
#include <string>
#include <vector>

namespace TestSupport {

struct Rgb {
    int R, G, B;
    bool operator==(const Rgb& o) const { return R == o.R && G == o.G && B == o.B; }
};

const Rgb White{255, 255, 255};
const Rgb Yellow{255, 255, 0};
const Rgb Brown{128, 64, 0};
const Rgb Grey{128, 128, 128};
const Rgb Purple{128, 64, 128};
const Rgb LightBlue{47, 158, 249};

// The game draws in 16 bits and the server widens 5-6-5 (or narrows to its own depth), so a
// channel may be off by up to 7 either way depending on how the low bits are filled.
bool Near(Rgb a, Rgb b);

// A rectangle of the game window's pixels, addressed in window coordinates.
class Image {
public:
    int X0 = 0, Y0 = 0, W = 0, H = 0;
    std::vector<Rgb> Pixels;  // row by row

    bool Contains(int x, int y) const { return x >= X0 && y >= Y0 && x < X0 + W && y < Y0 + H; }
    // Black outside the rectangle, so text running off a grab reads as blanks.
    Rgb At(int x, int y) const;
    int Count(int x0, int y0, int x1, int y1, Rgb c) const;  // inclusive corners
    // Writes a binary PPM, for the screenshot script.
    bool SavePpm(const std::string& path) const;
};

// Text found on screen and the x of its first cell.
struct Text {
    int X = -1;
    std::string Str;
};

// Text drawn in the library's built-in 8 x 8 font. The glyphs come from the library itself,
// drawn once, so the reader and the game always agree on the font and a reading draws nothing.

// The 64 ink bits of cell (x, y): bit 8 * row + column set where the pixel is near fg.
uint64_t Cell(const Image& img, int x, int y, Rgb fg);
uint64_t Glyph(char c);
// The character whose glyph is exactly this ink, or '?'.
char CharOf(uint64_t ink);
// n cells from a known origin: blank for an empty cell, '?' for ink that is no glyph.
std::string ReadAt(const Image& img, int x, int y, Rgb fg, int n);
// Text of colour fg in the band y..y+7 between x0 and x1: the origin is worked out from the
// leftmost ink, then cells are read 8 pixels apart. Trailing blanks are dropped.
Text Read(const Image& img, int y, Rgb fg, int x0 = 0, int x1 = 800);
// The white status line of row 0 (FPS), 1 (time left) or 2 (speed), read leftwards from the
// right edge up to two blanks running or ink that is no glyph; "" when there is none.
std::string StatusLine(const Image& img, int row);

}  // namespace TestSupport

#endif
