#include <allegro.h>
#include <gtest/gtest.h>

#include <cstring>

#include "shell/run.h"
#include "tests/support/pixels.h"

namespace {

const char WinText[] = "Congratulations! You have stopped the train! You win!";
const char LoseText[] = "Aww! You did not stop the train! You lose!";

TEST(EndScreen, BoxHasTheWinningMessagesWidthForBothOutcomes) {
    const int blue = makecol(47, 158, 249);
    const int white = makecol(255, 255, 255);
    const int halfWidth = 8 * static_cast<int>(std::strlen(WinText)) / 2;
    for (bool won : {true, false}) {
        TestSupport::Frame frame;
        GameShell::DrawEndScreen(frame.Bmp, won);
        // The box's corners and edges, and nothing of its colour outside them.
        EXPECT_EQ(getpixel(frame.Bmp, 400 - halfWidth, 284), blue);
        EXPECT_EQ(getpixel(frame.Bmp, 400 + halfWidth, 316), blue);
        EXPECT_FALSE(TestSupport::AnyPixel(frame.Bmp, 0, 283, 799, 283, blue));
        EXPECT_FALSE(TestSupport::AnyPixel(frame.Bmp, 0, 317, 799, 317, blue));
        EXPECT_FALSE(TestSupport::AnyPixel(frame.Bmp, 400 - halfWidth - 1, 284,
                                           400 - halfWidth - 1, 316, blue));
        EXPECT_FALSE(TestSupport::AnyPixel(frame.Bmp, 400 + halfWidth + 1, 284,
                                           400 + halfWidth + 1, 316, blue));

        const char* message = won ? WinText : LoseText;
        int messageX = 400 - 8 * static_cast<int>(std::strlen(message)) / 2;
        EXPECT_TRUE(TestSupport::TextAt(frame.Bmp, messageX, 292, message, white)) << won;
        EXPECT_TRUE(TestSupport::TextAt(frame.Bmp, 400 - 88, 308, "Press any key to exit.", white));
    }
}

TEST(EndScreen, LastFrameBecomesAMosaicBehindTheBox) {
    TestSupport::Frame frame;
    const int white = makecol(255, 255, 255);
    textout_ex(frame.Bmp, font, "FPS: 123", 0, 0, white, 0);
    TestSupport::Frame before;
    blit(frame.Bmp, before.Bmp, 0, 0, 0, 0, 800, 600);
    GameShell::DrawEndScreen(frame.Bmp, false);
    EXPECT_FALSE(TestSupport::TextAt(frame.Bmp, 0, 0, "FPS: 123", white));
    EXPECT_TRUE(TestSupport::AnyPixel(frame.Bmp, 0, 0, 63, 7, white)) << "shapes stay visible";
}

}  // namespace
