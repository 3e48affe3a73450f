#include <gtest/gtest.h>

#include <dlfcn.h>

#include "Foundation/NSBundle.h"
#include "support/TestSupport.h"
#include "support/TestPaths.h"

namespace {

class LocalThing : public NSObject {};

const char kInfo[] = R"(<?xml version="1.0" encoding="UTF-8"?>
<plist version="1.0">
<dict>
	<key>CFBundleIdentifier</key>
	<string>org.trillbox.widget</string>
	<key>CFBundleExecutable</key>
	<string>Trillbox</string>
	<key>NSPrincipalClass</key>
	<string>TrillboxViewControllerNew</string>
</dict>
</plist>
)";

class BundleTest : public PlatformTest {
protected:
    // A bundle directory with an Info.plist, an executable and some images.
    std::string makeBundle() {
        files.write("Trillbox.bundle/Info.plist", kInfo);
        files.write("Trillbox.bundle/Trillbox", "\x7f"
                                                "ELF");
        files.write("Trillbox.bundle/play.png", "1x");
        files.write("Trillbox.bundle/play@2x.png", "2x");
        files.write("Trillbox.bundle/pause.png", "1x");
        files.write("Trillbox.bundle/knob@2x.png", "2x");
        return files.file("Trillbox.bundle");
    }
    std::string resource(const Ptr<NSBundle>& bundle, const char* name, const char* type) {
        return NSStringText(bundle->pathForResource(NSStr(name), type ? NSStr(type) : nullptr));
    }
    TemporaryDirectory files;
};

TEST_F(BundleTest, ReadsItsInfoDictionary) {
    const auto bundle = NSBundle::bundleWithPath(NSStr(makeBundle() + "/"));
    ASSERT_TRUE(bundle);
    EXPECT_EQ(NSStringText(bundle->bundlePath()), files.file("Trillbox.bundle"));
    EXPECT_EQ(NSStringText(bundle->bundleIdentifier()), "org.trillbox.widget");
    EXPECT_TRUE(NSObjectsEqual(bundle->objectForInfoDictionaryKey("NSPrincipalClass"),
                               NSStr("TrillboxViewControllerNew")));
    EXPECT_EQ(bundle->objectForInfoDictionaryKey("Missing"), nullptr);
    EXPECT_EQ(bundle->infoDictionary()->count(), 3u);
    EXPECT_EQ(NSStringText(bundle->executablePath()), files.file("Trillbox.bundle/Trillbox"));
}

TEST_F(BundleTest, NonDirectoriesAreNoBundlesAndBrokenInfoIsEmpty) {
    EXPECT_EQ(NSBundle::bundleWithPath(NSStr(files.file("missing.bundle"))), nullptr);
    EXPECT_EQ(NSBundle::bundleWithPath(NSStr(files.write("file.bundle", "x"))), nullptr);
    EXPECT_EQ(NSBundle::bundleWithPath(nullptr), nullptr);
    files.write("Broken.bundle/Info.plist", "<plist><dict><key>a</key>");
    const auto broken = NSBundle::bundleWithPath(NSStr(files.file("Broken.bundle")));
    ASSERT_TRUE(broken);
    EXPECT_EQ(broken->infoDictionary()->count(), 0u);
    EXPECT_EQ(broken->executablePath(), nullptr);
    EXPECT_EQ(broken->bundleIdentifier(), nullptr);
}

TEST_F(BundleTest, ResourcesAreFoundByNameAndTypeOrNil) {
    const auto bundle = NSBundle::bundleWithPath(NSStr(makeBundle()));
    const std::string root = files.file("Trillbox.bundle");
    EXPECT_EQ(resource(bundle, "play", "png"), root + "/play.png");
    EXPECT_EQ(resource(bundle, "play", ".png"), root + "/play.png");
    EXPECT_EQ(resource(bundle, "play.png", nullptr), root + "/play.png");
    EXPECT_EQ(bundle->pathForResource(NSStr("no_cover"), NSStr("png")), nullptr);
    EXPECT_EQ(bundle->pathForResource(NSStr("play"), NSStr("jpg")), nullptr);
    EXPECT_EQ(bundle->pathForResource(nullptr, NSStr("png")), nullptr);
    // Only the @2x file exists: it is the last resort at scale 1.
    EXPECT_EQ(resource(bundle, "knob", "png"), root + "/knob@2x.png");
}

