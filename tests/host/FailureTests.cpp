#include <filesystem>
#include <fstream>

#include "EndToEndSupport.h"
#include "support/TestPaths.h"

// Every way a run can fail: one line naming what failed and where, a non-zero
// exit without a crash, and nothing written outside the device root.
namespace {

namespace fs = std::filesystem;

class FailureTest : public TrillboxRunTest {
protected:
    // Runs `arguments` and checks the common promises; answers the error line.
    std::string failure(const std::vector<std::string>& arguments, int expectedStatus,
                        const std::string& input = "") {
        const ProcessResult result = run(arguments, input);
        EXPECT_EQ(result.signal, 0) << "crashed: " << result.err;
        EXPECT_EQ(result.exitStatus, expectedStatus) << result.err;
        const auto lines = result.errorLines();
        // A usage failure adds the pointer to --help.
        EXPECT_EQ(lines.size(), expectedStatus == 2 ? 2u : 1u) << result.err;
        EXPECT_EQ(filesUnder(work.path()), before) << "written into the working directory";
        EXPECT_EQ(filesUnder(dataHome.path()), std::vector<std::string>{}) << "written into the data home";
        output = result.out;
        return lines.empty() ? "" : lines.front();
    }
    // A copy of the real bundle in the working directory, to break.
    std::string bundleCopy() {
        const fs::path copy = fs::path(work.path()) / "Broken.bundle";
        fs::create_directories(copy);
        fs::copy_file(fs::path(TRILLBOX_BUNDLE_DIR) / "Info.plist", copy / "Info.plist");
        fs::create_symlink(fs::path(TRILLBOX_BUNDLE_DIR) / "Trillbox", copy / "Trillbox");
        return copy.string();
    }
    void writeWork(const std::string& relative, const std::string& contents) {
        work.write(relative, contents);
        before = filesUnder(work.path());
    }
    std::string infoPlist(const std::string& executable, const std::string& principal) {
        return R"(<?xml version="1.0" encoding="UTF-8"?><plist version="1.0"><dict>)" +
               (executable.empty() ? ""
                                   : "<key>CFBundleExecutable</key><string>" + executable + "</string>") +
               (principal.empty() ? "" : "<key>NSPrincipalClass</key><string>" + principal + "</string>") +
               "</dict></plist>";
    }

