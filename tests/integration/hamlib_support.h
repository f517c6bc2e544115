// Debian's Hamlib daemons and tools as test peers: a dummy-model daemon on a free loopback port,
// and a tool run to its end while the program's side keeps polling.
#pragma once

#include "integration/loopback_listener.h"

#include <QProcess>
#include <QStringList>

#include <fcntl.h>

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <string_view>
#include <utility>

namespace kelvora::testkit {

inline int connectTo(int port) {
    int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd);
        return -1;
    }
    ::fcntl(fd, F_SETFL, O_NONBLOCK);
    return fd;
}

// A free loopback port below the kernel's ephemeral range. A probe connecting to an ephemeral port
// nobody listens on yet can be given that same port as its own source and connect to itself, which
// both fakes readiness and keeps the daemon from binding.
inline int freePortOutsideEphemeralRange() {
    for (int offset = 0; offset < 12000; ++offset) {
        int port = 20000 + (static_cast<int>(::getpid()) * 7 + offset) % 12000;
        int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(static_cast<std::uint16_t>(port));
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        bool free = ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
        ::close(fd);
        if (free) {
            return port;
        }
    }
    return 0;
}

// Whether something listens on 127.0.0.1:port, read from the kernel's socket table: a probe
// connection would be one more client, and the daemons do not take every early client kindly.
inline bool listening(int port) {
    char local[32];
    std::snprintf(local, sizeof local, "0100007F:%04X", port);
    std::FILE* table = std::fopen("/proc/net/tcp", "r");
    if (table == nullptr) {
        return false;
    }
    char line[512];
    bool found = false;
    while (!found && std::fgets(line, sizeof line, table) != nullptr) {
        char address[64] = {}, remote[64] = {};
        unsigned state = 0;
        found = std::sscanf(line, " %*d: %63s %63s %x", address, remote, &state) == 3 &&
                std::string_view(address) == local && state == 0x0A; // LISTEN
    }
    std::fclose(table);
    return found;
}

// A dummy-model daemon on a free loopback port; ready once the port listens.
struct DummyDaemon {
    explicit DummyDaemon(const char* program) {
        port = freePortOutsideEphemeralRange();
        process.start(program, {"-m", "1", "-T", "127.0.0.1", "-t", QString::number(port)});
        ready = port != 0 && process.waitForStarted() && pumpUntil([&] { return listening(port); });
    }
    ~DummyDaemon() {
        process.terminate();
        process.waitForFinished();
    }
    std::string address() const { return "127.0.0.1:" + std::to_string(port); }
    QProcess process;
    int port = 0;
    bool ready = false;
};

// Runs a tool to its end, calling `meanwhile` while it waits: its output and exit code.
inline std::pair<std::string, int> run(
    const QStringList& args, const std::function<void()>& meanwhile = [] {}) {
    QProcess tool;
    tool.setProcessChannelMode(QProcess::MergedChannels);
    tool.start(args.front(), args.mid(1));
    pumpUntil([&] {
        meanwhile();
        return tool.waitForFinished(5);
    });
    return {tool.readAll().toStdString(), tool.exitCode()};
}

#define SKIP_WITHOUT_HAMLIB()                                                                      \
    if (::access("/usr/bin/rotctld", X_OK) != 0 || ::access("/usr/bin/rigctl", X_OK) != 0) {       \
        GTEST_SKIP() << "Hamlib's programs (libhamlib-utils) are not installed";                   \
    }

} // namespace kelvora::testkit
