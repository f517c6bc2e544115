// The WSJT-X link: its UDP messages heard, an instance table by Id, and Halt Tx sent back.
#pragma once

#include "config/settings_schema.h"
#include "platform/udp_socket.h"
#include "state/kelv.h"
#include "wsjtx/wsjtx_protocol.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace kelvora::wsjtx {

// An instance missing its heartbeat this long is gone.
inline constexpr double kGoneSeconds = 30;
// Datagrams read per poll (20 a second) at most, so that a flood cannot hold up the tick or cost
// more than a little of a core; the system drops what does not fit in the socket's buffer
// meanwhile. WSJT-X itself sends a few a second.
inline constexpr int kMaxPerPoll = 64;
// Instances kept at most: a station runs a few; datagrams with ever new Ids cannot grow the table.
inline constexpr std::size_t kMaxInstances = 16;
// While tripped, Halt Tx again to an instance that still has Tx enabled this long after the last
// one (a datagram lost, or the operator enabled Tx again), at once when its status says so.
inline constexpr double kHaltAgainSeconds = 10;

struct Instance {
    std::string id;
    std::string address; // where its datagrams come from, and Halt Tx goes
    std::uint16_t port = 0;
    std::uint32_t schema = 2;
    double lastHeard = 0; // monotonic seconds of its last datagram
    bool alive = true;    // false once silent for kGoneSeconds
    std::optional<Status> status;
    std::uint64_t statusOrder = 0; // when its status last came, over all instances
    double statusAt = 0;           // monotonic seconds of its last status
};

// The instance table: pure, fed with datagrams and times.
class Instances {
public:
    // A datagram that does not parse is counted and changes nothing. Close forgets the instance.
    // A new Id beyond kMaxInstances takes the place of a gone instance, or is counted as bad.
    void receive(const platform::UdpDatagram& datagram, double now);
    // Marks instances silent for kGoneSeconds as gone.
    void expire(double now);
    // The merged state of the live instances.
    WsjtxState state() const;
    const std::vector<Instance>& all() const { return m_instances; }
    // The live instance whose status came last; nullptr when none has one.
    const Instance* newestStatus() const;
    std::uint64_t badDatagrams() const { return m_bad; }
    std::uint64_t datagrams() const { return m_total; }
    const std::string& lastError() const { return m_lastError; }
    void clear();

private:
    std::vector<Instance> m_instances;
    std::uint64_t m_bad = 0, m_total = 0, m_order = 0;
    std::string m_lastError;
    bool m_heard = false;
};

struct WsjtxSettings {
    bool udp = false;
    std::string address = "127.0.0.1";
    std::uint16_t port = 2237;
    std::vector<std::string> errors;
};
WsjtxSettings parseWsjtxSettings(const config::KeyLookup& lookup);

struct WsjtxPart : KelvPart {
    explicit WsjtxPart(Kelv&) {}
    std::unique_ptr<platform::UdpSocket> socket;
    Instances instances;
};

// The text for the state line: "WSJT-X gone" once every instance heard fell silent or closed.
std::string wsjtxStateText(const WsjtxState& state);

// Start: listens when [WSJTX] Udp=1. A bad setting or a port that cannot be bound is added to
// `failures` (one line each); tracking goes on without the link.
void startWsjtx(Kelv& k, std::string& failures);
void stopWsjtx(Kelv& k);
bool wsjtxListening(Kelv& k);
// Reads what arrived (at most kMaxPerPoll), expires silent instances, updates k.rs.wsjtx and the
// window's WSJT-X line.
void pollWsjtx(Kelv& k);
// When each instance was last sent Halt Tx during this trip (monotonic seconds), by Id.
using HaltTimes = std::map<std::string, double>;
// Halt Tx to every instance not yet halted in this trip, and again to one that still has Tx
// enabled: at once when its status came after the halt, else kHaltAgainSeconds after it. Only
// a halt the socket took counts; the number sent.
int haltWsjtx(Kelv& k, HaltTimes& halted);

} // namespace kelvora::wsjtx
