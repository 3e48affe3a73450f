#include <gtest/gtest.h>

#include <cstdio>
#include <unistd.h>

#include "Foundation/NSLog.h"
#include "Foundation/NSRuntime.h"
#include "support/TestSupport.h"

namespace {

class FakeMediaController : public NSObject {
public:
    Ptr<NSDictionary> _nowPlayingInfo = NSDictionary::dictionaryWithObject(NSStr("Song"), "title");
};

ObjCClass describeMediaController() {
    auto description = objc_describeClass<FakeMediaController>("FakeMediaController");
    static const auto shared = alloc<FakeMediaController>();
    description.sharedInstance = [] { return Ptr<NSObject>(shared); };
    description.ivars.emplace("_nowPlayingInfo", [](NSObject& instance) -> Ptr<NSObject> {
        return static_cast<FakeMediaController&>(instance)._nowPlayingInfo;
    });
    return description;
}

class RuntimeTest : public PlatformTest {};

TEST_F(RuntimeTest, ClassesAreFoundByNameAndAbsentOnesAreNil) {
    EXPECT_EQ(NSClassFromString("FakeMediaController"), nullptr);
    {
        ScopedClass registration(describeMediaController());
        Class cls = NSClassFromString("FakeMediaController");
        ASSERT_NE(cls, nullptr);
        EXPECT_EQ(NSStringFromClass(cls), "FakeMediaController");
        EXPECT_TRUE(as<FakeMediaController>(cls->createInstance()));
        // The shared instance is one object.
        EXPECT_EQ(cls->sharedInstance(), cls->sharedInstance());
        EXPECT_EQ(object_getClass(cls->sharedInstance().get()), cls);
        EXPECT_EQ(object_getClass(alloc<NSObject>().get()), nullptr);
        EXPECT_EQ(object_getClass(nullptr), nullptr);
    }
    EXPECT_EQ(NSClassFromString("FakeMediaController"), nullptr);
    EXPECT_EQ(NSStringFromClass(nullptr), "");
}

TEST_F(RuntimeTest, InstanceVariablesAreFoundByName) {
    ScopedClass registration(describeMediaController());
    Class cls = NSClassFromString("FakeMediaController");
    auto controller = cls->sharedInstance();
    Ivar ivar = class_getInstanceVariable(cls, "_nowPlayingInfo");
    ASSERT_NE(ivar, nullptr);
    auto info = as<NSDictionary>(object_getIvar(controller.get(), ivar));
    ASSERT_TRUE(info);
    EXPECT_TRUE(NSObjectsEqual(info->objectForKey("title"), NSStr("Song")));
    EXPECT_EQ(class_getInstanceVariable(cls, "_missing"), nullptr);
    EXPECT_EQ(class_getInstanceVariable(nullptr, "_nowPlayingInfo"), nullptr);
    EXPECT_EQ(object_getIvar(nullptr, ivar), nullptr);
    EXPECT_EQ(object_getIvar(controller.get(), nullptr), nullptr);
}

TEST_F(RuntimeTest, ScopedRegistrationPutsBackTheClassItReplaced) {
    ScopedClass original(describeMediaController());
    {
        auto replacement = objc_describeClass<NSObject>("FakeMediaController");
        ScopedClass replaced(std::move(replacement));
        EXPECT_EQ(NSClassFromString("FakeMediaController")->sharedInstance, nullptr);
    }
    ASSERT_NE(NSClassFromString("FakeMediaController"), nullptr);
    EXPECT_TRUE(NSClassFromString("FakeMediaController")->sharedInstance);
}

TEST_F(RuntimeTest, ObjectDescriptionNamesTheClass) {
    auto object = alloc<FakeMediaController>();
    EXPECT_EQ(object->className(), "FakeMediaController");
    EXPECT_EQ(object->description().rfind("<FakeMediaController: 0x", 0), 0u);
    EXPECT_TRUE(object->isKindOfClass<NSObject>());
    EXPECT_FALSE(object->isKindOfClass<NSString>());
    EXPECT_TRUE(NSObjectsEqual(nullptr, nullptr));
    EXPECT_FALSE(NSObjectsEqual(object, nullptr));
}

class LogTest : public PlatformTest {};

TEST_F(LogTest, CapturedMessagesAreFormatted) {
    LogCapture capture;
    NSLog("********************* [Trillbox] nowPlayingApplication -> %@", Ptr<NSObject>());
    NSLog("%d tracks", 3);
    EXPECT_EQ(capture.messages(),
              (std::vector<std::string>{"********************* [Trillbox] nowPlayingApplication -> (null)",
                                        "3 tracks"}));
}

TEST_F(LogTest, StandardErrorLineHasDateProcessAndMessage) {
    // Point standard error at a file for the duration of one log line.
    TemporaryDirectory directory;
    const std::string path = directory.file("stderr.txt");
    std::fflush(stderr);
    const int saved = ::dup(STDERR_FILENO);
    FILE* file = std::fopen(path.c_str(), "w");
    ASSERT_TRUE(file);
    ::dup2(::fileno(file), STDERR_FILENO);
    NSLog("hello %@", NSStr("log"));
    std::fflush(stderr);
    ::dup2(saved, STDERR_FILENO);
    ::close(saved);
    std::fclose(file);
    std::ifstream in(path);
    std::string line;
    std::getline(in, line);
    // "2026-12-06 10:00:00.123 platform_tests[1234] hello log"
    ASSERT_GE(line.size(), 24u) << line;
    EXPECT_EQ(line[4], '-');
    EXPECT_EQ(line[10], ' ');
    EXPECT_EQ(line[19], '.');
    EXPECT_NE(line.find(" platform_tests[" + std::to_string(::getpid()) + "] hello log"), std::string::npos)
        << line;
}

} // namespace
