// The rotor and radio tables of control states, applied in one pass.
#include "tracking/control_enabling.h"

#include "config/settings.h"
#include "state/kelv.h"

#include <array>
#include <string_view>

namespace kelvora {

namespace {

// E enabled, D disabled, '-' unchanged, M follows the manual-direction box, R follows the
// position refresh; for Text1/Text2 S shown, H hidden.
struct RotorRow {
    std::string_view type;
    // Command2 Command3 Command4 Host Normal Posizione Command1 Command6 Rotorman Command7
    // Command8 auto Autoupdate Label7 Command5 LabelAZ LabelEL, then Text1 Text2
    std::string_view states; // 17 letters
    std::string_view texts;  // 2 letters
};

constexpr std::array<RotorRow, 10> kRotorRows = {{
    {"None", "DDDDDDEDD--EEDMDD", "HH"},
    {"Kelvora", "EEEDDDEEE--EEEMRR", "SS"},
    {"GS232", "DDDDDDDEEDD--EMRR", "SS"},
    {"GS232-qzr", "DDDDDDEEEEEEEEMRR", "--"},
    {"SpidRak(az)", "DDDDDDDEEDD--EMRD", "SH"},
    {"SpidRas(az/el) 1 deg", "DDDDDDDEEDD--EMRR", "SS"},
    {"SpidRas(az/el) 0.5 deg", "DDDDDDDEEDD--EMRR", "SS"},
    {"D-Prosistel", "DDDDDDDEEDD--EMRD", "SH"},
    {"EasyComm", "DDDDDDEEEEEEEEMRR", "--"},
    {"Radant AZV-1", "DDDDDDEEEEEEEEMRR", "--"},
}};

struct RadioRow {
    std::string_view type;
    std::string_view states; // Command2 Command3 Command4 Host Normal Posizione Command1
};

constexpr std::array<RadioRow, 25> kRadioRows = {{
    {"Icom-rtx", "DDDDDDE"},   {"IC-275", "DDEEEDE"},    {"IC-706MK2G", "DDDEEEE"},
    {"IC-756pro3", "DDEEEEE"}, {"IC-781", "DDDEEEE"},    {"IC-7100", "DDDDDDE"},
    {"IC-7300", "DDDEEEE"},    {"IC-7400", "DDDEEEE"},   {"IC-7800", "EDDEEEE"},
    {"IC-9700", "DDDEEEE"},    {"IC-9700-X", "DDDEEEE"}, {"Elecraft-K3", "DDDEEDE"},
    {"Flex-SDR", "DDDDDDE"},   {"FT-736R", "DDDDDDE"},   {"FT-817", "DDDDDDE"},
    {"FT-847", "DDDDDDE"},     {"FT-857", "DDDDDDE"},    {"FT-897", "DDDDDDE"},
    {"FT-950", "DDDDDEE"},     {"FT-991", "DDDDDDE"},    {"FT-1000mp", "DDDEEEE"},
    {"FT-5000", "DDDDDDE"},    {"TS-590", "DDDDDDE"},    {"TS-2000", "DDDDDDE"},
    {"Fdm-Duo", "DDDDDDE"},
}};

void apply(ui::Control& c, char state, bool manual, bool refresh) {
    switch (state) {
    case 'E':
        c.enabled = true;
        break;
    case 'D':
        c.enabled = false;
        break;
    case 'M':
        c.enabled = manual;
        break;
    case 'R':
        c.enabled = refresh;
        break;
    default:
        break;
    }
}

void applyVisible(ui::Control& c, char state) {
    if (state == 'S') {
        c.visible = true;
    } else if (state == 'H') {
        c.visible = false;
    }
}

} // namespace

void Visualizza_pulsanti(Kelv& k) {
    ui::MainForm& f = k.ui;
    const config::Settings& s = k.settings();
    bool manual = f.Rotorman.value == 1;
    bool refresh = s.Refresh_Rotore != "None";

    ui::Control* rotorControls[] = {
        &f.Command2,   &f.Command3, &f.Command4, &f.Host,     &f.Normal,   &f.Posizione,
        &f.Command1,   &f.Command6, &f.Rotorman, &f.Command7, &f.Command8, &f.auto_,
        &f.Autoupdate, &f.Label7,   &f.Command5, &f.LabelAZ,  &f.LabelEL};
    for (const RotorRow& row : kRotorRows) {
        if (row.type == s.RotorType) {
            for (std::size_t i = 0; i < row.states.size(); ++i) {
                apply(*rotorControls[i], row.states[i], manual, refresh);
            }
            applyVisible(f.Text1, row.texts[0]);
            applyVisible(f.Text2, row.texts[1]);
            break;
        }
    }

    if (s.RtxType != "None") {
        ui::Control* radioControls[] = {&f.Command2, &f.Command3,  &f.Command4, &f.Host,
                                        &f.Normal,   &f.Posizione, &f.Command1};
        for (const RadioRow& row : kRadioRows) {
            if (row.type == s.RtxType) {
                for (std::size_t i = 0; i < row.states.size(); ++i) {
                    apply(*radioControls[i], row.states[i], manual, refresh);
                }
                bool power = row.type == "IC-7100";
                for (ui::Control* c : {&f.ON_Icom, &f.ON_Icom1}) {
                    c->enabled = power;
                    c->visible = power;
                }
                if (row.type == "IC-7800") {
                    f.Command2.caption = "Dual off";
                }
                break;
            }
        }
        f.auto_.enabled = true;
        f.Autoupdate.enabled = true;
    }
    f.Linrad_freq.enabled = true;
}

} // namespace kelvora
