// The program entry: hands the command line to runKelvora, which creates the platform objects
// and the windows and runs the event loop.
#include "ui/qt/main_window.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("Kelvora");
    kelvora::ui::LaunchOptions options;
    for (int i = 1; i < argc; ++i) {
        options.commandLine += (i > 1 ? " " : "") + std::string(argv[i]);
    }
    return kelvora::ui::runKelvora(app, options);
}
