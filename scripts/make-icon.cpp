// Renders lines of text read from standard input with Allegro's built-in 8x8 font, the font the
// game draws its train with, into a BMP file: glyphs in the colour R G B on magenta, the game's
// mask colour, so the caller can make the background transparent. Needs no display.
// Used by scripts/make-icon.sh; not part of the game.
#include <allegro.h>

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    if (argc != 5) {
        std::fprintf(stderr, "usage: make-icon-render OUT.bmp R G B < rows.txt\n");
        return 2;
    }
    int red = std::atoi(argv[2]), green = std::atoi(argv[3]), blue = std::atoi(argv[4]);
    std::vector<std::string> rows;
    std::string line;
    size_t width = 0;
    while (std::getline(std::cin, line)) {
        rows.push_back(line);
        if (line.size() > width)
            width = line.size();
    }
    if (rows.empty() || width == 0) {
        std::fprintf(stderr, "make-icon-render: no rows on standard input\n");
        return 1;
    }
    if (install_allegro(SYSTEM_NONE, &errno, atexit) != 0)
        return 1;
    set_color_depth(24);
    int th = text_height(font);
    int cw = text_length(font, " ");
    BITMAP* bmp = create_bitmap_ex(24, int(width) * cw, int(rows.size()) * th);
    if (!bmp)
        return 1;
    int mask = makecol24(255, 0, 255);
    clear_to_color(bmp, mask);
    for (size_t r = 0; r < rows.size(); ++r)
        textout_ex(bmp, font, rows[r].c_str(), 0, int(r) * th, makecol24(red, green, blue), mask);
    int failed = save_bitmap(argv[1], bmp, nullptr);
    destroy_bitmap(bmp);
    return failed ? 1 : 0;
}
END_OF_MAIN()
