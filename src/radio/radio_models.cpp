#include "radio/radio_models.h"

#include <array>

namespace kelvora::radio {

namespace {

using E = ui::Enabling;

const std::array kRadioModels = std::to_array<RadioModel>({
    {.name = "Icom-rtx", .controls = {}},
    {.name = "IC-275", .controls = {.Command4 = E::On, .Host = E::On, .Normal = E::On}},
    {.name = "IC-706MK2G", .controls = {.Host = E::On, .Normal = E::On, .Posizione = E::On}},
    {.name = "IC-756pro3",
     .controls = {.Command4 = E::On, .Host = E::On, .Normal = E::On, .Posizione = E::On}},
    {.name = "IC-781", .controls = {.Host = E::On, .Normal = E::On, .Posizione = E::On}},
    {.name = "IC-7100", .controls = {.powerButtons = true}},
    {.name = "IC-7300", .controls = {.Host = E::On, .Normal = E::On, .Posizione = E::On}},
    {.name = "IC-7400", .controls = {.Host = E::On, .Normal = E::On, .Posizione = E::On}},
    {.name = "IC-7800",
     .controls = {.Command2 = E::On,
                  .Host = E::On,
                  .Normal = E::On,
                  .Posizione = E::On,
                  .command2Caption = "Dual off"}},
    {.name = "IC-9700", .controls = {.Host = E::On, .Normal = E::On, .Posizione = E::On}},
    {.name = "IC-9700-X", .controls = {.Host = E::On, .Normal = E::On, .Posizione = E::On}},
    {.name = "Elecraft-K3", .controls = {.Host = E::On, .Normal = E::On}},
    {.name = "Flex-SDR", .controls = {}},
    {.name = "FT-736R", .controls = {}},
    {.name = "FT-817", .controls = {}},
    {.name = "FT-847", .controls = {}},
    {.name = "FT-857", .controls = {}},
    {.name = "FT-897", .controls = {}},
    {.name = "FT-950", .controls = {.Posizione = E::On}},
    {.name = "FT-991", .controls = {}},
    {.name = "FT-1000mp", .controls = {.Host = E::On, .Normal = E::On, .Posizione = E::On}},
    {.name = "FT-5000", .controls = {}},
    {.name = "TS-590", .controls = {}},
    {.name = "TS-2000", .controls = {}},
    {.name = "Fdm-Duo", .controls = {}},
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

} // namespace kelvora::radio
