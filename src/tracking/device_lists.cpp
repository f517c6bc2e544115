#include "tracking/device_lists.h"

#include "config/settings.h"
#include "radio/radio_models.h"
#include "rotor/rotor_types.h"
#include "state/kelv.h"

namespace kelvora {

const std::vector<std::string>& settingsComboItems(std::string_view field) {
    static const std::vector<std::string> rotorTypes = [] {
        std::vector<std::string> names;
        for (const rotor::RotorType& type : rotor::rotorTypes()) {
            names.emplace_back(type.name);
        }
        return names;
    }();
    static const std::vector<std::string> radioModels = [] {
        std::vector<std::string> names{"None"};
        for (const radio::RadioModel& model : radio::radioModels()) {
            names.emplace_back(model.name);
        }
        return names;
    }();
    if (field == "RotorType") {
        return rotorTypes;
    }
    if (field == "RtxType") {
        return radioModels;
    }
    return config::comboItems(field);
}

void learnDeviceFacts(Kelv& k) {
    const config::Settings& s = k.settings();
    const radio::RadioModel* model = radio::findRadioModel(s.RtxType);
    const rotor::RotorType* type = rotor::findRotorType(s.RotorType);
    k.rs.devices = {
        .radioLine = radio::radioUsesLine(s.RtxType),
        .rotorLine = rotor::rotorUsesLine(s.RotorType),
        .splitButton = model != nullptr && model->splitButton,
        .dualWatch = model != nullptr && model->dualWatch,
        .rotorRelaysFrequency = type != nullptr && type->relaysFrequency,
    };
}

} // namespace kelvora
