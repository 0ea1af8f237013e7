#include "gfx/misc.h"

#include <allegro.h>

#include <algorithm>
#include <climits>
#include <cstring>

namespace Misc {

namespace {

const char HardBlank = '\xB7';

// Where the next text goes, inside the box [Left, Right].
struct Pen {
    int X, Y;
    int Left, Right, LineHeight;
    void NewLine() {
        X = Left;
        Y += LineHeight;
    }
};

// Draws a word that fits the line whole. The hard blanks show as blanks; the word was
// measured with them already, and the caller's buffer is consumed anyway, so they are
// swapped in place rather than in a copy.
void DrawWhole(BITMAP* bmp, FONT* font, const Pen& pen, int color, int bg, char* word) {
    for (char* c = word; *c; ++c)
        if (*c == HardBlank)
            *c = ' ';
    textout_ex(bmp, font, word, pen.X, pen.Y, color, bg);
}

// Draws the characters of a word too wide for the box, one by one from the pen, while each
// ends strictly left of the right edge. The pen passes the first one that does not, which
// stays in the word. Returns how many characters were drawn.
int DrawBroken(BITMAP* bmp, FONT* font, Pen& pen, int color, int bg, const char* word) {
    int drawn = 0;
    while (pen.X < pen.Right && word[drawn]) {
        char glyph[2] = {word[drawn] == HardBlank ? ' ' : word[drawn], 0};
        int width = text_length(font, glyph);
        if (pen.X + width < pen.Right) {
            textout_ex(bmp, font, glyph, pen.X, pen.Y, color, bg);
            ++drawn;
        }
        pen.X += width;
    }
    return drawn;
}

}  // namespace

int MGMtextoutWordWrap(BITMAP* bmp, FONT* font, int x, int y, int w, int, int color, int bg,
                       char* text) {
    static char delim[] = " ";  // only 0x20 splits words; 0xB7 and tabs belong to them
    int blank = text_length(font, " ");
    // A box reaching past the largest int ends there: no line of text gets that far, and
    // x + w must not overflow.
    int right = static_cast<int>(std::clamp<long long>(1LL * x + w, INT_MIN, INT_MAX));
    Pen pen = {x, y, x, right, text_height(font)};

    char* line = text;
    for (char* end = std::strchr(line, '\n'); end; end = std::strchr(line, '\n')) {
        *end = 0;
        for (char* word = std::strtok(line, delim); word; word = std::strtok(nullptr, delim)) {
            while (*word) {
                int width = text_length(font, word);
                if (pen.X + width > pen.Right && width <= w)
                    pen.NewLine();  // the old line's tail stays as it was
                if (pen.X + width <= pen.Right) {
                    DrawWhole(bmp, font, pen, color, bg, word);
                    pen.X += width + blank;
                    break;
                }
                bool lineStart = pen.X == pen.Left;
                int drawn = DrawBroken(bmp, font, pen, color, bg, word);
                if (drawn == 0 && lineStart) {
                    // A box narrower than this word's next character can never take it;
                    // breaking it again would only step down forever. The word is dropped
                    // and the pen stays put, so the bottom counts only the line feeds.
                    pen.X = pen.Left;
                    break;
                }
                word += drawn;
                rectfill(bmp, pen.X, pen.Y, pen.Right, pen.Y + pen.LineHeight, bg);
                pen.NewLine();
            }
        }
        // Past the right edge this fills back to it, as rectfill takes corners in any order.
        rectfill(bmp, pen.X, pen.Y, pen.Right, pen.Y + pen.LineHeight, bg);
        pen.NewLine();
        line = end + 1;
    }
    return pen.Y;
}

void Obscure(BITMAP* bmp) {
    int w = bmp->w / 3;
    int h = bmp->h / 3;
    if (w < 1 || h < 1)
        return;
    // The scaling blit needs equal depths, so the scratch follows bmp rather than the screen.
    BITMAP* small = create_bitmap_ex(bitmap_color_depth(bmp), w, h);
    if (!small)
        return;
    // The scaling blit picks pixels without mixing, so each ~3 x 3 block keeps one colour.
    stretch_blit(bmp, small, 0, 0, bmp->w, bmp->h, 0, 0, w, h);
    stretch_blit(small, bmp, 0, 0, w, h, 0, 0, bmp->w, bmp->h);
    destroy_bitmap(small);
}

}  // namespace Misc
