// The Qt windows of the program.
#pragma once

#include <QApplication>

#include <string>

namespace kelvora::ui {

// Builds the platform objects and the windows, runs Form_Load and the event loop.
int runKelvora(QApplication& app, const std::string& commandLine);

} // namespace kelvora::ui
