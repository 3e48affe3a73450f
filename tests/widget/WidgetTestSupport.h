#pragma once

#include <algorithm>
#include <string>
#include <vector>

#include "Foundation/NSPropertyListSerialization.h"
#include "SpringBoard/SBMediaController.h"
#include "UIKit/UIActivityViewController.h"
#include "UIKit/UIAlertView.h"
#include "UIKit/UIButton.h"
#include "UIKit/UITextMeasurement.h"
#include "UIKit/UITouchInjector.h"
#include "support/TestPaths.h"
#include "support/TestSupport.h"
#include "widget/TrillboxViewControllerNew.h"

namespace widget_test {

struct FakeApplication : SBApplication {
    FakeApplication(std::string name, bool system) : name(std::move(name)), system(system) {}
    BOOL isSystemApplication() const override { return system; }
    std::string description() const override { return "<FakeApplication " + name + ">"; }
    std::string name;
    bool system;
};

// A host media controller that answers scripted values and records every call.
// Like a real one, it applies a play/pause toggle at the next run-loop pass.
class FakeMediaController : public SBMediaController {
public:
    BOOL playing = NO;
    Ptr<NSString> title, artist;
    Ptr<UIImage> artworkImage;
    double duration = 0, elapsed = 0;
    Ptr<SBApplication> application;
    Ptr<NSDictionary> nowPlayingInfo; // the "_nowPlayingInfo" instance variable
    std::vector<std::string> calls;
    std::vector<std::int32_t> trackChanges;
    std::vector<float> seeks;

    // Title and artist for the info line and the now-playing dictionary alike.
    void setTrack(const char* newTitle, const char* newArtist) {
        title = newTitle ? NSStr(newTitle) : nullptr;
        artist = newArtist ? NSStr(newArtist) : nullptr;
        const auto info = NSMutableDictionary::dictionary();
        info->setObject(title, "title"); // nil sets nothing
        info->setObject(artist, "artist");
        nowPlayingInfo = info;
    }
    std::size_t count(std::string_view call) const { return std::count(calls.begin(), calls.end(), call); }

