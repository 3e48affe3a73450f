#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "host/EndToEndSupport.h"
#include "host/ProgramLibrary.h"
#include "support/TestPaths.h"

namespace {

TEST(ProgramLibraryTest, ALoadFailureIsOneLineNamingWhatToInstall) {
    const std::string piece = "/opt/t/lib/libtrillbox_window.so";
    const std::pair<std::string, std::string> cases[] = {
        {"libSDL2-2.0.so.0: cannot open shared object file: No such file or directory",
         "the window needs libSDL2-2.0.so.0: install libsdl2-2.0-0"},
        {"/usr/lib/libsdbus-c++.so.1: file too short",
         "the window needs libsdbus-c++.so.1: install libsdbus-c++1"},
        {piece + ": cannot open shared object file: No such file or directory",
         "the window is not installed: " + piece + " is missing"},
        {piece + ": undefined symbol: _ZN4host1xEv",
         "cannot load the window: " + piece + ": undefined symbol: _ZN4host1xEv"},
        {"libunknown.so.7: cannot open shared object file",
         "cannot load the window: libunknown.so.7: cannot open shared object file"},
    };
    for (const auto& [reason, expected] : cases) {
        EXPECT_EQ(host::describeLoadFailure(piece, "the window", reason), expected) << reason;
    }
}

// The shared objects a run of trillbox maps, as the dynamic loader reports them.
std::string mappedLibraries(const std::vector<std::string>& arguments, const TrillboxRun& run) {
    std::vector<std::string> argv = {TRILLBOX_BINARY, "--device-root", run.work.path()};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    const ProcessResult result = runProcess(argv, {run.work.path(), "", {{"LD_DEBUG", "files"}}});
    EXPECT_EQ(result.exitStatus, 0) << result.err;
    return result.err;
}

TEST(ProgramPiecesTest, RunsLoadOnlyTheLibrariesTheyUse) {
    const TrillboxRun run;
    const std::vector<std::string> optional = {"libSDL2",          "libpulse",           "libwayland",
                                               "libsystemd",       "libsdbus",           "libturbojpeg",
                                               "libcurl",          "libtrillbox_window", "libtrillbox_mpris",
                                               "libtrillbox_jpeg", "libtrillbox_pulse"};
    std::vector<std::string> launcherOnly = optional;
    launcherOnly.insert(launcherOnly.end(),
                        {"libtrillbox_host", "libtrillbox_platform", "libpango", "libcairo"});
    // The JPEG module is loaded for a playlist's JPEG artwork, never for its PNGs.
    const auto playlist = [&](const std::string& name, const std::string& artwork) {
        return run.work.write(name, R"(<?xml version="1.0"?><plist version="1.0"><array><dict>
<key>title</key><string>t</string><key>artwork</key><string>)" +
                                        artwork + "</string></dict></array></plist>");
    };
    const std::string pngs = playlist("pngs.plist", TRILLBOX_DEMO_DIR "/demo-artwork-1.png");
    const std::string jpegs = playlist("jpegs.plist", TRILLBOX_SOURCE_DIR "/tests/host/samples/cover.jpg");
    // The arguments of a run, and what it must not map.
    const std::pair<std::vector<std::string>, std::vector<std::string>> cases[] = {
        {{"--version"}, launcherOnly},
        {{"snapshot", "--help"}, launcherOnly},
        {{"snapshot", "out.png"}, optional},
        {{"--playlist", pngs, "snapshot", "out.png"}, optional},
    };
    for (const auto& [arguments, unmapped] : cases) {
        const std::string mapped = mappedLibraries(arguments, run);
        ASSERT_NE(mapped.find("file=libc.so.6"), std::string::npos) << "no loader report";
        // Anywhere in the report: a system library appears as "file=libX.so",
        // our own pieces by their full path.
        for (const auto& library : unmapped) {
            EXPECT_EQ(mapped.find(library), std::string::npos) << arguments.front() << " maps " << library;
        }
    }
    EXPECT_NE(mappedLibraries({"--playlist", jpegs, "snapshot", "out.png"}, run).find("/libtrillbox_jpeg.so"),
              std::string::npos);
}

TEST(ProgramPiecesTest, AMissingPieceIsOneLineAndTheLauncherStillAnswersAlone) {
    const TemporaryDirectory work;
    // The launcher alone, without the libraries beside it.
    const std::string launcher = work.file("trillbox");
    std::filesystem::copy_file(TRILLBOX_BINARY, launcher);
    EXPECT_EQ(runProcess({launcher, "--version"}).exitStatus, 0);
    const ProcessResult alone = runProcess({launcher, "snapshot", work.file("out.png")});
    EXPECT_EQ(alone.exitStatus, 1);
    EXPECT_EQ(alone.errorLines().size(), 1u) << alone.err;
    EXPECT_TRUE(
        alone.err.starts_with("trillbox: the program is incomplete: libtrillbox_host.so is in none of "))
        << alone.err;

    // A system library the window needs is there but broken.
    work.write("system/libSDL2-2.0.so.0", "");
    const ProcessResult broken = runProcess(
        {TRILLBOX_BINARY, "run"},
        {work.path(), "", {{"LD_LIBRARY_PATH", work.file("system")}, {"SDL_VIDEODRIVER", "dummy"}}});
    EXPECT_EQ(broken.exitStatus, 1);
    EXPECT_EQ(broken.err, "trillbox: the window needs libSDL2-2.0.so.0: install libsdl2-2.0-0\n");
}

} // namespace
