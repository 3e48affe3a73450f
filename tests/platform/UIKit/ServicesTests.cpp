#include <gtest/gtest.h>

#include <algorithm>

#include "MediaPlayer/MPSystemVolume.h"
#include "MediaPlayer/MPVolumeView.h"
#include "UIKit/UIActivityViewController.h"
#include "UIKit/UIAlertView.h"
#include "UIKit/UISlider.h"
#include "platform/UIKit/InputTestSupport.h"

namespace {

// Presents alerts and controllers by keeping them while they are shown.
class RecordingPresenter : public UIAlertViewPresenter, public UIViewControllerPresenter {
public:
    void showAlertView(const Ptr<UIAlertView>& alert) override { shown.push_back(alert); }
    void dismissAlertView(const Ptr<UIAlertView>& alert, bool) override { std::erase(shown, alert); }
    void presentViewController(const Ptr<UIViewController>&, const Ptr<UIViewController>& presented, bool,
                               std::function<void()>) override {
        shown.push_back(presented);
    }
    void dismissViewController(const Ptr<UIViewController>&, const Ptr<UIViewController>& presented, bool,
                               std::function<void()>) override {
        std::erase(shown, presented);
    }
    std::vector<Ptr<NSObject>> shown;
};

class TestVolume : public MPSystemVolume {
public:
    float volume() override { return level; }
    void setVolume(float volume) override {
        level = volume;
        volumeDidChange();
    }
    float level = 0.5f;
};

class ServicesTest : public InputTest {
protected:
    void SetUp() override {
        InputTest::SetUp();
        UIAlertView::setPresenter(presenter);
        UIViewController::setPresenter(presenter);
    }
    void TearDown() override {
        UIAlertView::setPresenter(nullptr);
        UIViewController::setPresenter(nullptr);
        MPSystemVolume::setSharedService(nullptr);
        InputTest::TearDown();
    }
    std::shared_ptr<RecordingPresenter> presenter = std::make_shared<RecordingPresenter>();
};

TEST_F(ServicesTest, AShownAlertLivesUntilDismissedAndWithoutAPresenterIsLogged) {
    auto alert = alloc<UIAlertView>()->initWithTitle(NSStr("Trillbox"), nullptr, nullptr, NSStr("Ok"), {});
    WeakPtr<UIAlertView> weakAlert = alert;
    alert->show();
    alert->show(); // already visible
    alert.reset();
    ASSERT_EQ(presenter->shown.size(), 1u);
    as<UIAlertView>(presenter->shown[0])->dismissWithClickedButtonIndex(0, true);
    EXPECT_TRUE(presenter->shown.empty());
    EXPECT_TRUE(weakAlert.expired());

    UIAlertView::setPresenter(nullptr);
    LogCapture logged;
    auto unseen = alloc<UIAlertView>()->initWithTitle(NSStr("Trillbox"), nullptr, nullptr, NSStr("Ok"), {});
    unseen->show();
    EXPECT_FALSE(unseen->isVisible()); // without a presenter: logged, not shown
    EXPECT_EQ(logged.messages().size(), 1u);
}

TEST_F(ServicesTest, PresentationsGoOneAtATimeToTheHostAndAShareSheetFinishesOnce) {
    auto sheet = alloc<UIActivityViewController>()->initWithActivityItems(
        NSArray::arrayWithObjects({NSStr("#np Song by Band via Trillbox")}), nullptr);
    int finishes = 0;
    sheet->setCompletionHandler([&](const Ptr<NSString>&, bool) { ++finishes; });
    const auto controller = alloc<UIViewController>()->init();
    controller->presentViewController(sheet, true, nullptr);
    controller->presentViewController(alloc<UIViewController>()->init(), false, nullptr);
    ASSERT_EQ(presenter->shown, std::vector<Ptr<NSObject>>{sheet});
    EXPECT_EQ(sheet->presentingViewController(), controller);
    sheet->finishWithActivityType(NSStr("copy"), true);
    sheet->finishWithActivityType(nullptr, false);
    EXPECT_TRUE(presenter->shown.empty());
    EXPECT_EQ(controller->presentedViewController(), nullptr);
    EXPECT_EQ(finishes, 1);

    UIViewController::setPresenter(nullptr);
    controller->presentViewController(sheet, true, nullptr);
    EXPECT_EQ(controller->presentedViewController(), nullptr);
}

TEST_F(ServicesTest, TheVolumeViewFollowsTheSystemVolumeExceptWhileDragged) {
    auto volume = alloc<TestVolume>();
    volume->init();
    MPSystemVolume::setSharedService(volume);
    auto view = alloc<MPVolumeView>()->initWithFrame(CGRectMake(130, 75, 160, 20));
    window->addSubview(view);
    const auto& slider = view->volumeSlider();
    EXPECT_FLOAT_EQ(slider->value(), 0.5f);
    volume->setVolume(0.25f);
    EXPECT_FLOAT_EQ(slider->value(), 0.25f);

    play("down 175 85, move 245 85"); // the thumb, 20 points with 140 of travel, from 0.25
    EXPECT_FLOAT_EQ(volume->level, 0.75f);
    volume->setVolume(0.1f);
    EXPECT_FLOAT_EQ(slider->value(), 0.75f);
    play("move 400 85, up 400 85");
    EXPECT_FLOAT_EQ(volume->level, 1.0f);

    MPSystemVolume::setSharedService(nullptr);
    EXPECT_FLOAT_EQ(slider->value(), 0.0f);
    EXPECT_FALSE(slider->isEnabled());
    play("down 130 85, move 250 85, up 250 85"); // no service: no touches, nothing breaks
}

} // namespace
