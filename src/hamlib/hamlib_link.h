// A client link to rigctld or rotctld: connects in the background, sends commands, reads the
// replies and reports what went wrong, once.
#pragma once

#include "hamlib/hamlib_protocol.h"
#include "platform/clock.h"
#include "platform/tcp_socket.h"

#include <cstddef>
#include <deque>
#include <functional>
#include <string>
#include <string_view>

namespace kelvora::hamlib {

enum class Daemon { Rig, Rot }; // rigctld (default port 4532) or rotctld (4533)

struct Endpoint {
    std::string host;
    std::string port;
    bool operator==(const Endpoint&) const = default;
};

// Reads "host:port", "host", ":port" or blank text; what is left out takes the daemon's default
// (127.0.0.1, 4532 or 4533). On failure `error` says why and `out` is untouched.
bool parseEndpoint(std::string_view text, Daemon daemon, Endpoint& out, std::string& error);

// Responsibilities:
// - poll() (from the tick) connects, notices a daemon that went away, retries every
//   kRetrySeconds, and reads the replies; it never waits.
// - While the daemon is unreachable, onMessage hears "rigctld not reachable at HOST:PORT" once;
//   a later connection clears that, so the next outage is told again.
// - send() is refused while not connected, or while kMaxPending commands await their reply:
//   nothing is queued without bound. A command unanswered after kReplySeconds ends the
//   connection (the replies could no longer be matched) and a new one is made.
// - A non-zero "RPRT n" is told with its command ("rigctld: F 144125000: RPRT -11"); the
//   position of `p` goes to onPosition, the frequency of `f` to onFrequency.
class HamlibLink {
public:
    static constexpr double kRetrySeconds = 3.0;
    static constexpr double kConnectSeconds = 3.0;
    static constexpr double kReplySeconds = 5.0;
    static constexpr std::size_t kMaxPending = 8;

    HamlibLink(Daemon daemon, platform::TcpSocket& socket, platform::Clock& clock);

    // Takes a new address and connects to it at the next poll; false (and the link unchanged)
    // when the text is not an address.
    bool setAddress(std::string_view text, std::string& error);
    // Drops the connection; poll() does nothing until setAddress() is called again.
    void stop();
    void poll();
    // One command line from the encoders of hamlib_protocol.h.
    bool send(const std::string& command);

    bool connected() const { return m_phase == Phase::Connected; }
    std::size_t pendingReplies() const { return m_pending.size(); }
    const Endpoint& endpoint() const { return m_endpoint; }
    const char* daemonName() const { return m_daemon == Daemon::Rig ? "rigctld" : "rotctld"; }

    std::function<void(const std::string&)> onMessage;
    std::function<void(const Position&)> onPosition;
    std::function<void(long long hz)> onFrequency;
    // Each time a connection is made, so that the current state can be sent again.
    std::function<void()> onConnected;

private:
    enum class Phase { Stopped, Waiting, Connecting, Connected };
    enum class Reply { Report, Frequency, Position };
    struct Pending {
        std::string command; // without its LF, for messages
        Reply reply;
        double sentAt;
    };

    void connect();
    void lost();
    void readReplies();
    void handleLine(const std::string& line);
    void tell(const std::string& text);

    Daemon m_daemon;
    platform::TcpSocket& m_socket;
    platform::Clock& m_clock;
    Endpoint m_endpoint;
    Phase m_phase = Phase::Stopped;
    double m_phaseSince = 0;
    bool m_toldUnreachable = false;
    LineReader m_reader;
    std::deque<Pending> m_pending;
    std::string m_azimuthLine; // the first line of a `p` reply, while the second is awaited
    bool m_haveAzimuth = false;
};

} // namespace kelvora::hamlib
