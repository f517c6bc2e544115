// The program folder's lock: one holder at a time, released by the system with its process.
#include "fakes/kelv_fixture.h"
#include "platform/instance_lock.h"

#include <gtest/gtest.h>

#include <atomic>
#include <csignal>
#include <latch>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace kelvora::platform {
namespace {

using Result = InstanceLock::Result;

TEST(InstanceLock, OneHolderAtATimeAndAFolderWithoutLockFileDoesNotStopTheProgram) {
    fakes::TempFolder folder;
    InstanceLock first, second;
    std::string error;
    EXPECT_EQ(first.acquire(folder.path(), error), Result::Acquired);
    EXPECT_EQ(second.acquire(folder.path(), error), Result::HeldElsewhere);
    first.release();
    EXPECT_EQ(second.acquire(folder.path(), error), Result::Acquired);
    EXPECT_EQ(first.acquire(folder.path() + "/missing", error), Result::Unavailable);
    EXPECT_NE(error.find("Kelvora.lock"), std::string::npos) << error;
}

TEST(InstanceLock, StartsRacingForTheFolderLeaveExactlyOneHolder) {
    fakes::TempFolder folder;
    for (int round = 0; round < 20; ++round) {
        std::vector<InstanceLock> locks(8);
        std::latch gate(static_cast<std::ptrdiff_t>(locks.size()));
        std::atomic<int> acquired{0};
        std::vector<std::thread> starts;
        for (InstanceLock& lock : locks) {
            starts.emplace_back([&] {
                gate.arrive_and_wait(); // all try at once
                std::string error;
                if (lock.acquire(folder.path(), error) == Result::Acquired) {
                    ++acquired;
                }
            });
        }
        for (std::thread& t : starts) {
            t.join();
        }
        EXPECT_EQ(acquired, 1) << "round " << round;
    }
}

TEST(InstanceLock, AKilledHoldersLockDoesNotBlockTheNextStart) {
    fakes::TempFolder folder;
    int held[2];
    ASSERT_EQ(::pipe(held), 0);
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        InstanceLock lock;
        std::string error;
        char ok = lock.acquire(folder.path(), error) == Result::Acquired ? '1' : '0';
        [[maybe_unused]] ssize_t n = ::write(held[1], &ok, 1);
        ::pause(); // until killed, without releasing
        ::_exit(0);
    }
    char ok = 0;
    ASSERT_EQ(::read(held[0], &ok, 1), 1);
    EXPECT_EQ(ok, '1');
    InstanceLock next;
    std::string error;
    EXPECT_EQ(next.acquire(folder.path(), error), Result::HeldElsewhere);
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    EXPECT_EQ(next.acquire(folder.path(), error), Result::Acquired);
    ::close(held[0]);
    ::close(held[1]);
}

} // namespace
} // namespace kelvora::platform
