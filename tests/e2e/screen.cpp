#include "tests/e2e/screen.h"

#include <allegro.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

namespace E2E {

bool Near(Rgb a, Rgb b) {
    const int tolerance = 8;
    return std::abs(a.R - b.R) <= tolerance && std::abs(a.G - b.G) <= tolerance &&
           std::abs(a.B - b.B) <= tolerance;
}

Rgb Image::At(int x, int y) const {
    if (!Contains(x, y))
        return Rgb{0, 0, 0};
    return Pixels[(y - Y0) * W + (x - X0)];
}

int Image::Count(int x0, int y0, int x1, int y1, Rgb c) const {
    int n = 0;
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x)
            n += Near(At(x, y), c);
    return n;
}

bool Image::SavePpm(const std::string& path) const {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    std::fprintf(f, "P6\n%d %d\n255\n", W, H);
    for (const Rgb& p : Pixels) {
        unsigned char rgb[3] = {(unsigned char)p.R, (unsigned char)p.G, (unsigned char)p.B};
        std::fwrite(rgb, 1, 3, f);
    }
    return std::fclose(f) == 0;
}

ScreenReader::ScreenReader() {
    // No graphics driver: the library only has to render its font into a memory bitmap.
    static const bool installed = install_allegro(SYSTEM_NONE, &errno, atexit) == 0;
    if (!installed)
        return;
    BITMAP* cell = create_bitmap_ex(8, 8, 8);
    for (int c = ' '; c <= '~'; ++c) {
        char s[2] = {(char)c, 0};
        clear_to_color(cell, 0);
        textout_ex(cell, font, s, 0, 0, 1, 0);
        uint64_t bits = 0;
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x)
                if (getpixel(cell, x, y) == 1)
                    bits |= uint64_t(1) << (8 * y + x);
        Glyphs.emplace_back(bits, (char)c);
    }
    destroy_bitmap(cell);
}

uint64_t ScreenReader::Cell(const Image& img, int x, int y, Rgb fg) const {
    uint64_t bits = 0;
    for (int dy = 0; dy < 8; ++dy)
        for (int dx = 0; dx < 8; ++dx)
            if (Near(img.At(x + dx, y + dy), fg))
                bits |= uint64_t(1) << (8 * dy + dx);
    return bits;
}

uint64_t ScreenReader::Glyph(char c) const {
    for (const auto& g : Glyphs)
        if (g.second == c)
            return g.first;
    return 0;
}

char ScreenReader::Match(uint64_t cell) const {
    for (const auto& g : Glyphs)
        if (g.first == cell)
            return g.second;
    return '?';
}

std::string ScreenReader::ReadAt(const Image& img, int x, int y, Rgb fg, int n) const {
    std::string s;
    for (int i = 0; i < n; ++i)
        s += Match(Cell(img, x + 8 * i, y, fg));
    return s;
}

Text ScreenReader::Read(const Image& img, int y, Rgb fg, int x0, int x1) const {
    int left = -1;
    for (int x = x0; x < x1 && left < 0; ++x)
        for (int dy = 0; dy < 8 && left < 0; ++dy)
            if (Near(img.At(x, y + dy), fg))
                left = x;
    if (left < 0)
        return Text{};
    // Glyphs start up to 7 columns into their cell: keep the origin under which the first cell
    // is a glyph and the most cells read as glyphs.
    Text best;
    int bestScore = -1;
    for (int x = left; x > left - 8; --x) {
        std::string s = ReadAt(img, x, y, fg, (x1 - x) / 8);
        if (s.empty() || s[0] == '?' || s[0] == ' ')
            continue;
        int score = 0;
        for (char c : s)
            score += c != '?' && c != ' ';
        if (score > bestScore) {
            bestScore = score;
            best = Text{x, s.substr(0, s.find_last_not_of(' ') + 1)};
        }
    }
    return best;
}

}  // namespace E2E
