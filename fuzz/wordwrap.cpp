// Word-wrapped text output on any bytes, hard blanks and line feeds included, in a box of any
// width from 0 up. It must end, paint only its own lines below the box's top-left corner in its
// two colours, and return the true bottom: y plus one line height per line drawn.
//
// Input: x (1 byte), y (1 byte), width (4 bytes, any non-negative int), then the text.
#include <allegro.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <vector>

#include "gfx/misc.h"

namespace {

const int MaxText = 1024;
const int Width = 256;  // the bitmap; boxes may reach far past it
const uint16_t Paper = 0x1234;
const int Ink = 0xFFFF;
const int Bg = 0x0000;

// Tall enough for the most lines any text gets: one per line feed or character.
BITMAP* Page = nullptr;
uint16_t PaperRow[Width];

uint16_t* Row(int r) { return reinterpret_cast<uint16_t*>(Page->line[r]); }
bool Painted(int r) { return std::memcmp(Row(r), PaperRow, sizeof PaperRow) != 0; }

void Check(bool ok, const char* what) {
    if (!ok) {
        std::fprintf(stderr, "word wrap: %s\n", what);
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // Memory bitmaps and the built-in font need no display.
    if (install_allegro(SYSTEM_NONE, &errno, atexit) != 0)
        std::abort();
    Page = create_bitmap_ex(16, Width, 64 + text_height(font) * (2 * MaxText + 1) + 1);
    std::fill(std::begin(PaperRow), std::end(PaperRow), Paper);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 6 || size > 6 + MaxText)
        return 0;
    int x = data[0] % 64;
    int y = data[1] % 64;
    uint32_t rawWidth;
    std::memcpy(&rawWidth, data + 2, 4);
    int w = static_cast<int>(rawWidth & 0x7FFFFFFF);
    std::vector<char> text(data + 6, data + size);
    text.push_back(0);
    int chars = static_cast<int>(std::strlen(text.data()));
    int feeds = static_cast<int>(std::count(text.begin(), text.begin() + chars, '\n'));

    // Every line drawn is a line feed or takes at least one character.
    int th = text_height(font);
    int maxLines = feeds + chars;
    int rows = y + th * (maxLines + 1) + 1;
    rectfill(Page, 0, 0, Width - 1, rows - 1, Paper);

    int bottom = Misc::MGMtextoutWordWrap(Page, font, x, y, w, 0, Ink, Bg, text.data());

    Check(bottom >= y && (bottom - y) % th == 0, "bottom is not y plus whole lines");
    int lines = (bottom - y) / th;
    Check(lines <= maxLines, "more lines than line feeds and characters");
    Check(feeds > 0 || lines == 0, "text without a line feed drew lines");
    for (int r = 0; r < rows; ++r) {
        if (!Painted(r))
            continue;
        // The last line's end fill reaches one row down (rectangles include both corners).
        Check(r >= y && r <= bottom, "painted outside the lines drawn");
        for (int c = 0; c < Width; ++c) {
            int p = Row(r)[c];
            Check(c >= x || p == Paper, "painted left of the box");
            Check(p == Paper || p == Ink || p == Bg, "painted in a third colour");
        }
    }
    // With the right edge on the bitmap and the game's own characters, every line leaves paint
    // in its band. (The library reads text as UTF-8: other bytes above 0x7F can decode to the
    // end of the string, and a line of such words draws nothing, as it should.)
    bool ownCharacters = std::all_of(text.begin(), text.begin() + chars, [](char c) {
        return static_cast<unsigned char>(c) < 0x80 || c == '\xB7';
    });
    if (ownCharacters && static_cast<long>(x) + w < Width)
        for (int k = 0; k < lines; ++k) {
            bool band = false;
            for (int r = y + k * th; r < y + (k + 1) * th && !band; ++r)
                band = Painted(r);
            Check(band, "a line left no paint");
        }
    return 0;
}
