#include "wsjtx/wsjtx_protocol.h"

#include <array>

namespace kelvora::wsjtx {

namespace {

constexpr std::uint32_t kNull = 0xffffffff;

// A cursor over the datagram; the first failure sticks and every later read fails too.
class Reader {
public:
    explicit Reader(std::string_view bytes) : m_bytes(bytes) {}

    bool atEnd() const { return m_pos == m_bytes.size(); }
    const std::string& error() const { return m_error; }
    bool failed() const { return !m_error.empty(); }

    std::optional<std::uint64_t> unsignedNumber(std::size_t size, std::string_view what) {
        if (failed() || m_bytes.size() - m_pos < size) {
            return fail(std::string(what) + " is cut short");
        }
        std::uint64_t v = 0;
        for (std::size_t i = 0; i < size; ++i) {
            v = (v << 8) | static_cast<unsigned char>(m_bytes[m_pos + i]);
        }
        m_pos += size;
        return v;
    }
    std::optional<std::uint32_t> u32(std::string_view what) {
        std::optional<std::uint64_t> v = unsignedNumber(4, what);
        return v ? std::optional<std::uint32_t>(static_cast<std::uint32_t>(*v)) : std::nullopt;
    }
    std::optional<bool> boolean(std::string_view what) {
        std::optional<std::uint64_t> v = unsignedNumber(1, what);
        if (v && *v > 1) {
            return fail(std::string(what) + " is neither 0 nor 1");
        }
        return v ? std::optional<bool>(*v == 1) : std::nullopt;
    }
    // A QByteArray: its length, then the bytes; the null array reads as empty.
    std::optional<std::string> utf8(std::string_view what) {
        std::optional<std::uint32_t> length = u32(what);
        if (!length) {
            return std::nullopt;
        }
        if (*length == kNull) {
            return std::string();
        }
        if (m_bytes.size() - m_pos < *length) {
            return fail(std::string(what) + " is longer than the datagram");
        }
        std::string text(m_bytes.substr(m_pos, *length));
        m_pos += *length;
        return text;
    }

    // A field older versions lack: absent at the end of the datagram, read otherwise.
    template <class T, class Read> void optional(std::optional<T>& field, Read read) {
        if (!failed() && !atEnd()) {
            field = read();
        }
    }

private:
    std::nullopt_t fail(std::string reason) {
        if (m_error.empty()) {
            m_error = std::move(reason);
        }
        return std::nullopt;
    }

    std::string_view m_bytes;
    std::size_t m_pos = 0;
    std::string m_error;
};

Heartbeat readHeartbeat(Reader& r) {
    Heartbeat h;
    r.optional(h.maximumSchema, [&] { return r.u32("maximum schema"); });
    r.optional(h.version, [&] { return r.utf8("version"); });
    r.optional(h.revision, [&] { return r.utf8("revision"); });
    return h;
}

Status readStatus(Reader& r) {
    Status s;
    s.dialHz = r.unsignedNumber(8, "dial frequency").value_or(0);
    std::string* texts[] = {&s.mode, &s.dxCall, &s.report, &s.txMode};
    const char* names[] = {"mode", "DX call", "report", "Tx mode"};
    for (std::size_t i = 0; i < std::size(texts); ++i) {
        *texts[i] = r.utf8(names[i]).value_or("");
    }
    s.txEnabled = r.boolean("Tx enabled").value_or(false);
    s.transmitting = r.boolean("transmitting").value_or(false);
    r.optional(s.decoding, [&] { return r.boolean("decoding"); });
    r.optional(s.rxDf, [&] { return r.u32("Rx DF"); });
    r.optional(s.txDf, [&] { return r.u32("Tx DF"); });
    r.optional(s.deCall, [&] { return r.utf8("DE call"); });
    r.optional(s.deGrid, [&] { return r.utf8("DE grid"); });
    r.optional(s.dxGrid, [&] { return r.utf8("DX grid"); });
    r.optional(s.txWatchdog, [&] { return r.boolean("Tx watchdog"); });
    r.optional(s.subMode, [&] { return r.utf8("sub-mode"); });
    r.optional(s.fastMode, [&] { return r.boolean("fast mode"); });
    r.optional(s.specialOperationMode, [&]() -> std::optional<std::uint8_t> {
        std::optional<std::uint64_t> v = r.unsignedNumber(1, "special operation mode");
        return v ? std::optional<std::uint8_t>(static_cast<std::uint8_t>(*v)) : std::nullopt;
    });
    r.optional(s.frequencyTolerance, [&] { return r.u32("frequency tolerance"); });
    r.optional(s.trPeriod, [&] { return r.u32("T/R period"); });
    r.optional(s.configurationName, [&] { return r.utf8("configuration name"); });
    r.optional(s.txMessage, [&] { return r.utf8("Tx message"); });
    return s;
}

void putU32(std::string& out, std::uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) {
        out += static_cast<char>((v >> shift) & 0xff);
    }
}

} // namespace

Parsed<Datagram> parseDatagram(std::string_view bytes) {
    Reader r(bytes);
    std::optional<std::uint32_t> magic = r.u32("magic");
    if (magic && *magic != kMagic) {
        return parseFailure<Datagram>("not a WSJT-X datagram (wrong magic)");
    }
    Datagram d;
    std::optional<std::uint32_t> schema = r.u32("schema");
    if (schema && *schema != 2 && *schema != 3) {
        return parseFailure<Datagram>("schema " + std::to_string(*schema) + " is not 2 or 3");
    }
    d.schema = schema.value_or(0);
    d.type = r.u32("message type").value_or(0);
    d.id = r.utf8("Id").value_or("");
    if (!r.failed() && d.id.empty()) {
        return parseFailure<Datagram>("the Id is empty");
    }
    switch (static_cast<MessageType>(d.type)) {
    case MessageType::Heartbeat:
        d.message = readHeartbeat(r);
        break;
    case MessageType::Status:
        d.message = readStatus(r);
        break;
    case MessageType::Close:
        d.message = Close{};
        break;
    case MessageType::HaltTx:
        break;
    }
    if (r.failed()) {
        return parseFailure<Datagram>(r.error());
    }
    return {std::move(d), ""};
}

std::string encodeHaltTx(std::string_view id, std::uint32_t schema, bool autoTxOnly) {
    std::string out;
    putU32(out, kMagic);
    putU32(out, schema);
    putU32(out, static_cast<std::uint32_t>(MessageType::HaltTx));
    putU32(out, static_cast<std::uint32_t>(id.size()));
    out += id;
    out += static_cast<char>(autoTxOnly ? 1 : 0);
    return out;
}

} // namespace kelvora::wsjtx
