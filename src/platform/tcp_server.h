// A TCP listener and its clients, polled from the tick: nothing is pushed to the caller.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kelvora::platform {

using TcpClientId = std::uint64_t;

// Responsibilities:
// - No call waits: accept(), read() and write() look at what is there now.
// - write() queues at most kMaxQueued bytes per client beyond what the system has taken; a
//   write that would go past it is refused whole (false), so a client that never reads cannot
//   make the program grow.
// - A client that closed, or was disconnected, reads nothing and reports !isOpen().
class TcpServer {
public:
    static constexpr std::size_t kMaxQueued = 16 * 1024;

    virtual ~TcpServer() = default;
    // Listens on a numeric address ("127.0.0.1", "::1", "0.0.0.0"); port 0 takes a free one.
    virtual bool listen(const std::string& address, std::uint16_t port, std::string& error) = 0;
    // Stops listening and drops every client.
    virtual void close() = 0;
    virtual bool isListening() const = 0;
    virtual std::uint16_t port() const = 0;
    // The clients that connected since the last call.
    virtual std::vector<TcpClientId> accept() = 0;
    // Up to maxBytes of what the client sent.
    virtual std::string read(TcpClientId client, std::size_t maxBytes) = 0;
    virtual bool write(TcpClientId client, std::string_view bytes) = 0;
    // Bytes written but not yet taken by the system.
    virtual std::size_t queued(TcpClientId client) = 0;
    virtual bool isOpen(TcpClientId client) = 0;
    // Sends what is queued if the system takes it now, then closes; forgets the client.
    virtual void disconnect(TcpClientId client) = 0;
    // The client's address and port ("127.0.0.1:40512"), for messages; empty when unknown.
    virtual std::string peer(TcpClientId) { return {}; }
};

} // namespace kelvora::platform
