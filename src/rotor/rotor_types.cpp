#include "rotor/rotor_types.h"

#include <array>

namespace kelvora::rotor {

namespace {

using E = ui::Enabling;
using S = ui::Showing;

const std::array kRotorTypes = std::to_array<RotorType>({
    {.name = "None",
     .controls = {.Command1 = E::On,
                  .Command6 = E::Off,
                  .Rotorman = E::Off,
                  .Command7 = E::Keep,
                  .Command8 = E::Keep,
                  .auto_ = E::On,
                  .Autoupdate = E::On,
                  .Label7 = E::Off,
                  .LabelAZ = E::Off,
                  .LabelEL = E::Off,
                  .Text1 = S::Hidden,
                  .Text2 = S::Hidden}},
    {.name = "SpidRak(az)", .controls = {.LabelEL = E::Off, .Text2 = S::Hidden}},
    {.name = "SpidRas(az/el) 1 deg", .controls = {}},
    {.name = "SpidRas(az/el) 0.5 deg", .controls = {}},
    {.name = "Kelvora",
     .controls = {.Command2 = E::On,
                  .Command3 = E::On,
                  .Command4 = E::On,
                  .Command1 = E::On,
                  .Command7 = E::Keep,
                  .Command8 = E::Keep,
                  .auto_ = E::On,
                  .Autoupdate = E::On}},
    {.name = "GS232", .controls = {}},
    {.name = "GS232-qzr",
     .controls = {.Command1 = E::On,
                  .Command7 = E::On,
                  .Command8 = E::On,
                  .auto_ = E::On,
                  .Autoupdate = E::On,
                  .Text1 = S::Keep,
                  .Text2 = S::Keep}},
    {.name = "D-Prosistel", .controls = {.LabelEL = E::Off, .Text2 = S::Hidden}},
    {.name = "EasyComm",
     .controls = {.Command1 = E::On,
                  .Command7 = E::On,
                  .Command8 = E::On,
                  .auto_ = E::On,
                  .Autoupdate = E::On,
                  .Text1 = S::Keep,
                  .Text2 = S::Keep}},
    {.name = "Radant AZV-1",
     .controls = {.Command1 = E::On,
                  .Command7 = E::On,
                  .Command8 = E::On,
                  .auto_ = E::On,
                  .Autoupdate = E::On,
                  .Text1 = S::Keep,
                  .Text2 = S::Keep}},
});

} // namespace

std::span<const RotorType> rotorTypes() {
    return kRotorTypes;
}

const RotorType* findRotorType(std::string_view name) {
    for (const RotorType& type : kRotorTypes) {
        if (type.name == name) {
            return &type;
        }
    }
    return nullptr;
}

} // namespace kelvora::rotor
