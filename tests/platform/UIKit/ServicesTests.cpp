#include <gtest/gtest.h>

#include <algorithm>

#include "Foundation/NSLog.h"
#include "InputTestSupport.h"
#include "MediaPlayer/MPSystemVolume.h"
#include "MediaPlayer/MPVolumeView.h"
#include "UIKit/UIActivityViewController.h"
#include "UIKit/UIAlertView.h"
#include "UIKit/UIApplication.h"
#include "UIKit/UISlider.h"

namespace {

using Names = std::vector<std::string>;

class RecordingAlertPresenter : public UIAlertViewPresenter {
public:
    void showAlertView(const Ptr<UIAlertView>& alertView) override { shown.push_back(alertView); }
    void dismissAlertView(const Ptr<UIAlertView>& alertView, bool animated) override {
        std::erase(shown, alertView);
    }
    std::vector<Ptr<UIAlertView>> shown;
};

class RecordingControllerPresenter : public UIViewControllerPresenter {
public:
    void presentViewController(const Ptr<UIViewController>& presenting,
                               const Ptr<UIViewController>& presented, bool animated,
                               std::function<void()> completion) override {
        this->presented.push_back(presented);
    }
    void dismissViewController(const Ptr<UIViewController>& presenting,
                               const Ptr<UIViewController>& presented, bool animated,
                               std::function<void()> completion) override {
        std::erase(this->presented, presented);
    }
    std::vector<Ptr<UIViewController>> presented;
};

class AlertDelegate : public NSObject, public UIAlertViewDelegate {
public:
    void alertViewClickedButtonAtIndex(const Ptr<UIAlertView>&, NSInteger index) override {
        calls.push_back("clicked " + std::to_string(index));
    }
    void alertViewDidDismissWithButtonIndex(const Ptr<UIAlertView>&, NSInteger index) override {
        calls.push_back("dismissed " + std::to_string(index));
    }
    Names calls;
};

// A system volume that remembers what it was set to.
class TestVolume : public MPSystemVolume {
public:
    float volume() override { return level; }
    void setVolume(float volume) override {
        level = volume;
        volumeDidChange();
    }
    void changeFromElsewhere(float volume) {
        level = volume;
        volumeDidChange();
    }
    float level = 0.5f;
};

class ServicesTest : public InputTest {
protected:
    void TearDown() override {
        UIAlertView::setPresenter(nullptr);
        UIViewController::setPresenter(nullptr);
        MPSystemVolume::setSharedService(nullptr);
        NSLogSetSink(nullptr);
        InputTest::TearDown();
    }
};

TEST_F(ServicesTest, AlertIsHandedToThePresenterAndReportsItsButton) {
    auto presenter = std::make_shared<RecordingAlertPresenter>();
    UIAlertView::setPresenter(presenter);
    auto delegate = makeObject<AlertDelegate>();
    auto alert = alloc<UIAlertView>()->initWithTitle(NSStr("Trillbox"), NSStr("Please start playing."),
                                                     delegate, NSStr("Ok"), {NSStr("Later")});
    EXPECT_EQ(alert->numberOfButtons(), 2);
    EXPECT_EQ(alert->cancelButtonIndex(), 0);
    EXPECT_EQ(alert->firstOtherButtonIndex(), 1);
    EXPECT_EQ(NSStringText(alert->buttonTitleAtIndex(1)), "Later");
    EXPECT_EQ(alert->buttonTitleAtIndex(5), nullptr);

    WeakPtr<UIAlertView> weakAlert = alert;
    alert->show();
    alert->show(); // already visible
    alert.reset(); // the presenter holds it while it is shown
    ASSERT_EQ(presenter->shown.size(), 1u);
    EXPECT_EQ(NSStringText(presenter->shown[0]->message()), "Please start playing.");
    presenter->shown[0]->dismissWithClickedButtonIndex(0, true);
    EXPECT_TRUE(presenter->shown.empty());
    EXPECT_TRUE(weakAlert.expired());
    EXPECT_EQ(delegate->calls, (Names{"clicked 0", "dismissed 0"}));
}

TEST_F(ServicesTest, AlertWithoutPresenterIsLoggedNotShown) {
    Names logged;
    NSLogSetSink([&](const std::string& line) { logged.push_back(line); });
    auto alert = alloc<UIAlertView>()->initWithTitle(NSStr("Trillbox"), nullptr, nullptr, NSStr("Ok"));
    alert->show();
    EXPECT_FALSE(alert->isVisible());
    ASSERT_EQ(logged.size(), 1u);
    EXPECT_NE(logged[0].find("Trillbox"), std::string::npos);
}

TEST_F(ServicesTest, ShareSheetKeepsItsItemsInOrderAndIsPresented) {
    auto presenter = std::make_shared<RecordingControllerPresenter>();
    UIViewController::setPresenter(presenter);
    auto presenting = makeObject<UIViewController>();
    auto items = NSArray::arrayWithObjects({NSStr("#np Song by Band via Trillbox"), NSStr("second")});
    auto sheet = alloc<UIActivityViewController>()->initWithActivityItems(items, nullptr);
    EXPECT_EQ(sheet->applicationActivities()->count(), 0u);
    Names finished;
    sheet->setCompletionHandler([&](const Ptr<NSString>& type, bool completed) {
        finished.push_back(NSStringText(type) + (completed ? " done" : " dismissed"));
    });
    presenting->presentViewController(sheet, true, nullptr);
    ASSERT_EQ(presenter->presented.size(), 1u);
    auto shown = as<UIActivityViewController>(presenter->presented[0]);
    ASSERT_TRUE(shown);
    EXPECT_EQ(NSStringText(as<NSString>(shown->activityItems()->objectAtIndex(0))),
              "#np Song by Band via Trillbox");
    EXPECT_EQ(NSStringText(as<NSString>(shown->activityItems()->objectAtIndex(1))), "second");

    shown->finishWithActivityType(NSStr("com.apple.UIKit.activity.PostToTwitter"), true);
    shown->finishWithActivityType(nullptr, false); // a second report changes nothing
    EXPECT_TRUE(presenter->presented.empty());
    EXPECT_EQ(finished, Names{"com.apple.UIKit.activity.PostToTwitter done"});
}

TEST_F(ServicesTest, ApplicationStatesPostTheirNotificationsInOrder) {
    auto app = UIApplication::sharedApplication();
    app->setApplicationState(UIApplicationStateActive);
    Names posted;
    for (const char* name :
         {UIApplicationDidBecomeActiveNotification, UIApplicationWillResignActiveNotification,
          UIApplicationDidEnterBackgroundNotification, UIApplicationWillEnterForegroundNotification}) {
        NSNotificationCenter::defaultCenter()->addObserverForName(name, nullptr, [&, app](const auto& note) {
            posted.push_back(note->name() + " " + std::to_string(app->applicationState()));
        });
    }
    app->setApplicationState(UIApplicationStateBackground);
    app->setApplicationState(UIApplicationStateBackground);
    app->setApplicationState(UIApplicationStateActive);
    app->setApplicationState(UIApplicationStateInactive);
    EXPECT_EQ(
        posted,
        (Names{"UIApplicationWillResignActiveNotification 0", "UIApplicationDidEnterBackgroundNotification 2",
               "UIApplicationWillEnterForegroundNotification 2", "UIApplicationDidBecomeActiveNotification 0",
               "UIApplicationWillResignActiveNotification 0"}));
    EXPECT_EQ(app->applicationState(), UIApplicationStateInactive);
    app->setApplicationState(UIApplicationStateActive);
}

TEST_F(ServicesTest, VolumeViewFollowsAndSetsTheSystemVolume) {
    auto volume = makeObject<TestVolume>();
    MPSystemVolume::setSharedService(volume);
    auto view = makeView<MPVolumeView>(CGRectMake(130, 75, 160, 20));
    window->addSubview(view);
    EXPECT_FLOAT_EQ(view->volumeSlider()->value(), 0.5f);

    volume->changeFromElsewhere(0.25f);
    EXPECT_FLOAT_EQ(view->volumeSlider()->value(), 0.25f);

    // Drag the thumb (default size 20, travel 140) from 0.25 to the right end.
    down(130 + 35 + 10, 85);
    move(130 + 35 + 10 + 70, 85);
    EXPECT_FLOAT_EQ(volume->level, 0.75f);
    volume->changeFromElsewhere(0.1f); // the finger wins while it drags
    EXPECT_FLOAT_EQ(view->volumeSlider()->value(), 0.75f);
    move(400, 85);
    up(400, 85);
    EXPECT_FLOAT_EQ(volume->level, 1.0f);

    MPSystemVolume::setSharedService(nullptr);
    EXPECT_FLOAT_EQ(view->volumeSlider()->value(), 0.0f);
    EXPECT_FALSE(view->volumeSlider()->isEnabled());
    tap(200, 85); // no service: the slider takes no touches and nothing breaks
}

} // namespace
