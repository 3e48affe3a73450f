#pragma once

#include <algorithm>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "Foundation/NSCollections.h"
#include "Foundation/NSPropertyListSerialization.h"
#include "SpringBoard/SBMediaController.h"
#include "SpringBoard/SBUIController.h"
#include "support/TestSupport.h"
#include "UIKit/UIActivityViewController.h"
#include "UIKit/UIAlertView.h"
#include "UIKit/UIImage.h"
#include "UIKit/UITextMeasurement.h"
#include "UIKit/UITouchInjector.h"
#include "UIKit/UIWindow.h"
#include "widget/TrillboxViewControllerNew.h"
#include "support/TestPaths.h"

namespace widget_test {

// A playing application as a host describes it.
class FakeApplication : public SBApplication {
public:
    FakeApplication(std::string identifier, bool system)
        : _identifier(std::move(identifier)), _system(system) {}
    BOOL isSystemApplication() const override { return _system; }
    std::string description() const override { return "<FakeApplication " + _identifier + ">"; }

private:
    std::string _identifier;
    bool _system;
};

// A host media controller that answers scripted values and records every call.
// Like every media controller, it applies a play/pause toggle at the next run-loop
// pass, never inside the call.
class FakeMediaController : public SBMediaController {
public:
    BOOL playing = NO;
    Ptr<NSString> title;
    Ptr<NSString> artist;
    Ptr<UIImage> artworkImage;
    double duration = 0;
    double elapsed = 0;
    Ptr<SBApplication> application;
    // What the "_nowPlayingInfo" instance variable holds.
    Ptr<NSDictionary> nowPlayingInfo;

    std::vector<std::string> calls;
    std::vector<std::int32_t> trackChanges;
    std::vector<float> seeks;

    // Title and artist for the info line and the now-playing dictionary alike.
    void setTrack(const char* newTitle, const char* newArtist) {
        title = newTitle ? NSStr(newTitle) : nullptr;
        artist = newArtist ? NSStr(newArtist) : nullptr;
        NSDictionary::Entries entries;
        if (newTitle) {
            entries.emplace_back("title", title);
        }
        if (newArtist) {
            entries.emplace_back("artist", artist);
        }
        nowPlayingInfo = NSDictionary::dictionaryWithEntries(std::move(entries));
    }
    std::size_t count(std::string_view call) const { return std::count(calls.begin(), calls.end(), call); }

