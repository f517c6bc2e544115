// "VFO-A", "VFO-B" and " A=B", the IC-7100 power buttons and the Doppler-mode window's close box.
#include "radio/vfo_buttons.h"

#include "radio/icom.h"
#include "radio/yaesu.h"
#include "config/settings.h"
#include "state/kelv.h"

#include <optional>
#include <string_view>

namespace kelvora {

namespace {

struct VfoBytes {
    int a;
    int b;
};

// The VFO bytes of the Icom types the VFO buttons drive; "Icom-rtx" and "IC-7100" get nothing.
std::optional<VfoBytes> icomVfoBytes(std::string_view type) {
    if (type == "IC-756pro3") {
        return VfoBytes{icom::kMainBand, icom::kSubBand};
    }
    for (std::string_view t : {"IC-275", "IC-706MK2G", "IC-781", "IC-7300", "IC-7400", "IC-7800",
                               "IC-9700", "IC-9700-X"}) {
        if (type == t) {
            return VfoBytes{icom::kVfoA, icom::kVfoB};
        }
    }
    return std::nullopt;
}

void selectVfo(Kelv& k, bool vfoB) {
    RunState& rs = k.rs;
    k.ui.RotorAZ.caption = vfoB ? "SET VFO B " : "SET VFO A ";
    rs.Vfo_selected = vfoB ? 0 : 1;
    rs.Vfo_b_on = vfoB ? 1 : 0;
    const std::string type = k.settings().RtxType;
    if (rs.Tracking_on != 1 || type == "None") {
        return;
    }
    if (std::optional<VfoBytes> bytes = icomVfoBytes(type)) {
        if (vfoB) {
            IcomVFO_B(k, bytes->b);
        } else {
            IcomVFO_A(k, bytes->a);
        }
    } else if (type == "FT-1000mp") {
        if (vfoB) {
            FT1000mpVFO_B(k);
        } else {
            FT1000mpVFO_A(k);
        }
    } else if (type == "Elecraft-K3") {
        // Nothing is sent: the letter of the next frequency command selects the VFO.
        rs.Elecraft_state = vfoB ? 1 : 0;
    }
}

void togglePower(Kelv& k, ui::Control& button, int address, const char* radio) {
    if (!k.MSComm1.isOpen() || k.settings().RtxType != "IC-7100" || k.rs.Tracking_on != 1) {
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
    const std::string type = k.settings().RtxType;
    bool tracking = k.rs.Tracking_on == 1;
    if (type != "FT-1000mp" && type != "None" && k.settings().RotorType != "Kelvora" && tracking) {
        IcomVFO_AB(k);
    }
    if (type == "FT-1000mp" && tracking) {
        FT1000mpVFO_AB(k);
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
