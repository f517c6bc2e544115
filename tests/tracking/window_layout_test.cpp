// The windows of a first start and of the try-it mode, tiled: none covers another, all on screen.
#include "tracking/window_layout.h"

#include <gtest/gtest.h>

namespace kelvora {
namespace {

TEST(WindowLayout, NoWindowCoversAnotherAndAllStayOnTheScreen) {
    // Main window, sky view, Doppler window, settings dialog: sizes as the windows ask for them.
    const WindowSize main{660, 330, 560, 300}, sky{520, 560, 240, 240}, doppler{300, 250, 260, 200},
        settings{760, 700, 700, 420};
    const struct {
        WindowRect screen;
        std::vector<WindowSize> windows;
    } cases[] = {
        {{0, 0, 1366, 768}, {main, sky, doppler}},  {{0, 0, 1366, 768}, {main, settings}},
        {{0, 27, 1366, 741}, {main, sky, doppler}}, // below a panel
        {{0, 0, 1280, 1024}, {main, sky, doppler}}, {{0, 0, 1024, 600}, {main, sky, doppler}},
    };
    for (const auto& c : cases) {
        std::vector<WindowRect> placed = tileWindows(c.screen, c.windows);
        ASSERT_EQ(placed.size(), c.windows.size());
        for (std::size_t i = 0; i < placed.size(); ++i) {
            const WindowRect& r = placed[i];
            EXPECT_GE(r.width, c.windows[i].minWidth);
            EXPECT_GE(r.height, c.windows[i].minHeight);
            EXPECT_GE(r.x, c.screen.x);
            EXPECT_GE(r.y, c.screen.y);
            EXPECT_LE(r.x + r.width, c.screen.x + c.screen.width) << c.screen.width << " " << i;
            EXPECT_LE(r.y + r.height, c.screen.y + c.screen.height) << c.screen.height << " " << i;
            for (std::size_t j = 0; j < i; ++j) {
                EXPECT_FALSE(overlap(r, placed[j])) << c.screen.width << ": " << i << " " << j;
            }
        }
    }
    // Room enough: every window at the size it asks for, the main window where it is expected.
    std::vector<WindowRect> wide = tileWindows({0, 0, 1920, 1080}, std::vector{main, sky, doppler});
    EXPECT_EQ(wide[0], (WindowRect{0, 0, 660, 330}));
    EXPECT_EQ(wide[1], (WindowRect{668, 0, 520, 560}));
    EXPECT_EQ(wide[2], (WindowRect{1196, 0, 300, 250}));
}

} // namespace
} // namespace kelvora
