#include "MarqueeTestSupport.h"

namespace {

using GeometryTest = MarqueeTest;

TEST_F(GeometryTest, ScrollDecisionCountsTheFadesByType) {
    struct Case {
        int textWidth;
        NSUInteger type;
        bool scrolls;
    };
    const Case cases[] = {
        {290, 0, true},  {290, 1, true},  {290, 3, true},  {290, 2, true}, // 300 < 310, 300 < 330
        {270, 0, false}, {270, 1, false}, {270, 3, false}, {270, 2, true}, // 300 < 290 fails, 300 < 310
        {280, 0, false},                                                   // 300 < 300 fails
    };
    for (const auto& test : cases) {
        auto label = makeLabel(test.type, CGRectMake(0, 0, 300, 20));
        label->setText(textOfWidth(test.textWidth));
        EXPECT_EQ(label->labelShouldScroll(), test.scrolls) << test.textWidth << " type " << test.type;
    }
}

TEST_F(GeometryTest, EmptyNilOrLabelizedTextNeverScrolls) {
    auto label = makeLabel(MarqueeTypeContinuousLeft, CGRectMake(0, 0, 10, 20));
    EXPECT_FALSE(label->labelShouldScroll());
    label->setText(NSStr(""));
    EXPECT_FALSE(label->labelShouldScroll());
    label->setText(textOfWidth(5000));
    EXPECT_TRUE(label->labelShouldScroll());
    label->setLabelize(YES);
    EXPECT_FALSE(label->labelShouldScroll());
}

TEST_F(GeometryTest, TextWidthIsRoundedUpToWholePoints) {
    // 16-point font: 10.02 points per character, so ten characters measure 100.2.
    UITextMeasurement::setCurrent(std::make_shared<UIFixedAdvanceTextMeasurement>(10.02 / 16));
    auto label = makeLabel(MarqueeTypeLeftAndBack);
    label->setText(NSStr("0123456789"));
    EXPECT_DOUBLE_EQ(label->subLabelSize().width, 101);

    UITextMeasurement::setCurrent(std::make_shared<UIFixedAdvanceTextMeasurement>());
    label->setText(NSStr("abcdefghij"));
    EXPECT_DOUBLE_EQ(label->subLabelSize().width, 100);
}

TEST_F(GeometryTest, SubLabelSizeHeightFollowsTheLabel) {
    auto label = makeLabel(MarqueeTypeLeftAndBack, CGRectMake(0, 0, 200, 12));
    label->setFont(UIFont::systemFontOfSize(40));
    label->setText(NSStr("tall"));
    EXPECT_DOUBLE_EQ(label->subLabelSize().height, 12);
    EXPECT_DOUBLE_EQ(label->subLabelSize().width, 100); // 4 x 0.625 x 40
}

TEST_F(GeometryTest, SizingAddsTheFadesToTheTextWidth) {
    auto label = makeLabel(MarqueeTypeLeftAndBack, CGRectMake(5, 6, 200, 20));
    label->setText(textOfWidth(300));
    EXPECT_DOUBLE_EQ(label->sizeThatFits(CGSizeZero).width, 340);
    EXPECT_DOUBLE_EQ(label->intrinsicContentSize().width, 300);

    label->minimizeLabelFrameWithMaximumSize(CGSizeZero, YES);
    ExpectRect(label->frame(), 5, 6, 340, 20);
    label->minimizeLabelFrameWithMaximumSize(CGSizeMake(200, 10), YES);
    ExpectRect(label->frame(), 5, 6, 200, 10);
    label->minimizeLabelFrameWithMaximumSize(CGSizeMake(400, 4), NO);
    ExpectRect(label->frame(), 5, 6, 340, 10);

    auto empty = makeLabel(MarqueeTypeLeftAndBack);
    empty->minimizeLabelFrameWithMaximumSize(CGSizeZero, YES);
    ExpectRect(empty->frame(), 0, 0, 200, 20);
}

TEST_F(GeometryTest, NullFramesAreComputedOnRead) {
    auto label = makeLabel(MarqueeTypeLeftAndBack, CGRectMake(0, 0, 300, 20));
    label->setText(textOfWidth(400));
    label->resetLabel();
    // Home is read through its getter by the away getter, so both come out right.
    ExpectRect(label->awayLabelFrame(), -120, 0, 420, 20);
    ExpectRect(label->homeLabelFrame(), 20, 0, 420, 20);
    // Once computed they stay, even when the text changes without a layout.
    label->setHomeLabelFrame(CGRectZero);
    ExpectRect(label->homeLabelFrame(), 0, 0, 0, 0);
}

TEST_F(GeometryTest, OriginOnlyBoundsChangeNeitherMasksNorLaysOut) {
    auto label = showLabel(MarqueeTypeLeftAndBack);
    const auto mask = label->layer()->mask();
    ASSERT_NE(mask, nullptr);
    advance(2.4);
    label->setBounds(CGRectMake(7, 3, 200, 20));
    EXPECT_EQ(label->layer()->mask(), mask);
    EXPECT_NEAR(shownX(label->subLabel()), -50, 1e-9);

    label->setBounds(CGRectMake(0, 0, 250, 20)); // a new size: new mask, fresh layout
    EXPECT_NE(label->layer()->mask(), mask);
    EXPECT_DOUBLE_EQ(shownX(label->subLabel()), 20);
    ExpectRect(label->awayLabelFrame(), -70, 0, 300, 20);
    advance(1.0 + 1.8);
    EXPECT_NEAR(shownX(label->subLabel()), -70, 1e-9);
}

TEST_F(GeometryTest, SizeChangeDuringRotationLaysOutWithoutScrolling) {
    auto label = showLabel(MarqueeTypeLeftAndBack);
    advance(2.4);
    label->setOrientationWillChange(YES);
    label->setBounds(CGRectMake(0, 0, 250, 20));
    ExpectRect(label->awayLabelFrame(), -70, 0, 300, 20);
    EXPECT_DOUBLE_EQ(shownX(label->subLabel()), 20);
    EXPECT_NE(label->layer()->mask(), nullptr);
    advance(20);
    EXPECT_DOUBLE_EQ(shownX(label->subLabel()), 20);
    EXPECT_FALSE(label->awayFromHome());
}

} // namespace
