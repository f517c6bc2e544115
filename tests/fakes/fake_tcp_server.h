// A TcpServer whose clients are scripted by the test: bytes in, answers recorded, a bound on
// what a client that never reads may hold.
#pragma once

#include "platform/tcp_server.h"

#include <map>
#include <string>
#include <vector>

namespace kelvora::fakes {

class FakeTcpServer : public platform::TcpServer {
public:
    struct Client {
        std::string input;    // what the client sent and the server has not read yet
        std::string received; // every byte written to the client
        std::size_t queuedBytes = 0;
        bool reads = true; // false: written bytes stay queued
        bool open = true;
    };

    bool listen(const std::string& address, std::uint16_t port, std::string& error) override {
        if (failListen) {
            error = "address in use";
            return false;
        }
        listenedOn = address + ':' + std::to_string(port);
        listening = true;
        return true;
    }
    void close() override {
        listening = false;
        clients.clear();
    }
    bool isListening() const override { return listening; }
    std::uint16_t port() const override { return 4535; }
    std::vector<platform::TcpClientId> accept() override {
        std::vector<platform::TcpClientId> ids;
        ids.swap(arriving);
        return ids;
    }
    std::string read(platform::TcpClientId id, std::size_t maxBytes) override {
        Client& c = clients[id];
        std::string bytes = c.input.substr(0, maxBytes);
        c.input.erase(0, bytes.size());
        return bytes;
    }
    bool write(platform::TcpClientId id, std::string_view bytes) override {
        Client& c = clients[id];
        if (!c.open || c.queuedBytes + bytes.size() > kMaxQueued) {
            return false;
        }
        c.received += bytes;
        if (!c.reads) {
            c.queuedBytes += bytes.size();
        }
        return true;
    }
    std::size_t queued(platform::TcpClientId id) override { return clients[id].queuedBytes; }
    bool isOpen(platform::TcpClientId id) override { return clients.count(id) && clients[id].open; }
    void disconnect(platform::TcpClientId id) override {
        clients[id].open = false;
        disconnected.push_back(id);
    }

    // A client connects; it is handed out by the next accept().
    platform::TcpClientId connect() {
        platform::TcpClientId id = next++;
        clients[id] = Client{};
        arriving.push_back(id);
        return id;
    }

    bool listening = false;
    bool failListen = false;
    std::string listenedOn;
    std::map<platform::TcpClientId, Client> clients;
    std::vector<platform::TcpClientId> arriving;
    std::vector<platform::TcpClientId> disconnected;
    platform::TcpClientId next = 1;
};

} // namespace kelvora::fakes
