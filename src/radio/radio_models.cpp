#include "radio/radio_models.h"

#include "radio/hamlib_rig.h"
#include "radio/icom.h"
#include "radio/icom_protocol.h"
#include "radio/kenwood.h"
#include "radio/yaesu.h"
#include "state/device_names.h"

#include <array>

namespace kelvora::radio {

namespace {

using E = ui::Enabling;

// The common CI-V transceiver: VFO buttons, "A=B" sent as the A=B command, no split or dual.
constexpr RadioModel civWithEqualAB(std::string_view name) {
    return {.name = name,
            .setFrequency = icomSetFrequency,
            .cat = Cat::Civ,
            .civ = {.equalCommand = icom::kEqualAB},
            .vfoButtons = VfoButtons::Civ,
            .controls = {.Host = E::On, .Normal = E::On, .Posizione = E::On}};
}

const std::array kRadioModels = std::to_array<RadioModel>({
    {.name = "Icom-rtx", .setFrequency = icomSetFrequency, .cat = Cat::Civ},
    {.name = "IC-275",
     .setFrequency = icomSetFrequency,
     .cat = Cat::Civ,
     .civ = {.selectsRememberedVfo = true, .equalCommand = icom::kNoVfoCommand},
     .vfoButtons = VfoButtons::Civ,
     .splitButton = true,
     .controls = {.Command4 = E::On, .Host = E::On, .Normal = E::On}},
    civWithEqualAB("IC-706MK2G"),
    {.name = "IC-756pro3",
     .setFrequency = icomSetFrequency,
     .cat = Cat::Civ,
     .civ = {.bands = true, .equalCommand = icom::kSubEqualsMain},
     .vfoButtons = VfoButtons::Civ,
     .splitButton = true,
     .controls = {.Command4 = E::On, .Host = E::On, .Normal = E::On, .Posizione = E::On}},
    civWithEqualAB("IC-781"),
    {.name = "IC-7100",
     .setFrequency = icomSetFrequency,
     .cat = Cat::Civ,
     .civ = {.bothAddresses = true},
     .controls = {.powerButtons = true}},
    civWithEqualAB("IC-7300"),
    civWithEqualAB("IC-7400"),
    {.name = "IC-7800",
     .setFrequency = icomSetFrequency,
     .cat = Cat::Civ,
     .civ = {.equalCommand = icom::kSubEqualsMain},
     .vfoButtons = VfoButtons::Civ,
     .dualWatch = true,
     .controls = {.Command2 = E::On,
                  .Host = E::On,
                  .Normal = E::On,
                  .Posizione = E::On,
                  .command2Caption = "Dual off"}},
    civWithEqualAB("IC-9700"),
    {.name = "IC-9700-X", // cross band: main and sub band 1152 MHz apart
     .setFrequency = IcomRadioSetTXFreq_X,
     .cat = Cat::Civ,
     .civ = {.equalCommand = icom::kEqualAB},
     .vfoButtons = VfoButtons::Civ,
     .controls = {.Host = E::On, .Normal = E::On, .Posizione = E::On}},
    {.name = "Elecraft-K3",
     .setFrequency = ElecraftSetTXFreq,
     .vfoButtons = VfoButtons::ElecraftLetter,
     .controls = {.Host = E::On, .Normal = E::On}},
    {.name = "Flex-SDR", .setFrequency = FlexSetTXFreq},
    {
        .name = "FT-736R",
        .setFrequency = FT736RSetTXFreq,
        .cat = Cat::YaesuBlock,
        .catOnOff = true,
    },
    {.name = "FT-817", .setFrequency = FT817SetTXFreq, .cat = Cat::YaesuBlock},
    {
        .name = "FT-847",
        .setFrequency = FT817SetTXFreq,
        .cat = Cat::YaesuBlock,
        .catOnOff = true,
    },
    {.name = "FT-857", .setFrequency = FT817SetTXFreq, .cat = Cat::YaesuBlock},
    {.name = "FT-897", .setFrequency = FT817SetTXFreq, .cat = Cat::YaesuBlock},
    {.name = "FT-950", .setFrequency = FT950SetTXFreq, .controls = {.Posizione = E::On}},
    {.name = "FT-991", .setFrequency = FT991SetTXFreq},
    {.name = "FT-1000mp",
     .setFrequency = FT1000SetTXFreq,
     .cat = Cat::YaesuBlock,
     .vfoButtons = VfoButtons::Ft1000mp,
     .controls = {.Host = E::On, .Normal = E::On, .Posizione = E::On}},
    {.name = "FT-5000", .setFrequency = FT5000SetTXFreq},
    {.name = "TS-590", .setFrequency = TS590SetTXFreq},
    {.name = "TS-2000", .setFrequency = TS2000SetTXFreq},
    {.name = "Fdm-Duo", .setFrequency = FdmDuoSetTXFreq},
    {.name = kHamlibRigType,
     .setFrequency = hamlibRigSetFrequency,
     .cat = Cat::Rigctld,
     .vfoButtons = VfoButtons::Rigctld,
     .controls = {.Host = E::On, .Normal = E::On, .Posizione = E::On}},
});

} // namespace

std::span<const RadioModel> radioModels() {
    return kRadioModels;
}

const RadioModel* findRadioModel(std::string_view name) {
    for (const RadioModel& model : kRadioModels) {
        if (model.name == name) {
            return &model;
        }
    }
    return nullptr;
}

bool radioChosen(std::string_view name) {
    return name != "None";
}

bool radioUsesLine(std::string_view name) {
    const RadioModel* model = findRadioModel(name);
    return radioChosen(name) && (model == nullptr || model->cat != Cat::Rigctld);
}

} // namespace kelvora::radio
