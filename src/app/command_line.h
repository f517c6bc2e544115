// The program's command line: what it asks for, read without creating the application object so
// that the answers that open no window need no display.
#pragma once

#include "astro/ephemeris_command.h"
#include "calibration/calibration_demo.h"
#include "plan/plan_command.h"

#include <QStringList>

#include <optional>
#include <string>

namespace kelvora::app {

struct CommandLine {
    enum class Action { Run, Help, Version, Ephemeris, Plan, DemoCalibration, Error };
    Action action = Action::Run;
    std::string commandLine;         // Run: the positional arguments joined by blanks ("T" traces)
    bool demo = false;               // Run: the try-it mode
    std::optional<std::string> home; // Run: the program folder, as KELVORA_HOME names it
    astro::EphemerisRequest ephemeris;
    plan::PlanCommandRequest plan; // Plan: the place options are in plan.place
    calibration::DemoRequest demoCalibration;
    std::string text; // Help: the help; Version: the version line; Error: the message
};

// `arguments` as main() receives them, the program's path first. Qt's own window options
// (-platform, -style, ...) are accepted and left to the application object.
CommandLine parseCommandLine(const QStringList& arguments);

} // namespace kelvora::app
