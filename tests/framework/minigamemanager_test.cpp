#include "framework/minigamemanager.h"

#include <allegro.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <string>

#include "tests/support/fakegame.h"
#include "tests/support/gametest.h"
#include "tests/support/keys.h"
#include "tests/support/pixels.h"

namespace {

using MiniGameManagement::MiniGameManager;
using TestSupport::FakeGame;
using TestSupport::ReadText;

const char PressAnyKey[] = "Press any key (except F1 or Escape) to continue...";

// A manager with the five fake games registered; every test must leave no fake game alive
// once the manager is gone.
class ManagerTest : public TestSupport::GameTest {
protected:
    MiniGameManager* Manager = nullptr;
    int White = 0;
    int Purple = 0;

    void SetUp() override {
        GameTest::SetUp();
        FakeGame::Help = "Reach the goal.";
        Manager = new MiniGameManager;
        for (MiniGames::MiniGameFactory factory : TestSupport::FakeFactories)
            Manager->RegisterMiniGame(factory);
        White = makecol(255, 255, 255);
        Purple = makecol(128, 64, 128);
    }
    void TearDown() override {
        delete Manager;
        EXPECT_EQ(FakeGame::Live, 0) << "fake games leaked or deleted twice";
        FakeGame::Live = 0;
        GameTest::TearDown();
    }
};

TEST_F(ManagerTest, RandomStartTakesRandModuloTheNumberOfGames) {
    std::set<int> picked;
    for (unsigned seed : {1u, 2u, 3u, 7u, 42u, 1234u}) {
        std::srand(seed);
        int expected = static_cast<int>(static_cast<unsigned>(std::rand()) % 5);
        std::srand(seed);
        Manager->NewMiniGame();
        ASSERT_NE(FakeGame::Newest, nullptr);
        EXPECT_EQ(FakeGame::Newest->Id, expected) << "seed " << seed;
        EXPECT_EQ(Manager->CurGame, FakeGame::Newest);
        EXPECT_EQ(Manager->CurInfo->Worth, 10 * (expected + 1));
        EXPECT_TRUE(Manager->GameActive);
        EXPECT_EQ(FakeGame::Live, 1) << "the previous game was not freed";
        picked.insert(expected);
    }
    EXPECT_GT(picked.size(), 1u) << "the seeds should exercise more than one index";
}

TEST_F(ManagerTest, IndexedStartRunsThatGame) {
    for (int index : {3, 0, 4}) {
        Manager->NewMiniGame(index);
        ASSERT_NE(FakeGame::Newest, nullptr);
        EXPECT_EQ(FakeGame::Newest->Id, index);
        EXPECT_EQ(Manager->CurInfo->Name,
                  "Fake " + std::to_string(index) + " - Worth " +
                      std::to_string(10 * (index + 1)) + " MPH");
        EXPECT_TRUE(Manager->GameActive);
    }
}

TEST_F(ManagerTest, StartWithoutAValidGameDoesNothing) {
    Manager->NewMiniGame(1);
    MiniGames::MiniGame* running = Manager->CurGame;
    for (int index : {-1, 5, 1000}) {
        Manager->NewMiniGame(index);
        EXPECT_EQ(Manager->CurGame, running) << "index " << index;
        EXPECT_TRUE(Manager->GameActive);
        EXPECT_EQ(FakeGame::Live, 1);
    }

    MiniGameManager empty;
    empty.NewMiniGame();
    empty.NewMiniGame(0);
    EXPECT_EQ(empty.CurGame, nullptr);
    EXPECT_EQ(empty.CurInfo, nullptr);
    EXPECT_FALSE(empty.GameActive);
}

enum class Ending { Wins, TimesOut, Abandoned };

struct EndingCase {
    const char* Name;
    Ending How;
    bool Won;
    int Reward;
};

TEST_F(ManagerTest, EndedGameRecordsWonAndRewardThenGoes) {
    const EndingCase cases[] = {
        {"won on its second tick", Ending::Wins, true, 30},
        {"timed out", Ending::TimesOut, false, 0},
        {"abandoned while running", Ending::Abandoned, false, 0},
    };
    for (const EndingCase& c : cases) {
        SCOPED_TRACE(c.Name);
        // A stale result the ending must overwrite.
        Manager->LastWon = !c.Won;
        Manager->LastReward = 99;
        Manager->NewMiniGame(2);
        FakeGame::Newest->WinOnTick = 2;
        switch (c.How) {
        case Ending::Wins:
            Manager->Tick(300);
            EXPECT_TRUE(Manager->GameActive) << "ended a tick early";
            Manager->Tick(300);
            break;
        case Ending::TimesOut:
            Manager->Tick(0);
            break;
        case Ending::Abandoned:
            Manager->Tick(300);
            Manager->EndMiniGame();
            break;
        }
        EXPECT_EQ(Manager->LastWon, c.Won);
        EXPECT_EQ(Manager->LastReward, c.Reward);
        EXPECT_FALSE(Manager->GameActive);
        EXPECT_EQ(Manager->CurGame, nullptr);
        EXPECT_EQ(Manager->CurInfo, nullptr);
        EXPECT_EQ(FakeGame::Live, 0);
    }
}

TEST_F(ManagerTest, SecondEndKeepsTheFirstResult) {
    Manager->NewMiniGame(4);
    FakeGame::Newest->WinOnTick = 1;
    Manager->Tick(300);
    Manager->EndMiniGame();
    Manager->EndMiniGame();
    EXPECT_TRUE(Manager->LastWon);
    EXPECT_EQ(Manager->LastReward, 50);
}

TEST_F(ManagerTest, NewGameWhileRunningRecordsTheOldOne) {
    Manager->LastWon = true;
    Manager->LastReward = 99;
    Manager->NewMiniGame(1);
    Manager->NewMiniGame(3);
    EXPECT_FALSE(Manager->LastWon);
    EXPECT_EQ(Manager->LastReward, 0);
    EXPECT_EQ(FakeGame::Newest->Id, 3);
    EXPECT_EQ(FakeGame::Live, 1);

    Manager->LastWon = true;
    Manager->NewMiniGame();
    EXPECT_FALSE(Manager->LastWon);
    EXPECT_EQ(FakeGame::Live, 1);
}

TEST_F(ManagerTest, DestroyingTheManagerFreesARunningGame) {
    auto* manager = new MiniGameManager;
    manager->RegisterMiniGame(TestSupport::FakeFactories[0]);
    manager->NewMiniGame();
    EXPECT_EQ(FakeGame::Live, 1);
    delete manager;
    EXPECT_EQ(FakeGame::Live, 0);
}

TEST_F(ManagerTest, HeldF1OpensHelpAndTheNextKeyClosesItUnseenByTheGame) {
    Manager->NewMiniGame(0);
    FakeGame* game = FakeGame::Newest;
    {
        TestSupport::HeldKeys f1({KEY_F1});
        Manager->Tick(300);
    }
    EXPECT_TRUE(Manager->ShowHelp);
    EXPECT_EQ(game->Ticks, 1) << "the game still runs the tick F1 is first seen";

    // Released F1: the help stays up and the game stands still.
    for (int i = 0; i < 3; ++i)
        Manager->Tick(300);
    EXPECT_TRUE(Manager->ShowHelp);
    EXPECT_EQ(game->Ticks, 1);

    TestSupport::TypeKey(KEY_A, 'a');
    Manager->Tick(300);
    EXPECT_FALSE(Manager->ShowHelp);
    EXPECT_FALSE(keypressed()) << "the closing key must be swallowed";
    EXPECT_EQ(game->Ticks, 1);

    TestSupport::TypeKey(KEY_B, 'b');
    Manager->Tick(300);
    EXPECT_EQ(game->Ticks, 2);
    EXPECT_EQ(game->KeysRead, std::vector<int>{KEY_B});
}

TEST_F(ManagerTest, F1HeldAsTheGameEndsOpensTheNextGamesHelp) {
    Manager->NewMiniGame(0);
    FakeGame::Newest->WinOnTick = 1;
    {
        TestSupport::HeldKeys f1({KEY_F1});
        Manager->Tick(300);
    }
    EXPECT_FALSE(Manager->GameActive);
    EXPECT_TRUE(Manager->LastWon);
    EXPECT_TRUE(Manager->ShowHelp);
    Manager->Tick(300);
    EXPECT_TRUE(Manager->ShowHelp);

    Manager->NewMiniGame(1);
    EXPECT_TRUE(Manager->ShowHelp);
    Manager->Tick(300);
    EXPECT_EQ(FakeGame::Newest->Ticks, 0) << "the next game must wait for the help to close";
}

TEST_F(ManagerTest, DrawWithoutAGameLeavesTheBitmapAlone) {
    TestSupport::Frame frame;
    int grey = makecol(90, 90, 90);
    clear_to_color(frame.Bmp, grey);
    Manager->ShowHelp = true;
    Manager->Draw(frame.Bmp);
    EXPECT_EQ(TestSupport::CountPixels(frame.Bmp, 0, 0, 799, 599, grey), 800 * 600);
}

TEST_F(ManagerTest, TitleLineNamesTheGameOnBlackOverIt) {
    TestSupport::Frame frame;
    Manager->NewMiniGame(1);
    Manager->Draw(frame.Bmp);
    const std::string title = "Mini Game: Fake 1 - Worth 20 MPH";
    EXPECT_EQ(ReadText(frame.Bmp, 0, 0, White), title);
    int right = 8 * static_cast<int>(title.size()) - 1;
    EXPECT_FALSE(TestSupport::AnyPixel(frame.Bmp, 0, 0, right, 7, TestSupport::FakeColour()))
        << "the title's background must be opaque black";
    EXPECT_TRUE(TestSupport::AnyPixel(frame.Bmp, 0, 8, 799, 599, TestSupport::FakeColour()))
        << "the game drew nothing";
}

struct FrameCase {
    const char* Help;
    int Lines;  // text lines of the whole page: heading, blank, help, blank, closing line
};

TEST_F(ManagerTest, HelpFrameSpansTheWidthAndEndsTenBelowTheText) {
    const FrameCase cases[] = {
        {"Reach the goal.", 5},
        {"", 5},
        {"One\nTwo\nThree", 7},
    };
    for (const FrameCase& c : cases) {
        SCOPED_TRACE(c.Help);
        FakeGame::Help = c.Help;
        Manager->NewMiniGame(0);
        Manager->ShowHelp = true;
        TestSupport::Frame frame;
        Manager->Draw(frame.Bmp);

        int bottom = 100 + 8 * c.Lines + 10;
        int rows = bottom - 90 + 1;
        EXPECT_EQ(TestSupport::CountPixels(frame.Bmp, 90, 90, 90, bottom, Purple), rows);
        EXPECT_EQ(TestSupport::CountPixels(frame.Bmp, 710, 90, 710, bottom, Purple), rows);
        EXPECT_EQ(TestSupport::CountPixels(frame.Bmp, 90, 90, 710, 90, Purple), 621);
        EXPECT_EQ(TestSupport::CountPixels(frame.Bmp, 90, bottom, 710, bottom, Purple), 621);
        EXPECT_FALSE(TestSupport::AnyPixel(frame.Bmp, 0, bottom + 1, 799, 599, Purple));
        EXPECT_FALSE(TestSupport::AnyPixel(frame.Bmp, 711, 0, 799, 599, Purple));
        EXPECT_FALSE(TestSupport::AnyPixel(frame.Bmp, 0, 0, 89, 599, Purple));
    }
}

TEST_F(ManagerTest, HelpPageReadsOverAMosaicOfTheGame) {
    Manager->NewMiniGame(2);
    Manager->ShowHelp = true;
    TestSupport::Frame frame;
    Manager->Draw(frame.Bmp);
    EXPECT_EQ(ReadText(frame.Bmp, 100, 100, White), "Help for Fake 2 - Worth 30 MPH");
    EXPECT_EQ(ReadText(frame.Bmp, 100, 116, White), "Reach the goal.");
    EXPECT_EQ(ReadText(frame.Bmp, 100, 132, White), PressAnyKey);
    EXPECT_NE(ReadText(frame.Bmp, 0, 0, White), "Mini Game: Fake 2 - Worth 30 MPH")
        << "the title line should be part of the mosaic";
    EXPECT_TRUE(TestSupport::AnyPixel(frame.Bmp, 0, 300, 89, 599, TestSupport::FakeColour()))
        << "the game should still show around the help";
}

TEST_F(ManagerTest, OverlongHelpIsCutToThePageAndWhatFitsIsShown) {
    // Twenty lines of 59 letters: more than the 1024-byte page holds.
    std::string help;
    for (int i = 0; i < 20; ++i)
        help += std::string(59, static_cast<char>('A' + i)) + "\n";
    FakeGame::Help = help;
    Manager->NewMiniGame(0);
    Manager->ShowHelp = true;
    TestSupport::Frame frame;
    Manager->Draw(frame.Bmp);

    // 1023 characters fit: the 32-byte heading, 16 whole lines of 60 and 31 bytes of the
    // 17th, whose last gives way to the line feed that lets it show.
    for (int i = 0; i < 16; ++i)
        ASSERT_EQ(ReadText(frame.Bmp, 100, 116 + 8 * i, White),
                  std::string(59, static_cast<char>('A' + i)))
            << "line " << i;
    int cutLine = 116 + 8 * 16;
    EXPECT_EQ(ReadText(frame.Bmp, 100, cutLine, White), std::string(30, 'Q'));
    EXPECT_EQ(ReadText(frame.Bmp, 100, cutLine + 8, White), "");
    EXPECT_EQ(TestSupport::CountPixels(frame.Bmp, 90, cutLine + 18, 710, cutLine + 18, Purple),
              621);
}

}  // namespace
