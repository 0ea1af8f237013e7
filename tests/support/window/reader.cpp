#include "tests/support/window/reader.h"

#include <allegro.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>

namespace TestSupport {

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

namespace {

const char FirstGlyph = ' ', LastGlyph = '~';

// The ink of every printable character, from FirstGlyph on.
const std::vector<uint64_t>& Glyphs() {
    static const std::vector<uint64_t> glyphs = [] {
        std::vector<uint64_t> inks;
        // With no graphics driver the library only renders its font into a memory bitmap.
        if (!system_driver && install_allegro(SYSTEM_NONE, &errno, atexit) != 0)
            return inks;
        BITMAP* cell = create_bitmap_ex(8, 8, 8);
        for (char c = FirstGlyph; c <= LastGlyph; ++c) {
            char s[2] = {c, 0};
            clear_to_color(cell, 0);
            textout_ex(cell, font, s, 0, 0, 1, 0);
            uint64_t bits = 0;
            for (int y = 0; y < 8; ++y)
                for (int x = 0; x < 8; ++x)
                    if (getpixel(cell, x, y) == 1)
                        bits |= uint64_t(1) << (8 * y + x);
            inks.push_back(bits);
        }
        destroy_bitmap(cell);
        return inks;
    }();
    return glyphs;
}

}  // namespace

char CharOf(uint64_t ink) {
    const std::vector<uint64_t>& glyphs = Glyphs();
    auto found = std::find(glyphs.begin(), glyphs.end(), ink);
    return found == glyphs.end() ? '?' : char(FirstGlyph + (found - glyphs.begin()));
}

uint64_t Cell(const Image& img, int x, int y, Rgb fg) {
    uint64_t bits = 0;
    for (int dy = 0; dy < 8; ++dy)
        for (int dx = 0; dx < 8; ++dx)
            if (Near(img.At(x + dx, y + dy), fg))
                bits |= uint64_t(1) << (8 * dy + dx);
    return bits;
}

uint64_t Glyph(char c) {
    const std::vector<uint64_t>& glyphs = Glyphs();
    size_t i = c - FirstGlyph;
    return c >= FirstGlyph && i < glyphs.size() ? glyphs[i] : 0;
}

std::string ReadAt(const Image& img, int x, int y, Rgb fg, int n) {
    std::string s;
    for (int i = 0; i < n; ++i)
        s += CharOf(Cell(img, x + 8 * i, y, fg));
    return s;
}

Text Read(const Image& img, int y, Rgb fg, int x0, int x1) {
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

std::string StatusLine(const Image& img, int row) {
    // Right-aligned at the screen's edge (800, a multiple of 8), so every cell is aligned.
    std::string text;
    for (int x = 800 - 8; x >= 0; x -= 8) {
        char c = CharOf(Cell(img, x, 8 * row, White));
        if (c == '?' || (c == ' ' && !text.empty() && text.back() == ' '))
            break;
        text += c;
    }
    std::reverse(text.begin(), text.end());
    size_t start = text.find_first_not_of(' ');
    return start == std::string::npos ? "" : text.substr(start);
}

}  // namespace TestSupport
