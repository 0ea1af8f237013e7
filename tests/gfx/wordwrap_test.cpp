#include <allegro.h>
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "gfx/misc.h"
#include "tests/support/pixels.h"

using TestSupport::Colour;
using TestSupport::CountPixels;
using TestSupport::Frame;
using TestSupport::TextAt;

namespace {

// The help overlay's box on the 800 x 600 screen.
const int BoxX = 100;
const int BoxY = 100;
const int BoxW = 600;

int White() { return Colour(255, 255, 255); }
int Blue() { return Colour(0, 0, 255); }
int Black() { return Colour(0, 0, 0); }

// '~' stands for the hard blank 0xB7, which cannot be written next to a letter in a literal.
std::string Hard(std::string text) {
    for (char& c : text)
        if (c == '~')
            c = '\xB7';
    return text;
}

// n distinct-looking letters, so a break point shows in what is drawn.
std::string Letters(int n) {
    std::string s;
    for (int i = 0; i < n; ++i)
        s += char('a' + i % 26);
    return s;
}

std::string Repeat(const std::string& unit, int n) {
    std::string s;
    for (int i = 0; i < n; ++i)
        s += unit;
    return s;
}

// Wraps text white on blue into the help box on a black frame; the box is one line high,
// which must not clip anything.
int Wrap(BITMAP* bmp, const std::string& text, int w = BoxW) {
    std::vector<char> buffer(text.begin(), text.end());
    buffer.push_back(0);
    return Misc::MGMtextoutWordWrap(bmp, font, BoxX, BoxY, w, 8, White(), Blue(), buffer.data());
}

// Text expected at a character column and line of the box.
struct TextRun {
    int Col, Line;
    std::string Text;
};

struct LayoutCase {
    const char* Rule;
    std::string Text;
    int W;
    std::vector<TextRun> Runs;
    int Lines;  // lines the pen moves down: the result is BoxY + 8 * Lines
};

TEST(WordWrap, PlacesWordsAndReturnsTheBottom) {
    const std::string l75 = Letters(75), l80 = Letters(80), l150 = Letters(150);
    const std::string a70 = std::string(70, 'a');
    const std::string para = Repeat("word~", 20);  // 100 bytes, one word
    const std::string paraShown = Repeat("word ", 20);
    const LayoutCase cases[] = {
        {"empty line between two lines", "one\n\ntwo\n", BoxW, {{0, 0, "one"}, {0, 2, "two"}}, 3},
        {"no line feed draws nothing", "one two", BoxW, {}, 0},
        {"text after the last line feed is not drawn", "first\nsecond\nlost", BoxW,
         {{0, 0, "first"}, {0, 1, "second"}}, 2},
        {"blank runs are one separator", "  ab   cd\n", BoxW, {{0, 0, "ab cd"}}, 1},
        {"hard blanks indent and show as blanks", Hard("~~x\n"), BoxW, {{0, 0, "  x"}}, 1},
        {"hard blank keeps its words together", Hard(a70 + " ab~cd\n"), BoxW,
         {{0, 0, a70}, {0, 1, "ab cd"}}, 2},
        {"word as wide as the box fits whole", l75 + "\n", BoxW, {{0, 0, l75}}, 1},
        {"word a pixel wider than the box breaks", l75 + "\n", BoxW - 1,
         {{0, 0, l75.substr(0, 74)}, {0, 1, l75.substr(74)}}, 2},
        {"broken word puts 74 characters on a full line", l150 + "\n", BoxW,
         {{0, 0, l150.substr(0, 74)}, {0, 1, l150.substr(74, 74)}, {0, 2, l150.substr(148)}},
         3},
        {"too wide a word breaks from the middle of a line", "ab " + l80 + "\n", BoxW,
         {{0, 0, "ab " + l80.substr(0, 71)}, {0, 1, l80.substr(71)}}, 2},
        {"hard-blank paragraph breaks at characters", Hard(para + "\n"), BoxW,
         {{0, 0, paraShown.substr(0, 74)}, {0, 1, paraShown.substr(74)}}, 2},
        {"word that does not fit moves down", "aaa bbb\n", 48, {{0, 0, "aaa"}, {0, 1, "bbb"}},
         2},
        {"box one glyph wide takes a character a line", "abc\n", 12,
         {{0, 0, "a"}, {0, 1, "b"}, {0, 2, "c"}}, 3},
        {"text runs on below the box height", "a\nb\nc\nd\ne\n", BoxW,
         {{0, 0, "a"}, {0, 1, "b"}, {0, 2, "c"}, {0, 3, "d"}, {0, 4, "e"}}, 5},
        {"box reaching past the largest int takes the line whole", "two words\n", INT_MAX,
         {{0, 0, "two words"}}, 1},
    };
    for (const LayoutCase& c : cases) {
        SCOPED_TRACE(c.Rule);
        Frame frame;
        EXPECT_EQ(Wrap(frame.Bmp, c.Text, c.W), BoxY + 8 * c.Lines);
        int ink = 0;
        for (const TextRun& run : c.Runs) {
            int x = BoxX + 8 * run.Col, y = BoxY + 8 * run.Line;
            EXPECT_TRUE(TextAt(frame.Bmp, x, y, run.Text.c_str(), White()))
                << "line " << run.Line << ": " << run.Text;
            ink += CountPixels(frame.Bmp, x, y, x + 8 * int(run.Text.size()) - 1, y + 7, White());
        }
        // No ink anywhere but in the expected text.
        EXPECT_EQ(CountPixels(frame.Bmp, 0, 0, 799, 599, White()), ink);
    }
}

struct FillCase {
    const char* Rule;
    std::string Text;
    int W;
    int X0, Y0, X1, Y1;  // an area that must be all one colour
    bool Painted;        // blue background, or the frame's black left alone
};

TEST(WordWrap, FillsLineEndsButNotGaps) {
    const FillCase cases[] = {
        {"line filled from the pen to the right edge", "one\n\ntwo\n", BoxW, 132, 100, 699,
         107, true},
        {"empty line filled across the box", "one\n\ntwo\n", BoxW, 100, 108, 699, 115, true},
        {"glyph cells take the background", "one\n\ntwo\n", BoxW, 100, 100, 123, 107, true},
        {"blank after a line's last word left alone", "one\n\ntwo\n", BoxW, 124, 100, 131, 107,
         false},
        {"nothing left of the box", "one\n\ntwo\n", BoxW, 0, 0, 99, 599, false},
        {"nothing above the box", "one\n\ntwo\n", BoxW, 0, 0, 799, 99, false},
        {"gap between words left alone", "ab cd\n", BoxW, 116, 100, 123, 107, false},
        {"line a word moved off keeps its tail", "aaa bbb\n", 48, 124, 100, 147, 107, false},
        {"moved word's line filled after it", "aaa bbb\n", 48, 132, 108, 147, 115, true},
    };
    for (const FillCase& c : cases) {
        SCOPED_TRACE(c.Rule);
        Frame frame;
        Wrap(frame.Bmp, c.Text, c.W);
        int area = (c.X1 - c.X0 + 1) * (c.Y1 - c.Y0 + 1);
        if (c.Painted)
            EXPECT_EQ(CountPixels(frame.Bmp, c.X0, c.Y0, c.X1, c.Y1, Black()), 0);
        else
            EXPECT_EQ(CountPixels(frame.Bmp, c.X0, c.Y0, c.X1, c.Y1, Black()), area);
    }
}

TEST(WordWrap, BoxNarrowerThanAGlyphDropsWordsAndStops) {
    for (int w : {0, 5, -20}) {
        SCOPED_TRACE(w);
        Frame frame;
        EXPECT_EQ(Wrap(frame.Bmp, "hello world\nagain\n", w), BoxY + 16);
        EXPECT_EQ(CountPixels(frame.Bmp, 0, 0, 799, 599, White()), 0);
    }
}

}  // namespace
