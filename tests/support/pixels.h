#ifndef HALTWICK_TESTS_SUPPORT_PIXELS_H
#define HALTWICK_TESTS_SUPPORT_PIXELS_H

#include <allegro.h>

#include <cstdint>

namespace TestSupport {

// A screen-sized 16-bit memory bitmap cleared to black, destroyed with the object.
class Frame {
public:
    BITMAP* Bmp;
    explicit Frame(int w = 800, int h = 600);
    ~Frame();
    Frame(const Frame&) = delete;
    Frame& operator=(const Frame&) = delete;
};

// The colour the game's makecol(r, g, b) gives in the current depth.
inline int Colour(int r, int g, int b) { return makecol(r, g, b); }
// True when any pixel of the rectangle [x0, x1] x [y0, y1] has colour c.
bool AnyPixel(BITMAP* bmp, int x0, int y0, int x1, int y1, int c);
// Number of pixels of colour c in the rectangle [x0, x1] x [y0, y1].
int CountPixels(BITMAP* bmp, int x0, int y0, int x1, int y1, int c);
// The ink of the 8 x 8 cell at (x, y): bit 8 * row + column set where the pixel has colour fg,
// as the window reader's glyphs are laid out.
uint64_t Ink(BITMAP* bmp, int x, int y, int fg);
// True when the 8 x 8 cell at (x, y) shows text glyph ch in colour fg (other pixels not fg).
bool GlyphAt(BITMAP* bmp, int x, int y, char ch, int fg);
// True when text starts at (x, y) drawn in the built-in font in colour fg.
bool TextAt(BITMAP* bmp, int x, int y, const char* text, int fg);

}  // namespace TestSupport

#endif
