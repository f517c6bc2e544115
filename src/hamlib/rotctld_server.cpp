// The rotctld conversation and the listener that carries it.
#include "hamlib/rotctld_server.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <vector>

namespace kelvora::hamlib {

namespace {

std::vector<std::string_view> words(std::string_view text) {
    std::vector<std::string_view> out;
    while (!(text = trimmed(text)).empty()) {
        std::size_t end = text.find_first_of(" \t");
        out.push_back(text.substr(0, end));
        text.remove_prefix(end == std::string_view::npos ? text.size() : end);
    }
    return out;
}

bool binary(unsigned char c) {
    return (c < 0x20 && c != '\t' && c != '\r' && c != '\n') || c >= 0x7f;
}

std::string fixed(const char* format, double value) {
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

bool flag(std::string_view text, bool& value) {
    text = trimmed(text);
    if (text == "0" || text == "1") {
        value = text == "1";
        return true;
    }
    return text.empty(); // blank keeps the default
}

enum class Command { GetPosition, SetPosition, Stop, Park, GetInfo, DumpState, Quit, Unknown };

struct CommandName {
    std::string_view shortName;
    std::string_view longName;
    Command command;
    std::size_t arguments;
};

constexpr CommandName kCommands[] = {
    {"p", "get_pos", Command::GetPosition, 0}, {"P", "set_pos", Command::SetPosition, 2},
    {"S", "stop", Command::Stop, 0},           {"K", "park", Command::Park, 0},
    {"_", "get_info", Command::GetInfo, 0},    {"", "dump_state", Command::DumpState, 0},
    {"q", "quit", Command::Quit, 0},           {"Q", "quit", Command::Quit, 0},
};

} // namespace

bool parseServerSettings(std::string_view server, std::string_view address, std::string_view port,
                         std::string_view moves, ServerSettings& out, std::string& error) {
    ServerSettings s;
    if (!flag(server, s.enabled)) {
        error = "[Hamlib] Server must be 0 or 1";
        return false;
    }
    if (!flag(moves, s.movesAllowed)) {
        error = "[Hamlib] Server_Moves must be 0 or 1";
        return false;
    }
    std::string_view host = trimmed(address);
    if (host.size() > 2 && host.front() == '[' && host.back() == ']') {
        host = host.substr(1, host.size() - 2); // "[::1]", as addresses with a port write it
    }
    if (!host.empty()) {
        s.address = std::string(host);
    }
    std::string_view p = trimmed(port);
    if (!p.empty()) {
        unsigned value = 0;
        auto [ptr, ec] = std::from_chars(p.data(), p.data() + p.size(), value);
        if (ec != std::errc() || ptr != p.data() + p.size() || value < 1 || value > 65535) {
            error = "[Hamlib] Server_Port must be a number from 1 to 65535";
            return false;
        }
        s.port = static_cast<std::uint16_t>(value);
    }
    out = s;
    return true;
}

std::size_t RotctldSession::feed(std::string_view bytes) {
    if (m_closed) {
        return 0;
    }
    for (char c : bytes) {
        if (binary(static_cast<unsigned char>(c))) {
            close("binary bytes");
            return bytes.size();
        }
    }
    // A CR alone ends a line too; the empty line of a CR LF is no command.
    std::string lines(bytes);
    std::replace(lines.begin(), lines.end(), '\r', '\n');
    std::size_t taken = m_reader.feed(lines);
    if (m_reader.overlongLines() > 0) {
        close("line too long");
    }
    return taken;
}

void RotctldSession::answer(std::string& out, int maxLines) {
    for (int i = 0; i < maxLines && !m_closed; ++i) {
        std::optional<std::string> line = m_reader.nextLine();
        if (!line) {
            return;
        }
        out += answerLine(*line);
    }
}

void RotctldSession::close(const char* reason) {
    m_closed = true;
    m_closeReason = reason;
}

std::string RotctldSession::answerLine(std::string_view line) {
    for (char c : line) {
        if (binary(static_cast<unsigned char>(c))) {
            close("binary bytes");
            return {};
        }
    }
    line = trimmed(line);
    if (line.empty() || m_closed) {
        return {};
    }
    // Extended responses: '+' puts each field on its own line, ';' '|' ',' separate them.
    bool extended = false;
    char separator = '\n';
    if (line.front() == '+' || line.front() == ';' || line.front() == '|' || line.front() == ',') {
        extended = true;
        separator = line.front() == '+' ? '\n' : line.front();
        line = trimmed(line.substr(1));
        if (line.empty()) {
            return {};
        }
    }
    std::string_view name;
    std::string_view rest;
    if (line.front() == '\\') {
        std::size_t end = line.find_first_of(" \t");
        name = line.substr(1, end == std::string_view::npos ? end : end - 1);
        rest = end == std::string_view::npos ? std::string_view{} : line.substr(end);
    } else {
        name = line.substr(0, 1);
        rest = line.substr(1);
        if (!rest.empty() && rest.front() != ' ' && rest.front() != '\t') {
            name = line; // "pp" is no command
        }
    }
    const CommandName* found = nullptr;
    for (const CommandName& c : kCommands) {
        if (line.front() == '\\' ? name == c.longName : name == c.shortName) {
            found = &c;
            break;
        }
    }
    std::vector<std::string_view> args = words(rest);

    auto report = [&](int code) { return "RPRT " + std::to_string(-code) + "\n"; };
    auto reply = [&](const std::vector<std::string>& fields, int code) {
        if (!extended) {
            std::string out;
            for (const std::string& f : fields) {
                out += f + '\n';
            }
            return code == 0 && !fields.empty() ? out : out + report(code);
        }
        std::string out = std::string(found->longName) + ':';
        for (std::string_view a : args) {
            out += ' ';
            out += a;
        }
        for (const std::string& f : fields) {
            out += separator + f;
        }
        return out + separator + report(code);
    };

    if (!found) {
        if (++m_badLines >= kMaxBadLines) {
            close("commands not understood");
        }
        return report(errors::kNotImplemented);
    }
    if (args.size() != found->arguments) {
        if (++m_badLines >= kMaxBadLines) {
            close("commands not understood");
        }
        return reply({}, errors::kInvalidArgument);
    }
    m_badLines = 0;

    switch (found->command) {
    case Command::Quit:
        close("quit");
        return {};
    case Command::GetInfo:
        return reply({extended ? "Info: " + m_access.info : m_access.info}, 0);
    case Command::GetPosition: {
        std::optional<Position> known = m_access.position ? m_access.position() : std::nullopt;
        if (!known) {
            return reply({}, errors::kNotAvailable);
        }
        Position p = *known;
        if (!std::isfinite(p.azimuth) || !std::isfinite(p.elevation)) {
            return reply({}, errors::kIoError);
        }
        std::string az = fixed("%.2f", p.azimuth);
        std::string el = fixed("%.2f", p.elevation);
        if (extended) {
            return reply({"Azimuth: " + az, "Elevation: " + el}, 0);
        }
        return reply({az, el}, 0);
    }
    case Command::DumpState: {
        const RotorLimits& l = m_access.limits;
        if (extended) {
            return reply({"rotctld Protocol Ver: 1", "Rotor Model: 2",
                          "Minimum Azimuth: " + fixed("%f", l.minAzimuth),
                          "Maximum Azimuth: " + fixed("%f", l.maxAzimuth),
                          "Minimum Elevation: " + fixed("%f", l.minElevation),
                          "Maximum Elevation: " + fixed("%f", l.maxElevation), "South Zero: 0",
                          "rot_type=AzEl", "done"},
                         0);
        }
        // Protocol version 1, then the model the client records (2: the network rotator).
        return reply(
            {"1", "2", "min_az=" + fixed("%f", l.minAzimuth), "max_az=" + fixed("%f", l.maxAzimuth),
             "min_el=" + fixed("%f", l.minElevation), "max_el=" + fixed("%f", l.maxElevation),
             "south_zero=0", "rot_type=AzEl", "done"},
            0);
    }
    case Command::SetPosition:
    case Command::Stop:
    case Command::Park: {
        if (!m_access.movesAllowed) {
            return reply({}, errors::kRejected);
        }
        MoveRequest request;
        request.kind = found->command == Command::Stop   ? MoveKind::Stop
                       : found->command == Command::Park ? MoveKind::Park
                                                         : MoveKind::SetPosition;
        if (request.kind == MoveKind::SetPosition) {
            Position& t = request.target;
            if (!parseDecimal(args[0], t.azimuth) || !parseDecimal(args[1], t.elevation)) {
                return reply({}, errors::kInvalidArgument);
            }
        }
        request.client = m_client;
        return reply({}, m_access.move ? m_access.move(request) : errors::kNotImplemented);
    }
    case Command::Unknown:
        break;
    }
    return report(errors::kNotImplemented);
}

RotctldServer::RotctldServer(platform::TcpServer& transport, RotorAccess access,
                             platform::Clock& clock)
    : m_transport(transport), m_access(std::move(access)), m_clock(clock) {}

RotctldServer::~RotctldServer() {
    stop();
}

bool RotctldServer::start(const ServerSettings& settings, std::string& error) {
    stop();
    m_access.movesAllowed = settings.movesAllowed;
    if (!settings.enabled) {
        return true;
    }
    std::string why;
    if (!m_transport.listen(settings.address, settings.port, why)) {
        error = "Hamlib server cannot listen on " + settings.address + ':' +
                std::to_string(settings.port) + ": " + why;
        return false;
    }
    return true;
}

void RotctldServer::stop() {
    m_sessions.clear();
    if (m_transport.isListening()) {
        m_transport.close();
    }
}

void RotctldServer::cutOff(platform::TcpClientId id, const std::string& reason) {
    std::string peer = m_transport.peerName(id);
    m_transport.disconnect(id);
    m_sessions.erase(id);
    if (onMessage) {
        onMessage("Hamlib server: client " + peer + " cut off: " + reason);
    }
}

void RotctldServer::poll() {
    if (!m_transport.isListening()) {
        return;
    }
    double now = m_clock.monotonicSeconds();
    for (platform::TcpClientId id : m_transport.accept()) {
        if (m_sessions.size() >= kMaxClients) {
            m_transport.read(id, 4096); // what it sent already: unread, it would reset the line
            m_transport.write(id, kBusyLine);
            m_transport.disconnect(id); // sends the line first
            continue;
        }
        m_sessions.emplace(
            id, Client{std::make_unique<RotctldSession>(m_access, m_transport.peerName(id)), now});
    }
    std::vector<platform::TcpClientId> ids;
    ids.reserve(m_sessions.size());
    for (const auto& [id, client] : m_sessions) {
        ids.push_back(id);
    }
    std::string out;
    for (platform::TcpClientId id : ids) {
        Client& client = m_sessions.at(id);
        RotctldSession& session = *client.session;
        out.clear();
        // A few rounds at most, so one busy client cannot hold the tick.
        for (int round = 0; round < 4 && !session.closed(); ++round) {
            std::string bytes = m_transport.read(id, session.room());
            if (!bytes.empty()) {
                client.lastHeard = now;
            }
            session.feed(bytes);
            session.answer(out);
            if (bytes.empty()) {
                break;
            }
        }
        if (!out.empty() && !m_transport.write(id, out)) {
            cutOff(id, "does not read its answers");
        } else if (session.closed()) {
            if (session.closeReason() == "quit") {
                m_transport.disconnect(id);
                m_sessions.erase(id);
            } else {
                cutOff(id, session.closeReason());
            }
        } else if (!m_transport.isOpen(id)) {
            m_transport.disconnect(id);
            m_sessions.erase(id);
        } else if (now - client.lastHeard >= kIdleSeconds) {
            cutOff(id, "silent for 10 minutes");
        }
    }
}

} // namespace kelvora::hamlib
