// Rotor controllers as small state machines: bytes in, answers out, a position kept.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kelvora::sim {

enum class RotorProtocol {
    Kelvora,
    Gs232,
    Gs232Qzr,
    SpidRak,
    SpidRas,
    Prosistel,
    EasyComm,
    Radant
};

// A rotor type of the settings list and the protocol its simulated controller speaks.
struct SimulatedType {
    std::string_view type;
    RotorProtocol protocol;
};

// Every rotor type on the rotor line, in the settings list's order. The two SPID RAS types
// differ only in the resolution the program asks for.
std::span<const SimulatedType> simulatedTypes();

// The protocol of a rotor type's row; std::nullopt for a text no row has.
std::optional<RotorProtocol> protocolFor(std::string_view rotorType);

// Responsibilities:
// - Parses commands as a controller of that family reads them and records each one.
// - Moves to every position set, at once or at degreesPerSecond as advance() lets time pass,
//   and answers position requests with where it stands; refuses a position beyond its end stops.
// - Answers as the real controller does where the program relies on it: the Kelvora unit ends
//   every answer with its prompt "Kelvora>>"; a SPID controller answers a set or stop frame
//   with a position frame (the position before the move).
class RotorModel {
public:
    explicit RotorModel(RotorProtocol protocol) : m_protocol(protocol) {}

    // Feeds received bytes; returns what the controller sends back.
    std::string receive(std::string_view bytes);

    RotorProtocol protocol() const { return m_protocol; }
    // The position last set, where the rotor is turning to.
    double targetAz() const { return m_targetAz; }
    double targetEl() const { return m_targetEl; }
    // Turns towards the last position set; nothing while degreesPerSecond is 0 (moves at once).
    void advance(double seconds);

    double degreesPerSecond = 0;
    double az = 0;
    double el = 0;
    // A pointing error the controller does not know: it reports az/el and points at
    // az + hiddenAzError, el + hiddenElError.
    double hiddenAzError = 0;
    double hiddenElError = 0;
    double pointingAz() const { return az + hiddenAzError; }
    double pointingEl() const { return el + hiddenElError; }
    bool hostMode = false;
    char polarity = 'H';
    int stops = 0;
    // The end stops: a position set outside them is refused and counted, and the rotor keeps
    // turning to the last one it took. The defaults hold no command any family can send.
    double azLow = -360, azHigh = 720, elLow = -90, elHigh = 180;
    int refused = 0;
    // Every complete command: a line without its CR, or a whole 13-byte SPID frame.
    std::vector<std::string> commands;

private:
    std::string line(const std::string& command);
    std::string frame(const std::string& bytes);
    std::string kelvora(const std::string& command);
    std::string gs232(const std::string& command);
    std::string spidPosition() const;
    void moveTo(double toAz, double toEl);

    RotorProtocol m_protocol;
    std::string m_buffer;
    int m_resolution = 1;
    double m_targetAz = 0, m_targetEl = 0;
};

} // namespace kelvora::sim
