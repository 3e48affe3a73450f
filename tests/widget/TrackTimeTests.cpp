#include <cmath>

#include "UIKit/UILabel.h"
#include "UIKit/UISlider.h"
#include "widget/WidgetTestSupport.h"

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
        controller->hostDidPresent();
        advance(0.5);
    }
    Ptr<UISlider> slider() const { return controller->timeSlider(); }
    std::string elapsedText() const { return NSStringText(controller->elapsedLabel()->text()); }
    // The thumb's centre in window coordinates.
    CGPoint thumb() const {
        const CGRect bounds = slider()->bounds();
        const CGRect rect =
            slider()->thumbRectForBounds(bounds, slider()->trackRectForBounds(bounds), slider()->value());
        return slider()->convertPointToView(CGPointMake(CGRectGetMidX(rect), CGRectGetMidY(rect)), nullptr);
    }
};

TEST_F(TrackTimeTest, TimeTextShowsHoursFromAnHourOnAndSignsNegativeTimes) {
    const std::pair<double, const char*> cases[]{
        {0, "00:00"},        {59.9, "00:59"},     {3599, "59:59"},        {3600, "1:00:00"},
        {3725, "1:02:05"},   {36000, "10:00:00"}, {-65, "-01:-05"},       {-3599, "-59:-59"},
        {-3725, "-1:02:05"}, {NAN, "00:00"},      {1e12, "596523:14:07"}, {-1e12, "-596523:14:08"},
    };
    for (const auto& [seconds, text] : cases) {
        EXPECT_EQ(NSStringText(controller->doubleToTimeString(seconds)), text) << seconds;
    }
}

TEST_F(TrackTimeTest, EachTickMovesTheSliderAndBothLabelsEvenWhenHidden) {
    EXPECT_FLOAT_EQ(slider()->maximumValue(), 200);
    EXPECT_FLOAT_EQ(slider()->value(), 65);
    EXPECT_EQ(elapsedText(), "01:05");
    EXPECT_EQ(NSStringText(controller->lengthLabel()->text()), "02:15");
    controller->artworkImageViewPressed();
    media->duration = NAN;
    media->elapsed = 1e300;
    advance(0.5);
    EXPECT_EQ(elapsedText(), "596523:14:07");
    EXPECT_FALSE(std::isnan(slider()->maximumValue()));
    EXPECT_TRUE(std::isfinite(slider()->value()));
}

TEST_F(TrackTimeTest, OnlyASystemApplicationCanBeSeeked) {
    EXPECT_TRUE(slider()->isUserInteractionEnabled());
    media->application = std::make_shared<FakeApplication>("Player", false);
    advance(0.5);
    EXPECT_FALSE(slider()->isUserInteractionEnabled());
    drag({thumb(), CGPointMake(thumb().x + 30, thumb().y)});
    EXPECT_TRUE(media->seeks.empty());
}

TEST_F(TrackTimeTest, ADragSeeksContinuouslyThenGivesTheSliderBackToTheTicks) {
    const struct {
        const char* name;
        bool onButtons;
        UITouchPhase phase;
    } cases[]{{"lifted on the track", false, UITouchPhaseEnded},
              {"lifted on the buttons", true, UITouchPhaseEnded},
              {"cancelled", false, UITouchPhaseCancelled}};
    for (const auto& test : cases) {
        SCOPED_TRACE(test.name);
        media->seeks.clear();
        const CGPoint start = thumb();
        touches->injectTouch(UITouchPhaseBegan, start, now());
        for (int step = 1; step <= 3; ++step) {
            touches->injectTouch(UITouchPhaseMoved, CGPointMake(start.x + 10 * step, start.y), now());
        }
        const float held = slider()->value();
        ASSERT_EQ(media->seeks.size(), 3u);
        EXPECT_TRUE(media->seeks[0] < media->seeks[1] && media->seeks[2] == held);
        media->elapsed = 20;
        advance(0.5);
        EXPECT_FLOAT_EQ(slider()->value(), held);
        EXPECT_EQ(elapsedText(), "00:20");
        touches->injectTouch(test.phase, CGPointMake(start.x + 30, test.onButtons ? 40 : start.y), now());
        advance(0.5);
        EXPECT_FLOAT_EQ(slider()->value(), 20);
    }
}

} // namespace
} // namespace widget_test
