#include "tests/support/gametest.h"

#include <memory>

#include "tests/support/keys.h"
#include "tests/support/pixels.h"
#include "tests/support/window/reader.h"

namespace TestSupport {

void GameTest::SetUp() { ClearKeys(); }

void GameTest::TearDown() { ClearKeys(); }

void TickTimes(MiniGames::MiniGame& game, int n, int timeLeft) {
    for (int i = 0; i < n; ++i)
        game.Tick(timeLeft);
}

std::string ReadText(BITMAP* bmp, int x, int y, int fg) {
    std::string text;
    for (int cx = x; cx + 8 <= bmp->w; cx += 8) {
        char found = CharOf(Ink(bmp, cx, y, fg));
        if (found == '?')
            break;
        text += found;
    }
    return text.substr(0, text.find_last_not_of(' ') + 1);
}

std::string StatusLine(MiniGames::MiniGame& game) {
    Frame frame;
    game.Draw(frame.Bmp);
    return ReadText(frame.Bmp, 15, 15, Colour(255, 255, 255));
}

::testing::AssertionResult TimesOutBeforeReadingKeys(MiniGames::MiniGame& game, int timeLeft) {
    if (!keypressed())
        return ::testing::AssertionFailure() << "set up a waiting key first";
    game.Tick(timeLeft);
    if (game.Running || game.Won)
        return ::testing::AssertionFailure() << "still running or won after timeLeft " << timeLeft;
    if (!keypressed())
        return ::testing::AssertionFailure() << "the waiting key was read";
    Frame frame;
    game.Draw(frame.Bmp);
    if (CountPixels(frame.Bmp, 0, 0, frame.Bmp->w - 1, frame.Bmp->h - 1, 0) !=
        frame.Bmp->w * frame.Bmp->h)
        return ::testing::AssertionFailure() << "a finished game drew something";
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult DescribesItselfAs(MiniGames::MiniGame& game, const std::string& name,
                                             int worth) {
    std::unique_ptr<MiniGames::MiniGameInfo> first(game.GetInfo());
    std::unique_ptr<MiniGames::MiniGameInfo> second(game.GetInfo());
    if (first.get() == second.get())
        return ::testing::AssertionFailure() << "GetInfo returned the same record twice";
    for (const MiniGames::MiniGameInfo* info : {first.get(), second.get()})
        if (info->Name != name || info->Worth != worth || info->Help.empty())
            return ::testing::AssertionFailure()
                   << "got \"" << info->Name << "\" worth " << info->Worth << ", help of "
                   << info->Help.size() << " bytes";
    return ::testing::AssertionSuccess();
}

}  // namespace TestSupport
