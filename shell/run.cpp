#include "shell/run.h"

#include <allegro.h>

#include <chrono>
#include <thread>

#include "framework/mgmenu.h"
#include "framework/minigamemanager.h"
#include "gfx/frame.h"
#include "gfx/misc.h"
#include "minigames/alphabet.h"
#include "minigames/arrows.h"
#include "minigames/cowbull.h"
#include "minigames/numberloop.h"
#include "minigames/quickmath.h"
#include "shell/clock.h"
#include "shell/desktop.h"
#include "shell/presenter.h"
#include "shell/window.h"

namespace GameShell {

namespace {

const char WinMessage[] = "Congratulations! You have stopped the train! You win!";
const char LoseMessage[] = "Aww! You did not stop the train! You lose!";

bool CtrlHeld() { return key_shifts & KB_CTRL_FLAG; }

using Clock = std::chrono::steady_clock;

// A frame still drawing when a tick comes holds that tick back, and the keys it takes, until
// the frame ends. So a frame that would take longer than the next tick has left to come waits
// for the tick instead, at most as long as the frame would have taken; the window's events
// that came meanwhile are then taken in, so the tick sees their keys.
void AwaitTickBefore(Clock::duration frame) {
    Clock::time_point now = Clock::now();
    Clock::time_point due = Clock::time_point(Clock::duration(LastTick.load())) +
                            std::chrono::microseconds(1000000 / TicksPerSecond);
    if (now + frame <= due)
        return;
    while (GameTime == 0 && !Desktop::QuitRequested && Clock::now() < now + frame)
        std::this_thread::yield();
    Window::Service();
}

}  // namespace

Run::Run(BITMAP* buffer) : Buffer(buffer), Manager(new MiniGameManagement::MiniGameManager) {
    // Registration order is the chooser menu's order and NewMiniGame(int)'s index.
    Manager->RegisterMiniGame(MiniGames::Alphabet::Factory);
    Manager->RegisterMiniGame(MiniGames::Arrows::Factory);
    Manager->RegisterMiniGame(MiniGames::CowBull::Factory);
    Manager->RegisterMiniGame(MiniGames::NumberLoop::Factory);
    Manager->RegisterMiniGame(MiniGames::QuickMath::Factory);
    // Never shown: the first Home or Tab ends it unseen.
    Manager->NewMiniGame();
}

Run::~Run() {
    delete Manager;
    destroy_bitmap(Buffer);
}

int Run::TimeLeft() const { return TimeLimit - SElapsed; }

void Run::Tick() {
    poll_keyboard();

    if (InGame) {
        TimerActive = !Manager->ShowHelp;
        Manager->Tick(TimeLeft());
        if (!Manager->GameActive && Manager->LastWon) {
            Train.Speed -= Manager->LastReward / 2;
            TimerActive = true;
            InGame = false;
        }
    }

    if (key[KEY_ESC])
        Finished = true;
    Train.Tick();
    if (CtrlHeld() && key[KEY_UP] && Train.Speed <= 99)
        Train.Speed++;
    if (CtrlHeld() && key[KEY_DOWN] && Train.Speed > 0)
        Train.Speed--;

    if (key[KEY_HOME] && !InGame) {
        InGame = true;
        Manager->NewMiniGame();
    }
    if (key[KEY_TAB] && !InGame) {
        InGame = true;
        TimerActive = false;
        MiniGameManagement::MGMenu menu(Manager->Factories);
        menu.Present = Presenter::Present;
        int choice = menu.GetChoice(&GameTime);
        // Left by a quit: no game starts, and the loop draws nothing more.
        InGame = choice >= 0;
        Manager->NewMiniGame(choice);
        TimerActive = true;
    }
    if (key[KEY_END] && InGame) {
        InGame = false;
        TimerActive = true;
        Manager->EndMiniGame();
        SElapsed += 30;
    }

    if (TimeLeft() <= 0) {
        Finished = true;
        Won = false;
    }
    // Checked last: a train stopping in the tick the time runs out still wins.
    if (Train.Speed <= 0) {
        Finished = true;
        Won = true;
    }
}

void Run::ComposeFrame() {
    clear_bitmap(Buffer);
    if (InGame)
        Manager->Draw(Buffer);
    else
        Train.Draw(Buffer, 0, 50, Misc::FrameWidth);

    int th = text_height(font);
    int white = makecol(255, 255, 255);
    int black = makecol(0, 0, 0);
    // One reading of the clock, so minutes and seconds always agree.
    int left = TimeLeft();
    textprintf_right_ex(Buffer, font, Misc::FrameWidth, 0, white, black, "FPS: %d", FPS.load());
    textprintf_right_ex(Buffer, font, Misc::FrameWidth, th, white, black, "Time Left: %d:%02d",
                        left / 60, left % 60);
    textprintf_right_ex(Buffer, font, Misc::FrameWidth, 2 * th, white, black, "Speed: %d MPH",
                        2 * Train.Speed);
}

void MainLoop(Run& run) {
    while (!run.Finished) {
        // Every pending tick runs, even after one of them finished the run; after a quit was
        // asked for, from the chooser menu too, nothing more runs or is drawn.
        while (GameTime > 0 && !Desktop::QuitRequested) {
            run.Tick();
            GameTime--;
        }
        if (Desktop::QuitRequested)
            return;
        Clock::time_point start = Clock::now();
        run.ComposeFrame();
        bool stay = Presenter::Present(run.Buffer);
        CurFPS++;
        if (!stay)
            run.Finished = true;
        else
            AwaitTickBefore(Clock::now() - start);
    }
}

void DrawEndScreen(BITMAP* bmp, bool won) {
    Misc::Obscure(bmp);
    int th = text_height(font);
    int white = makecol(255, 255, 255);
    // The winning message sizes the box for both outcomes.
    int w = text_length(font, WinMessage);
    int cx = Misc::FrameWidth / 2;
    int cy = Misc::FrameHeight / 2;
    rectfill(bmp, cx - w / 2, cy - 2 * th, cx + w / 2, cy + 2 * th, makecol(47, 158, 249));
    textprintf_centre_ex(bmp, font, cx, cy - th, white, -1, "%s", won ? WinMessage : LoseMessage);
    textprintf_centre_ex(bmp, font, cx, cy + th, white, -1, "Press any key to exit.");
}

void EndScreen(Run& run) {
    DrawEndScreen(run.Buffer, run.Won);
    // Any key exits here, the scale and fullscreen keys too.
    Presenter::TakeKeys(false);
    Presenter::Show(run.Buffer);
    // Keys held or typed as the run ended must not close the screen unseen: no more repeats of
    // a key held down (the library makes them itself on Windows), and nothing typed before.
    set_keyboard_rate(0, 0);
    rest(200);
    clear_keybuf();
    // Polled rather than readkey(), which would sleep through a close request or a signal.
    while (!keypressed()) {
        if (!Presenter::Keep(run.Buffer))
            return;
        rest(10);
    }
    readkey();
}

}  // namespace GameShell
