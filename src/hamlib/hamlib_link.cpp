// The rigctld/rotctld client: a small state machine polled from the tick.
#include "hamlib/hamlib_link.h"

#include <charconv>

namespace kelvora::hamlib {

namespace {

bool validPort(std::string_view port) {
    unsigned value = 0;
    auto [ptr, ec] = std::from_chars(port.data(), port.data() + port.size(), value);
    return !port.empty() && ec == std::errc() && ptr == port.data() + port.size() && value >= 1 &&
           value <= 65535;
}

} // namespace

bool parseEndpoint(std::string_view text, Daemon daemon, Endpoint& out, std::string& error) {
    const char* name = daemon == Daemon::Rig ? "rigctld" : "rotctld";
    text = trimmed(text);
    Endpoint e{"127.0.0.1", daemon == Daemon::Rig ? "4532" : "4533"};
    std::size_t colon = text.rfind(':');
    std::string_view host = colon == std::string_view::npos ? text : text.substr(0, colon);
    if (colon != std::string_view::npos) {
        std::string_view port = trimmed(text.substr(colon + 1));
        if (!validPort(port)) {
            error = std::string(name) + " address \"" + std::string(text) +
                    "\": the port must be a number from 1 to 65535";
            return false;
        }
        e.port = std::string(port);
    }
    host = trimmed(host);
    if (host.find_first_of(" \t:[]") != std::string_view::npos) {
        error = std::string(name) + " address \"" + std::string(text) +
                "\": write it as host:port, e.g. 127.0.0.1:" + e.port;
        return false;
    }
    if (!host.empty()) {
        e.host = std::string(host);
    }
    out = e;
    return true;
}

HamlibLink::HamlibLink(Daemon daemon, platform::TcpSocket& socket, platform::Clock& clock)
    : m_daemon(daemon), m_socket(socket), m_clock(clock) {}

bool HamlibLink::setAddress(std::string_view text, std::string& error) {
    Endpoint e;
    if (!parseEndpoint(text, m_daemon, e, error)) {
        return false;
    }
    stop();
    m_endpoint = e;
    m_phase = Phase::Waiting;
    m_phaseSince = m_clock.monotonicSeconds() - kRetrySeconds; // connect at the next poll
    m_toldUnreachable = false;
    return true;
}

void HamlibLink::stop() {
    if (m_phase != Phase::Stopped) {
        m_socket.close();
    }
    m_phase = Phase::Stopped;
    m_pending.clear();
    m_reader.clear();
    m_haveAzimuth = false;
}

void HamlibLink::tell(const std::string& text) {
    if (onMessage) {
        onMessage(text);
    }
}

void HamlibLink::connect() {
    m_reader.clear();
    m_pending.clear();
    m_haveAzimuth = false;
    m_socket.connectToHost(m_endpoint.host, m_endpoint.port);
    m_phase = Phase::Connecting;
    m_phaseSince = m_clock.monotonicSeconds();
}

void HamlibLink::lost() {
    m_socket.close();
    m_pending.clear();
    m_phase = Phase::Waiting;
    m_phaseSince = m_clock.monotonicSeconds();
    if (!m_toldUnreachable) {
        m_toldUnreachable = true;
        tell(std::string(daemonName()) + " not reachable at " + m_endpoint.host + ':' +
             m_endpoint.port);
    }
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
            if (m_toldUnreachable) {
                m_toldUnreachable = false;
                tell(std::string(daemonName()) + " connected at " + m_endpoint.host + ':' +
                     m_endpoint.port);
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
        } else if (!m_pending.empty() && now - m_pending.front().sentAt > kReplySeconds) {
            tell(std::string(daemonName()) + ": " + m_pending.front().command + ": no reply");
            lost();
        }
        return;
    }
}

bool HamlibLink::send(const std::string& command) {
    if (m_phase != Phase::Connected || m_pending.size() >= kMaxPending) {
        return false;
    }
    std::string_view name = trimmed(command);
    if (!name.empty() && name.back() == '\n') {
        name.remove_suffix(1);
    }
    Reply reply = Reply::Report;
    if (name == "f") {
        reply = Reply::Frequency;
    } else if (name == "p") {
        reply = Reply::Position;
    }
    if (!m_socket.send(command)) {
        return false; // the daemon takes nothing now: dropped, nothing awaited
    }
    m_pending.push_back({std::string(name), reply, m_clock.monotonicSeconds()});
    return true;
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
    if (m_pending.empty()) {
        return; // nothing asked: not a reply of ours
    }
    Pending& front = m_pending.front();
    int code = 0;
    if (parseReport(line, code)) {
        if (code != 0) {
            tell(std::string(daemonName()) + ": " + front.command + ": RPRT " +
                 std::to_string(code));
        }
        m_haveAzimuth = false;
        m_pending.pop_front();
        return;
    }
    switch (front.reply) {
    case Reply::Report:
        tell(std::string(daemonName()) + ": " + front.command + ": unexpected reply");
        m_pending.pop_front();
        return;
    case Reply::Frequency: {
        long long hz = 0;
        if (parseFrequency(line, hz) && onFrequency) {
            onFrequency(hz);
        }
        m_pending.pop_front();
        return;
    }
    case Reply::Position:
        if (!m_haveAzimuth) {
            m_azimuthLine = line;
            m_haveAzimuth = true;
            return;
        }
        m_haveAzimuth = false;
        Position p;
        if (parsePosition(m_azimuthLine, line, p)) {
            if (onPosition) {
                onPosition(p);
            }
        } else {
            tell(std::string(daemonName()) + ": p: unreadable position");
        }
        m_pending.pop_front();
        return;
    }
}

} // namespace kelvora::hamlib
