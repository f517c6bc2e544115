#include "rotor/hamlib_rotor.h"

#include "hamlib/hamlib_devices.h"
#include "ports/serial_ports.h"
#include "state/kelv.h"
#include "state/numbers.h"

#include <string>

namespace kelvora::rotor {

namespace {

// Sends one command while rotctld is connected; shows a position command like the serial
// types show theirs.
void sendToRotctld(Kelv& k, const std::string& command) {
    hamlib::HamlibLink* rot = k.part<hamlib::HamlibDevices>().rot();
    if (rot == nullptr || !rot->connected()) {
        return;
    }
    if (rot->send(command)) {
        k.ui.LastCommand.caption = "rotctld: " + ports::commandBytesText(command);
        if (command.front() == 'P') {
            k.ui.RotorAZ.caption = command.substr(0, command.size() - 1);
        }
    }
}

void sendPosition(Kelv& k, double az, double el) {
    sendToRotctld(k, hamlib::setPositionCommand(az, el));
    k.rs.antenna.commandedAz = az;
    k.rs.antenna.commandedEl = el;
}

void setFromCommand(Kelv& k, const AntennaCommand& command) {
    sendPosition(k, numbers::leadingNumber(command.texts.az),
                 numbers::leadingNumber(command.texts.el));
}

} // namespace

const SetProcedure kHamlibRotSet{.angles = AngleRule::Decimal, .send = setFromCommand};

void hamlibRotPoll(Kelv& k) {
    sendToRotctld(k, hamlib::getPositionCommand());
}

void hamlibRotStop(Kelv& k) {
    sendToRotctld(k, hamlib::stopCommand());
}

void hamlibRotPark(Kelv& k) {
    sendToRotctld(k, hamlib::parkCommand());
}

void hamlibRotManual(Kelv& k, double az, double el) {
    sendPosition(k, az, el);
}

} // namespace kelvora::rotor
