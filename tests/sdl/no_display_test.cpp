#include <cstdlib>

#include <gtest/gtest.h>

#include "zorkit/platform/sdl/OnScreen.h"

namespace {

// A host falls back to files without a display; a session it cannot show must not start.
TEST(ScreenSessionWithoutDisplay, StartReturnsNull)
{
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    unsetenv("SDL_VIDEODRIVER");
    EXPECT_EQ(zorkit::ScreenSession::Start(), nullptr) << "no desktop to show windows on";
}

}
