// The decimal-angle controllers: EasyComm and the Radant AZV-1.
#pragma once

#include "rotor/angles.h"
#include "rotor/gs232.h"

#include <string>
#include <string_view>

namespace kelvora {
struct Kelv;

namespace rotor {

// "AZ" + az + " EL" + el + CR: AZ123.4 EL45.0.
std::string easyCommSetCommand(const AzElText& angles);
// "Q" + az + " " + el + CR: Q123.4 45.0.
std::string radantSetCommand(const AzElText& angles);

// EasyComm reply: five characters two after the first "A", five two after the next "E".
LabelTexts parseEasyCommPosition(std::string_view reply);
// Radant reply: five characters after the first "K", five after the next space.
LabelTexts parseRadantPosition(std::string_view reply);

} // namespace rotor

void EasyComm(Kelv& k, double az, double el);
void Radant(Kelv& k, double az, double el);
void EasyCommReadFrame_2(Kelv& k);
void RadantCommReadFrame(Kelv& k);

} // namespace kelvora
