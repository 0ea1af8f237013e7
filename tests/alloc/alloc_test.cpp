// The loop allocates nothing per logic tick or per frame. Only a game's start, the chooser
// menu's construction, the help page and the mosaic's scratch bitmap may, and on purpose; what
// the graphics library mallocs inside a call it frees again before returning.
#include <allegro.h>
#include <gtest/gtest.h>

#include <atomic>
#include <ostream>
#include <vector>

#include "framework/mgmenu.h"
#include "framework/minigamemanager.h"
#include "tests/alloc/counter.h"
#include "tests/support/keys.h"
#include "tests/support/scenes.h"
#include "tests/support/typist.h"

namespace AllocTest {

void PrintTo(const Allocations& a, std::ostream* out) {
    *out << a.News << " news, " << a.Bitmaps << " bitmaps, " << a.Mallocs << " mallocs ("
         << a.LiveMallocs << " kept)";
}

}  // namespace AllocTest

namespace {

using AllocTest::AllocationCounter;
using AllocTest::Allocations;
using TestSupport::Scene;
using TestSupport::Screen;

const int Ticks = 10000;
const int Frames = 1000;

Allocations TicksAndFrames(Scene& scene) {
    AllocationCounter counter;
    scene.Tick(Ticks);
    for (int i = 0; i < Frames; ++i)
        scene.Run.ComposeFrame();
    return counter.Stop();
}

class ScreenAlloc : public ::testing::TestWithParam<Screen> {
protected:
    void SetUp() override { TestSupport::ClearKeys(); }
    void TearDown() override { TestSupport::ClearKeys(); }
};

std::string ParamName(const ::testing::TestParamInfo<Screen>& info) {
    return TestSupport::ScreenName(info.param);
}

TEST_P(ScreenAlloc, TicksAndFramesAllocateNothing) {
    Scene scene(GetParam());
    Allocations made = TicksAndFrames(scene);
    EXPECT_EQ(made.News, 0) << ::testing::PrintToString(made);
    EXPECT_EQ(made.Bitmaps, 0) << ::testing::PrintToString(made);
    EXPECT_EQ(made.LiveMallocs, 0) << ::testing::PrintToString(made);
    EXPECT_FALSE(scene.Run.Finished);
    EXPECT_EQ(scene.Run.InGame, GetParam() != Screen::Main) << "the scene left its screen";
}

INSTANTIATE_TEST_SUITE_P(Screens, ScreenAlloc, ::testing::ValuesIn(TestSupport::AllScreens),
                         ParamName);

using HelpAlloc = ScreenAlloc;

// Under the help page the game stands still; a frame makes one mosaic, with its scratch
// bitmap, and may format the page into a buffer of its own.
TEST_P(HelpAlloc, OverlayAllocatesOnlyItsPageAndMosaic) {
    Scene scene(GetParam(), true);
    Allocations made = TicksAndFrames(scene);
    EXPECT_TRUE(scene.Run.Manager->ShowHelp);
    EXPECT_LE(made.News, Frames) << ::testing::PrintToString(made);
    EXPECT_EQ(made.Bitmaps, Frames) << ::testing::PrintToString(made);
    EXPECT_EQ(made.LiveMallocs, 0) << ::testing::PrintToString(made);
}

INSTANTIATE_TEST_SUITE_P(Games, HelpAlloc, ::testing::ValuesIn(TestSupport::GameScreens),
                         ParamName);

TEST(EndScreenAlloc, AllocatesOnlyItsMosaic) {
    Scene scene(Screen::Main);
    TestSupport::EndRun(scene);
    AllocationCounter counter;
    for (int i = 0; i < Frames; ++i)
        GameShell::DrawEndScreen(scene.Run.Buffer, true);
    Allocations made = counter.Stop();
    EXPECT_EQ(made.News, 0) << ::testing::PrintToString(made);
    EXPECT_EQ(made.Bitmaps, Frames) << ::testing::PrintToString(made);
    EXPECT_EQ(made.LiveMallocs, 0) << ::testing::PrintToString(made);
}

TEST(MenuAlloc, PassDrawingAllocatesNothing) {
    Scene scene(Screen::Main);
    TestSupport::MenuScene menu(scene.Run.Manager->Factories);
    AllocationCounter counter;
    for (int i = 0; i < Frames; ++i)
        MiniGameManagement::MGMenu::DrawList(scene.Run.Buffer, menu.Infos, menu.Selected);
    Allocations made = counter.Stop();
    EXPECT_EQ(made.News, 0) << ::testing::PrintToString(made);
    EXPECT_EQ(made.Bitmaps, 0) << ::testing::PrintToString(made);
    EXPECT_EQ(made.LiveMallocs, 0) << ::testing::PrintToString(made);
}

// One GetChoice that lasts steps idle steps of the typist (each 1/200 s at least) before Down
// and Enter; its passes run meanwhile as fast as they can, drawing and copying to the screen.
Allocations ChoiceAllocations(int steps, int* choice) {
    std::atomic<int> ticks{0};
    std::vector<TestSupport::TypistStep> script(steps, TestSupport::TypistStep{{}, 1});
    script.push_back({{KEY_DOWN}, 1});
    script.push_back({{KEY_ENTER}, 1});
    MiniGameManagement::MGMenu menu(Scene(Screen::Main).Run.Manager->Factories);
    TestSupport::Typist typist(&ticks, script);
    AllocationCounter counter;
    *choice = menu.GetChoice(&ticks);
    Allocations made = counter.Stop();
    EXPECT_FALSE(typist.FellBack());
    return made;
}

// Opening the menu makes its games, their records, two lists and a page, and frees them all;
// how long it stays open, so how many passes it makes, must change nothing.
TEST(MenuAlloc, ChoiceAllocatesTheSameHoweverLongItIsOpen) {
    int quick = -1;
    int slow = -1;
    Allocations brief = ChoiceAllocations(0, &quick);
    Allocations open = ChoiceAllocations(50, &slow);
    EXPECT_EQ(quick, 1);
    EXPECT_EQ(slow, 1);
    EXPECT_GE(brief.News, 10) << "a game and a record per line";
    EXPECT_EQ(open.News, brief.News);
    EXPECT_EQ(brief.Bitmaps, 1);
    EXPECT_EQ(open.Bitmaps, 1);
    EXPECT_EQ(brief.LiveMallocs, 0) << ::testing::PrintToString(brief);
    EXPECT_EQ(open.LiveMallocs, 0) << ::testing::PrintToString(open);
}

}  // namespace
