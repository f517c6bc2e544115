// The state of every window: the main window frmKelv, the Doppler-mode window, the timed message
// box and the About box. The settings dialog's state is its settings record (config/).
#pragma once

#include "state/controls.h"

#include <string>
#include <vector>

namespace kelvora::ui {

inline constexpr const char* kMainTitle = " Kelvora - RTX  / Linrad";

struct MainForm {
    Control mnuStart{"Start"};
    Control mnuHelp{"About"};
    Control lblTI{"00:00"};
    Control lblAZ{"000"};
    Control lblEL{"00"};
    Control Tracklb{""};
    Control Tipo_rtx{""};
    Control lblFL{"", true, true, std::nullopt, kLightGrey};
    Control Linrad_stato{"Linrad off"};
    Control Label_freq{"-------------", true, true, kGreen, kBlack};
    Control Label_TX{"-------------", true, true, kGreen, kBlack};
    Control Ptt{"PTT off"};
    Control auto_{"Auto Freq.", false};
    Control Autoupdate{"", false};
    Control Rotorman{"", false};
    Control Label7{"Manual direction", false};
    Control Text1{"000"};
    Control Text2{"000"};
    Control LabelAZ{"000.0", false, true, kYellow, kBlack};
    Control LabelEL{"000.0", false, true, kYellow, kBlack};
    Control Command1{"TX-Freq", false};
    Control Command2{"Cmd/KV", false};
    Control Command3{"Host/KV", false};
    Control Command4{"Split", false};
    Control Command5{"Start", false};
    Control Command6{"Stop", false};
    Control Command7{"H", false};
    Control Command8{"V", false};
    Control Host{"VFO-A", false};
    Control Normal{"VFO-B", false};
    Control Posizione{" A=B", false};
    Control Linrad_freq{"Linrad-Fre", false};
    Control ON_Icom{"Off", false, false};
    Control ON_Icom1{"Off", false, false};
    Control Option{"Options"};
    Control RotorAZ{""};
    // The PTT sequencer's step; shown only while the sequencer is on.
    Control PttSequence{"", true, false};
    // WSJT-X's dial frequency and DX call; shown while its UDP messages are listened to.
    Control Wsjtx{"", true, false};
    // The Moon seen from the DX place, and whether it is up for both; shown while there is one.
    Control DxMoon{"", true, false};
    // Station rules: the antenna parked or stopped, and tracking resumed.
    Control Park{"Park", false};
    Control Track{"Track", false};
    Control StopRotor{"Stop rotor", false};
    // What the antenna does and why; the bytes of the last command sent to the rotor or radio;
    // the button that lists the state line's recent sentences (stateHistory, newest last).
    Control StateLine{""};
    Control LastCommand{""};
    Control StateHistory{"History", false};
    // The try-it mode's banner: what is simulated, what the views show, the next step.
    Control DemoBanner{"", true, false};
    std::vector<std::string> stateHistory;

    Timer tmrRead{false, 500};
    Timer Timer1{false, 3000};
    // The Hamlib links and the rotctld server: polled often so that clients are answered at once.
    Timer tmrNetwork{false, 50};
    Timer tmrPttSequence{false, 10};

    // Window geometry in twips (15 twips per pixel); the Qt window keeps it in step.
    double left = 2295, top = 2940, width = 9585, height = 4470;

    ControlList controls();
};

struct DopplerForm {
    bool visible = false;
    Control Option1{"Full Doppler to Dx grid"};
    Control Option2{"Own Echo"};
    Control Option3{"CFOM (Constant Freq. On Moon)"};
    Control Option4{"On Dx Echo"};
    Control Option5{"Call DX"};
    Control Option6{"NO Doppler", true, true, std::nullopt, std::nullopt, 1};
    Control Doppler_rx{""};
    Control Doppler_tx{""};
    Control Doppler_text{""};
    Control Doppler_dx_text{""};

    // The selected mode, 1 to 6.
    int mode() const;
    void select(int mode);
    ControlList controls();
};

struct MessageForm {
    bool visible = false;
    Control Label1{""};
    Timer MessageTimer{false, 10000};
};

struct AboutForm {
    bool visible = false;
    Control lblDescription{
        "Tracking for Kelvora Unit / Icom Cat CI-V / K3 / Yaesu / Linrad /TS-2000"};
    Control lblVersion{""};
    Control lblLicence{"Free software under the GNU General Public License, version 3 or later "
                       "(GPL-3.0-or-later), with no warranty."};
};

} // namespace kelvora::ui
