// Modal message boxes, the file-open dialog, the beep and the one nested event loop.
#pragma once

#include <functional>
#include <optional>
#include <string>

namespace kelvora::platform {

class Dialogs {
public:
    virtual ~Dialogs() = default;
    // Modal box with an OK button and the application's title.
    virtual void messageBox(const std::string& text) = 0;
    // The same text in a window that returns at once: for notices that must not hold the tick.
    virtual void notice(const std::string& text) = 0;
    // Modal Yes/No question; true for Yes.
    virtual bool askYesNo(const std::string& text, const std::string& title) = 0;
    virtual void beep() = 0;
    // File-open dialog; std::nullopt when the operator cancels.
    virtual std::optional<std::string> openFile(const std::string& title,
                                                const std::string& filter) = 0;
    // Runs window events (timer ticks and clicks included) while `condition` holds.
    virtual void processEventsWhile(const std::function<bool()>& condition) = 0;
};

} // namespace kelvora::platform
