// Hamlib's own programs as child processes: a daemon on a free loopback port, and one-shot
// rigctl/rotctl runs whose output is collected while the test keeps its side polled.
#pragma once

#include "integration/loopback_listener.h"

#include <QCoreApplication>
#include <QDeadlineTimer>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <string>
#include <vector>

extern char** environ;

namespace kelvora::testing {

inline bool hamlibInstalled() {
    for (const char* tool :
         {"/usr/bin/rigctld", "/usr/bin/rotctld", "/usr/bin/rigctl", "/usr/bin/rotctl"}) {
        if (::access(tool, X_OK) != 0) {
            return false;
        }
    }
    return true;
}

// A port no one listens on now.
inline int freePort() {
    LoopbackListener probe;
    return probe.port;
}

// Starts `args` with stdout and stderr on a pipe (or /dev/null); returns the child's pid.
inline pid_t spawn(const std::vector<std::string>& args, int* outputFd) {
    std::vector<char*> argv;
    for (const std::string& a : args) {
        argv.push_back(const_cast<char*>(a.c_str()));
    }
    argv.push_back(nullptr);
    int fds[2] = {-1, -1};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (outputFd && ::pipe2(fds, O_CLOEXEC) == 0) {
        posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
        posix_spawn_file_actions_adddup2(&actions, fds[1], 2);
    } else {
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    }
    pid_t pid = -1;
    if (::posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) {
        pid = -1;
    }
    posix_spawn_file_actions_destroy(&actions);
    if (outputFd) {
        ::close(fds[1]);
        *outputFd = fds[0];
    }
    return pid;
}

// A daemon (rigctld or rotctld, dummy model) on a free loopback port, ready when constructed.
class HamlibDaemon {
public:
    explicit HamlibDaemon(const std::string& program) : port(freePort()) {
        m_pid = spawn({program, "-m", "1", "-T", "127.0.0.1", "-t", std::to_string(port)}, nullptr);
        // Ready once the port accepts; each try waits in poll() on the connecting socket.
        QDeadlineTimer deadline(10000);
        while (m_pid > 0 && !ready && !deadline.hasExpired()) {
            int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
            sockaddr_in address{};
            address.sin_family = AF_INET;
            address.sin_port = htons(static_cast<std::uint16_t>(port));
            address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
            ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
            pollfd p{fd, POLLOUT, 0};
            int error = 0;
            socklen_t length = sizeof error;
            ready = ::poll(&p, 1, 100) == 1 &&
                    ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) == 0 && error == 0;
            ::close(fd);
            if (!ready) {
                pollfd none{-1, 0, 0};
                ::poll(&none, 1, 20); // refused at once: the daemon is still starting
            }
        }
    }
    ~HamlibDaemon() {
        if (m_pid > 0) {
            ::kill(m_pid, SIGTERM);
            ::waitpid(m_pid, nullptr, 0);
        }
    }
    HamlibDaemon(const HamlibDaemon&) = delete;
    HamlibDaemon& operator=(const HamlibDaemon&) = delete;

    std::string address() const { return "127.0.0.1:" + std::to_string(port); }

    int port;
    bool ready = false;

private:
    pid_t m_pid = -1;
};

struct ToolRun {
    int exitCode = -1;
    std::string output; // stdout and stderr together
};

// Runs a tool to its end, calling `meanwhile` (the test's server or link) as it waits.
inline ToolRun runTool(const std::vector<std::string>& args,
                       const std::function<void()>& meanwhile = {}) {
    ToolRun run;
    int fd = -1;
    pid_t pid = spawn(args, &fd);
    if (pid <= 0) {
        return run;
    }
    QDeadlineTimer deadline(15000);
    bool open = true;
    while (open && !deadline.hasExpired()) {
        if (meanwhile) {
            meanwhile();
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 0);
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, 5) == 1) {
            char buffer[512];
            ssize_t n = ::read(fd, buffer, sizeof buffer);
            if (n > 0) {
                run.output.append(buffer, static_cast<std::size_t>(n));
            } else {
                open = false;
            }
        }
    }
    if (open) {
        ::kill(pid, SIGKILL);
    }
    ::close(fd);
    int status = 0;
    ::waitpid(pid, &status, 0);
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

} // namespace kelvora::testing
