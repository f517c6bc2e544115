// Programs started on one program folder: one runs, another says so and ends; a killed one's lock
// does not block the next.
#include "fakes/kelv_fixture.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <poll.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>

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
    posix_spawn_file_actions_addopen(&actions, 2, errorFile.c_str(), O_WRONLY | O_CREAT, 0644);
    pid_t pid = -1;
    int error = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    ::unsetenv("KELVORA_HOME");
    return error == 0 ? pid : -1;
}

// The index of the first of `pids` to end within `milliseconds`, or -1.
int firstToEnd(std::vector<pid_t> pids, int milliseconds) {
    std::vector<pollfd> ends;
    for (pid_t pid : pids) {
        ends.push_back({static_cast<int>(::syscall(SYS_pidfd_open, pid, 0)), POLLIN, 0});
    }
    int first = -1;
    if (::poll(ends.data(), ends.size(), milliseconds) > 0) {
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

TEST(InstanceLockProgram, OfTwoRacingStartsOneEndsNonZeroAndAKilledOnesLockIsFree) {
    fakes::TempFolder home;
    std::vector<pid_t> pids = {startProgram(home.path(), home.file("err0")),
                               startProgram(home.path(), home.file("err1"))};
    ASSERT_TRUE(pids[0] > 0 && pids[1] > 0);
    int loser = firstToEnd(pids, 20000);
    ASSERT_GE(loser, 0) << "neither start ended";
    EXPECT_NE(exitStatus(pids[loser]), 0);
    EXPECT_NE(home.read("err" + std::to_string(loser))
                  .find("Kelvora is already running with the settings in " + home.path()),
              std::string::npos);
    pid_t first = pids[1 - loser];
    EXPECT_EQ(firstToEnd({first}, 300), -1) << "the first goes on";
    ::kill(first, SIGKILL); // a crash leaves the lock file behind
    exitStatus(first);
    pid_t next = startProgram(home.path(), home.file("err2"));
    EXPECT_EQ(firstToEnd({next}, 1000), -1) << home.read("err2");
    ::kill(next, SIGTERM);
    EXPECT_EQ(exitStatus(next), 0);
}

// A lock that cannot be taken cannot tell that the program runs alone: it does not start.
TEST(InstanceLockProgram, ALockFileThatCannotBeTakenEndsTheStartWithStatusOne) {
    struct Case {
        const char* name;
        void (*make)(const std::string& lock);
        const char* fix; // the reason's part of the message
    };
    const Case cases[] = {
        {"a directory", [](const std::string& lock) { std::filesystem::create_directory(lock); },
         "is a directory"},
        {"a dangling symbolic link",
         [](const std::string& lock) { std::filesystem::create_symlink(lock + ".gone", lock); },
         "symbolic link"},
        {"another user's file", // what a start with sudo leaves behind
         [](const std::string& lock) {
             std::ofstream(lock) << "1\n";
             std::filesystem::permissions(lock, std::filesystem::perms::owner_read);
         },
         "sudo chown"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (std::string(c.fix) == "sudo chown" && ::geteuid() == 0) {
            continue; // root opens any file
        }
        fakes::TempFolder home;
        std::string lock = home.path() + "/Kelvora.lock";
        c.make(lock);
        pid_t pid = startProgram(home.path(), home.file("err"));
        ASSERT_GT(pid, 0);
        if (firstToEnd({pid}, 20000) != 0) {
            ::kill(pid, SIGKILL);
            exitStatus(pid);
            FAIL() << "the program went on unlocked";
        }
        EXPECT_EQ(exitStatus(pid), 1);
        std::string text = home.read("err");
        EXPECT_NE(text.find("File: " + lock), std::string::npos) << text;
        EXPECT_NE(text.find(c.fix), std::string::npos) << text;
    }
}

} // namespace
} // namespace kelvora
