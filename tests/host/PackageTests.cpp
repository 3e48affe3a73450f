#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "support/Process.h"
#include "support/TemporaryDirectory.h"
#include "support/TestPaths.h"

// The Debian package of the installed layout, made from this build tree and run
// from wherever it is unpacked.
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;

TEST(PackageTest, DebianPackageHoldsTheInstalledLayoutAndRunsWhereItIsUnpacked) {
    const std::string cpack = (fs::path(TRILLBOX_CMAKE).parent_path() / "cpack").string();
    if (!fs::exists(cpack)) {
        GTEST_SKIP() << "no cpack next to " << TRILLBOX_CMAKE;
    }
    if (runProcess({"dpkg-deb", "--version"}).exitStatus != 0) {
        GTEST_SKIP() << "no dpkg-deb on PATH";
    }
    TemporaryDirectory output;
    const auto made = runProcess(
        {cpack, "-G", "DEB", "-B", output.path(), "--config", TRILLBOX_BUILD_DIR "/CPackConfig.cmake"});
    ASSERT_EQ(made.exitStatus, 0) << made.out << made.err;
    std::string package;
    for (const auto& entry : fs::directory_iterator(output.path())) {
        if (entry.path().extension() == ".deb") {
            package = entry.path().string();
        }
    }
    ASSERT_FALSE(package.empty()) << made.out;

    const std::string contents = runProcess({"dpkg-deb", "-c", package}).out;
    for (const char* path :
         {"./usr/bin/trillbox", "./usr/lib/trillbox/libtrillbox_platform.so",
          "./usr/lib/trillbox/libtrillbox_host.so", "./usr/lib/trillbox/libtrillbox_window.so",
          "./usr/lib/trillbox/libtrillbox_mpris.so", "./usr/lib/trillbox/libtrillbox_jpeg.so",
          "./usr/share/trillbox/Trillbox.bundle/Info.plist", "./usr/share/trillbox/Trillbox.bundle/Trillbox",
          "./usr/share/applications/trillbox.desktop", "./usr/share/icons/hicolor/48x48/apps/trillbox.png"}) {
        EXPECT_THAT(contents, HasSubstr(std::string(" ") + path + "\n"));
    }
    const std::string depends = runProcess({"dpkg-deb", "-f", package, "Depends"}).out;
    EXPECT_THAT(depends, HasSubstr("libcairo2"));
    EXPECT_THAT(depends, HasSubstr("libpango"));
    // The pieces loaded only when used still make the package depend on what they need.
    for (const char* needed : {"libsdl2", "libsdbus-c++", "libturbojpeg"}) {
        EXPECT_THAT(depends, HasSubstr(needed));
    }

    // Unpacked away from the build tree, the program finds its libraries and its
    // bundle next to itself.
    TemporaryDirectory root;
    ASSERT_EQ(runProcess({"dpkg-deb", "-x", package, root.path()}).exitStatus, 0);
    const std::string program = root.file("usr/bin/trillbox");
    const auto version = runProcess({program, "--version"});
    EXPECT_EQ(version.exitStatus, 0) << version.err;
    TemporaryDirectory device;
    const auto snapshot =
        runProcess({program, "snapshot", root.file("out.png"), "--device-root", device.path()});
    EXPECT_EQ(snapshot.exitStatus, 0) << snapshot.err;
    EXPECT_TRUE(fs::exists(root.file("out.png")));
}

} // namespace
