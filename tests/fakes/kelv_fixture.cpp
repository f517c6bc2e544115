// Temporary folders and the faked main window.
#include "fakes/kelv_fixture.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace kelvora::fakes {

TempFolder::TempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "kelvora-test-XXXXXX").string();
    char* made = ::mkdtemp(pattern.data());
    m_path = made != nullptr ? made : pattern;
}

TempFolder::~TempFolder() {
    std::error_code ec;
    std::filesystem::permissions(m_path, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(m_path, ec);
}

void TempFolder::write(const std::string& name, const std::string& contents) const {
    std::ofstream out(file(name), std::ios::binary | std::ios::trunc);
    out << contents;
}

std::string TempFolder::read(const std::string& name) const {
    std::ifstream in(file(name), std::ios::binary);
    std::ostringstream buffer;
    buffer << in.rdbuf();
    return buffer.str();
}

KelvFixture::KelvFixture()
    : settingsDialog(folder.file("Kelvora.ini")),
      k(settingsDialog, radio, rotor, virtualPtt, realPtt, radio2, socket, clock, dialogs,
        folder.path()) {
    k.devices = &devices;
}

} // namespace kelvora::fakes
