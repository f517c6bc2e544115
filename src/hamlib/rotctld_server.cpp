// The rotctld conversation and the listener that carries it.
#include "hamlib/rotctld_server.h"

#include "state/numbers.h"

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

bool binary(std::string_view text) {
    return std::any_of(text.begin(), text.end(), [](char ch) {
        auto c = static_cast<unsigned char>(ch);
        return (c < 0x20 && c != '\t' && c != '\r' && c != '\n') || c >= 0x7f;
    });
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

// One command line, taken apart.
struct Request {
    bool extended = false; // a + ; | , prefix
    char separator = '\n';
    bool longForm = false; // "\\name"
    std::string_view name;
    std::vector<std::string_view> args;
};

// Empty when the line holds no command (blank, or a prefix alone).
std::optional<Request> parseRequest(std::string_view line) {
    line = trimmed(line);
    if (line.empty()) {
        return std::nullopt;
    }
    Request request;
    // Extended responses: '+' puts each field on its own line, ';' '|' ',' separate them.
    if (line.front() == '+' || line.front() == ';' || line.front() == '|' || line.front() == ',') {
        request.extended = true;
        request.separator = line.front() == '+' ? '\n' : line.front();
        line = trimmed(line.substr(1));
        if (line.empty()) {
            return std::nullopt;
        }
    }
    std::string_view rest;
    if (line.front() == '\\') {
        request.longForm = true;
        std::size_t end = line.find_first_of(" \t");
        request.name = line.substr(1, end == std::string_view::npos ? end : end - 1);
        rest = end == std::string_view::npos ? std::string_view{} : line.substr(end);
    } else {
        request.name = line.substr(0, 1);
        rest = line.substr(1);
        if (!rest.empty() && rest.front() != ' ' && rest.front() != '\t') {
            request.name = line; // "pp" is no command
        }
    }
    request.args = words(rest);
    return request;
}

// What a handler answers: the fields of the reply and its Hamlib error number.
struct Reply {
    std::vector<std::string> fields;
    int code = 0;
    bool quit = false;  // ends the conversation without a reply
    bool moved = false; // a move reached the rotor's side
};

struct Call {
    const RotorAccess& access;
    const std::string& client;
    const Request& request;
};

using Handler = Reply (*)(const Call&);

Reply getPosition(const Call& call) {
    std::optional<Position> known = call.access.position ? call.access.position() : std::nullopt;
    if (!known) {
        return {{}, errors::kNotAvailable};
    }
    Position p = *known;
    if (!std::isfinite(p.azimuth) || !std::isfinite(p.elevation)) {
        return {{}, errors::kIoError};
    }
    std::string az = fixed("%.2f", p.azimuth);
    std::string el = fixed("%.2f", p.elevation);
    if (call.request.extended) {
        return {{"Azimuth: " + az, "Elevation: " + el}};
    }
    return {{az, el}};
}

Reply move(const Call& call, MoveRequest request) {
    if (!call.access.movesAllowed) {
        return {{}, errors::kRejected};
    }
    request.client = call.client;
    if (!call.access.move) {
        return {{}, errors::kNotImplemented};
    }
    return {{}, call.access.move(request), false, true};
}

Reply setPosition(const Call& call) {
    MoveRequest request;
    request.kind = MoveKind::SetPosition;
    if (!call.access.movesAllowed) {
        return {{}, errors::kRejected};
    }
    Position& t = request.target;
    const std::vector<std::string_view>& args = call.request.args;
    std::optional<double> az = parseDecimal(args[0]);
    std::optional<double> el = parseDecimal(args[1]);
    if (!az || !el) {
        return {{}, errors::kInvalidArgument};
    }
    t = {*az, *el};
    return move(call, request);
}

Reply stop(const Call& call) {
    MoveRequest request;
    request.kind = MoveKind::Stop;
    return move(call, request);
}

Reply park(const Call& call) {
    MoveRequest request;
    request.kind = MoveKind::Park;
    return move(call, request);
}

Reply getInfo(const Call& call) {
    return {{call.request.extended ? "Info: " + call.access.info : call.access.info}};
}

Reply dumpState(const Call& call) {
    const RotorLimits& l = call.access.limits;
    if (call.request.extended) {
        return {{"rotctld Protocol Ver: 1", "Rotor Model: 2",
                 "Minimum Azimuth: " + fixed("%f", l.minAzimuth),
                 "Maximum Azimuth: " + fixed("%f", l.maxAzimuth),
                 "Minimum Elevation: " + fixed("%f", l.minElevation),
                 "Maximum Elevation: " + fixed("%f", l.maxElevation), "South Zero: 0",
                 "rot_type=AzEl", "done"}};
    }
    // Protocol version 1, then the model the client records (2: the network rotator).
    return {{"1", "2", "min_az=" + fixed("%f", l.minAzimuth), "max_az=" + fixed("%f", l.maxAzimuth),
             "min_el=" + fixed("%f", l.minElevation), "max_el=" + fixed("%f", l.maxElevation),
             "south_zero=0", "rot_type=AzEl", "done"}};
}

Reply quit(const Call&) {
    Reply reply;
    reply.quit = true;
    return reply;
}

struct CommandEntry {
    std::string_view shortName;
    std::string_view longName;
    std::size_t arguments;
    Handler handler;
};

constexpr CommandEntry kCommands[] = {
    {"p", "get_pos", 0, getPosition}, {"P", "set_pos", 2, setPosition},
    {"S", "stop", 0, stop},           {"K", "park", 0, park},
    {"_", "get_info", 0, getInfo},    {"", "dump_state", 0, dumpState},
    {"q", "quit", 0, quit},           {"Q", "quit", 0, quit},
};

const CommandEntry* findCommand(const Request& request) {
    for (const CommandEntry& c : kCommands) {
        if (request.name == (request.longForm ? c.longName : c.shortName)) {
            return &c;
        }
    }
    return nullptr;
}

std::string report(int code) {
    return "RPRT " + std::to_string(-code) + "\n";
}

// Plain: the fields a line each, "RPRT" only for an error or an empty answer. Extended: the
// command's long name and arguments, then the fields and "RPRT" after the separator.
std::string format(const Request& request, const CommandEntry& command, const Reply& reply) {
    std::string out;
    if (!request.extended) {
        for (const std::string& f : reply.fields) {
            out += f + '\n';
        }
        return reply.code == 0 && !reply.fields.empty() ? out : out + report(reply.code);
    }
    out = std::string(command.longName) + ':';
    for (std::string_view a : request.args) {
        out += ' ';
        out += a;
    }
    for (const std::string& f : reply.fields) {
        out += request.separator + f;
    }
    return out + request.separator + report(reply.code);
}

} // namespace

