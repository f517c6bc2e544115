// The program entry: answers the command lines that open no window (help, version, ephemeris,
// the pass plan, the calibration demo, mistakes) before any window system is touched, then hands
// the rest to runKelvora, which creates the platform objects and the windows and runs the event
// loop.
#include "app/command_line.h"
#include "app/run_kelvora.h"
#include "astro/ephemeris_command.h"

#include <QApplication>

#include <clocale>

#include <cstdio>
#include <cstdlib>

int main(int argc, char* argv[]) {
    using Action = kelvora::app::CommandLine::Action;
    QStringList arguments;
    for (int i = 0; i < argc; ++i) {
        arguments << QString::fromLocal8Bit(argv[i]);
    }
    const kelvora::app::CommandLine command = kelvora::app::parseCommandLine(arguments);
    switch (command.action) {
    case Action::Help:
    case Action::Version:
        std::fputs(command.text.c_str(), stdout);
        return 0;
    case Action::Error:
        std::fputs(command.text.c_str(), stderr);
        return 2;
    case Action::Ephemeris: {
        const kelvora::astro::CommandResult result =
            kelvora::astro::runEphemerisCommand(command.ephemeris);
        std::fputs(result.output.c_str(), stdout);
        std::fputs(result.error.c_str(), stderr);
        return result.exitCode;
    }
    case Action::Plan: {
        const kelvora::astro::CommandResult result = kelvora::plan::runPlanCommand(command.plan);
        std::fputs(result.output.c_str(), stdout);
        std::fputs(result.error.c_str(), stderr);
        return result.exitCode;
    }
    case Action::DemoCalibration: {
        const kelvora::astro::CommandResult result =
            kelvora::calibration::runCalibrationDemo(command.demoCalibration);
        std::fputs(result.output.c_str(), stdout);
        std::fputs(result.error.c_str(), stderr);
        return result.exitCode;
    }
    case Action::Run:
        break;
    }
    // Before the program folder is chosen, which reads it.
    if (command.home) {
        ::setenv("KELVORA_HOME", command.home->c_str(), 1);
    }
    QApplication app(argc, argv);
    // Qt takes the user's locale for the C library too; the device bytes, the settings file and
    // the messages format numbers with a point, and the user's separators come from QLocale.
    std::setlocale(LC_NUMERIC, "C");
    QApplication::setApplicationName("Kelvora");
    kelvora::app::LaunchOptions options;
    options.commandLine = command.commandLine;
    options.demo = command.demo;
    return kelvora::app::runKelvora(app, options);
}
