// Tiling the windows on the screen.
#include "tracking/window_layout.h"

#include <algorithm>

namespace kelvora {

bool overlap(const WindowRect& a, const WindowRect& b) {
    return a.x < b.x + b.width && b.x < a.x + a.width && a.y < b.y + b.height &&
           b.y < a.y + a.height;
}

std::vector<WindowRect> tileWindows(const WindowRect& screen, std::span<const WindowSize> sizes,
                                    int gap) {
    std::vector<WindowRect> placed;
    int right = screen.x; // where the top row ends
    int topRowBottom = 0; // the lowest edge of the top row
    int columnBottom = 0; // where the first column ends
    int columnRight = 0;  // the first column's right edge
    for (const WindowSize& size : sizes) {
        auto fitted = [&size](int x, int y, int roomW, int roomH) {
            return WindowRect{x, y, std::max(size.minWidth, std::min(size.width, roomW)),
                              std::max(size.minHeight, std::min(size.height, roomH))};
        };
        WindowRect r;
        if (placed.empty()) {
            r = fitted(screen.x, screen.y, screen.width, screen.height);
            columnRight = r.x + r.width;
            columnBottom = r.y + r.height;
            topRowBottom = columnBottom;
            right = columnRight;
        } else {
            int roomRight = screen.x + screen.width - (right + gap);
            int roomBelow = screen.y + screen.height - (columnBottom + gap);
            // To the right while the window fits there at its least size, else below.
            if (roomRight >= size.minWidth && roomRight >= std::min(size.width, roomBelow)) {
                r = fitted(right + gap, screen.y, roomRight, screen.height);
                right = r.x + r.width;
                topRowBottom = std::max(topRowBottom, r.y + r.height);
            } else {
                int roomWidth = std::max(columnRight, right) - screen.x;
                r = fitted(screen.x, columnBottom + gap, roomWidth, roomBelow);
                // Not beside the windows of the top row that reach down this far.
                for (const WindowRect& other : placed) {
                    if (overlap(r, other)) {
                        r.width = std::max(size.minWidth, other.x - gap - r.x);
                    }
                }
                columnBottom = r.y + r.height;
            }
        }
        placed.push_back(r);
    }
    return placed;
}

} // namespace kelvora
