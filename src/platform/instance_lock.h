// One running program per program folder.
#pragma once

#include <string>

namespace kelvora::platform {

// Responsibilities:
// - acquire() takes an exclusive lock on the file Kelvora.lock in the program folder, without
//   waiting: false when another program holds it.
// - The lock belongs to the open file, so the system releases it when the process ends in any
//   way; a lock file left behind by a crashed program does not block the next start.
// - A folder where no lock file can be made does not stop the program (it runs unlocked, as
//   before); `error` then says why.
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

// "Kelvora is already running with the settings in <folder>".
std::string alreadyRunningText(const std::string& folder);

} // namespace kelvora::platform
