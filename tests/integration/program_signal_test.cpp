// The real program ended by a signal ends as its close box ends it: geometry saved, status 0.
#include "config/ini_file.h"
#include "fakes/kelv_fixture.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <poll.h>
#include <spawn.h>
#include <string>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace kelvora {
namespace {

// Starts the program in `home`, tracing ("T"); the test program already runs offscreen.
pid_t startProgram(const std::string& home) {
    ::setenv("KELVORA_HOME", home.c_str(), 1);
    std::string program = KELVORA_PROGRAM, trace = "T";
    char* argv[] = {program.data(), trace.data(), nullptr};
    pid_t pid = -1;
    int error = posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv, environ);
    ::unsetenv("KELVORA_HOME");
    return error == 0 ? pid : -1;
}

// The exit status once the program has ended, or -1 when it did not within `milliseconds`.
int waitForExit(pid_t pid, int milliseconds) {
    int pidfd = static_cast<int>(::syscall(SYS_pidfd_open, pid, 0));
    pollfd ended{pidfd, POLLIN, 0};
    bool done = pidfd >= 0 && ::poll(&ended, 1, milliseconds) == 1;
    if (pidfd >= 0) {
        ::close(pidfd);
    }
    if (!done) {
        ::kill(pid, SIGKILL);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return done && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(ProgramSignalTest, TermIntAndHupEndLikeTheCloseBox) {
    for (int signal : {SIGTERM, SIGINT, SIGHUP}) {
        fakes::TempFolder home;
        // Texts the program rewrites only when it saves the geometry on its way out.
        home.write("Kelvora.ini", "[Window]\r\nWindowPositionLeft=3000.0\r\n"
                                  "WindowPositionTop=1500.0\r\nWindowHeight=6000.0\r\n"
                                  "WindowWidth=9585.0\r\n");
        home.write("Trace.txt", ""); // an existing trace file gets the "Start" entry
        pid_t pid = startProgram(home.path());
        ASSERT_GT(pid, 0);
        // Up once its start-up has traced "Start".
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (home.read("Trace.txt").find("Start") == std::string::npos &&
               std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        ::kill(pid, signal);
        EXPECT_EQ(waitForExit(pid, 30000), 0) << "signal " << signal;
        const std::string ini = home.file("Kelvora.ini");
        EXPECT_EQ(config::ReadStringIni("Window", "WindowPositionLeft", ini), "3000");
        EXPECT_EQ(config::ReadStringIni("Window", "WindowPositionTop", ini), "1500");
        EXPECT_EQ(config::ReadStringIni("Window", "WindowWidth", ini), "9585");
    }
}

} // namespace
} // namespace kelvora
