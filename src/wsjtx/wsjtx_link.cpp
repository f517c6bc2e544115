#include "wsjtx/wsjtx_link.h"

#include "config/settings.h"
#include "state/numbers.h"

#include <algorithm>
#include <cstdio>

namespace kelvora::wsjtx {

namespace {

// What is shown of a text WSJT-X sent: printable ASCII only, at most a line's worth.
std::string showable(std::string_view text) {
    std::string out;
    for (char c : text.substr(0, 40)) {
        if (c >= ' ' && c <= '~') {
            out += c;
        }
    }
    return out;
}

// "144.120.000": the dial frequency in the window's MHz.kHz.Hz groups.
std::string dialText(std::uint64_t hz) {
    char text[40];
    std::snprintf(text, sizeof text, "%llu.%03llu.%03llu",
                  static_cast<unsigned long long>(hz / 1000000),
                  static_cast<unsigned long long>(hz / 1000 % 1000),
                  static_cast<unsigned long long>(hz % 1000));
    return text;
}

} // namespace

void Instances::receive(const platform::UdpDatagram& datagram, double now) {
    ++m_total;
    Parsed<Datagram> parsed = parseDatagram(datagram.bytes);
    if (!parsed) {
        ++m_bad;
        m_lastError = parsed.error;
        return;
    }
    Datagram& d = *parsed.value;
    auto it = std::find_if(m_instances.begin(), m_instances.end(),
                           [&](const Instance& i) { return i.id == d.id; });
    if (std::holds_alternative<Close>(d.message)) {
        if (it != m_instances.end()) {
            m_instances.erase(it);
        }
        return;
    }
    if (it == m_instances.end() && m_instances.size() >= kMaxInstances) {
        it = std::find_if(m_instances.begin(), m_instances.end(),
                          [](const Instance& i) { return !i.alive; });
        if (it == m_instances.end()) {
            ++m_bad;
            m_lastError = "more than " + std::to_string(kMaxInstances) + " instances";
            return;
        }
        m_instances.erase(it);
        it = m_instances.end();
    }
    if (it == m_instances.end()) {
        Instance fresh;
        fresh.id = d.id;
        m_instances.push_back(std::move(fresh));
        it = std::prev(m_instances.end());
    }
    m_heard = true;
    Instance& i = *it;
    // A restarted WSJT-X keeps its Id but may send from another port: answer where it is now.
    i.address = datagram.address;
    i.port = datagram.port;
    i.schema = d.schema;
    i.lastHeard = now;
    i.alive = true;
    if (Status* s = std::get_if<Status>(&d.message)) {
        i.status = std::move(*s);
        i.statusOrder = ++m_order;
        i.statusAt = now;
    }
}

void Instances::expire(double now) {
    for (Instance& i : m_instances) {
        if (now - i.lastHeard >= kGoneSeconds) {
            i.alive = false;
        }
    }
}

const Instance* Instances::newestStatus() const {
    const Instance* newest = nullptr;
    for (const Instance& i : m_instances) {
        if (i.alive && i.status && (!newest || i.statusOrder > newest->statusOrder)) {
            newest = &i;
        }
    }
    return newest;
}

WsjtxState Instances::state() const {
    WsjtxState s;
    s.heard = m_heard;
    std::uint64_t gridOrder = 0;
    bool anyAlive = false;
    for (const Instance& i : m_instances) {
        if (!i.alive) {
            continue;
        }
        anyAlive = true;
        if (!i.status) {
            continue;
        }
        s.transmitting = s.transmitting || i.status->transmitting;
        std::string grid = showable(i.status->dxGrid.value_or(""));
        if (!grid.empty() && i.statusOrder > gridOrder) {
            s.dxGrid = grid;
            gridOrder = i.statusOrder;
        }
    }
    s.gone = m_heard && !anyAlive;
    return s;
}

void Instances::clear() {
    *this = Instances();
}

WsjtxSettings parseWsjtxSettings(const config::KeyLookup& lookup) {
    config::SectionReader reader("WSJTX", lookup);
    WsjtxSettings s;
    s.udp = reader.flag("Udp");
    s.address = reader.text("Udp_Address");
    if (std::optional<long long> port = reader.whole("Udp_Port")) {
        s.port = static_cast<std::uint16_t>(*port);
    }
    s.errors = std::move(reader.errors);
    return s;
}

std::string wsjtxStateText(const WsjtxState& state) {
    return state.gone ? "WSJT-X gone" : "";
}

void startWsjtx(Kelv& k, std::string& failures) {
    stopWsjtx(k);
    WsjtxSettings s = parseWsjtxSettings(k.settings().lookup("WSJTX"));
    for (const std::string& e : s.errors) {
        failures += e + "\n";
    }
    if (!s.udp || !s.errors.empty() || k.devices == nullptr) {
        return;
    }
    WsjtxPart& part = k.part<WsjtxPart>();
    part.socket = k.devices->makeUdpSocket();
    std::string error;
    if (!part.socket->bind(s.address, s.port, error)) {
        failures +=
            "WSJT-X UDP at " + s.address + ":" + std::to_string(s.port) + ": " + error + "\n";
        part.socket.reset();
        return;
    }
    k.ui.Wsjtx.visible = true;
    k.ui.Wsjtx.caption = "WSJT-X: not heard";
}

void stopWsjtx(Kelv& k) {
    WsjtxPart& part = k.part<WsjtxPart>();
    if (part.socket) {
        part.socket->close();
        part.socket.reset();
    }
    part.instances.clear();
    k.rs.wsjtx = WsjtxState{};
    k.ui.Wsjtx.visible = false;
}

bool wsjtxListening(Kelv& k) {
    return k.part<WsjtxPart>().socket != nullptr;
}

void pollWsjtx(Kelv& k) {
    WsjtxPart& part = k.part<WsjtxPart>();
    if (!part.socket) {
        return;
    }
    double now = k.clock.monotonicSeconds();
    for (int n = 0; n < kMaxPerPoll; ++n) {
        std::optional<platform::UdpDatagram> d = part.socket->receive();
        if (!d) {
            break;
        }
        part.instances.receive(*d, now);
    }
    part.instances.expire(now);
    k.rs.wsjtx = part.instances.state();
    std::string caption = "WSJT-X: not heard";
    if (k.rs.wsjtx.gone) {
        caption = wsjtxStateText(k.rs.wsjtx);
    } else if (const Instance* i = part.instances.newestStatus()) {
        caption = "WSJT-X " + dialText(i->status->dialHz);
        std::string call = showable(i->status->dxCall);
        if (!call.empty()) {
            caption += "  DX " + call;
        }
        if (i->status->transmitting) {
            caption += "  Tx";
        }
    } else if (k.rs.wsjtx.heard) {
        caption = "WSJT-X: heard";
    }
    k.ui.Wsjtx.caption = caption;
}

int haltWsjtx(Kelv& k, HaltTimes& halted) {
    WsjtxPart& part = k.part<WsjtxPart>();
    if (!part.socket) {
        return 0;
    }
    const double now = k.clock.monotonicSeconds();
    int sent = 0;
    for (const Instance& i : part.instances.all()) {
        auto last = halted.find(i.id);
        bool due = last == halted.end();
        if (!due && i.status && (i.status->txEnabled || i.status->transmitting)) {
            due = i.statusAt > last->second || now - last->second >= kHaltAgainSeconds;
        }
        if (due && part.socket->send(encodeHaltTx(i.id, i.schema), i.address, i.port)) {
            halted[i.id] = now;
            ++sent;
        }
    }
    return sent;
}

} // namespace kelvora::wsjtx
