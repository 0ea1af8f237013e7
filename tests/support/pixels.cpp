#include "tests/support/pixels.h"

#include "tests/support/window/reader.h"

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

uint64_t Ink(BITMAP* bmp, int x, int y, int fg) {
    uint64_t bits = 0;
    for (int dy = 0; dy < 8; ++dy)
        for (int dx = 0; dx < 8; ++dx)
            if (getpixel(bmp, x + dx, y + dy) == fg)
                bits |= uint64_t(1) << (8 * dy + dx);
    return bits;
}

bool GlyphAt(BITMAP* bmp, int x, int y, char ch, int fg) { return Ink(bmp, x, y, fg) == Glyph(ch); }

bool TextAt(BITMAP* bmp, int x, int y, const char* text, int fg) {
    for (int i = 0; text[i]; ++i)
        if (!GlyphAt(bmp, x + 8 * i, y, text[i], fg))
            return false;
    return true;
}

}  // namespace TestSupport
