#include "tests/support/pixels.h"

namespace TestSupport {

Frame::Frame(int w, int h) : Bmp(create_bitmap_ex(16, w, h)) { clear_bitmap(Bmp); }

Frame::~Frame() { destroy_bitmap(Bmp); }

int CountPixels(BITMAP* bmp, int x0, int y0, int x1, int y1, int c) {
    int n = 0;
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x)
            n += getpixel(bmp, x, y) == c;
    return n;
}

bool AnyPixel(BITMAP* bmp, int x0, int y0, int x1, int y1, int c) {
    return CountPixels(bmp, x0, y0, x1, y1, c) > 0;
}

bool GlyphAt(BITMAP* bmp, int x, int y, char ch, int fg) {
    // Render the reference glyph with the same font and compare the ink cell by cell.
    BITMAP* ref = create_bitmap_ex(16, 8, 8);
    int ink = makecol(255, 255, 255);
    clear_bitmap(ref);
    char s[2] = {ch, 0};
    textout_ex(ref, font, s, 0, 0, ink, 0);
    bool same = true;
    for (int dy = 0; dy < 8 && same; ++dy)
        for (int dx = 0; dx < 8 && same; ++dx)
            same = (getpixel(ref, dx, dy) == ink) == (getpixel(bmp, x + dx, y + dy) == fg);
    destroy_bitmap(ref);
    return same;
}

bool TextAt(BITMAP* bmp, int x, int y, const char* text, int fg) {
    for (int i = 0; text[i]; ++i)
        if (!GlyphAt(bmp, x + 8 * i, y, text[i], fg))
            return false;
    return true;
}

}  // namespace TestSupport
