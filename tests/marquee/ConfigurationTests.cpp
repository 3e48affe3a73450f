#include "Foundation/NSCoder.h"
#include "MarqueeTestSupport.h"
#include "UIKit/UIColor.h"
#include "UIKit/UITapGestureRecognizer.h"

namespace {

using ConfigurationTest = MarqueeTest;

TEST_F(ConfigurationTest, InitialisersSetTheDefaults) {
    auto plain = alloc<MarqueeLabel>()->initWithFrame(CGRectMake(0, 0, 200, 20));
    EXPECT_DOUBLE_EQ(plain->lengthOfScroll(), 7.0);
    EXPECT_DOUBLE_EQ(plain->rate(), 0);
    EXPECT_DOUBLE_EQ(plain->fadeLength(), 0);
    EXPECT_DOUBLE_EQ(plain->animationDelay(), 1.0);
    EXPECT_EQ(plain->marqueeType(), 0u);
    EXPECT_EQ(plain->animationCurve(), 0u);
    EXPECT_FALSE(plain->labelize() || plain->holdScrolling() || plain->tapToScroll() || plain->isPaused() ||
                 plain->awayFromHome() || plain->orientationWillChange());
    ASSERT_NE(plain->subLabel(), nullptr);
    EXPECT_EQ(plain->subLabel()->tag(), 700);
    EXPECT_EQ(plain->subLabel()->superview().get(), plain.get());
    EXPECT_TRUE(plain->clipsToBounds());
    EXPECT_EQ(plain->UILabel::backgroundColor()->alpha(), 0);
    EXPECT_NE(plain->orientationObserver(), nullptr);

    auto narrow = alloc<MarqueeLabel>()->initWithFrameRateAndFadeLength(CGRectMake(0, 0, 30, 20), 50, 20);
    EXPECT_DOUBLE_EQ(narrow->fadeLength(), 15);
    EXPECT_DOUBLE_EQ(narrow->rate(), 50);
    EXPECT_DOUBLE_EQ(narrow->lengthOfScroll(), 0);
    auto wide = alloc<MarqueeLabel>()->initWithFrameRateAndFadeLength(CGRectMake(0, 0, 320, 20), 50, 20);
    EXPECT_DOUBLE_EQ(wide->fadeLength(), 20);
    auto timed =
        alloc<MarqueeLabel>()->initWithFrameDurationAndFadeLength(CGRectMake(0, 0, 320, 20), 4.0, 20);
    EXPECT_DOUBLE_EQ(timed->lengthOfScroll(), 4.0);
    EXPECT_DOUBLE_EQ(timed->rate(), 0);
}

TEST_F(ConfigurationTest, RateAndLengthOfScrollExcludeEachOther) {
    auto label = alloc<MarqueeLabel>()->initWithFrameDurationAndFadeLength(CGRectMake(0, 0, 200, 20), 4.0, 0);
    label->setRate(50);
    EXPECT_DOUBLE_EQ(label->lengthOfScroll(), 0);
    EXPECT_DOUBLE_EQ(label->rate(), 50);
    label->setLengthOfScroll(3);
    EXPECT_DOUBLE_EQ(label->rate(), 0);
    EXPECT_DOUBLE_EQ(label->lengthOfScroll(), 3);
}

TEST_F(ConfigurationTest, ExtraBufferIsStoredPositiveAndComparedAsGiven) {
    auto label = showLabel(MarqueeTypeContinuousLeft);
    label->setContinuousMarqueeExtraBuffer(-20);
    EXPECT_DOUBLE_EQ(label->continuousMarqueeExtraBuffer(), 20);

    // -20 differs from the stored 20, so it lays out again: the cycle restarts.
    advance(5);
    ASSERT_LT(shownX(label->subLabel()), 0);
    label->setContinuousMarqueeExtraBuffer(-20);
    EXPECT_DOUBLE_EQ(shownX(label->subLabel()), 20);

    // 20 equals the stored value: nothing happens, the cycle goes on.
    advance(5);
    const CGFloat before = shownX(label->subLabel());
    ASSERT_LT(before, 0);
    label->setContinuousMarqueeExtraBuffer(20);
    EXPECT_DOUBLE_EQ(shownX(label->subLabel()), before);

    label->setContinuousMarqueeExtraBuffer(12.3);
    EXPECT_DOUBLE_EQ(label->continuousMarqueeExtraBuffer(), static_cast<double>(12.3f));
}

TEST_F(ConfigurationTest, OnlyTheFourCurvesAreAccepted) {
    auto label = makeLabel(MarqueeTypeLeftAndBack);
    label->setAnimationCurve(UIViewAnimationOptionCurveEaseIn);
    label->setAnimationCurve(0x30001);
    label->setAnimationCurve(0x40000);
    EXPECT_EQ(label->animationCurve(), UIViewAnimationOptionCurveEaseIn);
    label->setAnimationCurve(0x30000);
    EXPECT_EQ(label->animationCurve(), 0x30000u);
}

TEST_F(ConfigurationTest, TheLabelKeepsOneLineAndItsFontSize) {
    auto label = makeLabel(MarqueeTypeLeftAndBack);
    label->setNumberOfLines(0);
    EXPECT_EQ(label->numberOfLines(), 1);
    label->setNumberOfLines(3);
    EXPECT_EQ(label->numberOfLines(), 1);
    label->setAdjustsFontSizeToFitWidth(YES);
    EXPECT_FALSE(label->adjustsFontSizeToFitWidth());
    label->setMinimumFontSize(9);
    EXPECT_DOUBLE_EQ(label->minimumFontSize(), 0);
}

TEST_F(ConfigurationTest, EqualTextOrFontDoesNotRestart) {
    auto label = showLabel(MarqueeTypeLeftAndBack);
    advance(2.4);
    ASSERT_NEAR(shownX(label->subLabel()), -50, 1e-9);
    label->setText(NSStr(std::string(30, 'x'))); // equal text, another object
    label->setFont(UIFont::systemFontOfSize(16));
    EXPECT_NEAR(shownX(label->subLabel()), -50, 1e-9);

    label->setFont(UIFont::systemFontOfSize(15)); // a new font lays out again
    EXPECT_DOUBLE_EQ(shownX(label->subLabel()), 20);
}

TEST_F(ConfigurationTest, LabelPropertiesLiveInTheSublabels) {
    auto label = showLabel(MarqueeTypeContinuousLeft);
    auto copy = as<UILabel>(copyOf(label));
    ASSERT_NE(copy, nullptr);
    const auto red = UIColor::colorWithRed(1, 0, 0, 1);
    label->setTextColor(red);
    label->setShadowColor(UIColor::grayColor());
    label->setShadowOffset(CGSizeMake(2, 3));
    label->setHighlighted(YES);
    label->setEnabled(NO);
    label->setBaselineAdjustment(UIBaselineAdjustmentAlignCenters);
    label->setBackgroundColor(UIColor::whiteColor());
    for (const auto& sub : {label->subLabel(), copy}) {
        EXPECT_TRUE(NSObjectsEqual(sub->textColor(), red));
        EXPECT_TRUE(NSObjectsEqual(sub->shadowColor(), UIColor::grayColor()));
        EXPECT_EQ(sub->shadowOffset(), CGSizeMake(2, 3));
        EXPECT_TRUE(sub->isHighlighted());
        EXPECT_FALSE(sub->isEnabled());
        EXPECT_EQ(sub->baselineAdjustment(), UIBaselineAdjustmentAlignCenters);
        EXPECT_TRUE(NSObjectsEqual(sub->backgroundColor(), UIColor::whiteColor()));
    }
    EXPECT_TRUE(NSObjectsEqual(label->textColor(), red));
    EXPECT_EQ(label->shadowOffset(), CGSizeMake(2, 3));
    EXPECT_TRUE(label->isHighlighted());
    EXPECT_FALSE(label->isEnabled());
    // The label's own background stays clear.
    EXPECT_EQ(label->UILabel::backgroundColor()->alpha(), 0);
}

TEST_F(ConfigurationTest, CopyTakesTheLookButNotTheHighlightColour) {
    auto label = makeLabel(MarqueeTypeContinuousLeft);
    label->setTextColor(UIColor::darkGrayColor());
    label->setHighlightedTextColor(UIColor::whiteColor());
    label->setText(textOfWidth(300));
    auto copy = as<UILabel>(copyOf(label));
    ASSERT_NE(copy, nullptr);
    EXPECT_TRUE(NSObjectsEqual(copy->textColor(), UIColor::darkGrayColor()));
    EXPECT_TRUE(NSObjectsEqual(copy->font(), testFont()));
    EXPECT_EQ(copy->highlightedTextColor(), nullptr);
}

TEST_F(ConfigurationTest, TypeChangesRemakeOrKeepTheCopy) {
    auto label = showLabel(MarqueeTypeContinuousLeft);
    const auto firstCopy = copyOf(label);
    ASSERT_NE(firstCopy, nullptr);
    label->setMarqueeType(MarqueeTypeContinuousRight);
    const auto secondCopy = copyOf(label);
    ASSERT_NE(secondCopy, nullptr);
    EXPECT_NE(secondCopy, firstCopy);
    EXPECT_EQ(firstCopy->superview(), nullptr);
    label->setMarqueeType(MarqueeTypeContinuousLeft);
    EXPECT_EQ(copyOf(label), secondCopy);
    label->setMarqueeType(MarqueeTypeLeftAndBack);
    EXPECT_EQ(copyOf(label), nullptr);
    EXPECT_EQ(label->allSubLabels()->count(), 1u);
}

TEST_F(ConfigurationTest, CallerTaggedSubviewsCountAsSublabels) {
    auto label = showLabel(MarqueeTypeLeftAndBack);
    auto extra = alloc<UILabel>()->initWithFrame(CGRectMake(0, 0, 10, 10));
    extra->setTag(750);
    label->addSubview(extra);
    auto plain = alloc<UIView>()->initWithFrame(CGRectMake(0, 0, 10, 10));
    plain->setTag(5);
    label->addSubview(plain);
    EXPECT_EQ(label->allSubLabels()->count(), 2u);

    label->setTextColor(UIColor::grayColor());
    label->setShadowOffset(CGSizeMake(1, 1));
    EXPECT_TRUE(NSObjectsEqual(extra->textColor(), UIColor::grayColor()));
    EXPECT_EQ(extra->shadowOffset(), CGSizeMake(1, 1));

    label->setMarqueeType(MarqueeTypeContinuousRight);
    EXPECT_EQ(extra->superview(), nullptr);
    EXPECT_EQ(plain->superview().get(), label.get());
}

TEST_F(ConfigurationTest, KeyedValuesReachEverySublabel) {
    auto label = showLabel(MarqueeTypeContinuousLeft);
    label->updateSubLabelsForKeysWithValues(NSDictionary::dictionaryWithEntries({
        {"textAlignment", NSNumber::numberWithInteger(NSTextAlignmentCenter)},
        {"highlightedTextColor", UIColor::grayColor()},
    }));
    const auto sublabels = label->allSubLabels();
    for (const auto& object : sublabels->objects()) {
        const auto sub = as<UILabel>(object);
        EXPECT_EQ(sub->textAlignment(), NSTextAlignmentCenter);
        EXPECT_TRUE(NSObjectsEqual(sub->highlightedTextColor(), UIColor::grayColor()));
    }
}

TEST_F(ConfigurationTest, TapToScrollInstallsAndRemovesTheRecognizer) {
    auto label = makeLabel(MarqueeTypeLeftAndBack);
    EXPECT_FALSE(label->isUserInteractionEnabled());
    label->setTapToScroll(YES);
    const auto recognizer = label->tapRecognizer();
    ASSERT_NE(recognizer, nullptr);
    EXPECT_EQ(recognizer->view().get(), label.get());
    EXPECT_TRUE(label->isUserInteractionEnabled());
    label->setTapToScroll(YES); // unchanged: no second recognizer
    EXPECT_EQ(label->gestureRecognizers().size(), 1u);
    label->setTapToScroll(NO);
    EXPECT_EQ(label->tapRecognizer(), nullptr);
    EXPECT_TRUE(label->gestureRecognizers().empty());
    EXPECT_FALSE(label->isUserInteractionEnabled());
}

TEST_F(ConfigurationTest, InterfaceFileLabelScrollsWithItsTextAndFont) {
    auto coder = alloc<NSCoder>()->initForReadingWithDictionary(NSDictionary::dictionaryWithEntries({
        {"frame", NSStr("{{0, 0}, {200, 20}}")},
        {"text", textOfWidth(300)},
        {"font", NSDictionary::dictionaryWithEntries({{"size", NSNumber::numberWithDouble(16)}})},
        {"textAlignment", NSNumber::numberWithInteger(NSTextAlignmentRight)},
        {"numberOfLines", NSNumber::numberWithInteger(3)},
    }));
    auto label = alloc<MarqueeLabel>()->initWithCoder(coder);
    ASSERT_NE(label, nullptr);
    EXPECT_DOUBLE_EQ(label->lengthOfScroll(), 7.0);
    EXPECT_DOUBLE_EQ(label->rate(), 0);
    EXPECT_EQ(label->text(), nullptr); // not handed over before awakeFromNib
    label->awakeFromNib();
    ASSERT_NE(label->text(), nullptr);
    EXPECT_EQ(label->subLabel()->text()->UTF8String(), std::string(30, 'x'));
    EXPECT_TRUE(NSObjectsEqual(label->subLabel()->font(), testFont()));
    EXPECT_EQ(label->numberOfLines(), 1);

    label->setAnimationCurve(UIViewAnimationOptionCurveLinear);
    _controller->view()->addSubview(label);
    // 7-second legs from (0, 0) to (-100, 0).
    ExpectRect(label->awayLabelFrame(), -100, 0, 300, 20);
    advance(1.0 + 3.5);
    EXPECT_NEAR(shownX(label->subLabel()), -50, 1e-9);
}

} // namespace
