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

class QCheckBox;
class QLabel;
class QLayout;
class QLineEdit;
class QPushButton;

namespace kelvora::ui {

struct Control;

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
    using Procedure = void (*)(Kelv&);
    struct ButtonRow;

protected:
    void closeEvent(QCloseEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void build();
    void buildMenus();
    QWidget* buildTracking(QWidget* central);
    QWidget* buildFrequencies(QWidget* central);
    QWidget* buildRotor(QWidget* central);
    QLayout* buildCommandButtons(QWidget* central);
    QLayout* buildStateRow(QWidget* central);
    QLayout* buildStatusRow(QWidget* central);
    // A widget bound to its control (named after it); the window keeps the binding.
    QLabel* label(const char* name, Control& control, QWidget* parent);
    QPushButton* button(const char* name, Control& control, Procedure procedure, QWidget* parent);
    QPushButton* button(const ButtonRow& row, QWidget* parent);
    QCheckBox* checkBox(const char* name, Control& control, Procedure procedure, QWidget* parent);
    QLineEdit* textBox(const char* name, Control& control, QWidget* parent);
    void recordGeometry();

    Kelv& m_k;
    WindowEvents& m_events;
    std::vector<std::function<void()>> m_bindings; // one per control: model -> widget
    bool m_trackGeometry = false;
};

} // namespace kelvora::ui
