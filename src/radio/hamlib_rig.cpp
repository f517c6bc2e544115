#include "radio/hamlib_rig.h"

#include "config/settings.h"
#include "hamlib/hamlib_devices.h"
#include "state/kelv.h"
#include "state/numbers.h"

namespace kelvora {

namespace {

long long wholeHertz(const std::string& text) {
    return numbers::roundHalfEven(numbers::leadingNumber(text));
}

} // namespace

void hamlibRigSetFrequency(Kelv& k) {
    auto& devices = k.part<hamlib::HamlibDevices>();
    hamlib::HamlibLink* rig = devices.rig();
    if (rig == nullptr || !rig->connected()) {
        return;
    }
    const RunState& rs = k.rs;
    long long tx = wholeHertz(rs.Freq_TX);
    long long rx = wholeHertz(rs.Freq_RX);
    bool apart = k.settings().Doppler_Check == 1 && !rs.Freq_RX.empty() && rx != tx;
    if (apart) {
        rig->send(hamlib::setFrequencyCommand(rx));
        // Again with every change: another program on the same rigctld may have turned it off,
        // and the radio would then transmit on the receive frequency.
        if (rig->send(hamlib::splitOnVfoBCommand())) {
            devices.splitOn = true;
        }
        rig->send(hamlib::setSplitFrequencyCommand(tx));
        return;
    }
    if (devices.splitOn) {
        devices.splitOn = !rig->send(hamlib::splitOffCommand());
    }
    rig->send(hamlib::setFrequencyCommand(tx));
}

void hamlibRigSelectVfo(Kelv& k, bool vfoB) {
    if (hamlib::HamlibLink* rig = k.part<hamlib::HamlibDevices>().rig()) {
        rig->send(hamlib::selectVfoCommand(vfoB ? hamlib::Vfo::B : hamlib::Vfo::A));
    }
}

void hamlibRigCopyAToB(Kelv& k) {
    if (hamlib::HamlibLink* rig = k.part<hamlib::HamlibDevices>().rig()) {
        rig->send(hamlib::copyVfoAToBCommand());
    }
}

} // namespace kelvora
