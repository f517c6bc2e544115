// The program's wiring: the platform objects, the try-it mode, the main window's logic and the
// windows, then the event loop.
#pragma once

#include <QApplication>

#include <string>

namespace kelvora::app {

// How the program was started, as the command line gave it.
struct LaunchOptions {
    std::string commandLine; // the arguments Form_Load sees ("T" traces)
    bool demo = false;       // try-it mode: simulated devices in a temporary program folder
};

// Builds the platform objects and the windows, runs Form_Load and the event loop.
int runKelvora(QApplication& app, const LaunchOptions& options);

} // namespace kelvora::app
