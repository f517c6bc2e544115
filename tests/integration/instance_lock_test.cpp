// Two programs started together on one program folder: one runs, the other says so and ends.
#include "fakes/kelv_fixture.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <string>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace kelvora {
namespace {

// Starts the program in `home` with its standard error going to `errorFile`.
pid_t startProgram(const std::string& home, const std::string& errorFile) {
    ::setenv("KELVORA_HOME", home.c_str(), 1);
    std::string program = KELVORA_PROGRAM;
    char* argv[] = {program.data(), nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 2, errorFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    pid_t pid = -1;
    int error = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    ::unsetenv("KELVORA_HOME");
    return error == 0 ? pid : -1;
}

// Waits up to `milliseconds` for the first of the two to end; its index, or -1.
int firstToEnd(const pid_t (&pids)[2], int milliseconds) {
    pollfd ends[2];
    for (int i = 0; i < 2; ++i) {
        ends[i] = {static_cast<int>(::syscall(SYS_pidfd_open, pids[i], 0)), POLLIN, 0};
    }
    int first = -1;
    if (::poll(ends, 2, milliseconds) > 0) {
        first = (ends[0].revents & POLLIN) ? 0 : 1;
    }
    for (const pollfd& p : ends) {
        ::close(p.fd);
    }
    return first;
}

int exitStatus(pid_t pid) {
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(InstanceLockProgram, TheSecondOfTwoRacingStartsEndsNonZeroAndTheFirstGoesOn) {
    fakes::TempFolder home;
    pid_t pids[2] = {startProgram(home.path(), home.file("err0")),
                     startProgram(home.path(), home.file("err1"))};
    ASSERT_GT(pids[0], 0);
    ASSERT_GT(pids[1], 0);
    int loser = firstToEnd(pids, 20000);
    ASSERT_GE(loser, 0) << "neither start ended";
    int winner = 1 - loser;
    EXPECT_NE(exitStatus(pids[loser]), 0);
    EXPECT_NE(home.read(loser == 0 ? "err0" : "err1")
                  .find("Kelvora is already running with the settings in " + home.path()),
              std::string::npos);
    // The first goes on: it is still running a moment later, and ends normally when asked.
    EXPECT_EQ(firstToEnd({pids[winner], pids[winner]}, 300), -1);
    ::kill(pids[winner], SIGTERM);
    EXPECT_EQ(exitStatus(pids[winner]), 0);
}

} // namespace
} // namespace kelvora
