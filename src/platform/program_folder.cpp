// Choice of the program folder.
#include "platform/program_folder.h"

#include <cstdlib>
#include <filesystem>
#include <string_view>
#include <system_error>
#include <unistd.h>

namespace kelvora::platform {

namespace {

// A folder the system's packages own (/usr/bin, /usr/local/bin, /bin...): even where it is
// writable (the program run as root) the settings do not belong there.
bool isSystemFolder(const std::string& folder) {
    for (std::string_view prefix : {"/usr", "/bin", "/sbin"}) {
        if (folder.starts_with(prefix) &&
            (folder.size() == prefix.size() || folder[prefix.size()] == '/')) {
            return true;
        }
    }
    return false;
}

} // namespace

std::string chooseProgramFolder(const char* kelvoraHome, const std::string& executableFolder,
                                bool executableFolderWritable, const char* xdgConfigHome,
                                const char* home) {
    if (kelvoraHome != nullptr && *kelvoraHome != '\0') {
        return kelvoraHome;
    }
    if (!executableFolder.empty() && executableFolderWritable &&
        !isSystemFolder(executableFolder)) {
        return executableFolder;
    }
    std::filesystem::path base;
    if (xdgConfigHome != nullptr && *xdgConfigHome != '\0') {
        base = xdgConfigHome;
    } else if (home != nullptr && *home != '\0') {
        base = std::filesystem::path(home) / ".config";
    } else {
        base = std::filesystem::temp_directory_path();
    }
    return (base / "Kelvora").string();
}

std::string programFolder() {
    std::error_code ec;
    std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    std::string exeFolder = ec ? std::string() : exe.parent_path().string();
    bool writable = !exeFolder.empty() && ::access(exeFolder.c_str(), W_OK) == 0;
    std::string folder = chooseProgramFolder(std::getenv("KELVORA_HOME"), exeFolder, writable,
                                             std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME"));
    std::filesystem::create_directories(folder, ec);
    return folder;
}

} // namespace kelvora::platform