Parsed<ServerSettings> parseServerSettings(std::string_view server, std::string_view address,
                                           std::string_view port, std::string_view moves) {
    ServerSettings s;
    if (!flag(server, s.enabled)) {
        return parseFailure<ServerSettings>("[Hamlib] Server must be 0 or 1");
    }
    if (!flag(moves, s.movesAllowed)) {
        return parseFailure<ServerSettings>("[Hamlib] Server_Moves must be 0 or 1");
    }
    std::string_view host = trimmed(address);
    if (host.size() > 2 && host.front() == '[' && host.back() == ']') {
        host = host.substr(1, host.size() - 2); // "[::1]", as addresses with a port write it
    }
    if (!host.empty()) {
        s.address = std::string(host);
    }
    if (std::string_view p = trimmed(port); !p.empty()) {
        std::optional<int> value = numbers::portNumber(p);
        if (!value) {
            return parseFailure<ServerSettings>(
                "[Hamlib] Server_Port must be a number from 1 to 65535");
        }
        s.port = static_cast<std::uint16_t>(*value);
    }
    return {s, {}};
}

std::size_t RotctldSession::feed(std::string_view bytes) {
    if (m_closed) {
        return 0;
    }
    if (binary(bytes)) {
        close("binary bytes");
        return bytes.size();
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
    m_moved = false;
    // One move at most: each goes to the rotor line at once, so a stream of P lines would hold
    // the tick; the lines after it wait for the next poll.
    for (int i = 0; i < maxLines && !m_closed && !m_moved; ++i) {
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
    if (binary(line)) {
        close("binary bytes");
        return {};
    }
    std::optional<Request> request = parseRequest(line);
    if (!request || m_closed) {
        return {};
    }
    const CommandEntry* command = findCommand(*request);
    if (!command || request->args.size() != command->arguments) {
        if (++m_badLines >= kMaxBadLines) {
            close("commands not understood");
        }
        return command ? format(*request, *command, {{}, errors::kInvalidArgument})
                       : report(errors::kNotImplemented);
    }
    m_badLines = 0;
    Reply reply = command->handler(Call{m_access, m_client, *request});
    m_moved = m_moved || reply.moved;
    if (reply.quit) {
        close("quit");
        return {};
    }
    return format(*request, *command, reply);
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

std::string RotctldServer::converse(platform::TcpClientId id, Client& client, double now) {
    RotctldSession& session = *client.session;
    std::string out;
    // A few rounds at most, so one busy client cannot hold the tick.
    for (int round = 0; round < 4 && !session.closed(); ++round) {
        std::string bytes = m_transport.read(id, session.room());
        if (!bytes.empty()) {
            client.lastHeard = now;
        }
        session.feed(bytes);
        session.answer(out);
        if (bytes.empty() || session.moved()) {
            break;
        }
    }
    return out;
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
    for (platform::TcpClientId id : ids) {
        Client& client = m_sessions.at(id);
        RotctldSession& session = *client.session;
        std::string out = converse(id, client, now);
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