    std::vector<std::string> before;
    std::string output;
};

TEST_F(FailureTest, ABundleThatCannotBeLoadedIsNamedWithWhatIsWrong) {
    EXPECT_EQ(failure({"--bundle", "/nonexistent/Trillbox.bundle", "snapshot", "out.png"}, 1),
              "trillbox: no bundle at /nonexistent/Trillbox.bundle: not a directory");

    const std::string bundle = bundleCopy();
    fs::remove(fs::path(bundle) / "Info.plist");
    before = filesUnder(work.path());
    EXPECT_EQ(failure({"--bundle", bundle, "snapshot", "out.png"}, 1),
              "trillbox: bundle " + bundle + " has no Info.plist");

    writeWork("Broken.bundle/Info.plist", "<plist><dict><key>broken");
    EXPECT_EQ(failure({"snapshot", "out.png", "--bundle", bundle}, 1),
              "trillbox: " + bundle + "/Info.plist is not a property-list dictionary");

    writeWork("Broken.bundle/Info.plist", infoPlist("", "TrillboxViewControllerNew"));
    EXPECT_EQ(failure({"--bundle", bundle, "script", "-"}, 1, "dump\n"),
              "trillbox: " + bundle + "/Info.plist names no library file in CFBundleExecutable");

    writeWork("Broken.bundle/Info.plist", infoPlist("Missing", "TrillboxViewControllerNew"));
    EXPECT_EQ(failure({"--bundle", bundle, "snapshot", "out.png"}, 1),
              "trillbox: the bundle's library " + bundle + "/Missing is missing");

    writeWork("Broken.bundle/NotALibrary", "just text");
    writeWork("Broken.bundle/Info.plist", infoPlist("NotALibrary", "TrillboxViewControllerNew"));
    EXPECT_EQ(failure({"--bundle", bundle, "snapshot", "out.png"}, 1)
                  .rfind("trillbox: cannot load the library " + bundle + "/NotALibrary: ", 0),
              0u);

    writeWork("Broken.bundle/Info.plist", infoPlist("Trillbox", "NoSuchController"));
    EXPECT_EQ(failure({"--bundle", bundle, "snapshot", "out.png"}, 1),
              "trillbox: the class NoSuchController is not registered by " + bundle + "/Trillbox");

    writeWork("Broken.bundle/Info.plist", infoPlist("Trillbox", ""));
    EXPECT_EQ(failure({"--bundle", bundle, "snapshot", "out.png"}, 1),
              "trillbox: " + bundle + "/Info.plist names no NSPrincipalClass");
    EXPECT_EQ(filesUnder(deviceRoot.path()), std::vector<std::string>{});
}

TEST_F(FailureTest, ABadPlaylistIsNamedWithItsEntry) {
    EXPECT_EQ(failure({"--playlist", "missing.plist", "snapshot", "out.png"}, 1),
              "trillbox: cannot read the playlist missing.plist");
    writeWork("list.plist", R"(<?xml version="1.0"?><plist version="1.0"><array>
      <dict><key>title</key><string>Fine</string></dict>
      <dict><key>title</key><string>Broken</string><key>artwork</key><string>gone.png</string></dict>
    </array></plist>)");
    EXPECT_EQ(failure({"--playlist", "list.plist", "script", "-"}, 1, "dump\n"),
              "trillbox: the playlist list.plist, entry 2: the artwork " + work.file("gone.png") +
                  " is not a readable PNG");
}

TEST_F(FailureTest, ABadScriptLineStopsTheScriptAfterTheLinesBeforeIt) {
    EXPECT_EQ(
        failure({"script", "-"}, 2, "present\ndump\n\n# a comment\nfrobnicate 1 2\nsnapshot after.png\n"),
        "trillbox: standard input:5: unknown command \"frobnicate\"");
    EXPECT_EQ(std::count(output.begin(), output.end(), '\n'), 1); // the dump before it ran

    const std::vector<std::pair<std::string, std::string>> lines = {
        {"tap 10", "standard input:1: too few arguments; usage: tap X Y"},
        {"tap 10 ten", "standard input:1: Y must be a number, not \"ten\""},
        {"wait -1", "standard input:1: SECONDS must be 0 or more, not -1"},
        {"player rewind", "standard input:1: unknown player command \"rewind\"; usage: "
                          "player play|pause|toggle|next|previous|stop|seek SECONDS"},
        {"present now", "standard input:1: too many arguments; usage: present"},
    };
    for (const auto& [line, message] : lines) {
        EXPECT_EQ(failure({"script", "-"}, 2, line + "\n"), "trillbox: " + message) << line;
    }
    EXPECT_EQ(failure({"script", "nowhere.txt"}, 1), "trillbox: cannot read the script nowhere.txt");
    writeWork("run.txt", "present\nsnapshot missing-dir/out.png\n");
    EXPECT_EQ(failure({"script", "run.txt"}, 1), "trillbox: run.txt:2: cannot write missing-dir/out.png");
}

TEST_F(FailureTest, CommandLineMistakesAreUsageFailures) {
    EXPECT_EQ(failure({"dance"}, 2), "trillbox: unknown command \"dance\"");
    EXPECT_EQ(failure({"snapshot"}, 2),
              "trillbox: missing argument; usage: trillbox snapshot OUT.png [--at SECONDS] [--scale N]");
    EXPECT_EQ(failure({"snapshot", "out.png", "--at"}, 2), "trillbox: --at needs a value");
    EXPECT_EQ(failure({"snapshot", "out.png", "--at", "-2"}, 2), "trillbox: --at must be 0 or more, not -2");
    EXPECT_EQ(failure({"snapshot", "out.png", "--zoom", "2"}, 2), "trillbox: unknown option --zoom");
    EXPECT_EQ(failure({"--scale", "0", "snapshot", "out.png"}, 2),
              "trillbox: --scale must lie above 0 and at most 8, not 0");
    EXPECT_EQ(failure({"record", "frames"}, 2),
              "trillbox: --seconds is required; usage: trillbox record DIR --seconds S [--fps N]");
    EXPECT_EQ(failure({"record", "frames", "--seconds", "1", "--fps", "0"}, 2),
              "trillbox: --fps must be a whole number from 1 to 120");
    EXPECT_EQ(failure({"--player", "itunes", "script", "-"}, 2),
              "trillbox: --player is demo, mpris or mpris:NAME, not \"itunes\"");
    EXPECT_EQ(
        failure({"settings", "volume", "11"}, 2),
        "trillbox: unknown setting \"volume\"; the settings are startView, shareArtwork, showSeperators "
        "and roundedCornersValue");
    EXPECT_EQ(failure({"settings", "showSeperators", "sometimes"}, 2),
              "trillbox: showSeperators is true or false, not \"sometimes\"");
    EXPECT_EQ(filesUnder(deviceRoot.path()), std::vector<std::string>{});
}

TEST_F(FailureTest, FilesThatCannotBeWrittenOrReadAreNamed) {
    writeWork("blocker", "a file where a directory should be");
    EXPECT_EQ(failure({"snapshot", "blocker/out.png"}, 1), "trillbox: cannot write blocker/out.png");
    EXPECT_EQ(failure({"record", "blocker/frames", "--seconds", "1"}, 1)
                  .rfind("trillbox: cannot create the directory blocker/frames", 0),
              0u);

    const std::string settings = deviceRoot.write(
        "var/mobile/Library/Preferences/org.trillbox.TrillboxPrefs.plist", "\x01\x02garbage");
    EXPECT_EQ(failure({"settings"}, 1), "trillbox: the settings file " + settings +
                                            " is not a property-list dictionary; 'trillbox settings --reset' "
                                            "removes it");
    EXPECT_EQ(failure({"settings", "startView", "time"}, 1).rfind("trillbox: the settings file", 0), 0u);
    std::ifstream kept(settings, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), {}), "\x01\x02garbage");
    // The widget itself falls back to its defaults on the same file.
    const ProcessResult run = this->run({"script", "-"}, "dump\n");
    EXPECT_EQ(run.exitStatus, 0) << run.err;
}

} // namespace
