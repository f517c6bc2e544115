// The run state: the one program-wide record that every procedure of the main window shares.
#pragma once

#include <array>
#include <optional>
#include <string>

namespace kelvora {

// Where the antenna is and what the station rules do with it, for the sky view and the rotctld
// server. Angles in degrees as numbers, unlike the texts of the tracking file.
struct AntennaState {
    std::optional<double> measuredAz, measuredEl;   // the rotor's last position reply
    std::optional<double> commandedAz, commandedEl; // the last position commanded
    std::string holdText; // which rule holds the newest target, and what; empty while none does
    bool paused = false;  // Park or Stop rotor paused tracking until Track
    std::optional<double> measuredAt; // monotonic seconds of the last position reply
};

// What WSJT-X's UDP messages tell, merged over the instances heard.
struct WsjtxState {
    bool transmitting = false; // an instance that is heard says it transmits
    std::string dxGrid;        // the newest non-empty DX grid of an instance heard
    bool heard = false;        // an instance was heard since Start
    bool gone = false;         // and every instance has since closed or fallen silent
};

// The transmit interlock: while tripped the transmitter is not keyed.
struct InterlockState {
    bool tripped = false;
    std::string reason; // why, while tripped
};

// What Start learned from the radio-model and rotor-type rows, for the layers that cannot read
// the other family's rows (the rotor and radio procedures, the serial lines).
struct DeviceFacts {
    bool radioLine = false;            // the radio model is reached over the radio lines
    bool rotorLine = false;            // the rotor type is reached over the rotor line
    bool splitButton = false;          // the radio row's "Split" button
    bool dualWatch = false;            // the radio row's "Dual" button
    bool rotorRelaysFrequency = false; // the rotor unit relays the frequency and owns " A=B"
};

// Frequencies, angles and Doppler values are text, as read or as computed, and become numbers
// only where they are used.
struct RunState {
    int Tracking_on = 0;
    int Trace_on = 0; // -1 when started with the argument "T"
    int Config_missing = 0;
    // The first Start wrote the default settings: the settings dialog opens on "Get started".
    bool Get_started = false;
    std::string Tracking_file;

    // From the tracking file.
    std::string Time_text, Az_text, El_text, Az_int, El_int, Object_name;
    std::string Fqso_kHz, Fqso2_kHz, Band_MHz, My_doppler_Hz, DX_doppler_Hz;

    // Change detectors of the tracking cycle.
    std::string Az_sent, El_sent;
    int Target_moved = 0;
    std::string Fqso_last;

    // Frequency computation.
    std::string Freq_TX, Freq_RX, Freq_last;
    int Doppler_form_shown = 0;

    int Sec_now = 0, Sec_last = 0;
    int Blink_state = 0;

    // Copies of settings made at Start.
    int Icom_addr = 0, Icom_addr2 = 0;
    std::string Linrad_host, Linrad_tcp_port, Linrad_center_Hz, Linrad_offset_Hz;
    float Rotor_pace_delay = 0;
    float Rotor_timeout = 0;

    // rotor.dat corrections; an empty entry counts as 0.
    std::array<std::string, 361> Az_correction{};
    std::array<std::string, 91> El_correction{};

    // Radio buttons.
    int Split_on = 0;
    bool Dual_on = false;
    int Vfo_selected = 0;
    int Vfo_b_on = 0;
    int Elecraft_state = 0;
    int Icom_vfo_cmd = 0;

    // PTT follow: the last real PTT open failure reported, so it is shown once.
    std::string Ptt_open_failure;

    AntennaState antenna;
    DeviceFacts devices;
    // The tracking file's Doppler line ends in ", T": the station transmits.
    bool trackingFileTransmitting = false;
    WsjtxState wsjtx;
    InterlockState interlock;
};

} // namespace kelvora
