#ifndef HALTWICK_BENCH_REFERENCES_H
#define HALTWICK_BENCH_REFERENCES_H

#include <string>
#include <vector>

#include "tests/support/scenes.h"

struct BITMAP;

// The game's screens drawn with nothing but the graphics library: the calls each frame makes,
// with the same formats, values and text lengths as the benchmark scenes, and no game object
// around them. A screen's cost over its reference is what the game's own code adds. Each
// function draws into an 800 x 600 16-bit bitmap as the game composes a frame, status lines
// included.
namespace Reference {

// The least a frame costs: clear_bitmap, and a full-frame blit into copy.
void Floor(BITMAP* target, BITMAP* copy);

// The train's screen. picture is the train's 550 x 120 picture: drawn once at start-up, so
// only its size and mask matter here.
void Main(BITMAP* target, BITMAP* picture);

// A help page laid out in 75-character lines, the most a line of the help box holds, hard
// blanks shown as blanks.
struct HelpPage {
    std::vector<std::string> Lines;
    HelpPage(const std::string& name, const std::string& help);
};

// A mini-game's screen with its title line naming name; with help, the help overlay over it.
void MiniGame(BITMAP* target, TestSupport::Screen game, const std::string& name,
              const HelpPage* help = nullptr);

// The chooser menu's page, third line selected.
void Menu(BITMAP* target);

// The end screen laid over whatever target holds.
void EndScreen(BITMAP* target);

}  // namespace Reference

#endif
