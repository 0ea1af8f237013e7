// The one entry of every unit test binary: brings up a private X server and the graphics
// library as the game does (keyboard, timer, 800 x 600 16-bit window), then runs the tests.
#include <gtest/gtest.h>

#include <cstdio>

#include "tests/support/display.h"

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    TestSupport::GameDisplay display;
    if (!display.Error.empty()) {
        std::fprintf(stderr, "%s\n", display.Error.c_str());
        return 1;
    }
    return RUN_ALL_TESTS();
}
