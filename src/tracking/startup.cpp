// Start-up, Start/Stop, "Options", shutdown, the error report and the settings dialog's buttons.
#include "tracking/startup.h"

#include "config/ini_file.h"
#include "config/settings.h"
#include "ports/serial_ports.h"
#include "radio/linrad.h"
#include "radio/ptt_sequencer_lines.h"
#include "rotor/rotor_types.h"
#include "state/error_handler.h"
#include "state/kelv.h"
#include "state/message_box.h"
#include "state/numbers.h"
#include "state/trace_log.h"
#include "station/station_control.h"
#include "tracking/control_enabling.h"
#include "tracking/device_lists.h"
#include "tracking/line_reopen.h"
#include "tracking/network_devices.h"
#include "tracking/tracking_file.h"
#include "tracking/tracking_source.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string_view>
#include <system_error>
#include <utility>

namespace kelvora {

namespace {

// Showing the settings dialog loads it first (its record is filled from the file), as any access
// to a setting does.
void showSettingsDialog(Kelv& k) {
    k.frmRotor.fields();
    k.frmRotor.visible = true;
}

void disableTimers(Kelv& k) {
    k.ui.tmrRead.enabled = false;
    k.ui.Timer1.enabled = false;
}

void hideDopplerWindow(Kelv& k) {
    if (k.settings().Doppler_Check == 1) {
        k.frmDoppler.visible = false;
        k.rs.Doppler_form_shown = 0;
    }
}

// After a keyed real PTT line was closed the transmitter is no longer keyed.
void closePortsAndUnkey(Kelv& k) {
    bool keyed = k.MSComm4.isOpen();
    pttSequenceStop(k); // RTS, then DTR, before the lines close
    ports::closeAllPorts(k);
    if (keyed) {
        k.ui.Ptt.caption = "PTT off";
    }
}

void startTracking(Kelv& k) {
    Load_INI(k);
    if (k.rs.Config_missing == 1) {
        return;
    }
    if (!prepareTrackingSource(k)) {
        return;
    }
    config::Settings& s = k.settings();
    learnDeviceFacts(k);
    if (rotor::rotorChosen(s.RotorType)) {
        Load_Rotor_dat(k);
    }
    k.ui.mnuStart.caption = "Stop";
    k.rs.Tracking_on = 1;
    k.ui.Tipo_rtx.caption = k.settings().RtxType;
    Visualizza_pulsanti(k);
    readTrackingSource(k);
    ports::OpenCom(k);
    startNetworkDevices(k);
    watchOpenedLines(k);
    pttSequenceStart(k);
    Linrad_connect(k);
    k.ui.tmrRead.enabled = true;
    if (k.settings().Refresh_Rotore != "None") {
        double seconds = numbers::leadingNumber(k.settings().Refresh_Rotore);
        long long interval = numbers::roundHalfEven(seconds * 1000);
        // A period the timer cannot run (0 or negative) leaves the refresh off.
        k.ui.Timer1.interval = static_cast<int>(std::min<long long>(interval, 3600000));
        k.ui.Timer1.enabled = interval > 0;
    } else {
        k.ui.Timer1.enabled = false;
    }
    k.ui.lblTI.caption = k.rs.Time_text;
    k.ui.lblAZ.caption = k.rs.Az_int;
    k.ui.lblEL.caption = k.rs.El_int;
    k.ui.Tracklb.caption = k.rs.Object_name;

    station::startStation(k);
}

void stopTracking(Kelv& k) {
    ui::MainForm& f = k.ui;
    f.mnuStart.caption = "Start";
    k.rs.Tracking_on = 0;
    disableTimers(k);
    for (ui::Control* c : {&f.Command2, &f.Command3, &f.Command4, &f.Host, &f.Normal, &f.Posizione,
                           &f.Command1, &f.auto_, &f.Autoupdate, &f.Linrad_freq}) {
        c->enabled = false;
    }
    f.Linrad_stato.caption = "Linrad off";
    k.Winsock1.close();
    for (ui::Control* c : {&f.Command5, &f.Command6, &f.Rotorman, &f.Command7, &f.Command8,
                           &f.Label7, &f.LabelAZ, &f.LabelEL, &f.ON_Icom, &f.ON_Icom1}) {
        c->enabled = false;
    }
    closePortsAndUnkey(k);
    stopNetworkDevices(k);
    f.lblFL.back = ui::kLightGrey;
    hideDopplerWindow(k);

    station::stopStation(k);
}

std::string readWholeFile(const std::string& path, bool& ok) {
    std::ifstream in(path, std::ios::binary);
    ok = static_cast<bool>(in);
    std::ostringstream buffer;
    if (ok) {
        buffer << in.rdbuf();
    }
    return buffer.str();
}

constexpr std::size_t kRotorDatLines = 361 + 91;

bool blankLine(std::string_view line) {
    return line.find_first_not_of(" \t\r") == std::string_view::npos;
}

// A hand edit often leaves blank lines at the end; they are not records.
std::string_view withoutTrailingBlankLines(std::string_view text) {
    std::size_t last = text.find_last_not_of(" \t\r\n");
    if (last == std::string_view::npos) {
        return {};
    }
    std::size_t end = text.find('\n', last);
    return end == std::string_view::npos ? text : text.substr(0, end + 1);
}

// What is wrong with one record line ("index,correction"), empty when nothing is.
std::string rotorDatLineFault(std::string_view line) {
    if (!line.empty() && line.back() == '\r') {
        line.remove_suffix(1);
    }
    if (blankLine(line)) {
        return "is blank";
    }
    std::size_t commas = static_cast<std::size_t>(std::count(line.begin(), line.end(), ','));
    if (commas != 1) {
        return "holds " +
               (commas == 0 ? std::string("one value") : std::to_string(commas + 1) + " values") +
               " instead of two";
    }
    std::size_t comma = line.find(',');
    for (auto [name, value] : {std::pair{"index", line.substr(0, comma)},
                               std::pair{"correction", line.substr(comma + 1)}}) {
        if (!numbers::strictNumber(value)) {
            return std::string("has the ") + name + " \"" + std::string(value) +
                   "\", which is not a number";
        }
    }
    return {};
}

// The first fault of a rotor.dat text, named by its line; empty when the file is sound.
std::string rotorDatFault(std::string_view text) {
    if (text.empty()) {
        return "it is empty";
    }
    std::size_t lines = 0;
    for (std::size_t start = 0; start < text.size(); ++lines) {
        std::size_t end = std::min(text.find('\n', start), text.size());
        std::string fault = rotorDatLineFault(text.substr(start, end - start));
        if (!fault.empty()) {
            return "line " + std::to_string(lines + 1) + " " + fault;
        }
        start = end + 1;
    }
    if (lines < kRotorDatLines) {
        return "it ends at line " + std::to_string(lines) + ", before line " +
               std::to_string(kRotorDatLines) + " (azimuth 0 to 360, then elevation 0 to 90)";
    }
    if (lines % kRotorDatLines != 0) {
        return "it has " + std::to_string(lines) + " lines, not a whole number of sets of " +
               std::to_string(kRotorDatLines) + " (azimuth 0 to 360, then elevation 0 to 90)";
    }
    return {};
}

} // namespace

void Form_Load(Kelv& k, std::string_view commandLine, ScreenSize screen) {
    Restore_Window(k);
    if (k.ui.left > screen.width || k.ui.left < 0) {
        k.ui.left = 0;
    }
    if (k.ui.top > screen.height || k.ui.top < 0) {
        k.ui.top = 0;
    }
    if (k.settings().Auto_Start == 1) {
        mnuStart_Click(k);
    }
    k.ui.Autoupdate.value = k.settings().Autoupdate_flag;
    k.rs.Trace_on = commandLine == "T" ? -1 : 0;
    if (k.rs.Trace_on == -1) {
        Tracciatura_file(k, "Start");
    }
}

void mnuStart_Click(Kelv& k) {
    if (k.ui.mnuStart.caption == "Start") {
        startTracking(k);
    } else {
        stopTracking(k);
    }
}

void Option_Click(Kelv& k) {
    ui::MainForm& f = k.ui;
    f.mnuStart.caption = "----";
    f.mnuStart.enabled = false;
    k.rs.Tracking_on = 0;
    disableTimers(k);
    closePortsAndUnkey(k);
    stopNetworkDevices(k);
    f.lblFL.back = ui::kLightGrey;
    for (ui::Control* c :
         {&f.Command2, &f.Command3, &f.Command4, &f.Host, &f.Normal, &f.Posizione, &f.Command1,
          &f.auto_, &f.Autoupdate, &f.Linrad_freq, &f.Command5, &f.Command6, &f.Rotorman}) {
        c->enabled = false;
    }
    hideDopplerWindow(k);
    station::stopStation(k);
    showSettingsDialog(k);
}

void Load_INI(Kelv& k) {
    std::string path = k.iniPath();
    if (EsisteFile(path)) {
        config::Settings& s = k.settings();
        config::Load_Config_file(s, path);
        k.rs.Tracking_file = s.Filename;
        k.rs.Icom_addr = static_cast<int>(numbers::hexNumber(s.IcomAddr));
        k.rs.Icom_addr2 = static_cast<int>(numbers::hexNumber(s.IcomAddr1));
        k.rs.Linrad_host = s.Linrad_IP;
        k.rs.Linrad_tcp_port = s.Linrad_Port;
        k.rs.Linrad_center_Hz = s.Linrad_center;
        k.rs.Linrad_offset_Hz = s.Linrad_offset;
        k.rs.Rotor_pace_delay = static_cast<float>(numbers::leadingNumber(s.RotorPaceDelay));
        k.rs.Rotor_timeout = static_cast<float>(numbers::leadingNumber(s.RotorTimeOutDelay));
        if (k.rs.Rotor_timeout == 0) {
            k.rs.Rotor_timeout = 0.25f;
        }
        // The built-in Moon and Sun need no tracking file.
        bool builtIn = parseTrackingSource(s.value("General", "Tracking_Source", "File")) ==
                       TrackingSourceMode::BuiltIn;
        if (k.rs.Tracking_file.empty() && !builtIn) {
            k.dialogs.beep();
            k.dialogs.messageBox("File not config. Please configure !");
            k.frmRotor.visible = true;
        }
        return;
    }
    k.dialogs.messageBox(" Please configure parameters !");
    k.ui.mnuStart.caption = "----";
    k.ui.mnuStart.enabled = false;
    k.rs.Tracking_on = 0;
    disableTimers(k);
    k.rs.Config_missing = 1;
    showSettingsDialog(k);
    config::Create_Config_file(path);
    config::Load_Config_file(k.settings(), path);
    config::Save_Config_file(k.settings(), path);
}

void Load_Rotor_dat(Kelv& k) {
    std::string path = k.programFolder + "/rotor.dat";
    if (!EsisteFile(path)) {
        k.dialogs.messageBox("File Rotor.dat not found. Press OK to create it!");
        std::ofstream out(path, std::ios::binary);
        for (int i = 0; i <= 360; ++i) {
            out << i << ",0\r\n";
        }
        for (int i = 0; i <= 90; ++i) {
            out << i << ",0\r\n";
        }
        return;
    }
    // Corrections of an earlier Start do not outlive the file they came from.
    k.rs.Az_correction.fill("");
    k.rs.El_correction.fill("");
    std::error_code ec;
    bool folder = std::filesystem::is_directory(path, ec);
    bool ok = false;
    std::string contents = folder ? std::string() : readWholeFile(path, ok);
    std::string_view records = withoutTrailingBlankLines(contents);
    // Fields are separated by commas or line ends; both numbers of a record go into the same
    // element, so the correction (the second) is what stays.
    std::vector<std::string> fields;
    std::string field;
    bool pending = false;
    for (char c : records) {
        if (c == ',' || c == '\n') {
            fields.push_back(field);
            field.clear();
            pending = false;
        } else if (c != '\r') {
            field += c;
            pending = true;
        }
    }
    if (pending) {
        fields.push_back(field);
    }
    std::size_t used = 0;
    while (used < fields.size()) {
        for (std::size_t i = 0; i < 361 && used < fields.size(); ++i) {
            k.rs.Az_correction[i] = fields[used++];
            if (used < fields.size()) {
                k.rs.Az_correction[i] = fields[used++];
            }
        }
        for (std::size_t i = 0; i < 91 && used < fields.size(); ++i) {
            k.rs.El_correction[i] = fields[used++];
            if (used < fields.size()) {
                k.rs.El_correction[i] = fields[used++];
            }
        }
    }
    std::string why = folder ? "it is a folder, not a file"
                      : !ok  ? "it cannot be read"
                             : rotorDatFault(records);
    if (!why.empty()) {
        k.dialogs.messageBox("rotor.dat is damaged: " + why +
                             ".\nTracking goes on with the corrections read so far, zero for "
                             "the rest.");
    }
}

void Restore_Window(Kelv& k) {
    std::string path = k.iniPath();
    if (!EsisteFile(path)) {
        return;
    }
    config::IniDocument document = config::loadIniFile(path);
    double* measures[] = {&k.ui.left, &k.ui.top, &k.ui.height, &k.ui.width};
    for (std::size_t i = 0; i < 4; ++i) {
        *measures[i] = numbers::leadingNumber(
            document.get(config::kWindowSection, config::windowKeys()[i].key));
    }
}

void Form_Unload(Kelv& k, ScreenSize screen) {
    closePortsAndUnkey(k);
    std::string path = k.iniPath();
    if (!EsisteFile(path)) {
        return;
    }
    if (k.ui.left > 0 && k.ui.left < screen.width && k.ui.top > 0 && k.ui.top < screen.height) {
        std::optional<config::IniDocument> document = config::loadIniFileForUpdate(path);
        if (!document) {
            return;
        }
        double measures[] = {k.ui.left, k.ui.top, k.ui.height, k.ui.width};
        for (std::size_t i = 0; i < 4; ++i) {
            // The geometry is a single-precision twips value.
            document->set(config::kWindowSection, config::windowKeys()[i].key,
                          numbers::toText(static_cast<float>(measures[i])));
        }
        config::saveIniFile(path, *document);
    }
}

void Finish_Click(Kelv& k) {
    k.frmRotor.visible = false;
    k.ui.mnuStart.enabled = true;
    k.ui.mnuStart.caption = "Start";
    k.rs.Config_missing = 0;
}

void Form_Unload_Settings(Kelv& k) {
    Finish_Click(k);
    k.frmRotor.unload();
}

void Save_Click(Kelv& k) {
    if (!config::Save_Config_file(k.settings(), k.iniPath())) {
        k.dialogs.messageBox("The settings could not be saved to " + k.iniPath() + ".");
    }
}

void Default_Click(Kelv& k) {
    if (!k.dialogs.askYesNo("You want to load the default parameters?",
                            "Load default parameters")) {
        return;
    }
    config::Create_Config_file(k.iniPath());
    config::Load_Config_file(k.settings(), k.iniPath());
}

void FileAZEL_Click(Kelv& k) {
    std::optional<std::string> chosen =
        k.dialogs.openFile("File AZEL", ".dat Files (*.dat)|*.dat|All Files (*.*)|*.*");
    if (!chosen) {
        return;
    }
    k.rs.Tracking_file = *chosen;
    k.settings().Filename = *chosen;
    std::error_code ec;
    if (!std::filesystem::is_regular_file(*chosen, ec)) {
        k.dialogs.messageBox("There is no file AZEL.dat Please try again.");
        k.rs.Tracking_file.clear();
        k.settings().Filename.clear();
    }
}

} // namespace kelvora
