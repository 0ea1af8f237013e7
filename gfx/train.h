#ifndef HALTWICK_GFX_TRAIN_H
#define HALTWICK_GFX_TRAIN_H

struct BITMAP;

namespace TrainSys {

// The runaway train: holds its speed, animates the track and draws the main screen (picture,
// track, title banner, introduction). Needs the graphics mode set before construction.
// The shell owns one for the whole run.
class Train {
public:
    int Distance = 0;           // 0..400 after each Tick; its hundreds digit is the track phase
    int Speed = 75;             // units of 2 MPH; the shell shows it doubled
    BITMAP* Picture = nullptr;  // owned; 550 x 15 text rows, magenta where transparent

    Train();
    ~Train();
    Train(const Train&) = delete;
    Train& operator=(const Train&) = delete;

    // Advances the track by one 1/100 s logic tick.
    void Tick();
    // Draws the main screen with its top-left at (x, y). The picture is placed against the
    // right edge of the screen, so w changes nothing.
    void Draw(BITMAP* bmp, int x, int y, int w);
};

}  // namespace TrainSys

#endif
