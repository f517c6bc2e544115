// Serving a simulated rotor controller on a pseudo-terminal.
#include "pty_rotor.h"

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

namespace kelvora::sim {

PtyRotor::PtyRotor(RotorProtocol protocol) : m_model(protocol) {
    char name[256] = {};
    if (::openpty(&m_master, &m_slave, name, nullptr, nullptr) != 0) {
        m_master = m_slave = -1;
        return;
    }
    termios tio{};
    ::tcgetattr(m_slave, &tio);
    ::cfmakeraw(&tio);
    ::tcsetattr(m_slave, TCSANOW, &tio);
    // The slave stays open here too, so the line does not hang up when the program closes it.
    m_path = name;
    if (::pipe(m_wake) != 0) {
        m_wake[0] = m_wake[1] = -1;
    }
}

PtyRotor::~PtyRotor() {
    stop();
    for (int fd : {m_master, m_slave, m_wake[0], m_wake[1]}) {
        if (fd >= 0) {
            ::close(fd);
        }
    }
}

void PtyRotor::start() {
    if (ok() && !m_thread.joinable()) {
        m_thread = std::thread([this] { run(); });
    }
}

void PtyRotor::stop() {
    if (!m_thread.joinable()) {
        return;
    }
    {
        std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    char c = 0;
    [[maybe_unused]] ssize_t n = ::write(m_wake[1], &c, 1);
    m_thread.join();
}

void PtyRotor::run() {
    for (;;) {
        {
            std::lock_guard lock(m_mutex);
            if (m_stop) {
                return;
            }
        }
        if (!serveOnce(-1)) {
            return;
        }
    }
}

void PtyRotor::serve(const volatile bool& running) {
    while (running && serveOnce(200)) {
    }
}

bool PtyRotor::serveOnce(int timeoutMs) {
    int master;
    {
        std::lock_guard lock(m_mutex);
        master = m_master;
    }
    if (master < 0) {
        return false;
    }
    pollfd fds[2] = {{master, POLLIN, 0}, {m_wake[0], POLLIN, 0}};
    int ready = ::poll(fds, m_wake[0] >= 0 ? 2 : 1, timeoutMs);
    if (ready <= 0) {
        return ready == 0;
    }
    if (fds[1].revents != 0) {
        return false;
    }
    if ((fds[0].revents & POLLIN) == 0) {
        return (fds[0].revents & (POLLERR | POLLNVAL)) == 0;
    }
    char buffer[512];
    ssize_t n = ::read(master, buffer, sizeof buffer);
    if (n <= 0) {
        return n < 0 && (errno == EINTR || errno == EAGAIN);
    }
    std::string answer;
    {
        std::lock_guard lock(m_mutex);
        answer = m_model.receive(std::string_view(buffer, static_cast<std::size_t>(n)));
    }
    // The answer is on the line before the commands are announced, so a test that waited for a
    // command finds its answer already sent.
    std::size_t sent = 0;
    while (sent < answer.size()) {
        ssize_t w = ::write(master, answer.data() + sent, answer.size() - sent);
        if (w <= 0) {
            break;
        }
        sent += static_cast<std::size_t>(w);
    }
    m_changed.notify_all();
    return true;
}

bool PtyRotor::waitForCommands(std::size_t count, double seconds) {
    std::unique_lock lock(m_mutex);
    return m_changed.wait_for(lock, std::chrono::duration<double>(seconds),
                              [&] { return m_model.commands.size() >= count; });
}

std::vector<std::string> PtyRotor::commands() {
    std::lock_guard lock(m_mutex);
    return m_model.commands;
}

void PtyRotor::setPosition(double az, double el) {
    std::lock_guard lock(m_mutex);
    m_model.az = az;
    m_model.el = el;
}

RotorModel PtyRotor::snapshot() {
    std::lock_guard lock(m_mutex);
    return m_model;
}

void PtyRotor::hangUp() {
    stop();
    std::lock_guard lock(m_mutex);
    for (int* fd : {&m_slave, &m_master}) {
        if (*fd >= 0) {
            ::close(*fd);
            *fd = -1;
        }
    }
}

} // namespace kelvora::sim
