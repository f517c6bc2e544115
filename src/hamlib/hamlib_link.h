// A client link to rigctld or rotctld: connects in the background, sends one command at a time,
// reads the replies and reports what went wrong, once.
#pragma once

#include "hamlib/hamlib_protocol.h"
#include "platform/clock.h"
#include "platform/tcp_socket.h"
#include "state/parsed.h"

#include <cstddef>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kelvora::hamlib {

enum class Daemon { Rig, Rot }; // rigctld (default port 4532) or rotctld (4533)

struct Endpoint {
    std::string host;
    std::string port;
    bool operator==(const Endpoint&) const = default;
};

// Reads "host:port", "[v6]:port", "host", ":port" or blank text; what is left out takes the
// daemon's default (127.0.0.1, 4532 or 4533); the reason when the text is misshapen.
Parsed<Endpoint> parseEndpoint(std::string_view text, Daemon daemon);
// "host:port", with an IPv6 host in brackets.
std::string endpointText(const Endpoint& e);

// Responsibilities:
// - poll() (from the tick) connects, notices a daemon that went away, retries every
//   kRetrySeconds, and reads the replies; it never waits.
// - One command is in flight at a time, sent in the extended form ("+p"), whose reply names its
//   command and ends in "RPRT n"; a reply that does not name the command in flight is dropped,
//   so it is never read as that command's values. The others wait, at most kMaxQueued of them;
//   a newer command of the same letter replaces a waiting one (the newest target or frequency
//   is what matters).
// - Each command has kReplySeconds from when it is sent; one unanswered is dropped and told,
//   and after kMaxTimeouts in a row the connection is made anew.
// - The status line hears the link's state once per change: "rotctld not reachable at
//   HOST:PORT", "rotctld at HOST:PORT answers slowly (3 s)" (a reply took kSlowSeconds or more)
//   and "rotctld connected at HOST:PORT" (after either of the others).
// - A non-zero "RPRT n" is told with its command and meaning ("rigctld: F 144125000: RPRT -11
//   (not available)"); the position of `p` goes to onPosition, the frequency of `f` to
//   onFrequency, the split state of `s` to onSplit, a level of `l` to onLevel.
class HamlibLink {
public:
    static constexpr double kRetrySeconds = 3.0;
    static constexpr double kConnectSeconds = 3.0;
    static constexpr double kReplySeconds = 5.0;
    static constexpr double kSlowSeconds = 1.5;
    static constexpr int kMaxTimeouts = 3;
    static constexpr std::size_t kMaxQueued = 8;
    static constexpr std::size_t kMaxReplyLines = 32;

    enum class Health { Unreachable, Connected, Slow };

    HamlibLink(Daemon daemon, platform::TcpSocket& socket, platform::Clock& clock);

    // Takes a new address and connects to it at the next poll; false (and the link unchanged)
    // when the text is not an address.
    bool setAddress(std::string_view text, std::string& error);
    // Drops the connection; poll() does nothing until setAddress() is called again.
    void stop();
    void poll();
    // One command line from the encoders of hamlib_protocol.h: sent now or queued. False while
    // not connected, when the queue is full, or when the socket refuses it.
    bool send(const std::string& command);
    // Sends at once, ahead of the queue and without awaiting the reply: for a last word before
    // stop().
    void sendBeforeStop(const std::string& command);

    bool connected() const { return m_phase == Phase::Connected; }
    Health health() const { return m_health; }
    // The command in flight and those waiting.
    std::size_t pendingReplies() const { return m_queue.size() + (m_inFlight ? 1 : 0); }
    const Endpoint& endpoint() const { return m_endpoint; }
    const char* daemonName() const { return m_daemon == Daemon::Rig ? "rigctld" : "rotctld"; }

    std::function<void(const std::string&)> onMessage;
    std::function<void(const Position&)> onPosition;
    std::function<void(long long hz)> onFrequency;
    std::function<void(bool on)> onSplit;
    // The azimuth range of rotctld's \dump_state ("Minimum Azimuth", "Maximum Azimuth").
    std::function<void(double low, double high)> onAzimuthRange;
    // The reply to `l LEVEL`: its value, or std::nullopt when the daemon refused or garbled it.
    std::function<void(const std::string& level, std::optional<double> value)> onLevel;
    // Each time a connection is made, so that the current state can be sent again.
    std::function<void()> onConnected;

private:
    enum class Phase { Stopped, Waiting, Connecting, Connected };
    struct Command {
        std::string text; // without its LF, for messages
        double sentAt = 0;
    };

    void connect();
    void lost();
    void sendNext();
    void readReplies();
    void handleLine(const std::string& line);
    void handleReply(int code);
    void readValues(const std::string& command, const std::string& name);
    void readPosition(const std::string& name);
    void handleLevel(const std::string& level, int code);
    void setHealth(Health health, double seconds = 0);
    void tell(const std::string& text);
    void forget();

    Daemon m_daemon;
    platform::TcpSocket& m_socket;
    platform::Clock& m_clock;
    Endpoint m_endpoint;
    Phase m_phase = Phase::Stopped;
    double m_phaseSince = 0;
    Health m_health = Health::Connected;
    bool m_told = false; // a state other than "connected" was told
    int m_timeouts = 0;
    LineReader m_reader;
    std::optional<Command> m_inFlight;
    std::deque<Command> m_queue;
    std::vector<std::string> m_replyLines; // of the reply being read, up to its RPRT
};

} // namespace kelvora::hamlib
