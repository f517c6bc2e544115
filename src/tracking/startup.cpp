// Start-up, Start/Stop, "Options", the settings and rotor.dat read at Start, and shutdown.
#include "tracking/startup.h"

#include "config/ini_file.h"
#include "config/settings.h"
#include "devices/network_devices.h"
#include "ports/serial_ports.h"
#include "radio/linrad.h"
#include "radio/ptt_sequencer_lines.h"
#include "rotor/rotor_types.h"
#include "sources/tracking_file.h"
#include "sources/tracking_source.h"
#include "state/error_handler.h"
#include "state/kelv.h"
#include "state/message_box.h"
#include "state/numbers.h"
#include "state/trace_log.h"
#include "station/station_control.h"
#include "tracking/control_enabling.h"
#include "tracking/device_lists.h"
#include "tracking/get_started.h"
#include "tracking/interlock_control.h"
#include "tracking/line_reopen.h"
#include "tracking/path_planning.h"
#include "tracking/rotor_dat.h"

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
    startPathPlanning(k);
    startInterlock(k);
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
    stopInterlock(k);
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
    stopInterlock(k);
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
        // Seconds after each byte, at most one: a larger figure (milliseconds typed, say) would
        // hold the window for minutes on every command.
        k.rs.Rotor_pace_delay =
            static_cast<float>(std::min(numbers::leadingNumber(s.RotorPaceDelay), 1.0));
        k.rs.Rotor_timeout = static_cast<float>(numbers::leadingNumber(s.RotorTimeOutDelay));
        if (k.rs.Rotor_timeout == 0) {
            k.rs.Rotor_timeout = 0.25f;
        }
        // The built-in Moon and Sun need no tracking file.
        bool builtIn = parseTrackingSource(s.value("General", "Tracking_Source")) ==
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
    k.rs.Get_started = true;
    showSettingsDialog(k);
    config::Create_Config_file(path);
    config::Load_Config_file(k.settings(), path);
    config::Save_Config_file(k.settings(), path);
    proposeGetStarted(k);
}

void Load_Rotor_dat(Kelv& k) {
    std::string path = k.programFolder + "/rotor.dat";
    if (!EsisteFile(path)) {
        k.dialogs.messageBox("File Rotor.dat not found. Press OK to create it!");
        const std::string text = defaultRotorDat();
        if (!config::writeFileAtomically(path, text)) {
            k.dialogs.messageBox("rotor.dat could not be written in " + k.programFolder + ".");
        }
        // The new file's zero corrections, not those of a file read at an earlier Start.
        k.rs.Az_correction = {};
        k.rs.El_correction = {};
        return;
    }
    std::error_code ec;
    bool folder = std::filesystem::is_directory(path, ec);
    bool ok = false;
    RotorDat dat = parseRotorDat(folder ? std::string() : readWholeFile(path, ok));
    // Corrections of an earlier Start do not outlive the file they came from.
    k.rs.Az_correction = std::move(dat.az);
    k.rs.El_correction = std::move(dat.el);
    std::string why = folder ? "it is a folder, not a file" : !ok ? "it cannot be read" : dat.fault;
    if (!why.empty()) {
        k.dialogs.messageBox("rotor.dat is damaged: " + why +
                             ".\nTracking goes on with the corrections read so far, zero for "
                             "the rest.");
    }
}

void Form_Unload(Kelv& k, ScreenSize screen) {
    closePortsAndUnkey(k);
    saveWindowGeometry(k, screen);
}

} // namespace kelvora
