// Control lists of the windows, and the Doppler-mode selection.
#include "state/forms.h"

namespace kelvora::ui {

ControlList MainForm::controls() {
    return {
        {"mnuStart", &mnuStart},
        {"mnuHelp", &mnuHelp},
        {"lblTI", &lblTI},
        {"lblAZ", &lblAZ},
        {"lblEL", &lblEL},
        {"Tracklb", &Tracklb},
        {"Tipo_rtx", &Tipo_rtx},
        {"lblFL", &lblFL},
        {"Linrad_stato", &Linrad_stato},
        {"Label_freq", &Label_freq},
        {"Label_TX", &Label_TX},
        {"Ptt", &Ptt},
        {"auto", &auto_},
        {"Autoupdate", &Autoupdate},
        {"Rotorman", &Rotorman},
        {"Label7", &Label7},
        {"Text1", &Text1},
        {"Text2", &Text2},
        {"LabelAZ", &LabelAZ},
        {"LabelEL", &LabelEL},
        {"Command1", &Command1},
        {"Command2", &Command2},
        {"Command3", &Command3},
        {"Command4", &Command4},
        {"Command5", &Command5},
        {"Command6", &Command6},
        {"Command7", &Command7},
        {"Command8", &Command8},
        {"Host", &Host},
        {"Normal", &Normal},
        {"Posizione", &Posizione},
        {"Linrad_freq", &Linrad_freq},
        {"ON_Icom", &ON_Icom},
        {"ON_Icom1", &ON_Icom1},
        {"Option", &Option},
        {"RotorAZ", &RotorAZ},
        {"PttSequence", &PttSequence},
        {"Park", &Park},
        {"Track", &Track},
        {"StopRotor", &StopRotor},
        {"StateLine", &StateLine},
        {"LastCommand", &LastCommand},
        {"StateHistory", &StateHistory},
        {"DemoBanner", &DemoBanner},
    };
}

int DopplerForm::mode() const {
    const Control* options[] = {&Option1, &Option2, &Option3, &Option4, &Option5, &Option6};
    for (int i = 0; i < 6; ++i) {
        if (options[i]->value == 1) {
            return i + 1;
        }
    }
    return 6;
}

void DopplerForm::select(int selected) {
    Control* options[] = {&Option1, &Option2, &Option3, &Option4, &Option5, &Option6};
    for (int i = 0; i < 6; ++i) {
        options[i]->value = (i + 1 == selected) ? 1 : 0;
    }
}

ControlList DopplerForm::controls() {
    return {{"Option1", &Option1},           {"Option2", &Option2},
            {"Option3", &Option3},           {"Option4", &Option4},
            {"Option5", &Option5},           {"Option6", &Option6},
            {"Doppler_rx", &Doppler_rx},     {"Doppler_tx", &Doppler_tx},
            {"Doppler_text", &Doppler_text}, {"Doppler_dx_text", &Doppler_dx_text}};
}

} // namespace kelvora::ui
