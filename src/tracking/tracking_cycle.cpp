// The tracking tick, the refresh tick, and the buttons that run part of the cycle.
#include "tracking/tracking_cycle.h"

#include "config/settings.h"
#include "radio/frequency.h"
#include "radio/linrad.h"
#include "radio/ptt.h"
#include "radio/radio_dispatch.h"
#include "rotor/position_feedback.h"
#include "sky/sky_view.h"
#include "sources/tracking_file.h"
#include "sources/tracking_source.h"
#include "state/kelv.h"
#include "station/station_control.h"
#include "tracking/interlock_control.h"
#include "tracking/line_reopen.h"
#include "tracking/path_planning.h"
#include "tracking/state_line.h"

namespace kelvora {

namespace {

void processSecond(Kelv& k) {
    RunState& rs = k.rs;
    ui::MainForm& f = k.ui;
    readTrackingSource(k);
    discardRadioInput(k); // radios echo and acknowledge; nothing is read back from them
    rs.Sec_last = rs.Sec_now > 49 ? 0 : rs.Sec_now;
    f.lblTI.caption = rs.Time_text;
    f.lblAZ.caption = rs.Az_text;
    f.lblEL.caption = rs.El_text;
    f.Tracklb.caption = rs.Object_name;

    keepPlannedPath(k);
    station::commandNewTarget(k);
    updateSkyView(k);

    f.Label_TX.fore = rs.Fqso_kHz != rs.Fqso_last ? ui::kRed : ui::kGreen;
    if (k.settings().Doppler_Check == 1) {
        Calcolo_doppler(k);
    }
    if (rs.Fqso_kHz == rs.Fqso_last && k.settings().Doppler_Check == 1) {
        f.Label_TX.fore = ui::kYellow;
    }
    if (f.Autoupdate.value == 1 && (rs.Freq_TX != rs.Freq_last || rs.Fqso_kHz != rs.Fqso_last)) {
        Invio_frequenza(k);
    }
    f.Linrad_stato.caption =
        k.Winsock1.state() == platform::TcpState::Connected ? "Linrad ON" : "Linrad off";
}

} // namespace

void tmrRead_Timer(Kelv& k) {
    RunState& rs = k.rs;
    rs.Sec_now = k.clock.secondOfMinute();
    if (rs.Sec_now - rs.Sec_last > 0) {
        processSecond(k);
    }
    checkInterlock(k); // before PTT follow, which keys nothing while it is tripped
    Controllo_PTT_MAP65(k);
    reopenLostLines(k);
    if (rs.Blink_state == 0) {
        rs.Blink_state = 1;
        k.ui.lblFL.back = ui::kGreen;
    } else {
        rs.Blink_state = 0;
        k.ui.lblFL.back = ui::kOrange;
    }
    updateStateLine(k);
}

void Timer1_Timer(Kelv& k) {
    if (k.settings().Refresh_Rotore != "None") {
        Controllo_posizione(k);
    }
}

void Command1_Click(Kelv& k) {
    Read_File(k);
    Invio_frequenza(k);
}

void Linrad_freq_Click(Kelv& k) {
    Read_File(k);
    Linrad_set_frequency(k);
}

} // namespace kelvora
