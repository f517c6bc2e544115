// A TCP client connection as the Linrad link sees it.
#pragma once

#include <string>
#include <string_view>

namespace kelvora::platform {

// Connection states, numbered as the link logic tests them.
enum class TcpState { Closed = 0, Connecting = 4, Connected = 7, Error = 9 };

// Responsibilities:
// - connectToHost() returns at once; the connection completes or fails in the background.
// - state() is polled; nothing is pushed to the caller.
// - send() never blocks: bytes the peer cannot take now are dropped (false is returned).
// - Incoming bytes are read as they arrive and kept, up to a bound, for receive(); beyond the
//   bound they are discarded, so a caller that never asks (the Linrad link) lets nothing pile up.
class TcpSocket {
public:
    virtual ~TcpSocket() = default;
    virtual void close() = 0;
    virtual void connectToHost(const std::string& host, const std::string& port) = 0;
    virtual TcpState state() = 0;
    virtual bool send(std::string_view bytes) = 0;
    // What arrived since the last call (at most the bound), without waiting.
    virtual std::string receive() = 0;
};

} // namespace kelvora::platform