    BOOL isPlaying() override {
        calls.emplace_back("isPlaying");
        return playing;
    }
    BOOL togglePlayPause() override {
        calls.emplace_back("togglePlayPause");
        NSRunLoop::mainRunLoop()->performSoon([weak = weakSelf<FakeMediaController>()] {
            if (const auto me = weak.lock()) {
                me->playing = !me->playing;
            }
        });
        return YES;
    }
    BOOL changeTrack(std::int32_t delta) override {
        calls.emplace_back("changeTrack");
        trackChanges.push_back(delta);
        return YES;
    }
    Ptr<NSString> nowPlayingTitle() override {
        calls.emplace_back("nowPlayingTitle");
        return title;
    }
    Ptr<NSString> nowPlayingArtist() override {
        calls.emplace_back("nowPlayingArtist");
        return artist;
    }
    Ptr<UIImage> artwork() override {
        calls.emplace_back("artwork");
        return artworkImage;
    }
    double trackDuration() override {
        calls.emplace_back("trackDuration");
        return duration;
    }
    double trackElapsedTime() override {
        calls.emplace_back("trackElapsedTime");
        return elapsed;
    }
    void setCurrentTrackTime(float seconds) override {
        calls.emplace_back("setCurrentTrackTime");
        seeks.push_back(seconds);
    }
    Ptr<SBApplication> nowPlayingApplication() override {
        calls.emplace_back("nowPlayingApplication");
        return application;
    }
};

// A host UI controller that records the applications it was asked to activate.
class FakeUIController : public SBUIController {
public:
    std::vector<Ptr<SBApplication>> activated;
    void activateApplicationAnimated(const Ptr<SBApplication>& app) override { activated.push_back(app); }
};

class RecordingControllerPresenter : public UIViewControllerPresenter {
public:
    std::vector<Ptr<UIViewController>> presented;
    std::vector<bool> animated;
    void presentViewController(const Ptr<UIViewController>&, const Ptr<UIViewController>& controller,
                               bool isAnimated, std::function<void()> completion) override {
        presented.push_back(controller);
        animated.push_back(isAnimated);
        if (completion) {
            NSRunLoop::mainRunLoop()->performSoon(std::move(completion));
        }
    }
    void dismissViewController(const Ptr<UIViewController>&, const Ptr<UIViewController>&, bool,
                               std::function<void()> completion) override {
        if (completion) {
            NSRunLoop::mainRunLoop()->performSoon(std::move(completion));
        }
    }
};

class RecordingAlertPresenter : public UIAlertViewPresenter {
public:
    std::vector<Ptr<UIAlertView>> shown;
    void showAlertView(const Ptr<UIAlertView>& alert) override { shown.push_back(alert); }
    void dismissAlertView(const Ptr<UIAlertView>&, bool) override {}
};

// Whether `image` was loaded from the bundle image `name` (at any scale).
inline bool isBundleImage(const Ptr<UIImage>& image, const std::string& name) {
    if (!image || !image->path()) {
        return false;
    }
    const std::string file = std::filesystem::path(image->path()->UTF8String()).filename();
    return file == name + ".png" || file == name + "@2x.png";
}

// The media controller of the running test; the registered class hands it out.
inline Ptr<FakeMediaController>& currentMediaController() {
    static Ptr<FakeMediaController> current;
    return current;
}

// Registers the fake media controller class once per process, as a host does
// before it creates a widget.
inline void registerFakeMediaControllerClass() {
    static const bool registered = [] {
        ObjCClass description = objc_describeClass<FakeMediaController>("SBMediaController");
        description.sharedInstance = [] { return Ptr<NSObject>(currentMediaController()); };
        description.ivars["_nowPlayingInfo"] = [](NSObject& instance) -> Ptr<NSObject> {
            return static_cast<FakeMediaController&>(instance).nowPlayingInfo;
        };
        objc_registerClass(std::move(description));
        return true;
    }();
    (void)registered;
}

// A widget under a test host: the fake media controller, the test font, the
// built bundle, presenters for alerts and the share sheet, and a window that
// holds the widget's root view and takes touches.
class WidgetTest : public PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        UITextMeasurement::setCurrent(std::make_shared<UIFixedAdvanceTextMeasurement>());
        NSBundle::setBundlePathOverride(TRILLBOX_BUNDLE_DIR);
        registerFakeMediaControllerClass();
        media = std::make_shared<FakeMediaController>();
        currentMediaController() = media;
        UIViewController::setPresenter(controllerPresenter);
        UIAlertView::setPresenter(alertPresenter);
        window = alloc<UIWindow>()->initWithFrame(CGRectMake(0, 0, 320, 105));
        window->makeKeyAndVisible();
        touches = alloc<UITouchInjector>()->initWithWindow(window);
    }
    void TearDown() override {
        if (controller) {
            // Lets the timer release the controller.
            controller->hostDidDismiss();
        }
        controller.reset();
        window.reset();
        currentMediaController().reset();
        UIViewController::setPresenter(nullptr);
        UIAlertView::setPresenter(nullptr);
        UITextMeasurement::setCurrent(nullptr);
        PlatformTest::TearDown();
    }

    // Creates the controller by name as the host does, builds its view into the window.
    Ptr<TrillboxViewControllerNew> makeController() {
        const Class cls = NSClassFromString("TrillboxViewControllerNew");
        EXPECT_NE(cls, nullptr);
        controller = as<TrillboxViewControllerNew>(cls ? cls->createInstance() : nullptr);
        EXPECT_NE(controller, nullptr);
        window->addSubview(controller->view());
        return controller;
    }

    // Writes the settings file under the device root.
    void writeSettings(const Ptr<NSObject>& root,
                       NSPropertyListFormat format = NSPropertyListXMLFormat_v1_0) {
        writeSettingsBytes(NSPropertyListSerialization::dataWithPropertyList(root, format));
    }
    void writeSettingsBytes(const Ptr<NSData>& data) {
        ASSERT_NE(data, nullptr);
        const std::string path = NSResolveDevicePath(std::string_view(TrillboxPreferencesPath));
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        ASSERT_TRUE(data->writeToFile(NSStr(path), YES));
    }

    // A finger down at `point`, held for `hold` seconds, lifted at `release`.
    void tap(CGPoint point, double hold = 0.05) { press(point, hold, point); }
    void press(CGPoint point, double hold, CGPoint release) {
        touches->injectTouch(UITouchPhaseBegan, point, now());
        advance(hold);
        touches->injectTouch(UITouchPhaseMoved, release, now());
        touches->injectTouch(UITouchPhaseEnded, release, now());
    }
    // A drag through `points` one step every 0.05 s, released at the last one.
    void drag(const std::vector<CGPoint>& points) {
        touches->injectTouch(UITouchPhaseBegan, points.front(), now());
        for (std::size_t i = 1; i < points.size(); ++i) {
            advance(0.05);
            touches->injectTouch(UITouchPhaseMoved, points[i], now());
        }
        touches->injectTouch(UITouchPhaseEnded, points.back(), now());
    }

    // The bundle image `name` as the widget loads it.
    static Ptr<UIImage> bundleImage(const char* name) {
        return UIImage::imageWithContentsOfFile(
            NSBundle::bundleForClass(NSClassFromString("TrillboxViewControllerNew"))
                ->pathForResource(NSStr(name), NSStr("png")));
    }
    Ptr<FakeMediaController> media;
    Ptr<TrillboxViewControllerNew> controller;
    Ptr<UIWindow> window;
    Ptr<UITouchInjector> touches;
    std::shared_ptr<RecordingControllerPresenter> controllerPresenter =
        std::make_shared<RecordingControllerPresenter>();
    std::shared_ptr<RecordingAlertPresenter> alertPresenter = std::make_shared<RecordingAlertPresenter>();
};

} // namespace widget_test
