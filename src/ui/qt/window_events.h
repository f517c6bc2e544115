// What every window needs from the one object that runs the logic's procedures.
#pragma once

#include <functional>

namespace kelvora::ui {

// Responsibilities:
// - run() calls a procedure of the logic, reports any exception it throws (never lets it reach
//   Qt), then brings every window up to date with the models.
class WindowEvents {
public:
    virtual ~WindowEvents() = default;
    virtual void run(const std::function<void()>& procedure) = 0;
};

} // namespace kelvora::ui
