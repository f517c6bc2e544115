#include "platform/program_folder.h"

#include <gtest/gtest.h>

namespace kelvora::platform {
namespace {

TEST(ProgramFolderTest, ChoiceFollowsTheOrderOfTheRule) {
    struct Case {
        const char* home;
        std::string exeFolder;
        bool writable;
        const char* xdg;
        std::string expected;
    };
    const Case cases[] = {
        {"/srv/k", "/opt/k", true, "/x", "/srv/k"},
        {"", "/home/op/kelvora/build", true, "/x", "/home/op/kelvora/build"},
        {nullptr, "/home/op/build", false, "/x", "/x/Kelvora"},
        // An installed program keeps its settings per user, even run as root.
        {nullptr, "/usr/bin", true, "/x", "/x/Kelvora"},
        {nullptr, "/usr/local/bin", true, nullptr, "/home/op/.config/Kelvora"},
        {nullptr, "/bin", true, "", "/home/op/.config/Kelvora"},
        {nullptr, "/usrlocal", true, "/x", "/usrlocal"},
        {nullptr, "/tmp/unpacked/usr/bin", true, "/x", "/tmp/unpacked/usr/bin"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(chooseProgramFolder(c.home, c.exeFolder, c.writable, c.xdg, "/home/op"),
                  c.expected)
            << c.exeFolder;
    }
}

} // namespace
} // namespace kelvora::platform
