#include <gtest/gtest.h>

#include <cairo.h>

#include "UIKit/UIButton.h"
#include "UIKit/UIImage.h"
#include "support/TestSupport.h"
#include "window/WidgetButtons.h"

namespace {

using host::WidgetButton;

class PressLog : public NSObject {
public:
    void play() { presses.push_back("play"); }
    void back() { presses.push_back("back"); }
    void next() { presses.push_back("next"); }
    std::vector<std::string> presses;
};

class WidgetButtonsTest : public PlatformTest {
protected:
    // A button in `parent` showing `image` (written as a PNG) that tells the log when pressed.
    template <class Method>
    Ptr<UIButton> button(const std::string& image, Method action, const Ptr<UIView>& parent) {
        cairo_surface_write_to_png(
            UICairoSurface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 8, 8)).get(), image.c_str());
        auto made = UIButton::buttonWithType(UIButtonTypeCustom);
        made->setImage(UIImage::imageWithContentsOfFile(NSStr(image)), UIControlStateNormal);
        made->addTarget(log, action, UIControlEventTouchUpInside);
        parent->addSubview(made);
        return made;
    }
    bool press(WidgetButton which) { return host::pressWidgetButton(*root, which, bundle.path()); }

    TemporaryDirectory bundle;
    TemporaryDirectory elsewhere;
    Ptr<PressLog> log = alloc<PressLog>();
    Ptr<UIView> root = alloc<UIView>()->initWithFrame(CGRectMake(0, 0, 320, 105));
};

TEST_F(WidgetButtonsTest, EachButtonIsKnownByItsBundleImageAndPressedOnlyWhenAFingerCould) {
    // Play nested in a container view, and a "play.png" from elsewhere.
    const auto container = alloc<UIView>()->initWithFrame(CGRectMake(0, 0, 320, 105));
    root->addSubview(container);
    button(elsewhere.file("play.png"), &PressLog::next, root);
    const auto play = button(bundle.file("play.png"), &PressLog::play, container);
    const auto back = button(bundle.file("backward.png"), &PressLog::back, root);
    const auto next = button(bundle.file("forward.png"), &PressLog::next, root);

    container->setHidden(true);
    back->setEnabled(false);
    next->setUserInteractionEnabled(false);
    for (const WidgetButton which :
         {WidgetButton::playPause, WidgetButton::previousTrack, WidgetButton::nextTrack}) {
        EXPECT_FALSE(press(which));
    }
    EXPECT_TRUE(log->presses.empty());
    container->setHidden(false);
    back->setEnabled(true);
    next->setUserInteractionEnabled(true);
    EXPECT_TRUE(press(WidgetButton::playPause));
    EXPECT_TRUE(press(WidgetButton::previousTrack));
    EXPECT_TRUE(press(WidgetButton::nextTrack));
    // Play is known by either of its images; the other "play.png" counts for nothing.
    play->removeFromSuperview();
    EXPECT_FALSE(press(WidgetButton::playPause));
    button(bundle.file("pause.png"), &PressLog::play, root);
    EXPECT_TRUE(press(WidgetButton::playPause));
    EXPECT_EQ(log->presses, (std::vector<std::string>{"play", "back", "next", "play"}));
}

} // namespace
