// The program folder's lock, on flock(2).
#include "platform/instance_lock.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace kelvora::platform {

InstanceLock::~InstanceLock() {
    release();
}

InstanceLock::Result InstanceLock::acquire(const std::string& folder, std::string& error) {
    release();
    std::string path = folder + "/Kelvora.lock";
    // Not truncated on open: the holder's process number stays readable to whoever is refused.
    int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0644);
    if (fd < 0) {
        error = lockFailureText(path, errno);
        return Result::Unavailable;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        int why = errno;
        ::close(fd);
        if (why == EWOULDBLOCK) {
            return Result::HeldElsewhere;
        }
        error = lockFailureText(path, why);
        return Result::Unavailable;
    }
    std::string pid = std::to_string(::getpid()) + "\n";
    if (::ftruncate(fd, 0) == 0) {
        [[maybe_unused]] ssize_t written = ::write(fd, pid.data(), pid.size());
    }
    m_fd = fd;
    return Result::Acquired;
}

void InstanceLock::release() {
    if (m_fd >= 0) {
        ::close(m_fd); // closing the only descriptor of the open file releases the lock
        m_fd = -1;
    }
}

std::string lockFailureText(const std::string& path, int why) {
    std::string quoted = "\"" + path + "\"";
    std::string fix;
    switch (why) {
    case ELOOP: // O_NOFOLLOW met a symbolic link
        fix = "The lock file is a symbolic link, which Kelvora does not follow. Remove the link "
              "(rm " +
              quoted + "); Kelvora makes the file anew.";
        break;
    case EISDIR:
        fix = "The lock file is a directory. Remove it (rmdir " + quoted +
              "); Kelvora makes the file anew.";
        break;
    case EACCES:
    case EPERM:
        fix = "The file or its folder belongs to another user, as after a start with sudo. Give "
              "it back (sudo chown \"$USER\" " +
              quoted + ") or remove it; Kelvora makes the file anew.";
        break;
    case EROFS:
        fix = "The folder is on a read-only file system. Start Kelvora with KELVORA_HOME naming a "
              "writable folder.";
        break;
    default:
        fix = "Remove the file; Kelvora makes it anew.";
        break;
    }
    return "Kelvora cannot lock its program folder, so it does not start: a second Kelvora on "
           "the same folder would drive the same ports.\n"
           "File: " +
           path + "\nReason: " + std::strerror(why) + "\nFix: " + fix;
}

std::string alreadyRunningText(const std::string& folder) {
    return "Kelvora is already running with the settings in " + folder;
}

} // namespace kelvora::platform
