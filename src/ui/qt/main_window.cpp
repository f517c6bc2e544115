// Placeholder until the windows land.
#include "ui/qt/main_window.h"

namespace kelvora::ui {

int runKelvora(QApplication& app, const std::string& /*commandLine*/) { return app.exec(); } // TODO(ui)

} // namespace kelvora::ui
