// A UDP socket as the WSJT-X link sees it: datagrams polled from the tick, answers sent back.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kelvora::platform {

struct UdpDatagram {
    std::string bytes;
    std::string address; // the sender, numeric ("127.0.0.1")
    std::uint16_t port = 0;
};

// Responsibilities:
// - bind() shares the port with other listeners (WSJT-X's stream is read by loggers too) and,
//   for a multicast group address, binds the port on every interface and joins the group.
// - receive() never waits: it hands out one datagram that is there now, or none.
// - send() never waits; a datagram the system does not take is dropped (false).
class UdpSocket {
public:
    virtual ~UdpSocket() = default;
    // A numeric IPv4 or IPv6 address, or "localhost"; port 0 takes a free one.
    virtual bool bind(const std::string& address, std::uint16_t port, std::string& error) = 0;
    virtual void close() = 0;
    virtual std::uint16_t localPort() const = 0;
    virtual std::optional<UdpDatagram> receive() = 0;
    virtual bool send(std::string_view bytes, const std::string& address, std::uint16_t port) = 0;
};

} // namespace kelvora::platform
