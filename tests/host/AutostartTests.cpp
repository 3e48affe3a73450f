#include <filesystem>

#include "host/AutostartCommand.h"
#include "host/EndToEndSupport.h"
#include "host/HostFailure.h"
#include "support/TestPaths.h"

namespace {

bool validEntry(const TemporaryDirectory& directory, const std::string& entry) {
    directory.write("trillbox.desktop", entry);
    return runProcess({"desktop-file-validate", directory.file("trillbox.desktop")}).exitStatus == 0;
}

// The Exec key quotes what desktop entries reserve, and the entry stays valid.
TEST(AutostartTest, TheEntryRunsTheProgramByItsQuotedPath) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"/usr/bin/trillbox", "Exec=/usr/bin/trillbox run\n"},
        {"/opt/My Apps/50%/trillbox", "Exec=\"/opt/My Apps/50%%/trillbox\" run\n"},
        {"/o/$a\"b`c\\d/trillbox", R"(Exec="/o/\\$a\\"b\\`c\\\\d/trillbox" run)"
                                   "\n"},
    };
    const TemporaryDirectory directory;
    for (const auto& [program, exec] : cases) {
        const std::string entry = host::autostartEntry(program);
        EXPECT_NE(entry.find(exec), std::string::npos) << entry;
        EXPECT_TRUE(validEntry(directory, entry)) << entry;
    }
    EXPECT_THROW(host::autostartEntry("/o/\xff/trillbox"), host::HostFailure);
    EXPECT_THROW(host::autostartEntry("/o/a\nb/trillbox"), host::HostFailure);
}

// On writes the entry under ~/.config without XDG_CONFIG_HOME; off removes it, and
// with no entry left says so and succeeds.
TEST(AutostartTest, OnWritesAValidEntryAndOffRemovesIt) {
    const TemporaryDirectory work;
    const auto autostart = [&](const std::string& state) {
        return runTrillbox({"autostart", state},
                           {work.path(), "", {{"HOME", work.path()}, {"XDG_CONFIG_HOME", ""}}});
    };
    ASSERT_EQ(autostart("on").exitStatus, 0);
    const std::string entry = readFile(work.file(".config/autostart/trillbox.desktop"));
    EXPECT_NE(entry.find("Exec=" + std::filesystem::canonical(TRILLBOX_BINARY).string() + " run\n"),
              std::string::npos);
    EXPECT_TRUE(validEntry(work, entry));
    EXPECT_EQ(autostart("off").exitStatus, 0);
    const ProcessResult again = autostart("off");
    EXPECT_EQ(again.exitStatus, 0);
    EXPECT_EQ(
        again.out.rfind("no autostart entry at " + work.path() + "/.config/autostart/trillbox.desktop", 0),
        0u);
}

} // namespace
