#include <gtest/gtest.h>

#include <cairo.h>

#include "support/TestSupport.h"
#include "UIKit/UIButton.h"
#include "UIKit/UIImage.h"
#include "UIKit/UIView.h"
#include "window/WidgetButtons.h"

namespace {

using host::findWidgetButton;
using host::pressWidgetButton;
using host::WidgetButton;

class PressLog : public NSObject {
public:
    void play() { presses.push_back("play"); }
    void back() { presses.push_back("back"); }
    void next() { presses.push_back("next"); }
    void other() { presses.push_back("other"); }
    std::vector<std::string> presses;
};

void writePng(const std::string& path) {
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 8, 8);
    cairo_surface_write_to_png(surface, path.c_str());
    cairo_surface_destroy(surface);
}

// A widget-like tree: buttons showing images of a bundle directory, one nested
// in a container view.
class WidgetButtonsTest : public PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        for (const char* name : {"play", "pause", "backward", "forward"}) {
            writePng(bundle.file(std::string(name) + ".png"));
        }
        writePng(elsewhere.file("play.png"));
        root = alloc<UIView>()->initWithFrame(CGRectMake(0, 0, 320, 105));
        container = alloc<UIView>()->initWithFrame(CGRectMake(0, 0, 320, 105));
        root->addSubview(container);
        stranger = button(elsewhere.file("play.png"), &PressLog::other, root);
        play = button(bundle.file("play.png"), &PressLog::play, container);
        back = button(bundle.file("backward.png"), &PressLog::back, root);
        next = button(bundle.file("forward.png"), &PressLog::next, root);
    }
    template <class Method>
    Ptr<UIButton> button(const std::string& image, Method action, const Ptr<UIView>& parent) {
        auto made = UIButton::buttonWithType(UIButtonTypeCustom);
        made->setImage(UIImage::imageWithContentsOfFile(NSStr(image)), UIControlStateNormal);
        made->addTarget(log, action, UIControlEventTouchUpInside);
        parent->addSubview(made);
        return made;
    }
    bool press(WidgetButton which) { return pressWidgetButton(*root, which, bundle.path()); }

    TemporaryDirectory bundle;
    TemporaryDirectory elsewhere;
    Ptr<PressLog> log = alloc<PressLog>();
    Ptr<UIView> root;
    Ptr<UIView> container;
    Ptr<UIButton> stranger, play, back, next;
};

TEST_F(WidgetButtonsTest, EachKeyPressesTheButtonShowingItsBundleImage) {
    EXPECT_EQ(findWidgetButton(*root, WidgetButton::playPause, bundle.path()), play);
    EXPECT_TRUE(press(WidgetButton::playPause));
    EXPECT_TRUE(press(WidgetButton::previousTrack));
    EXPECT_TRUE(press(WidgetButton::nextTrack));
    EXPECT_EQ(log->presses, (std::vector<std::string>{"play", "back", "next"}));
}

TEST_F(WidgetButtonsTest, ThePlayButtonIsFoundWhicheverImageItShows) {
    play->setImage(UIImage::imageWithContentsOfFile(NSStr(bundle.file("pause.png"))), UIControlStateNormal);
    EXPECT_TRUE(press(WidgetButton::playPause));
    EXPECT_EQ(log->presses, std::vector<std::string>{"play"});
}

TEST_F(WidgetButtonsTest, AButtonNoFingerCouldPressIsNotPressed) {
    play->setHidden(true);
    EXPECT_FALSE(press(WidgetButton::playPause));
    play->setHidden(false);
    container->setHidden(true);
    EXPECT_FALSE(press(WidgetButton::playPause));
    container->setHidden(false);
    back->setEnabled(false);
    EXPECT_FALSE(press(WidgetButton::previousTrack));
    next->setUserInteractionEnabled(false);
    EXPECT_FALSE(press(WidgetButton::nextTrack));
    EXPECT_TRUE(log->presses.empty());
}

TEST_F(WidgetButtonsTest, ImagesFromElsewhereAndMissingButtonsCountForNothing) {
    play->removeFromSuperview();
    // The other "play.png" is not the bundle's.
    EXPECT_EQ(findWidgetButton(*root, WidgetButton::playPause, bundle.path()), nullptr);
    EXPECT_FALSE(press(WidgetButton::playPause));
    const auto empty = alloc<UIView>()->initWithFrame(CGRectMake(0, 0, 320, 70));
    EXPECT_FALSE(pressWidgetButton(*empty, WidgetButton::nextTrack, bundle.path()));
    EXPECT_TRUE(log->presses.empty());
}

} // namespace