    BOOL isPlaying() override { return calls.emplace_back("isPlaying"), playing; }
    BOOL togglePlayPause() override {
        calls.emplace_back("togglePlayPause");
        NSRunLoop::mainRunLoop()->performSoon(
            [me = self<FakeMediaController>()] { me->playing = !me->playing; });
        return YES;
    }
    BOOL changeTrack(std::int32_t delta) override { return trackChanges.push_back(delta), YES; }
    Ptr<NSString> nowPlayingTitle() override { return calls.emplace_back("nowPlayingTitle"), title; }
    Ptr<NSString> nowPlayingArtist() override { return calls.emplace_back("nowPlayingArtist"), artist; }
    Ptr<UIImage> artwork() override { return calls.emplace_back("artwork"), artworkImage; }
    double trackDuration() override { return calls.emplace_back("trackDuration"), duration; }
    double trackElapsedTime() override { return calls.emplace_back("trackElapsedTime"), elapsed; }
    void setCurrentTrackTime(float seconds) override { seeks.push_back(seconds); }
    Ptr<SBApplication> nowPlayingApplication() override {
        return calls.emplace_back("nowPlayingApplication"), application;
    }
};

struct RecordingControllerPresenter : UIViewControllerPresenter {
    std::vector<Ptr<UIViewController>> presented;
    void presentViewController(const Ptr<UIViewController>&, const Ptr<UIViewController>& controller, bool,
                               std::function<void()>) override {
        presented.push_back(controller);
    }
    void dismissViewController(const Ptr<UIViewController>&, const Ptr<UIViewController>&, bool,
                               std::function<void()>) override {}
    // The items of the last share sheet presented, or nil.
    Ptr<NSArray> sharedItems() const {
        const auto sheet = presented.empty() ? nullptr : as<UIActivityViewController>(presented.back());
        return sheet ? sheet->activityItems() : nullptr;
    }
    std::string sharedMessage() const {
        return sharedItems() ? NSStringText(as<NSString>(sharedItems()->objectAtIndex(0))) : "";
    }
};

struct RecordingAlertPresenter : UIAlertViewPresenter {
    std::vector<Ptr<UIAlertView>> shown;
    void showAlertView(const Ptr<UIAlertView>& alert) override { shown.push_back(alert); }
    void dismissAlertView(const Ptr<UIAlertView>&, bool) override {}
};

inline bool isBundleImage(const Ptr<UIImage>& image, const std::string& name) {
    return image && image->path() && std::filesystem::path(image->path()->UTF8String()).stem() == name;
}
inline bool buttonShows(const Ptr<UIButton>& button, const std::string& name) {
    return isBundleImage(button->imageForState(UIControlStateNormal), name);
}

// The widget under a host that has registered no media controller: the test font,
// the built bundle, recording presenters, and a window that takes touches.
class BareWidgetTest : public PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        UITextMeasurement::setCurrent(std::make_shared<UIFixedAdvanceTextMeasurement>());
        NSBundle::setBundlePathOverride(TRILLBOX_BUNDLE_DIR);
        UIViewController::setPresenter(controllerPresenter);
        UIAlertView::setPresenter(alertPresenter);
        window = alloc<UIWindow>()->initWithFrame(CGRectMake(0, 0, 320, 105));
        window->makeKeyAndVisible();
        touches = alloc<UITouchInjector>()->initWithWindow(window);
    }
    void TearDown() override {
        if (controller) {
            controller->hostDidDismiss(); // lets the timer release the controller
        }
        controller.reset();
        window.reset();
        UIViewController::setPresenter(nullptr);
        UIAlertView::setPresenter(nullptr);
        UITextMeasurement::setCurrent(nullptr);
        PlatformTest::TearDown();
    }
    // Creates the controller by name as the host does and builds its view into the window.
    void makeController() {
        controller =
            as<TrillboxViewControllerNew>(NSClassFromString("TrillboxViewControllerNew")->createInstance());
        ASSERT_NE(controller, nullptr);
        window->addSubview(controller->view());
    }
    // A finger down at the first point, moved through all one per `step` seconds.
    void drag(const std::vector<CGPoint>& points, double step = 0.05) {
        touches->injectTouch(UITouchPhaseBegan, points.front(), now());
        for (const CGPoint& point : points) {
            advance(step);
            touches->injectTouch(UITouchPhaseMoved, point, now());
        }
        touches->injectTouch(UITouchPhaseEnded, points.back(), now());
    }
    void tap(CGPoint point) { drag({point}); }

    Ptr<TrillboxViewControllerNew> controller;
    Ptr<UIWindow> window;
    Ptr<UITouchInjector> touches;
    std::shared_ptr<RecordingControllerPresenter> controllerPresenter =
        std::make_shared<RecordingControllerPresenter>();
    std::shared_ptr<RecordingAlertPresenter> alertPresenter = std::make_shared<RecordingAlertPresenter>();
};

// The media controller of the running test, handed out by the class registered
// once per process, as a host does before it creates a widget.
inline Ptr<FakeMediaController>& currentMediaController() {
    static Ptr<FakeMediaController> current;
    static const bool registered = [] {
        ObjCClass description = objc_describeClass<FakeMediaController>("SBMediaController");
        description.sharedInstance = [] { return Ptr<NSObject>(current); };
        description.ivars["_nowPlayingInfo"] = [](NSObject& instance) -> Ptr<NSObject> {
            return static_cast<FakeMediaController&>(instance).nowPlayingInfo;
        };
        return objc_registerClass(std::move(description)), true;
    }();
    return (void)registered, current;
}

// The widget under a host with the fake media controller.
class WidgetTest : public BareWidgetTest {
protected:
    void SetUp() override {
        BareWidgetTest::SetUp();
        currentMediaController() = media;
    }
    void TearDown() override {
        BareWidgetTest::TearDown();
        currentMediaController().reset();
    }
    // Writes the settings file where the widget reads it, under the device root.
    void writeSettings(std::string_view bytes) {
        deviceRoot().write("var/mobile/Library/Preferences/org.trillbox.TrillboxPrefs.plist", bytes);
    }
    void writeSettings(const Ptr<NSObject>& root,
                       NSPropertyListFormat format = NSPropertyListXMLFormat_v1_0) {
        const Ptr<NSData> data = NSPropertyListSerialization::dataWithPropertyList(root, format);
        writeSettings(std::string_view(reinterpret_cast<const char*>(data->bytes()), data->length()));
    }
    static Ptr<UIImage> bundleImage(const std::string& name) {
        return UIImage::imageWithContentsOfFile(NSStr(TRILLBOX_BUNDLE_DIR "/" + name + ".png"));
    }

    Ptr<FakeMediaController> media = std::make_shared<FakeMediaController>();
};

} // namespace widget_test
