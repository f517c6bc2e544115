// "VFO-A", "VFO-B" and " A=B", the IC-7100 power buttons and the Doppler-mode window's close box.
#include "radio/vfo_buttons.h"

#include "config/settings.h"
#include "radio/hamlib_rig.h"
#include "radio/icom.h"
#include "radio/radio_models.h"
#include "radio/yaesu.h"
#include "state/kelv.h"

namespace kelvora {

namespace {

void selectVfo(Kelv& k, bool vfoB) {
    RunState& rs = k.rs;
    k.ui.RotorAZ.caption = vfoB ? "SET VFO B " : "SET VFO A ";
    rs.Vfo_selected = vfoB ? 0 : 1;
    rs.Vfo_b_on = vfoB ? 1 : 0;
    const radio::RadioModel* model = radio::findRadioModel(k.settings().RtxType);
    if (rs.Tracking_on != 1 || !model) {
        return;
    }
    switch (model->vfoButtons) {
    case radio::VfoButtons::Civ:
        if (vfoB) {
            IcomVFO_B(k, model->civ.bands ? icom::kSubBand : icom::kVfoB);
        } else {
            IcomVFO_A(k, model->civ.bands ? icom::kMainBand : icom::kVfoA);
        }
        break;
    case radio::VfoButtons::Ft1000mp:
        if (vfoB) {
            FT1000mpVFO_B(k);
        } else {
            FT1000mpVFO_A(k);
        }
        break;
    case radio::VfoButtons::ElecraftLetter:
        // Nothing is sent: the letter of the next frequency command selects the VFO.
        rs.Elecraft_state = vfoB ? 1 : 0;
        break;
    case radio::VfoButtons::Rigctld:
        hamlibRigSelectVfo(k, vfoB);
        break;
    case radio::VfoButtons::None:
        break;
    }
}

bool hasPowerButtons(Kelv& k) {
    const radio::RadioModel* model = radio::findRadioModel(k.settings().RtxType);
    return model && model->controls.powerButtons;
}

void togglePower(Kelv& k, ui::Control& button, int address, const char* radio) {
    if (!k.MSComm1.isOpen() || !hasPowerButtons(k) || k.rs.Tracking_on != 1) {
        return;
    }
    if (button.caption == "Off") {
        if (Accendo_Icom(k, address)) {
            k.ui.RotorAZ.caption = std::string("Power ON ") + radio;
            button.caption = "On";
        }
    } else if (Spengo_Icom(k, address)) {
        button.caption = "Off";
        k.ui.RotorAZ.caption = std::string("Power OFF ") + radio;
    }
}

} // namespace

void Host_Click(Kelv& k) {
    selectVfo(k, false);
}

void Normal_Click(Kelv& k) {
    selectVfo(k, true);
}

void Posizione_Click(Kelv& k) {
    const radio::RadioModel* model = radio::findRadioModel(k.settings().RtxType);
    if (!model || k.rs.Tracking_on != 1) {
        return;
    }
    if (model->vfoButtons == radio::VfoButtons::Ft1000mp) {
        FT1000mpVFO_AB(k);
    } else if (model->vfoButtons == radio::VfoButtons::Rigctld) {
        hamlibRigCopyAToB(k);
    } else if (!k.rs.devices.rotorRelaysFrequency) {
        IcomVFO_AB(k);
    }
}

void ON_Icom_Click(Kelv& k) {
    togglePower(k, k.ui.ON_Icom, k.rs.Icom_addr, "IC-7100/1");
}

void ON_Icom1_Click(Kelv& k) {
    togglePower(k, k.ui.ON_Icom1, k.rs.Icom_addr2, "IC-7100/2");
}

void frmDoppler_Form_Unload(Kelv& k) {
    k.frmDoppler.visible = false;
    k.rs.Doppler_form_shown = 0;
}

} // namespace kelvora
