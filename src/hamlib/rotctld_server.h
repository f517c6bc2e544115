// Kelvora as a rotctld: Hamlib clients (rotctl -m 2 and programs using Hamlib's network
// rotator) read the antenna position and, when allowed, move it.
#pragma once

#include "state/parsed.h"

#include "hamlib/hamlib_protocol.h"
#include "platform/clock.h"
#include "platform/tcp_server.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace kelvora::hamlib {

// The [Hamlib] server keys: Server (0/1), Server_Address, Server_Port, Server_Moves (0/1).
struct ServerSettings {
    bool enabled = false;
    std::string address = "127.0.0.1";
    std::uint16_t port = 4535;
    bool movesAllowed = false;
};
// Reads the four values as the settings file holds them; blank text keeps the default. The
// address may be an IPv6 one in brackets ("[::1]"). A failure names the key.
Parsed<ServerSettings> parseServerSettings(std::string_view server, std::string_view address,
                                           std::string_view port, std::string_view moves);

// The range the clients are told in \dump_state and _ (the station's limits); the station
// rules, not the session, judge a P against them.
struct RotorLimits {
    double minAzimuth = 0;
    double maxAzimuth = 360;
    double minElevation = 0;
    double maxElevation = 90;
};

enum class MoveKind { SetPosition, Stop, Park };
struct MoveRequest {
    MoveKind kind = MoveKind::Stop;
    Position target;    // for SetPosition
    std::string client; // the client's address, for the status line; may be empty
};

// What the sessions ask of the rest of the program.
struct RotorAccess {
    // The position to report: measured where the rotor reports one, else the last commanded;
    // none before either is known ("RPRT -11").
    std::function<std::optional<Position>()> position;
    // A move a client asked for; returns a Hamlib error number (0: accepted).
    std::function<int(const MoveRequest&)> move;
    RotorLimits limits;
    bool movesAllowed = false;
    std::string info = "Kelvora";
};

// One client's conversation, without the network: lines in, reply bytes out.
// Responsibilities:
// - Answers p, P, S, K, _, \get_info, \dump_state and their long names, q/\quit, in plain or
//   extended form (+ ; | , prefixes), as rotctld does.
// - P, S and K reach RotorAccess::move only when moves are allowed; else "RPRT -9".
// - A line ends in LF, CR or CR LF.
// - Ends the conversation (closed()) on q, on a line longer than kMaxLine, on control or
//   non-ASCII bytes, and after kMaxBadLines commands in a row that were not understood.
class RotctldSession {
public:
    static constexpr std::size_t kMaxLine = 1024;
    static constexpr int kMaxBadLines = 16;

    explicit RotctldSession(const RotorAccess& access, std::string client = {})
        : m_access(access), m_reader(kMaxLine), m_client(std::move(client)) {}

    // Takes as many bytes as fit (see room()); returns how many.
    std::size_t feed(std::string_view bytes);
    std::size_t room() const { return m_closed ? 0 : m_reader.room(); }
    // Answers up to maxLines complete lines, and none after one that moved the antenna; the
    // reply bytes are appended to `out`.
    void answer(std::string& out, int maxLines = 64);
    bool moved() const { return m_moved; } // the last answer() ended on a move
    bool closed() const { return m_closed; }
    const std::string& closeReason() const { return m_closeReason; }

    // The reply to one command line (exposed for the tests and the fuzzer).
    std::string answerLine(std::string_view line);

private:
    void close(const char* reason);

    const RotorAccess& m_access;
    LineReader m_reader;
    bool m_closed = false;
    std::string m_closeReason;
    int m_badLines = 0;
    bool m_moved = false;
    std::string m_client;
};

// The listener and its sessions.
// Responsibilities:
// - poll() (from the tick) accepts, reads what fits, answers, and cuts off a client that sends
//   a line longer than RotctldSession::kMaxLine, sends garbage or leaves more than
//   TcpServer::kMaxQueued of its answers unread; the status line names it once with its
//   address, and the other clients go on. Nothing a client sends is kept beyond one line.
// - At most kMaxClients at once; one more is told kBusyLine and disconnected at once.
// - A client that sends nothing for kIdleSeconds is disconnected, so idle connections cannot
//   lock the others out.
class RotctldServer {
public:
    static constexpr std::size_t kMaxClients = 32;
    static constexpr double kIdleSeconds = 600;
    static constexpr std::string_view kBusyLine =
        "Kelvora rotctld: 32 clients are connected, the most it takes; try again later\n";

    RotctldServer(platform::TcpServer& transport, RotorAccess access, platform::Clock& clock);
    ~RotctldServer();

    // Listens as the settings say (nothing when Server is 0); false with the reason otherwise.
    bool start(const ServerSettings& settings, std::string& error);
    void stop();
    void poll();
    std::size_t clientCount() const { return m_sessions.size(); }
    RotorAccess& access() { return m_access; }

    std::function<void(const std::string&)> onMessage;

private:
    struct Client {
        std::unique_ptr<RotctldSession> session;
        double lastHeard = 0; // monotonic seconds of the last bytes received
    };
    void cutOff(platform::TcpClientId id, const std::string& reason);
    // What the client sent that fits, answered; the answers.
    std::string converse(platform::TcpClientId id, Client& client, double now);

    platform::TcpServer& m_transport;
    RotorAccess m_access;
    platform::Clock& m_clock;
    std::map<platform::TcpClientId, Client> m_sessions;
};

} // namespace kelvora::hamlib
