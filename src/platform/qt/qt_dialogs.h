// Message boxes, the file-open dialog, the beep and the nested event loop on Qt Widgets.
#pragma once

#include "platform/dialogs.h"

#include <functional>

class QWidget;

namespace kelvora::platform {

class QtDialogs : public Dialogs {
public:
    void messageBox(const std::string& text) override;
    void notice(const std::string& text) override;
    bool askYesNo(const std::string& text, const std::string& title) override;
    void beep() override;
    std::optional<std::string> openFile(const std::string& title,
                                        const std::string& filter) override;
    void processEventsWhile(const std::function<bool()>& condition) override;

    // The window the boxes belong to, and what brings the windows up to date before a wait.
    QWidget* parent = nullptr;
    std::function<void()> beforeWait;
};

// ".dat Files (*.dat)|*.dat|All Files (*.*)|*.*" as Qt writes a filter.
std::string qtFileFilter(const std::string& filter);

} // namespace kelvora::platform
