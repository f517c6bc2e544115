// The Plan window: the next 24 hours of the tracked body for the station, the windows above the
// horizon mask and inside the limits, the path each is flown on, and the common windows with a
// DX station, drawn with QPainter from the logic's plan.
#pragma once

#include "plan/pass_plan.h"

#include <QWidget>

#include <optional>
#include <string>

class QTimer;

namespace kelvora {
struct Kelv;
}

namespace kelvora::ui {

// What the window draws: the plan and the words around it.
struct PlanPicture {
    std::optional<plan::PassPlan> plan; // none: the station's place is not set
    std::string body;                   // "Moon"
    std::string dxLocator;              // empty: no DX station
};

// Responsibilities:
// - Makes the plan when it is shown and once a minute while it stays open.
// - Paints the elevation against time, the mask under it, the windows and their paths.
class PlanWindow : public QWidget {
public:
    PlanWindow(Kelv& k, QWidget* parent);
    // Shows the window with a fresh plan.
    void open();
    // Draws a picture on any paint device of the given size (the window, or an image).
    static void paintPlan(QPainter& painter, QSize size, const PlanPicture& picture);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void refresh();

    Kelv& m_k;
    QTimer* m_timer;
    PlanPicture m_picture;
};

} // namespace kelvora::ui