TEST_F(BundleTest, DoubleScaleScreensPreferTheirImages) {
    const auto bundle = NSBundle::bundleWithPath(NSStr(makeBundle()));
    const std::string root = files.file("Trillbox.bundle");
    NSBundle::setPreferredImageScale(2);
    EXPECT_EQ(resource(bundle, "play", "png"), root + "/play@2x.png");
    EXPECT_EQ(resource(bundle, "pause", "png"), root + "/pause.png");
    NSBundle::setPreferredImageScale(3);
    EXPECT_EQ(resource(bundle, "play", "png"), root + "/play@2x.png");
    NSBundle::setPreferredImageScale(1);
    EXPECT_EQ(resource(bundle, "play", "png"), root + "/play.png");
}

TEST_F(BundleTest, BundleForClassIsTheDirectoryOfTheLoadedModule) {
    void* module = ::dlopen(TRILLBOX_PROBE_BUNDLE "/Probe", RTLD_NOW | RTLD_LOCAL);
    ASSERT_TRUE(module) << ::dlerror();
    auto registerProbe = reinterpret_cast<void (*)()>(::dlsym(module, "trillboxProbeRegister"));
    ASSERT_TRUE(registerProbe);
    registerProbe();
    const auto bundle = NSBundle::bundleForClass(NSClassFromString("ProbeObject"));
    objc_unregisterClass("ProbeObject");
    ASSERT_TRUE(bundle);
    EXPECT_EQ(NSStringText(bundle->bundlePath()), TRILLBOX_PROBE_BUNDLE);
    EXPECT_EQ(NSStringText(bundle->bundleIdentifier()), "org.trillbox.probe");
    EXPECT_EQ(NSStringText(bundle->executablePath()), TRILLBOX_PROBE_BUNDLE "/Probe");
    // Code in a bundle directory wins over the override.
    NSBundle::setBundlePathOverride(makeBundle());
    registerProbe();
    EXPECT_EQ(NSStringText(NSBundle::bundleForClass(NSClassFromString("ProbeObject"))->bundlePath()),
              TRILLBOX_PROBE_BUNDLE);
    objc_unregisterClass("ProbeObject");
}

TEST_F(BundleTest, ClassesLinkedIntoAProgramUseTheOverrideOrTheMainBundle) {
    ScopedClass registration(objc_describeClass<LocalThing>("LocalThing"));
    Class cls = NSClassFromString("LocalThing");
    // No Info.plist next to the test program: the main bundle.
    EXPECT_EQ(NSBundle::bundleForClass(cls), NSBundle::mainBundle());
    EXPECT_EQ(NSBundle::bundleForClass(nullptr), NSBundle::mainBundle());
    NSBundle::setBundlePathOverride(makeBundle());
    const auto bundle = NSBundle::bundleForClass(cls);
    ASSERT_TRUE(bundle);
    EXPECT_EQ(NSStringText(bundle->bundleIdentifier()), "org.trillbox.widget");
    EXPECT_TRUE(bundle->pathForResource(NSStr("play"), NSStr("png")));
}

TEST_F(BundleTest, MainBundleIsTheProgramDirectory) {
    const auto main = NSBundle::mainBundle();
    ASSERT_TRUE(main);
    const std::string executable = NSStringText(main->executablePath());
    EXPECT_EQ(std::filesystem::path(executable).filename(), "platform_tests");
    EXPECT_EQ(std::filesystem::path(executable).parent_path().string(), NSStringText(main->bundlePath()));
}

TEST_F(BundleTest, DevicePathBundlesResolveUnderTheDeviceRoot) {
    deviceRoot().write("var/mobile/Library/Widgets/W.bundle/Info.plist", kInfo);
    const auto bundle = NSBundle::bundleWithPath(NSStr("/var/mobile/Library/Widgets/W.bundle"));
    ASSERT_TRUE(bundle);
    EXPECT_EQ(NSStringText(bundle->bundleIdentifier()), "org.trillbox.widget");
}

} // namespace
