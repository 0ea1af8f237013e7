#include "bench/references.h"

#include <allegro.h>

#include <algorithm>

namespace Reference {

namespace {

using TestSupport::Screen;

const int LineChars = 75;  // the help box is 600 pixels of 8-pixel characters

// Text of n characters, as long as a row of the game's.
const char* Text(int n) {
    static const std::string Filler(200, 'x');
    return Filler.c_str() + Filler.size() - n;
}

int White() { return makecol(255, 255, 255); }
int Black() { return makecol(0, 0, 0); }

void StatusLines(BITMAP* target) {
    int th = text_height(font);
    textprintf_right_ex(target, font, SCREEN_W, 0, White(), Black(), "FPS: %d", 950);
    textprintf_right_ex(target, font, SCREEN_W, th, White(), Black(), "Time Left: %d:%02d", 4,
                        26);
    textprintf_right_ex(target, font, SCREEN_W, 2 * th, White(), Black(), "Speed: %d MPH", 120);
}

void Mosaic(BITMAP* target) {
    BITMAP* small = create_bitmap_ex(16, target->w / 3, target->h / 3);
    stretch_blit(target, small, 0, 0, target->w, target->h, 0, 0, small->w, small->h);
    stretch_blit(small, target, 0, 0, small->w, small->h, 0, 0, target->w, target->h);
    destroy_bitmap(small);
}

void CowBullBody(BITMAP* target) {
    int th = text_height(font);
    textprintf_ex(target, font, 50, 50, White(), Black(), "Guess:  %d %d %d %d", 5, 6, 0, 0);
    textprintf_ex(target, font, 50, 50, White(), -1, "        %c %c %c %c", ' ', ' ', '_', ' ');
    textprintf_ex(target, font, 25, 75, White(), Black(), "Previous Guesses:");
    int rows = (SCREEN_H - 100) / th;
    for (int r = 0; r < rows; ++r)
        textprintf_ex(target, font, 40, 90 + r * th, White(), Black(),
                      "Guess %d: %04d   Cows: %d  Bulls: %d", 80 - r, 1357 + r, 1, 0);
}

void NumberLoopBody(BITMAP* target) {
    int th = text_height(font);
    int cx = target->w / 2;
    textprintf_centre_ex(target, font, cx, 20, White(), Black(), "           %02d           ", 0);
    for (int r = 1; r <= 5; ++r)
        textprintf_centre_ex(target, font, cx, 20 + r * th, White(), Black(), "%s", Text(23));
    const char* row = " %02d %02d %02d %02d %02d %02d %02d %02d %02d";
    textprintf_centre_ex(target, font, cx, 20 + 6 * th, White(), Black(), row, 1, 2, 3, 4, 5, 6,
                         7, 8, 9);
    textprintf_centre_ex(target, font, cx, 20 + 7 * th, White(), Black(),
                         "%02d                         %02d", 10, 11);
    textprintf_centre_ex(target, font, cx, 20 + 8 * th, White(), Black(), row, 20, 19, 18, 17,
                         16, 15, 14, 13, 12);
}

void GameBody(BITMAP* target, Screen game) {
    switch (game) {
    case Screen::Main:
        break;
    case Screen::Alphabet:
        textprintf_ex(target, font, 15, 15, White(), -1, "Current Letter: %c", 'm');
        break;
    case Screen::Arrows:
        textprintf_ex(target, font, 15, 15, White(), -1, "Arrow %d: %s", 7, "Down");
        break;
    case Screen::CowBull:
        CowBullBody(target);
        break;
    case Screen::NumberLoop:
        NumberLoopBody(target);
        break;
    case Screen::QuickMath:
        textprintf_ex(target, font, 15, 15, White(), -1, "Current Problem: %s = %d", "123 + 45",
                      16);
        break;
    }
}

void Help(BITMAP* target, const HelpPage& page) {
    Mosaic(target);
    int th = text_height(font);
    int y = 100;
    for (const std::string& line : page.Lines) {
        textout_ex(target, font, line.c_str(), 100, y, White(), Black());
        rectfill(target, 100 + text_length(font, line.c_str()), y, 700, y + th, Black());
        y += th;
    }
    rect(target, 90, 90, SCREEN_W - 90, y + 10, makecol(128, 64, 128));
}

}  // namespace

void Floor(BITMAP* target, BITMAP* copy) {
    clear_bitmap(target);
    blit(target, copy, 0, 0, 0, 0, SCREEN_W, SCREEN_H);
}

void Main(BITMAP* target, BITMAP* picture) {
    int th = text_height(font);
    clear_bitmap(target);
    masked_blit(picture, target, 0, 0, SCREEN_W - picture->w, 50, picture->w, picture->h);
    textprintf_ex(target, font, 0, 50 + 15 * th, makecol(128, 64, 0), Black(), "%s", Text(147));
    for (int i = 0; i < 6; ++i)
        textprintf_ex(target, font, 0, 50 + (20 + i) * th, White(), Black(), "%s", Text(75));
    const int infoLength[6] = {100, 97, 84, 99, 95, 85};
    const int infoRow[6] = {20, 21, 22, 23, 24, 27};
    for (int i = 0; i < 6; ++i)
        textprintf_ex(target, font, 0, 110 + infoRow[i] * th,
                      i == 3 || i == 4 ? makecol(255, 255, 0) : White(), Black(), "%s",
                      Text(infoLength[i]));
    StatusLines(target);
}

HelpPage::HelpPage(const std::string& name, const std::string& help) {
    std::string text = "Help for " + name + "\n\n" + help +
                       "\n\nPress any key (except F1 or Escape) to continue...\n";
    std::replace(text.begin(), text.end(), '\xB7', ' ');
    size_t start = 0;
    for (size_t end = text.find('\n'); end != std::string::npos; end = text.find('\n', start)) {
        std::string line = text.substr(start, end - start);
        do {
            Lines.push_back(line.substr(0, LineChars));
            line.erase(0, LineChars);
        } while (!line.empty());
        start = end + 1;
    }
}

void MiniGame(BITMAP* target, Screen game, const std::string& name, const HelpPage* help) {
    clear_bitmap(target);
    GameBody(target, game);
    textprintf_ex(target, font, 0, 0, White(), Black(), "Mini Game: %s", name.c_str());
    if (help)
        Help(target, *help);
    StatusLines(target);
}

void Menu(BITMAP* target) {
    const char* const names[5] = {"Alphabet - Worth 10 MPH", "Arrows - Worth 10 MPH",
                                  "Cows and Bulls - Worth 55 MPH", "Number Loop - Worth 80 MPH",
                                  "Quick Math - Worth 25 MPH"};
    int th = text_height(font);
    clear_bitmap(target);
    for (int i = 0; i < 5; ++i)
        textprintf_ex(target, font, 15, 15 + i * th, White(), Black(), "%s %s",
                      i == 2 ? "-->" : "  ", names[i]);
}

void EndScreen(BITMAP* target) {
    const char* win = "Congratulations! You have stopped the train! You win!";
    int th = text_height(font);
    Mosaic(target);
    int w = text_length(font, win);
    int cx = SCREEN_W / 2;
    int cy = SCREEN_H / 2;
    rectfill(target, cx - w / 2, cy - 2 * th, cx + w / 2, cy + 2 * th, makecol(47, 158, 249));
    textprintf_centre_ex(target, font, cx, cy - th, White(), -1, "%s", win);
    textprintf_centre_ex(target, font, cx, cy + th, White(), -1, "Press any key to exit.");
}

}  // namespace Reference
