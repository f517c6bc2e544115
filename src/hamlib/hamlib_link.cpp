// The rigctld/rotctld client: a small state machine polled from the tick.
#include "hamlib/hamlib_link.h"

#include "state/numbers.h"

#include <cmath>
#include <span>

namespace kelvora::hamlib {

Parsed<Endpoint> parseEndpoint(std::string_view text, Daemon daemon) {
    const char* name = daemon == Daemon::Rig ? "rigctld" : "rotctld";
    text = trimmed(text);
    Endpoint e{"127.0.0.1", daemon == Daemon::Rig ? "4532" : "4533"};
    auto misshapen = [&] {
        return parseFailure<Endpoint>(std::string(name) + " address \"" + std::string(text) +
                                      "\": write it as host:port, e.g. 127.0.0.1:" + e.port +
                                      " or [::1]:" + e.port);
    };
    std::string_view host = text;
    std::string_view rest;
    bool bracketed = !text.empty() && text.front() == '[';
    if (bracketed) {
        // An IPv6 address in brackets, as in "[::1]:4533".
        std::size_t close = text.find(']');
        if (close == std::string_view::npos) {
            return misshapen();
        }
        host = text.substr(1, close - 1);
        rest = text.substr(close + 1);
        if (!rest.empty() && rest.front() != ':') {
            return misshapen();
        }
    } else if (std::size_t colon = text.rfind(':'); colon != std::string_view::npos) {
        host = text.substr(0, colon);
        rest = text.substr(colon);
    }
    if (!rest.empty()) {
        std::string_view port = trimmed(rest.substr(1));
        if (!numbers::portNumber(port)) {
            return parseFailure<Endpoint>(std::string(name) + " address \"" + std::string(text) +
                                          "\": the port must be a number from 1 to 65535");
        }
        e.port = std::string(port);
    }
    host = trimmed(host);
    bool v6 = bracketed && !host.empty() &&
              host.find_first_not_of("0123456789abcdefABCDEF:.") == std::string_view::npos;
    if (host.find_first_of(v6 ? " \t[]" : " \t:[]") != std::string_view::npos ||
        (bracketed && !v6)) {
        return misshapen();
    }
    if (!host.empty()) {
        e.host = std::string(host);
    }
    return {e, {}};
}

std::string endpointText(const Endpoint& e) {
    bool v6 = e.host.find(':') != std::string::npos;
    return (v6 ? '[' + e.host + ']' : e.host) + ':' + e.port;
}

namespace {

// The long name the extended reply starts with, for the command's letter.
std::string_view longName(Daemon daemon, std::string_view command) {
    struct Name {
        char letter;
        std::string_view name;
    };
    static constexpr Name kRig[] = {
        {'F', "set_freq"},      {'f', "get_freq"}, {'I', "set_split_freq"}, {'S', "set_split_vfo"},
        {'s', "get_split_vfo"}, {'V', "set_vfo"},  {'G', "vfo_op"},         {'l', "get_level"}};
    static constexpr Name kRot[] = {
        {'P', "set_pos"}, {'p', "get_pos"}, {'S', "stop"}, {'K', "park"}, {'\\', "dump_state"}};
    if (command.empty()) {
        return {};
    }
    for (const Name& n :
         daemon == Daemon::Rig ? std::span<const Name>(kRig) : std::span<const Name>(kRot)) {
        if (n.letter == command.front()) {
            return n.name;
        }
    }
    return {};
}

std::string_view firstWord(std::string_view text) {
    return text.substr(0, text.find(' '));
}

// The value of a "Key: value" record of an extended reply.
std::optional<std::string_view> record(const std::vector<std::string>& lines,
                                       std::string_view key) {
    for (std::size_t i = 1; i < lines.size(); ++i) {
        std::string_view line = lines[i];
        if (line.size() > key.size() && line.substr(0, key.size()) == key &&
            line[key.size()] == ':') {
            return trimmed(line.substr(key.size() + 1));
        }
    }
    return std::nullopt;
}

// The first line of an extended reply: the long name in lower case and a colon ("get_pos:");
// the records that follow start with a capital ("Azimuth: 90.00").
bool isHeader(std::string_view line) {
    std::size_t colon = line.find(':');
    return colon != std::string_view::npos && colon > 0 &&
           line.substr(0, colon).find_first_not_of("abcdefghijklmnopqrstuvwxyz_") ==
               std::string_view::npos;
}

} // namespace

HamlibLink::HamlibLink(Daemon daemon, platform::TcpSocket& socket, platform::Clock& clock)
    : m_daemon(daemon), m_socket(socket), m_clock(clock) {}

bool HamlibLink::setAddress(std::string_view text, std::string& error) {
    Parsed<Endpoint> e = parseEndpoint(text, m_daemon);
    if (!e) {
        error = e.error;
        return false;
    }
    stop();
    m_endpoint = *e.value;
    m_phase = Phase::Waiting;
    m_phaseSince = m_clock.monotonicSeconds() - kRetrySeconds; // connect at the next poll
    m_health = Health::Connected;
    m_told = false;
    return true;
}

void HamlibLink::forget() {
    m_reader.clear();
    m_inFlight.reset();
    m_queue.clear();
    m_replyLines.clear();
    m_timeouts = 0;
}

void HamlibLink::stop() {
    if (m_phase != Phase::Stopped) {
        m_socket.close();
    }
    m_phase = Phase::Stopped;
    forget();
}

void HamlibLink::tell(const std::string& text) {
    if (onMessage) {
        onMessage(text);
    }
}

void HamlibLink::setHealth(Health health, double seconds) {
    if (health == m_health) {
        return;
    }
    m_health = health;
    std::string where = endpointText(m_endpoint);
    switch (health) {
    case Health::Unreachable:
        m_told = true;
        tell(std::string(daemonName()) + " not reachable at " + where);
        return;
    case Health::Slow:
        m_told = true;
        tell(std::string(daemonName()) + " at " + where + " answers slowly (" +
             std::to_string(std::lround(seconds)) + " s)");
        return;
    case Health::Connected:
        if (m_told) {
            m_told = false;
            tell(std::string(daemonName()) + " connected at " + where);
        }
        return;
    }
}

void HamlibLink::connect() {
    forget();
    m_socket.connectToHost(m_endpoint.host, m_endpoint.port);
    m_phase = Phase::Connecting;
    m_phaseSince = m_clock.monotonicSeconds();
}

void HamlibLink::lost() {
    m_socket.close();
    forget();
    m_phase = Phase::Waiting;
    m_phaseSince = m_clock.monotonicSeconds();
    setHealth(Health::Unreachable);
}

void HamlibLink::poll() {
    double now = m_clock.monotonicSeconds();
    switch (m_phase) {
    case Phase::Stopped:
        return;
    case Phase::Waiting:
        if (now - m_phaseSince >= kRetrySeconds) {
            connect();
        }
        return;
    case Phase::Connecting: {
        platform::TcpState state = m_socket.state();
        if (state == platform::TcpState::Connected) {
            m_phase = Phase::Connected;
            m_phaseSince = now;
            if (m_health == Health::Unreachable) {
                setHealth(Health::Connected); // a slow daemon is slow until it answers quickly
            }
            if (onConnected) {
                onConnected();
            }
        } else if (state != platform::TcpState::Connecting ||
                   now - m_phaseSince > kConnectSeconds) {
            lost();
        }
        return;
    }
    case Phase::Connected:
        readReplies();
        if (m_phase == Phase::Connected && m_socket.state() != platform::TcpState::Connected) {
            lost();
        } else if (m_inFlight && now - m_inFlight->sentAt > kReplySeconds) {
            std::string command = m_inFlight->text;
            m_inFlight.reset();
            m_health = Health::Slow;
            m_told = true;
            tell(std::string(daemonName()) + " at " + endpointText(m_endpoint) +
                 " answers slowly (no reply to " + command + " in " +
                 std::to_string(std::lround(kReplySeconds)) + " s)");
            if (++m_timeouts >= kMaxTimeouts) {
                // Nothing comes back at all: a new connection, at once.
                m_socket.close();
                forget();
                m_phase = Phase::Waiting;
                m_phaseSince = now - kRetrySeconds;
                return;
            }
            sendNext();
        }
        return;
    }
}

bool HamlibLink::send(const std::string& command) {
    if (m_phase != Phase::Connected) {
        return false;
    }
    std::string_view text = trimmed(command);
    if (!text.empty() && text.back() == '\n') {
        text = trimmed(text.substr(0, text.size() - 1));
    }
    if (m_inFlight) {
        for (Command& waiting : m_queue) {
            if (firstWord(waiting.text) == firstWord(text)) {
                waiting.text = std::string(text);
                return true;
            }
        }
        if (m_queue.size() >= kMaxQueued) {
            return false;
        }
        m_queue.push_back({std::string(text), 0});
        return true;
    }
    if (!m_socket.send('+' + std::string(text) + '\n')) {
        return false; // the daemon takes nothing now: dropped, nothing awaited
    }
    m_inFlight = Command{std::string(text), m_clock.monotonicSeconds()};
    return true;
}

void HamlibLink::sendBeforeStop(const std::string& command) {
    if (m_phase == Phase::Connected) {
        m_socket.send('+' + command);
    }
}

void HamlibLink::sendNext() {
    while (!m_inFlight && !m_queue.empty()) {
        Command next = std::move(m_queue.front());
        m_queue.pop_front();
        if (m_socket.send('+' + next.text + '\n')) {
            next.sentAt = m_clock.monotonicSeconds();
            m_inFlight = std::move(next);
        }
    }
}

void HamlibLink::readReplies() {
    std::string bytes = m_socket.receive();
    std::string_view rest = bytes;
    for (;;) {
        rest.remove_prefix(m_reader.feed(rest));
        while (std::optional<std::string> line = m_reader.nextLine()) {
            handleLine(*line);
        }
        if (rest.empty()) {
            return;
        }
    }
}

void HamlibLink::handleLine(const std::string& line) {
    if (std::optional<int> code = parseReport(line)) {
        handleReply(*code);
        m_replyLines.clear();
        return;
    }
    if (isHeader(line)) {
        m_replyLines.clear(); // a reply starts: lines before it belong to none
    }
    if (m_replyLines.size() < kMaxReplyLines) {
        m_replyLines.push_back(line);
    }
}

// A level's reply is its echo ("get_level: STRENGTH") and the bare value on the next line.
void HamlibLink::handleLevel(const std::string& level, int code) {
    std::optional<double> value =
        code == 0 && m_replyLines.size() >= 2 ? parseDecimal(m_replyLines[1]) : std::nullopt;
    if (onLevel) {
        onLevel(level, value);
    }
}

void HamlibLink::handleReply(int code) {
    if (!m_inFlight) {
        return; // the late reply of a command given up
    }
    std::string expected = std::string(longName(m_daemon, m_inFlight->text)) + ':';
    if (!m_replyLines.empty() && m_replyLines.front().compare(0, expected.size(), expected) != 0) {
        return; // the reply of another command: skipped, never read as this one's
    }
    Command done = std::move(*m_inFlight);
    m_inFlight.reset();
    m_timeouts = 0;
    double took = m_clock.monotonicSeconds() - done.sentAt;
    setHealth(took >= kSlowSeconds ? Health::Slow : Health::Connected, took);
    std::string name = daemonName();
    if (done.text.rfind("l ", 0) == 0) {
        handleLevel(done.text.substr(2), code);
    } else if (code != 0) {
        tell(name + ": " + done.text + ": " + reportText(code));
    } else {
        readValues(done.text, name);
    }
    sendNext();
}

void HamlibLink::readPosition(const std::string& name) {
    auto az = record(m_replyLines, "Azimuth");
    auto el = record(m_replyLines, "Elevation");
    std::optional<Position> p = az && el ? parsePosition(*az, *el) : std::nullopt;
    if (!p) {
        tell(name + ": p: unreadable position");
    } else if (onPosition) {
        onPosition(*p);
    }
}

// The values of a reply that succeeded, handed to their callback.
void HamlibLink::readValues(const std::string& command, const std::string& name) {
    if (command == "p") {
        readPosition(name);
    } else if (command == "f") {
        auto value = record(m_replyLines, "Frequency");
        std::optional<long long> hz = value ? parseFrequency(*value) : std::nullopt;
        if (hz && onFrequency) {
            onFrequency(*hz);
        }
    } else if (command == dumpStateCommand().substr(0, dumpStateCommand().size() - 1)) {
        auto low = record(m_replyLines, "Minimum Azimuth");
        auto high = record(m_replyLines, "Maximum Azimuth");
        std::optional<double> a = low ? numbers::finiteNumber(*low) : std::nullopt;
        std::optional<double> b = high ? numbers::finiteNumber(*high) : std::nullopt;
        if (a && b && onAzimuthRange) {
            onAzimuthRange(*a, *b);
        }
    } else if (command == "s") {
        auto value = record(m_replyLines, "Split");
        if (value && (*value == "0" || *value == "1") && onSplit) {
            onSplit(*value == "1");
        }
    }
}

} // namespace kelvora::hamlib
