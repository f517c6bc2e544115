// The main window frmKelv on Qt Widgets.
#pragma once

#include "tracking/startup.h"
#include "ui/qt/window_events.h"

#include <QMainWindow>

#include <functional>
#include <string>
#include <vector>

namespace kelvora {
struct Kelv;
}

namespace kelvora::ui {

// Responsibilities:
// - One widget per control of the main-window model, named after it; sync() shows the model.
// - Clicks and edits go to the logic through WindowEvents::run.
// - Keeps the model's geometry (twips) in step with the window once trackGeometry() was called.
class MainWindow : public QMainWindow {
public:
    MainWindow(Kelv& k, WindowEvents& events);

    void sync();
    // Moves and sizes the window as the model says, then follows moves and resizes.
    void applyGeometry();
    // Called by the close box (or close()) before the window goes; the window then closes.
    std::function<void()> onClose;

    static constexpr double kTwipsPerPixel = 15;

protected:
    void closeEvent(QCloseEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void build();
    void recordGeometry();

    Kelv& m_k;
    WindowEvents& m_events;
    std::vector<std::function<void()>> m_bindings; // one per control: model -> widget
    bool m_trackGeometry = false;
};

} // namespace kelvora::ui
