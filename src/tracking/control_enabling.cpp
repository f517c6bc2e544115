// The control states of the rotor type and the radio model, applied in one pass.
#include "tracking/control_enabling.h"

#include "config/settings.h"
#include "radio/radio_models.h"
#include "rotor/rotor_types.h"
#include "state/kelv.h"

namespace kelvora {

namespace {

void apply(ui::Control& c, ui::Enabling state, bool manual, bool refresh) {
    switch (state) {
    case ui::Enabling::On:
        c.enabled = true;
        break;
    case ui::Enabling::Off:
        c.enabled = false;
        break;
    case ui::Enabling::FollowsManual:
        c.enabled = manual;
        break;
    case ui::Enabling::FollowsRefresh:
        c.enabled = refresh;
        break;
    case ui::Enabling::Keep:
        break;
    }
}

void apply(ui::Control& c, ui::Showing state) {
    if (state != ui::Showing::Keep) {
        c.visible = state == ui::Showing::Shown;
    }
}

// The controls both the rotor type and the radio model set (the radio's states win).
template <class Controls>
void applyShared(ui::MainForm& f, const Controls& c, bool manual, bool refresh) {
    apply(f.Command2, c.Command2, manual, refresh);
    apply(f.Command3, c.Command3, manual, refresh);
    apply(f.Command4, c.Command4, manual, refresh);
    apply(f.Host, c.Host, manual, refresh);
    apply(f.Normal, c.Normal, manual, refresh);
    apply(f.Posizione, c.Posizione, manual, refresh);
    apply(f.Command1, c.Command1, manual, refresh);
}

} // namespace

void Visualizza_pulsanti(Kelv& k) {
    ui::MainForm& f = k.ui;
    const config::Settings& s = k.settings();
    bool manual = f.Rotorman.value == 1;
    bool refresh = s.Refresh_Rotore != "None";

    if (const rotor::RotorType* type = rotor::findRotorType(s.RotorType)) {
        const ui::RotorControls& c = type->controls;
        applyShared(f, c, manual, refresh);
        apply(f.Command6, c.Command6, manual, refresh);
        apply(f.Rotorman, c.Rotorman, manual, refresh);
        apply(f.Command7, c.Command7, manual, refresh);
        apply(f.Command8, c.Command8, manual, refresh);
        apply(f.auto_, c.auto_, manual, refresh);
        apply(f.Autoupdate, c.Autoupdate, manual, refresh);
        apply(f.Label7, c.Label7, manual, refresh);
        apply(f.Command5, c.Command5, manual, refresh);
        apply(f.LabelAZ, c.LabelAZ, manual, refresh);
        apply(f.LabelEL, c.LabelEL, manual, refresh);
        apply(f.Text1, c.Text1);
        apply(f.Text2, c.Text2);
    }

    if (radio::radioChosen(s.RtxType)) {
        if (const radio::RadioModel* model = radio::findRadioModel(s.RtxType)) {
            const ui::RadioControls& c = model->controls;
            applyShared(f, c, manual, refresh);
            for (ui::Control* power : {&f.ON_Icom, &f.ON_Icom1}) {
                power->enabled = c.powerButtons;
                power->visible = c.powerButtons;
            }
            if (c.command2Caption != nullptr) {
                f.Command2.caption = c.command2Caption;
            }
        }
        f.auto_.enabled = true;
        f.Autoupdate.enabled = true;
    }
    f.Linrad_freq.enabled = true;
}

} // namespace kelvora
