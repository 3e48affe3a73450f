#include <gtest/gtest.h>

#include <regex>

#include "support/Process.h"
#include "support/TestPaths.h"
#include "support/TestSupport.h"

namespace {

// What the validator cannot see: installed, each command of the desktop entry
// runs the installed program, and the icon it names is in the icon theme.
TEST(DesktopEntry, InstalledItsCommandsRunTheInstalledProgramAndItsIconIsThere) {
    TemporaryDirectory prefix;
    const ProcessResult installed =
        runProcess({TRILLBOX_CMAKE, "--install", TRILLBOX_BUILD_DIR, "--prefix", prefix.path()});
    ASSERT_EQ(installed.exitStatus, 0) << installed.err;
    const std::string entry = readFile(prefix.file("share/applications/trillbox.desktop"));
    std::smatch icon;
    ASSERT_TRUE(std::regex_search(entry, icon, std::regex("\nIcon=(.+)\n")));
    for (const std::string size : {"48x48", "128x128", "256x256"}) {
        EXPECT_TRUE(std::filesystem::exists(
            prefix.file("share/icons/hicolor/" + size + "/apps/" + icon.str(1) + ".png")));
    }
    int commands = 0;
    const std::regex command("\nExec=(\\S+)(.*)\n");
    for (std::sregex_iterator exec(entry.begin(), entry.end(), command), end; exec != end;
         ++exec, ++commands) {
        // The same command with --help answers its help instead of opening a window.
        const ProcessResult result =
            runProcess({"sh", "-c", prefix.file("bin/") + exec->str(1) + exec->str(2) + " --help"});
        EXPECT_EQ(result.exitStatus, 0) << exec->str() << result.err;
        EXPECT_NE(result.out.find("Usage: trillbox [run]"), std::string::npos) << exec->str();
    }
    EXPECT_GT(commands, 0);
}

} // namespace
