// Where the windows go on a first start and in the try-it mode: side by side, none covering
// another, all on the screen.
#pragma once

#include <span>
#include <vector>

namespace kelvora {

struct WindowRect {
    int x = 0, y = 0, width = 0, height = 0;
    friend bool operator==(const WindowRect&, const WindowRect&) = default;
};

struct WindowSize {
    int width = 0, height = 0;       // the size it would like, frame included
    int minWidth = 0, minHeight = 0; // the least it can be
};

// The first window (the main window) at the top left; each next one to the right of the windows
// of the top row while it fits there, else below the first column's windows. A window that does
// not fit in the room left is made smaller, down to its least size; `gap` pixels between them.
std::vector<WindowRect> tileWindows(const WindowRect& screen, std::span<const WindowSize> sizes,
                                    int gap = 8);

bool overlap(const WindowRect& a, const WindowRect& b);

} // namespace kelvora
