#include "app/command_line.h"

#include "state/build_info.h"

#include <QCommandLineParser>

#include <array>
#include <utility>

namespace kelvora::app {

namespace {

// The ephemeris options besides --ephemeris itself, and where each value goes.
using RequestField = std::optional<std::string> astro::EphemerisRequest::*;
constexpr std::array<std::pair<const char*, RequestField>, 5> kEphemerisFields{{
    {"lat", &astro::EphemerisRequest::latitude},
    {"lon", &astro::EphemerisRequest::longitude},
    {"locator", &astro::EphemerisRequest::locator},
    {"height", &astro::EphemerisRequest::height},
    {"utc", &astro::EphemerisRequest::utc},
}};

// The calibration demo's options besides --demo-calibration itself.
using DemoField = std::optional<std::string> calibration::DemoRequest::*;
constexpr std::array<std::pair<const char*, DemoField>, 4> kDemoFields{{
    {"az-error", &calibration::DemoRequest::azError},
    {"el-error", &calibration::DemoRequest::elError},
    {"beam", &calibration::DemoRequest::beam},
    {"seed", &calibration::DemoRequest::seed},
}};

// The options QGuiApplication and QApplication take from the command line themselves.
constexpr std::array<const char*, 13> kQtValueOptions{
    "platform",    "platformpluginpath", "platformtheme",
    "plugin",      "qmljsdebugger",      "qwindowgeometry",
    "qwindowicon", "qwindowtitle",       "session",
    "display",     "geometry",           "style",
    "stylesheet"};
constexpr std::array<const char*, 2> kQtFlagOptions{"reverse", "widgetcount"};

CommandLine failure(const QString& message) {
    CommandLine result;
    result.action = CommandLine::Action::Error;
    result.text = "kelvora: " + message.toStdString() + "\nTry 'kelvora --help' for the options.\n";
    return result;
}

QCommandLineOption hidden(QCommandLineOption option) {
    option.setFlags(QCommandLineOption::HiddenFromHelp);
    return option;
}

constexpr std::array<const char*, 3> kPlanOnly{"hours", "dx-locator", "dx-el-min"};

std::optional<std::string> valueOf(const QCommandLineParser& parser, const QString& name) {
    if (!parser.isSet(name)) {
        return std::nullopt;
    }
    return parser.value(name).toStdString();
}

// --plan with its options; it prints and opens no window.
CommandLine planCommand(const QCommandLineParser& parser, const QCommandLineOption& plan,
                        const QString& positional) {
    if (!positional.isEmpty() || parser.isSet("demo") || parser.isSet("ephemeris")) {
        return failure("--plan prints the windows and opens no window; '" +
                       (!positional.isEmpty()       ? positional
                        : parser.isSet("ephemeris") ? QString("--ephemeris")
                                                    : QString("--demo")) +
                       "' does not go with it.");
    }
    CommandLine result;
    result.action = CommandLine::Action::Plan;
    result.plan.place.body = parser.value(plan).toStdString();
    for (const auto& [name, field] : kEphemerisFields) {
        result.plan.place.*field = valueOf(parser, name);
    }
    result.plan.hours = valueOf(parser, "hours");
    result.plan.dxLocator = valueOf(parser, "dx-locator");
    result.plan.dxElMin = valueOf(parser, "dx-el-min");
    result.plan.home = valueOf(parser, "home");
    return result;
}

void addDemoCalibrationOptions(QCommandLineParser& parser) {
    parser.addOption(QCommandLineOption(
        "demo-calibration",
        "Run a pointing scan and fit on SOURCE (Sun, Moon, \"Cas A\", ...) with a simulated "
        "rotor and receiver, print \"az_offset el_offset beam sun_noise_db\", and end.",
        "SOURCE"));
    parser.addOption(QCommandLineOption(
        "az-error", "--demo-calibration: the simulated rotor's hidden azimuth error.", "DEG"));
    parser.addOption(QCommandLineOption(
        "el-error", "--demo-calibration: the simulated rotor's hidden elevation error.", "DEG"));
    parser.addOption(
        QCommandLineOption("beam", "--demo-calibration: the half-power beamwidth (3).", "DEG"));
    parser.addOption(
        QCommandLineOption("seed", "--demo-calibration: the receiver noise's seed (1).", "N"));
}

// --demo-calibration and its options; an error for one of its options without it; std::nullopt
// when neither is given.
std::optional<CommandLine> demoCalibrationOf(const QCommandLineParser& parser) {
    if (parser.isSet("demo-calibration")) {
        CommandLine result;
        result.action = CommandLine::Action::DemoCalibration;
        result.demoCalibration.source = parser.value("demo-calibration").toStdString();
        for (const auto& [name, field] : kDemoFields) {
            if (parser.isSet(name)) {
                result.demoCalibration.*field = parser.value(name).toStdString();
            }
        }
        return result;
    }
    for (const auto& [name, field] : kDemoFields) {
        if (parser.isSet(name)) {
            return failure(QString("--%1 goes with --demo-calibration.").arg(name));
        }
    }
    return std::nullopt;
}

// --ephemeris with its options; it prints and opens no window.
CommandLine ephemerisCommand(const QCommandLineParser& parser, const QCommandLineOption& ephemeris,
                             const QStringList& positional) {
    if (!positional.isEmpty() || parser.isSet("demo")) {
        return failure("--ephemeris prints a position and opens no window; '" +
                       (positional.isEmpty() ? QString("--demo") : positional.first()) +
                       "' does not go with it.");
    }
    CommandLine result;
    result.action = CommandLine::Action::Ephemeris;
    result.ephemeris.body = parser.value(ephemeris).toStdString();
    for (const auto& [name, field] : kEphemerisFields) {
        if (parser.isSet(name)) {
            result.ephemeris.*field = parser.value(name).toStdString();
        }
    }
    return result;
}

// An option of --ephemeris or --plan given without it.
std::optional<CommandLine> misplacedOption(const QCommandLineParser& parser) {
    for (const auto& [name, field] : kEphemerisFields) {
        if (parser.isSet(name)) {
            return failure(QString("--%1 goes with --ephemeris or --plan.").arg(name));
        }
    }
    for (const char* name : kPlanOnly) {
        if (parser.isSet(name)) {
            return failure(QString("--%1 goes with --plan.").arg(name));
        }
    }
    return std::nullopt;
}

} // namespace

CommandLine parseCommandLine(const QStringList& arguments) {
    QCommandLineParser parser;
    // Qt's window options are written with one dash ("-platform offscreen").
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(
        "Kelvora: tracking controller for Moon and Sun work (EME). It reads azel.dat as WSJT-X "
        "or MAP65 write it and drives the rotator, the transceiver's CAT, Linrad and PTT.\n"
        "Kelvora.ini, rotor.dat and Trace.txt live in the program folder: --home, else "
        "$KELVORA_HOME, else the program's own folder when writable, else "
        "$XDG_CONFIG_HOME/Kelvora (~/.config/Kelvora).");
    const QCommandLineOption help({"h", "help"}, "Show these options and end.");
    const QCommandLineOption version({"v", "version"},
                                     "Show the version and the commit it was built from, and end.");
    const QCommandLineOption home("home", "Use DIR as the program folder (as KELVORA_HOME does).",
                                  "DIR");
    const QCommandLineOption demo("demo", "Try Kelvora out: simulated devices, the built-in Moon, "
                                          "a temporary program folder; your settings stay as "
                                          "they are.");
    const QCommandLineOption ephemeris(
        "ephemeris",
        "Print where BODY (Moon, Sun, \"Cas A\", \"Cyg A\", \"Tau A\" or \"Vir A\") stands, "
        "as \"azimuth elevation\" in degrees, "
        "and end. Needs --utc and --locator or --lat and --lon.",
        "BODY");
    const QCommandLineOption plan(
        "plan",
        "Print the windows of BODY (Moon or Sun) above the horizon mask and inside the limits, "
        "one \"start end highest\" line each (UTC, degrees), and end. Needs --utc and --locator "
        "or --lat and --lon; --home takes the mask, limits and range from that folder.",
        "BODY");
    const QCommandLineOption lat(
        "lat", "--ephemeris, --plan: the station's latitude, degrees north.", "DEG");
    const QCommandLineOption lon(
        "lon", "--ephemeris, --plan: the station's longitude, degrees east.", "DEG");
    const QCommandLineOption locator(
        "locator",
        "--ephemeris, --plan: the station's Maidenhead locator instead of --lat and --lon.", "LOC");
    const QCommandLineOption height(
        "height", "--ephemeris, --plan: the station's height in metres (0).", "M");
    const QCommandLineOption utc("utc", "--ephemeris: the time; --plan: the start. UTC.",
                                 "YYYY-MM-DDTHH:MM:SS");
    const QCommandLineOption hours("hours", "--plan: how many hours are planned (24).", "H");
    const QCommandLineOption dxLocator(
        "dx-locator", "--plan: the DX station's locator; the lines are then the common windows.",
        "LOC");
    const QCommandLineOption dxElMin(
        "dx-el-min", "--plan: the DX station's lowest useful elevation, degrees (0).", "DEG");
    parser.addOptions({help, version, home, demo, ephemeris, plan, lat, lon, locator, height, utc,
                       hours, dxLocator, dxElMin});
    addDemoCalibrationOptions(parser);
    for (const char* name : kQtValueOptions) {
        parser.addOption(hidden(QCommandLineOption(name, {}, "value")));
    }
    for (const char* name : kQtFlagOptions) {
        parser.addOption(hidden(QCommandLineOption(name)));
    }
    parser.addPositionalArgument("T", "Write the diagnostic trace Trace.txt.", "[T]");

    if (!parser.parse(arguments)) {
        return failure(parser.errorText());
    }
    CommandLine result;
    if (parser.isSet(help)) {
        // The usage line names the program as it is installed, however it was started.
        std::string text = parser.helpText().toStdString();
        std::size_t end = text.find('\n');
        text.replace(0, end, "Usage: kelvora [options] [T]");
        result.action = CommandLine::Action::Help;
        result.text = text;
        return result;
    }
    if (parser.isSet(version)) {
        result.action = CommandLine::Action::Version;
        result.text = "Kelvora " + std::string(projectVersion()) + " (" +
                      std::string(releaseDate()) + ", commit " + std::string(buildCommit()) + ")\n";
        return result;
    }
    const QStringList positional = parser.positionalArguments();
    if (parser.isSet(plan)) {
        return planCommand(parser, plan, positional.isEmpty() ? QString() : positional.first());
    }
    if (parser.isSet(ephemeris)) {
        return ephemerisCommand(parser, ephemeris, positional);
    }
    if (std::optional<CommandLine> misplaced = misplacedOption(parser)) {
        return *misplaced;
    }
    if (std::optional<CommandLine> calibration = demoCalibrationOf(parser)) {
        return *calibration;
    }
    if (parser.isSet(home)) {
        if (parser.value(home).isEmpty()) {
            return failure("--home needs a folder.");
        }
        result.home = parser.value(home).toStdString();
    }
    result.demo = parser.isSet(demo);
    result.commandLine = positional.join(' ').toStdString();
    return result;
}

} // namespace kelvora::app
