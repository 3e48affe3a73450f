#include <filesystem>

#include "host/AutostartCommand.h"
#include "host/HostFailure.h"
#include "support/Process.h"
#include "support/TemporaryDirectory.h"
#include "support/TestPaths.h"

namespace {

// On writes the entry (under ~/.config without XDG_CONFIG_HOME) that runs this program
// by its path, quoted as desktop entries require, and the validator accepts it; off
// removes it and, with none left, says so and succeeds.
TEST(AutostartTest, OnWritesAValidEntryThatRunsThisProgramAndOffRemovesIt) {
    const TemporaryDirectory work;
    const auto autostart = [&](const char* state) {
        return runTrillbox({"autostart", state},
                           {work.path(), "", {{"HOME", work.path()}, {"XDG_CONFIG_HOME", ""}}});
    };
    ASSERT_EQ(autostart("on").exitStatus, 0);
    const std::string entryPath = work.file(".config/autostart/trillbox.desktop");
    const std::string program = std::filesystem::canonical(TRILLBOX_BINARY).string();
    EXPECT_EQ(readFile(entryPath), host::autostartEntry(program));
    const std::vector<std::pair<std::string, std::string>> cases = {
        {program, "Exec=" + program + " run\n"},
        {"/o/My 50%$a\"b`c\\d/trillbox", R"(Exec="/o/My 50%%\\$a\\"b\\`c\\\\d/trillbox" run)"},
    };
    for (const auto& [path, exec] : cases) {
        const std::string entry = host::autostartEntry(path);
        EXPECT_NE(entry.find(exec), std::string::npos) << entry;
        work.write("check.desktop", entry);
        EXPECT_EQ(runProcess({"desktop-file-validate", work.file("check.desktop")}).exitStatus, 0) << entry;
    }
    EXPECT_THROW(host::autostartEntry("/o/\xff/trillbox"), host::HostFailure);

    EXPECT_EQ(autostart("off").exitStatus, 0);
    const ProcessResult again = autostart("off");
    EXPECT_EQ(again.exitStatus, 0);
    EXPECT_EQ(again.out.rfind("no autostart entry at " + entryPath, 0), 0u) << again.out;
}

} // namespace
