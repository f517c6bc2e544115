// WSJT-X's UDP messages: the reader of the datagrams it sends (Heartbeat, Status, Close) and the
// encoder of the Halt Tx it accepts. Qt's QDataStream serialisation, big-endian, read by hand so
// that the logic needs no Qt. Standard library only.
#pragma once

#include "state/parsed.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

namespace kelvora::wsjtx {

inline constexpr std::uint32_t kMagic = 0xadbccbda;

enum class MessageType : std::uint32_t { Heartbeat = 0, Status = 1, Close = 6, HaltTx = 8 };

// Every field after the Id may be missing in older versions; read what is there.
struct Heartbeat {
    std::optional<std::uint32_t> maximumSchema;
    std::optional<std::string> version, revision;
};

// The fields through Transmitting are in every version that sends Status; the rest arrived
// later and are absent when the datagram ends before them.
struct Status {
    std::uint64_t dialHz = 0;
    std::string mode, dxCall, report, txMode;
    bool txEnabled = false;
    bool transmitting = false;
    std::optional<bool> decoding;
    std::optional<std::uint32_t> rxDf, txDf;
    std::optional<std::string> deCall, deGrid, dxGrid;
    std::optional<bool> txWatchdog;
    std::optional<std::string> subMode;
    std::optional<bool> fastMode;
    std::optional<std::uint8_t> specialOperationMode;
    std::optional<std::uint32_t> frequencyTolerance, trPeriod;
    std::optional<std::string> configurationName, txMessage;
};

struct Close {};
// A message type this program does not read (Decode, QSO Logged, ...): the header is valid.
struct OtherMessage {};

struct Datagram {
    std::uint32_t schema = 0; // 2 or 3
    std::uint32_t type = 0;
    std::string id; // the instance, never empty
    std::variant<OtherMessage, Heartbeat, Status, Close> message;
};

// The whole datagram or nothing: a wrong magic or schema, a field cut in the middle, a length
// beyond the end, a bool other than 0 or 1, a null or empty Id, or a Status that ends before
// Transmitting is refused with the reason. Bytes after the last known field (a newer version's
// additions) are ignored.
Parsed<Datagram> parseDatagram(std::string_view bytes);

// Halt Tx to the instance `id`, in the schema it spoke. `autoTxOnly` false halts at once.
std::string encodeHaltTx(std::string_view id, std::uint32_t schema, bool autoTxOnly = false);

} // namespace kelvora::wsjtx
