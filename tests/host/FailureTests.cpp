#include <filesystem>
#include <iterator>
#include <map>

#include <gmock/gmock.h>

#include "host/CommandHelp.h"
#include "host/EndToEndSupport.h"
#include "support/TestPaths.h"

namespace {

using Files = std::map<std::string, std::string>;

// One way a run fails. "$W" stands for the working directory, which holds a
// bundle directory B.bundle with the real library in it.
struct Failure {
    // Split at spaces.
    std::string commandLine;
    // 1: something failed; 2: the command line or a script line is not understood.
    int status;
    // How the one line on standard error starts, after "trillbox: ".
    std::string message;
    // Standard input.
    std::string input = "";
    // Written into the working directory before the run.
    Files files = {};
};

std::string expand(std::string text, const std::string& work) {
    for (std::size_t at; (at = text.find("$W")) != std::string::npos;) {
        text.replace(at, 2, work);
    }
    return text;
}

Files file(const std::string& path, const std::string& contents) {
    return {{path, contents}};
}

const std::string kInfo = "B.bundle/Info.plist";
Files info(const std::string& executable, const std::string& principal) {
    return file(
        kInfo,
        R"(<plist version="1.0"><dict>)" +
            (executable.empty() ? "" : "<key>CFBundleExecutable</key><string>" + executable + "</string>") +
            (principal.empty() ? "" : "<key>NSPrincipalClass</key><string>" + principal + "</string>") +
            "</dict></plist>");
}

const std::string kBundled = "--bundle $W/B.bundle snapshot out.png";
const std::string kController = "TrillboxViewControllerNew";
const std::string kSettings = "var/mobile/Library/Preferences/org.trillbox.TrillboxPrefs.plist";
const Files kDamagedSettings = file(kSettings, "\x01\x02garbage");
const Files kBrokenPlaylist = file("list.plist", R"(<plist version="1.0"><array>
  <dict><key>title</key><string>Fine</string></dict>
  <dict><key>title</key><string>Broken</string><key>artwork</key><string>gone.png</string></dict>
</array></plist>)");

// Whatever fails, the program says what in one line (a usage failure adds the
// pointer to the command's --help), exits without a crash and writes nothing, not even in its
// device root or home (its working directory).
TEST(FailureTest, OneLineNamesWhatFailedAndNothingIsWritten) {
    const std::vector<Failure> failures = {
        {"--bundle /nowhere/B.bundle snapshot out.png", 1, "no bundle at /nowhere/B.bundle: not a directory"},
        {kBundled, 1, "bundle $W/B.bundle has no Info.plist"},
        {kBundled, 1, "$W/B.bundle/Info.plist is not a property-list dictionary", "",
         file(kInfo, "<plist><dict>")},
        {kBundled, 1, "$W/B.bundle/Info.plist names no library file in CFBundleExecutable", "",
         info("", kController)},
        {kBundled, 1, "the bundle's library $W/B.bundle/Missing is missing", "",
         info("Missing", kController)},
        {kBundled, 1, "cannot load the library $W/B.bundle/Info.plist: ", "",
         info("Info.plist", kController)},
        {kBundled, 1, "the class NoSuchController is not registered by $W/B.bundle/Trillbox", "",
         info("Trillbox", "NoSuchController")},
        {kBundled, 1, "$W/B.bundle/Info.plist names no NSPrincipalClass", "", info("Trillbox", "")},

        {"--playlist missing.plist snapshot out.png", 1, "cannot read the playlist missing.plist"},
        {"--playlist list.plist snapshot out.png", 1,
         "the playlist list.plist, entry 2: the artwork $W/gone.png", "", kBrokenPlaylist},

        // A bad line stops the script, so the snapshot after it is never written.
        {"script -", 2, "standard input:4: unknown command \"frobnicate\"",
         "dump\n\n# a comment\nfrobnicate 1 2\nsnapshot after.png\n"},
        {"script -", 2, "standard input:1: too few arguments; usage: tap X Y", "tap 10\n"},
        {"script -", 2, "standard input:1: Y must be a number, not \"ten\"", "tap 10 ten\n"},
        {"script -", 2, "standard input:1: SECONDS must be 0 or more, not -1", "wait -1\n"},
        {"script -", 2, "standard input:1: unknown player command \"rewind\"", "player rewind\n"},
        {"script -", 2, "standard input:1: too many arguments; usage: present", "present now\n"},
        {"--legacy script -", 1, "standard input:2: a long press is not possible",
         "present\nlongpress 1 1\n"},
        {"script -", 2, "standard input:2: SECONDS must be at most 3600, not 3600.5",
         "wait 3600\nlongpress 1 1 3600.5"},
        {"script -", 2, "standard input:1: SECONDS must be at most 3600, not 1e308", "drag 1 1 2 2 1e308\n"},
        {"script -", 2, "standard input:1: X must be a number, not \"nan\"", "tap nan nan\n"},
        {"script -", 2, "standard input:1: the line is longer than 65536 bytes", std::string(70000, '\0')},
        {"script -", 2, "standard input:1: unknown command \"frob\\x1B[2J\\x00\\x9B\xC3\xA9\"",
         std::string("frob\x1B[2J\0\xC2\x9B\xC3\xA9", 13)},
        {"script -", 2, "standard input:1: unknown player command \"" + std::string(80, 'r') + "...\"",
         "player " + std::string(81, 'r')},
        {"script -", 1, "standard input:1: cannot write no/\\x1B]0;t\\x07.png",
         "snapshot no/\x1B]0;t\x07.png"},
        {"snapshot out.png --at 3601", 2, "--at must be at most 3600, not 3601"},
        {"script nowhere.txt", 1, "cannot read the script nowhere.txt"},
        {"script run.txt", 1, "run.txt:2: cannot write no/out.png", "",
         file("run.txt", "present\nsnapshot no/out.png\n")},

        {"dance", 2, "unknown command \"dance\""},
        {"snapshot", 2, "missing argument; usage: trillbox snapshot OUT.png [--at SECONDS] [--transparent]"},
        {"snapshot out.png --at", 2, "--at needs a value"},
        {"snapshot out.png --at -2", 2, "--at must be 0 or more, not -2"},
        {"snapshot out.png --zoom 2", 2, "unknown option --zoom"},
        {"--scale 0 snapshot out.png", 2, "--scale must lie above 0 and at most 8, not 0"},
        {"record frames", 2, "--seconds is required; usage: trillbox record DIR --seconds S [--fps N]"},
        {"record frames --seconds 1 --fps 0", 2, "--fps must be a whole number from 1 to 120"},
        {"--player gramophone script -", 2, "--player is demo, mpris or mpris:NAME, not \"gramophone\""},
        {"settings volume 11", 2,
         "unknown setting \"volume\"; the settings are startView, shareArtwork, "
         "showSeperators and roundedCornersValue"},
        {"settings showSeperators sometimes", 2, "showSeperators is true or false, not \"sometimes\""},
        {"settings startView Volume", 2, "startView is \"volume\" or \"time\", not \"Volume\""},
        {"settings roundedCornersValue 12pt", 2, "roundedCornersValue is a number of points, 0 or more"},
        {"settings roundedCornersValue nan", 2, "roundedCornersValue is a number of points, 0 or more"},
        {"settings showSeparators true", 1,
         "cannot create the directory $W/var/mobile/Library/Preferences: Not a d", "", file("var", "")},

        {"snapshot blocker/out.png", 1, "cannot write blocker/out.png: Not a directory", "",
         file("blocker", "")},
        {"record blocker/frames --seconds 1", 1, "cannot create the directory blocker/", "",
         file("blocker", "")},
        // A damaged settings file is named and kept.
        {"settings", 1,
         "the settings file $W/" + kSettings + " is not a property list; 'trillbox settings --reset", "",
         kDamagedSettings},
        {"settings startView time", 1, "the settings file $W/" + kSettings, "", kDamagedSettings},
        {"settings --reset", 1, "the settings path $W/" + kSettings + " is a directory, not a file", "",
         file(kSettings + "/kept", "")},
    };
    for (const Failure& failure : failures) {
        const TrillboxRun run;
        SCOPED_TRACE(failure.commandLine + " < " + failure.input);
        std::filesystem::create_directories(run.work.file("B.bundle"));
        std::filesystem::create_symlink(TRILLBOX_BUNDLE_DIR "/Trillbox", run.work.file("B.bundle/Trillbox"));
        for (const auto& [path, contents] : failure.files) {
            run.work.write(path, contents);
        }
        const std::vector<std::string> before = filesUnder(run.work.path());
        std::istringstream words(expand(failure.commandLine, run.work.path()));
        const std::vector<std::string> arguments(std::istream_iterator<std::string>(words), {});

        const ProcessResult result = run(arguments, failure.input);
        EXPECT_EQ(result.signal, 0) << "crashed: " << result.err;
        EXPECT_EQ(result.exitStatus, failure.status) << result.err;
        const auto lines = result.errorLines();
        ASSERT_EQ(lines.size(), failure.status == 2 ? 2u : 1u) << result.err;
        if (failure.status == 2) {
            // The pointer names the first word that is a command.
            const auto named = std::find_if(arguments.begin(), arguments.end(), host::findCommandHelp);
            EXPECT_EQ(lines.back(),
                      "Try 'trillbox " + (named == arguments.end() ? "" : *named + " ") + "--help'.");
        }
        EXPECT_EQ(lines.front().rfind("trillbox: " + expand(failure.message, run.work.path()), 0), 0u)
            << lines.front();
        EXPECT_EQ(filesUnder(run.work.path()), before);
        for (const auto& [path, contents] : failure.files) {
            EXPECT_EQ(readFile(run.work.file(path)), contents) << path;
        }
    }
}

// Output that goes nowhere fails the run; a damaged settings file is named by
// every command that shows the widget, which goes on with the defaults.
TEST(FailureTest, LostOutputFailsAndDamagedSettingsAreNamed) {
    const TrillboxRun run;
    const std::pair<std::string, std::string> outputs[] = {{">/dev/full", "No space left on device"},
                                                           {">&-", "Bad file descriptor"}};
    for (const auto& [redirection, reason] : outputs) {
        for (const std::string command : {"--help", "settings", "script -", "record frames --seconds 0"}) {
            const ProcessResult result = runProcess(
                {"sh", "-c", "exec \"$0\" --device-root . " + command + " " + redirection, TRILLBOX_BINARY},
                {run.work.path(), "dump\n", {}});
            EXPECT_EQ(result.exitStatus, 1) << command << redirection;
            EXPECT_THAT(result.err,
                        ::testing::EndsWith("trillbox: cannot write standard output: " + reason + "\n"))
                << command;
        }
    }
    std::filesystem::create_directories(run.work.file(kSettings + "/.."));
    std::filesystem::remove(run.work.file(kSettings));
    std::filesystem::create_symlink(run.work.file(kSettings), run.work.file(kSettings));
    EXPECT_THAT(run({"settings"}).err,
                ::testing::HasSubstr(": Too many levels of symbolic links; 'trillbox"));
    std::filesystem::remove(run.work.file(kSettings));
    run.work.write(kSettings, "\x01\x02garbage");
    const ProcessResult snapshot = run({"snapshot", "out.png"});
    EXPECT_EQ(snapshot.exitStatus, 0);
    EXPECT_EQ(snapshot.err, "trillbox: the settings file " + run.work.file(kSettings) +
                                " is not a property list; the widget uses its defaults; 'trillbox "
                                "settings --reset' removes it\n");
}

} // namespace
