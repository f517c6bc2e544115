// One running program per program folder.
#pragma once

#include <string>

namespace kelvora::platform {

// Responsibilities:
// - acquire() takes an exclusive lock on the file Kelvora.lock in the program folder, without
//   waiting: false when another program holds it.
// - The lock belongs to the open file, so the system releases it when the process ends in any
//   way; a lock file left behind by a crashed program does not block the next start.
// - A lock file that cannot be opened or locked (owned by another user after a run with sudo, a
//   symbolic link, which is never followed, a directory) is Unavailable: the program cannot know
//   it runs alone, so it does not start; `error` then names the file, the reason and the fix.
class InstanceLock {
public:
    InstanceLock() = default;
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    enum class Result { Acquired, HeldElsewhere, Unavailable };
    Result acquire(const std::string& folder, std::string& error);
    void release();

private:
    int m_fd = -1;
};

// The text of an Unavailable lock: the file, the reason (errno `why`) and what to do about it.
std::string lockFailureText(const std::string& path, int why);

// "Kelvora is already running with the settings in <folder>".
std::string alreadyRunningText(const std::string& folder);

} // namespace kelvora::platform
