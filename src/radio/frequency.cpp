// The frequency computation every send starts with, and the Doppler correction of six modes.
#include "radio/frequency.h"

#include "config/settings.h"
#include "state/kelv.h"
#include "state/numbers.h"

#include <optional>

namespace kelvora {

DopplerFrequencies dopplerFrequencies(DopplerMode mode, double base, double myDoppler,
                                      double dxDoppler) {
    switch (mode) {
    case DopplerMode::FullToDxGrid:
        return {base + dxDoppler, base - dxDoppler};
    case DopplerMode::OwnEcho:
        return {base + myDoppler, base};
    case DopplerMode::ConstantOnMoon:
        return {base + myDoppler / 2, base - myDoppler / 2};
    case DopplerMode::OnDxEcho:
        return {base + dxDoppler, base - (myDoppler - dxDoppler)};
    case DopplerMode::CallDx:
        return {base, base - myDoppler};
    case DopplerMode::None:
        break;
    }
    return {base, base};
}

namespace {

// Transmit-frequency offset of the band, kHz; a text that is not a number counts as 0.
double offsetKHz(Kelv& k) {
    return numbers::leadingNumber(k.settings().Offset);
}

} // namespace

bool Calcolo_doppler(Kelv& k) {
    RunState& rs = k.rs;
    ui::DopplerForm& w = k.frmDoppler;
    if (rs.Doppler_form_shown == 0) {
        // Shown anew, the window always starts without correction.
        w.visible = true;
        w.select(static_cast<int>(DopplerMode::None));
        rs.Doppler_form_shown = -1;
    }
    w.Doppler_text.caption = rs.My_doppler_Hz;
    w.Doppler_dx_text.caption = rs.DX_doppler_Hz;

    std::optional<double> qso = numbers::strictNumber(rs.Fqso_kHz, k.locale);
    std::optional<double> my = numbers::strictNumber(rs.My_doppler_Hz, k.locale);
    std::optional<double> dx = numbers::strictNumber(rs.DX_doppler_Hz, k.locale);
    auto mode = static_cast<DopplerMode>(w.mode());
    // Without a DX Doppler (the built-in Moon knows no DX place) only the modes that use it stop.
    bool needsDx = mode == DopplerMode::FullToDxGrid || mode == DopplerMode::OnDxEcho;
    if (!qso || !my || (!dx && needsDx)) {
        return false;
    }
    double base = numbers::leadingNumber(numbers::roundTrip((offsetKHz(k) + *qso) * 1000));
    DopplerFrequencies f = dopplerFrequencies(mode, base, *my, dx.value_or(0));
    rs.Freq_RX = numbers::roundTrip(f.rx);
    rs.Freq_TX = numbers::roundTrip(f.tx);
    w.Doppler_rx.caption = numbers::formatThousands(numbers::leadingNumber(rs.Freq_RX), k.locale);
    w.Doppler_tx.caption = numbers::formatThousands(numbers::leadingNumber(rs.Freq_TX), k.locale);
    return true;
}

bool Calcolo_frequenza(Kelv& k) {
    RunState& rs = k.rs;
    rs.Fqso_last = rs.Fqso_kHz;
    // While MAP65 receives, the transmit frequency follows its second QSO frequency.
    bool receiving = k.MSComm3.isOpen() && k.ui.Ptt.caption == "PTT off";
    const std::string& source = receiving ? rs.Fqso2_kHz : rs.Fqso_kHz;

    std::optional<double> qso = numbers::strictNumber(source, k.locale);
    if (!qso) {
        rs.Freq_TX = rs.Freq_last;
        return false;
    }
    double kHz = *qso < 0 ? 0.0 : *qso;
    std::string tx = numbers::roundTrip((offsetKHz(k) + kHz) * 1000);
    rs.Freq_TX = tx;
    if (k.settings().Doppler_Check == 1 && !Calcolo_doppler(k)) {
        rs.Freq_TX = rs.Freq_last;
        return false;
    }
    rs.Freq_last = rs.Freq_TX;
    k.ui.RotorAZ.caption = rs.Freq_TX;
    return true;
}

} // namespace kelvora
