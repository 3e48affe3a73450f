#include <cmath>
#include <limits>

#include "UIKit/UILabel.h"
#include "UIKit/UISlider.h"
#include "WidgetTestSupport.h"

namespace widget_test {
namespace {

class TrackTimeTest : public WidgetTest {
protected:
    void SetUp() override {
        WidgetTest::SetUp();
        media->application = std::make_shared<FakeApplication>("com.apple.Music", true);
        media->duration = 200;
        media->elapsed = 65;
        makeController();
    }
    Ptr<UISlider> slider() const { return controller->timeSlider(); }
    std::string elapsedText() const { return NSStringText(controller->elapsedLabel()->text()); }
    std::string lengthText() const { return NSStringText(controller->lengthLabel()->text()); }
    // The thumb's centre in window coordinates.
    CGPoint thumbCentre() const {
        const CGRect bounds = slider()->bounds();
        const CGRect thumb =
            slider()->thumbRectForBounds(bounds, slider()->trackRectForBounds(bounds), slider()->value());
        return slider()->convertPointToView(CGPointMake(CGRectGetMidX(thumb), CGRectGetMidY(thumb)), nullptr);
    }
};

TEST_F(TrackTimeTest, TimeTextDropsHoursAndSignsNegativeTimes) {
    const std::pair<double, const char*> cases[]{
        {0, "00:00"},    {59.9, "00:59"}, {61, "01:01"},      {600, "10:00"},
        {3599, "59:59"}, {3600, "00:00"}, {3725, "02:05"},    {-65, "-01:-05"},
        {NAN, "00:00"},  {1e12, "14:07"}, {-1e12, "-14:-08"}, {INFINITY, "14:07"},
    };
    for (const auto& [seconds, text] : cases) {
        EXPECT_EQ(NSStringText(controller->doubleToTimeString(seconds)), text) << seconds;
    }
}

TEST_F(TrackTimeTest, EachTickMovesTheSliderAndBothLabels) {
    controller->hostDidPresent();
    advance(0.5);
    EXPECT_FLOAT_EQ(slider()->maximumValue(), 200);
    EXPECT_FLOAT_EQ(slider()->value(), 65);
    EXPECT_EQ(elapsedText(), "01:05");
    EXPECT_EQ(lengthText(), "02:15");
    EXPECT_TRUE(slider()->isUserInteractionEnabled());

    // A position past the end shows a signed remaining time.
    media->duration = 60;
    advance(0.5);
    EXPECT_EQ(lengthText(), "00:-05");

    // The row is refreshed while hidden too.
    controller->artworkImageViewPressed();
    media->elapsed = 30;
    advance(0.5);
    EXPECT_EQ(elapsedText(), "00:30");
}

TEST_F(TrackTimeTest, OnlyASystemApplicationCanBeSeeked) {
    controller->hostDidPresent();
    media->application = std::make_shared<FakeApplication>("org.example.Player", false);
    advance(0.5);
    EXPECT_FALSE(slider()->isUserInteractionEnabled());
    EXPECT_FLOAT_EQ(slider()->value(), 65);
    drag({thumbCentre(), CGPointMake(thumbCentre().x + 30, thumbCentre().y)});
    EXPECT_TRUE(media->seeks.empty());

    media->application = nullptr;
    advance(0.5);
    EXPECT_FALSE(slider()->isUserInteractionEnabled());
}

TEST_F(TrackTimeTest, ADragSeeksContinuouslyAndTheNextTickMovesTheSliderAgain) {
    controller->hostDidPresent();
    advance(0.5);
    const CGPoint start = thumbCentre();
    touches->injectTouch(UITouchPhaseBegan, start, now());
    EXPECT_TRUE(controller->sliderIsTouched);
    for (int step = 1; step <= 3; ++step) {
        touches->injectTouch(UITouchPhaseMoved, CGPointMake(start.x + 10 * step, start.y), now());
    }
    ASSERT_EQ(media->seeks.size(), 3u);
    EXPECT_LT(media->seeks[0], media->seeks[1]);
    EXPECT_FLOAT_EQ(media->seeks.back(), slider()->value());

    // Ticks during the drag leave the slider to the finger but move the labels.
    const float held = slider()->value();
    media->elapsed = 100;
    advance(0.5);
    EXPECT_FLOAT_EQ(slider()->value(), held);
    EXPECT_EQ(elapsedText(), "01:40");

    touches->injectTouch(UITouchPhaseEnded, CGPointMake(start.x + 30, start.y), now());
    EXPECT_FALSE(controller->sliderIsTouched);
    advance(0.5);
    EXPECT_FLOAT_EQ(slider()->value(), 100);
}

TEST_F(TrackTimeTest, ADragReleasedOutsideSeeksAndDoesNotFreezeTheSlider) {
    controller->hostDidPresent();
    advance(0.5);
    const CGPoint start = thumbCentre();
    // Along the track, then up onto the buttons, where the finger lifts.
    drag({start, CGPointMake(start.x + 20, start.y), CGPointMake(start.x + 20, 40)});
    EXPECT_FALSE(media->seeks.empty());
    EXPECT_FALSE(controller->sliderIsTouched);

    media->elapsed = 150;
    advance(0.5);
    EXPECT_FLOAT_EQ(slider()->value(), 150);
}

TEST_F(TrackTimeTest, ACancelledDragLetsTheTicksMoveTheSliderAgain) {
    controller->hostDidPresent();
    advance(0.5);
    const CGPoint start = thumbCentre();
    touches->injectTouch(UITouchPhaseBegan, start, now());
    touches->injectTouch(UITouchPhaseMoved, CGPointMake(start.x + 10, start.y), now());
    touches->injectTouch(UITouchPhaseCancelled, CGPointMake(start.x + 10, start.y), now());
    EXPECT_FALSE(controller->sliderIsTouched);
    media->elapsed = 20;
    advance(0.5);
    EXPECT_FLOAT_EQ(slider()->value(), 20);
}

TEST_F(TrackTimeTest, UnusableDurationsNeverReachTheSliderAsGarbage) {
    media->duration = std::numeric_limits<double>::quiet_NaN();
    media->elapsed = 1e300;
    controller->hostDidPresent();
    advance(0.5);
    EXPECT_FALSE(std::isnan(slider()->maximumValue()));
    EXPECT_FALSE(std::isnan(slider()->value()));
    EXPECT_EQ(elapsedText(), "14:07");
}

} // namespace
} // namespace widget_test
