#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "shell/framechanges.h"
#include "shell/scale.h"
#include "shell/scaler.h"

using namespace GameShell;

namespace {

struct ScaleCase {
    const char* Desktop;
    double DesktopScale;
    Scale::Area Work;
    Scale::Frame Frame;
    int Expected;
};

TEST(WindowScale, IsTheDesktopsRoundedThenLoweredUntilTheWindowAndItsFrameFit) {
    const Scale::Frame titled{1, 1, 28, 1};
    const ScaleCase cases[] = {
        {"96 dpi", 1.0, {0, 0, 1920, 1080}, {}, 1},
        {"200 % on 4K", 2.0, {0, 0, 3840, 2160}, {}, 2},
        {"250 % rounds to 3 on 4K (1800 rows fit)", 2.5, {0, 0, 3840, 2160}, {}, 3},
        {"175 % rounds to 2", 1.75, {0, 0, 3840, 2160}, titled, 2},
        {"200 % on 1366 x 768", 2.0, {0, 0, 1366, 768}, {}, 1},
        {"175 % on 1920 x 1080: 1200 rows don't fit", 1.75, {0, 0, 1920, 1080}, {}, 1},
        {"200 % on 1600 x 1200 with a title bar", 2.0, {0, 0, 1600, 1200}, titled, 1},
        {"200 % on 1600 x 1200 bare", 2.0, {0, 0, 1600, 1200}, {}, 2},
        {"a panel takes rows: 300 % on 4K", 3.0, {0, 0, 3840, 2100}, titled, 3},
        {"a panel takes rows: 4 x would be 2400", 4.0, {0, 27, 3840, 2133}, titled, 3},
        {"below 1 is 1", 0.5, {0, 0, 3840, 2160}, {}, 1},
        {"more than the largest asked for", 20.0, {0, 0, 16000, 12000}, {}, Scale::Most},
        {"a work area smaller than the frame still opens", 2.0, {0, 0, 640, 480}, {}, 1},
    };
    for (const ScaleCase& c : cases)
        EXPECT_EQ(Scale::Fitted(Scale::Rounded(c.DesktopScale), c.Work, c.Frame), c.Expected)
            << c.Desktop;
}

TEST(WindowScale, OpensCentredInTheWorkAreaWithItsTitleBarOnTheScreen) {
    Scale::Area a = Scale::Centred(2, {0, 0, 3840, 2160}, {});
    EXPECT_EQ(a.X, 1120);
    EXPECT_EQ(a.Y, 480);
    EXPECT_EQ(a.W, 1600);
    EXPECT_EQ(a.H, 1200);
    // A second monitor to the right, a panel on top, a frame with a title bar.
    a = Scale::Centred(2, {1920, 30, 3840, 2130}, {2, 2, 30, 2});
    EXPECT_EQ(a.X, 1920 + (3840 - 1604) / 2 + 2);
    EXPECT_EQ(a.Y, 30 + (2130 - 1232) / 2 + 30);
    // Taller than the work area: hangs from the top of it, title bar inside.
    a = Scale::Centred(1, {0, 40, 1024, 560}, {0, 0, 24, 0});
    EXPECT_EQ(a.Y, 40 + 24);
}

TEST(WindowScale, FullscreenKeepsFourToThreeCentredAndWholeScalesExact) {
    struct FitCase {
        int W, H;
        Scale::Area Expected;
    } cases[] = {
        {1920, 1080, {240, 0, 1440, 1080}},
        {3840, 2160, {480, 0, 2880, 2160}},
        {1600, 1200, {0, 0, 1600, 1200}},
        {1280, 1024, {0, 32, 1280, 960}},
        {800, 600, {0, 0, 800, 600}},
    };
    for (const FitCase& c : cases) {
        Scale::Area a = Scale::Fit(c.W, c.H);
        EXPECT_EQ((std::vector<int>{a.X, a.Y, a.W, a.H}),
                  (std::vector<int>{c.Expected.X, c.Expected.Y, c.Expected.W, c.Expected.H}))
            << c.W << " x " << c.H;
    }
}

TEST(WindowScale, TheEnvironmentTakesOneToEightAndNothingElse) {
    EXPECT_EQ(Scale::FromEnvironment(nullptr), 0);
    EXPECT_EQ(Scale::FromEnvironment(""), 0);
    EXPECT_EQ(Scale::FromEnvironment("3"), 3);
    EXPECT_EQ(Scale::FromEnvironment("8"), 8);
    EXPECT_EQ(Scale::FromEnvironment("9"), 0);
    EXPECT_EQ(Scale::FromEnvironment("0"), 0);
    EXPECT_EQ(Scale::FromEnvironment("2x"), 0);
    EXPECT_EQ(Scale::FromEnvironment("-2"), 0);
}

// A synthetic black and white frame, white where white(x, y): one-pixel stripes and
// checks are the hardest case for keeping edges sharp.
struct Synthetic {
    std::vector<uint16_t> Pixels;
    std::vector<const uint16_t*> Rows;
    explicit Synthetic(bool (*white)(int, int)) : Pixels(800 * 600), Rows(600) {
        for (int y = 0; y < 600; ++y) {
            for (int x = 0; x < 800; ++x)
                Pixels[y * 800 + x] = white(x, y) ? 0xffff : 0;
            Rows[y] = &Pixels[y * 800];
        }
    }
};

bool Checks(int x, int y) { return (x + y) & 1; }
bool Columns(int x, int) { return x & 1; }
bool Lines(int, int y) { return y & 1; }

std::vector<uint32_t> BlackAndWhite() {
    std::vector<uint32_t> colours(1 << 16);
    for (int v = 0; v < 1 << 16; ++v)
        colours[v] = v ? 0xffffff : 0;
    return colours;
}

std::vector<uint32_t> Shown(int w, int h, bool (*white)(int, int)) {
    Synthetic frame(white);
    Scaler scaler(w, h, BlackAndWhite());
    std::vector<uint32_t> out(w * h);
    scaler.Draw(frame.Rows.data(), reinterpret_cast<unsigned char*>(out.data()), w * 4);
    return out;
}

TEST(Scaler, WholeScalesAreExactBlocks) {
    for (int k : {1, 2, 3}) {
        std::vector<uint32_t> out = Shown(800 * k, 600 * k, Checks);
        int wrong = 0;
        for (int y = 0; y < 600 * k; ++y)
            for (int x = 0; x < 800 * k; ++x)
                wrong += out[y * 800 * k + x] != (((x / k + y / k) & 1) ? 0xffffffu : 0u);
        EXPECT_EQ(wrong, 0) << k << "x";
    }
}

TEST(Scaler, AtOnePointEightEveryEdgeBlendsAcrossOnePixelAtMost) {
    const int w = 1440, h = 1080;
    auto blended = [](uint32_t p) { return p != 0 && p != 0xffffff; };
    // Across the edges of one-pixel columns, then down those of one-pixel lines.
    struct Pass {
        bool (*White)(int, int);
        int Step, Count, Stride;  // along the line checked, and from one line to the next
    } passes[] = {{Columns, 1, w, w}, {Lines, w, h, 1}};
    for (const Pass& p : passes) {
        std::vector<uint32_t> out = Shown(w, h, p.White);
        int longest = 0, edges = 0, pure = 0;
        for (int line = 0; line < 40; ++line) {
            for (int i = 0, run = 0; i < p.Count; ++i) {
                uint32_t px = out[line * 13 * p.Stride + i * p.Step];
                run = blended(px) ? run + 1 : 0;
                longest = std::max(longest, run);
                edges += run == 1;
                pure += line == 0 && !blended(px);
            }
        }
        EXPECT_EQ(longest, 1) << "an edge blended across more than one screen pixel";
        EXPECT_GT(edges, 0) << "no edge blended at all: nearest neighbour, not sharp bilinear";
        // Every frame pixel still shows as at least one pure screen pixel.
        EXPECT_GE(pure, p.Count / 1.8 - 1);
    }
}

TEST(Scaler, DrawingOnlyTheChangedRowsGivesTheWholeNewPicture) {
    Synthetic frame(Checks);
    FrameChanges changes;
    changes.Take(frame.Rows.data());
    // Rows at both edges, and runs closer and farther than a text line.
    for (int y : {0, 100, 101, 103, 107, 300, 599})
        frame.Pixels[y * 800 + 5] ^= 0xffff;
    std::vector<std::pair<int, int>> runs = changes.Take(frame.Rows.data());
    std::vector<std::pair<int, int>> expected = {{0, 1}, {100, 108}, {300, 301}, {599, 600}};
    EXPECT_EQ(runs, expected);
    EXPECT_TRUE(changes.Take(frame.Rows.data()).empty()) << "the frame is the one shown now";

    for (auto [w, h] : {std::pair{1600, 1200}, std::pair{1440, 1080}}) {
        std::vector<uint32_t> old = Shown(w, h, Checks);
        Scaler scaler(w, h, BlackAndWhite());
        for (const std::pair<int, int>& run : runs) {
            std::pair<int, int> rows = scaler.ScreenRows(run.first, run.second);
            scaler.Draw(frame.Rows.data(), reinterpret_cast<unsigned char*>(old.data()), w * 4,
                        rows.first, rows.second);
        }
        std::vector<uint32_t> whole(w * h);
        scaler.Draw(frame.Rows.data(), reinterpret_cast<unsigned char*>(whole.data()), w * 4);
        EXPECT_TRUE(old == whole) << w << " x " << h;
    }
}

}  // namespace
