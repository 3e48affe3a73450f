#include "MarqueeTestSupport.h"

namespace {

using GeometryTest = MarqueeTest;

// A 300-point label with fades of 20: one fade counts, two for the continuous left
// type, which shows its copy after the text.
TEST_F(GeometryTest, TextScrollsOnlyWhenItAndItsFadesDoNotFit) {
    const struct {
        int textWidth; // -1: no text
        NSUInteger type;
        bool labelize;
        bool scrolls;
    } cases[]{
        {290, 0, false, true},  {290, 1, false, true},  {290, 3, false, true}, {290, 2, false, true},
        {270, 0, false, false}, {270, 3, false, false}, {270, 2, false, true}, {280, 0, false, false},
        {5000, 2, true, false}, {0, 2, false, false},   {-1, 2, false, false},
    };
    for (const auto& test : cases) {
        auto label = makeLabel(test.type, CGRectMake(0, 0, 300, 20));
        label->setText(test.textWidth < 0 ? nullptr : textOfWidth(test.textWidth));
        label->setLabelize(test.labelize);
        EXPECT_EQ(label->labelShouldScroll(), test.scrolls) << test.textWidth << " type " << test.type;
    }
}

TEST_F(GeometryTest, TextWidthIsRoundedUpToWholePoints) {
    // 10.02 points per character: ten characters measure 100.2.
    UITextMeasurement::setCurrent(std::make_shared<UIFixedAdvanceTextMeasurement>(10.02 / 16));
    auto label = makeLabel(MarqueeTypeLeftAndBack);
    label->setText(NSStr("0123456789"));
    EXPECT_DOUBLE_EQ(label->subLabelSize().width, 101);
}

TEST_F(GeometryTest, SizingAddsTheFadesToTheTextWidth) {
    auto label = makeLabel(MarqueeTypeLeftAndBack, CGRectMake(5, 6, 200, 20));
    label->setText(textOfWidth(300));
    EXPECT_DOUBLE_EQ(label->sizeThatFits(CGSizeZero).width, 340);
    label->minimizeLabelFrameWithMaximumSize(CGSizeZero, YES);
    ExpectRect(label->frame(), CGRectMake(5, 6, 340, 20));
    label->minimizeLabelFrameWithMaximumSize(CGSizeMake(200, 10), YES);
    ExpectRect(label->frame(), CGRectMake(5, 6, 200, 10));
}

TEST_F(GeometryTest, ResetFramesAreComputedOnRead) {
    auto label = makeLabel(MarqueeTypeLeftAndBack, CGRectMake(0, 0, 300, 20));
    label->setText(textOfWidth(400));
    label->resetLabel();
    // Home is read through its getter by the away getter, so both come out right.
    ExpectRect(label->awayLabelFrame(), CGRectMake(-120, 0, 420, 20));
    ExpectRect(label->homeLabelFrame(), CGRectMake(20, 0, 420, 20));
}

TEST_F(GeometryTest, OnlyANewSizeRemasksAndLaysOutAgain) {
    auto label = showLabel(MarqueeTypeLeftAndBack);
    const auto mask = label->layer()->mask();
    advance(2.4);
    label->setBounds(CGRectMake(7, 3, 200, 20));
    EXPECT_EQ(label->layer()->mask(), mask);
    expectTimeline(label, {{0, -50}});

    label->setBounds(CGRectMake(0, 0, 250, 20));
    EXPECT_NE(label->layer()->mask(), mask);
    // Away is now -70, over 1.8 s.
    expectTimeline(label, {{0, 20}, {1.0 + 1.8, -70}});
}

} // namespace
