#include "Foundation/NSCoder.h"
#include "MarqueeTestSupport.h"
#include "UIKit/UIColor.h"

namespace {

using ConfigurationTest = MarqueeTest;
using Label = MarqueeLabel;

TEST_F(ConfigurationTest, SettersKeepOnlyWhatTheLabelSupports) {
    const struct {
        const char* name;
        std::function<void(Label&)> set;
        std::function<double(Label&)> read;
        double expected;
    } cases[]{
        {"rate clears the length", [](Label& l) { l.setLengthOfScroll(4), l.setRate(30); },
         [](Label& l) { return l.lengthOfScroll(); }, 0},
        {"length clears the rate", [](Label& l) { l.setLengthOfScroll(3); },
         [](Label& l) { return l.rate(); }, 0},
        {"buffer is stored positive", [](Label& l) { l.setContinuousMarqueeExtraBuffer(-12.5); },
         [](Label& l) { return l.continuousMarqueeExtraBuffer(); }, 12.5},
        {"unknown curve is ignored",
         [](Label& l) {
             l.setAnimationCurve(UIViewAnimationOptionCurveEaseIn), l.setAnimationCurve(0x40000);
         },
         [](Label& l) { return l.animationCurve(); }, UIViewAnimationOptionCurveEaseIn},
        {"one line", [](Label& l) { l.setNumberOfLines(3); }, [](Label& l) { return l.numberOfLines(); }, 1},
        {"no shrinking", [](Label& l) { l.setAdjustsFontSizeToFitWidth(YES); },
         [](Label& l) { return l.adjustsFontSizeToFitWidth(); }, 0},
        {"no minimum size", [](Label& l) { l.setMinimumFontSize(9); },
         [](Label& l) { return l.minimumFontSize(); }, 0},
    };
    for (const auto& test : cases) {
        auto label = makeLabel(MarqueeTypeLeftAndBack);
        test.set(*label);
        EXPECT_DOUBLE_EQ(test.read(*label), test.expected) << test.name;
    }
}

TEST_F(ConfigurationTest, AnEqualTextOrFontKeepsTheScrollGoingANewFontRestarts) {
    auto label = showLabel(MarqueeTypeLeftAndBack);
    expectTimeline(label, {{2.4, -50}});
    label->setText(textOfWidth(300)); // equal text, another object
    label->setFont(UIFont::systemFontOfSize(16));
    expectTimeline(label, {{0, -50}});
    label->setFont(UIFont::systemFontOfSize(15));
    expectTimeline(label, {{0, 20}});
}

TEST_F(ConfigurationTest, LookReachesEverySublabelAndATypeChangeRemakesTheCopy) {
    auto label = showLabel(MarqueeTypeContinuousLeft);
    auto extra = alloc<UILabel>()->initWithFrame(CGRectMake(0, 0, 10, 10));
    extra->setTag(750); // tagged by a caller as a sublabel
    label->addSubview(extra);
    const auto red = UIColor::colorWithRed(1, 0, 0, 1);
    label->setTextColor(red);
    label->setShadowOffset(CGSizeMake(2, 3));
    label->setEnabled(NO);
    label->setBackgroundColor(UIColor::whiteColor());
    const auto copy = as<UILabel>(copyOf(label));
    ASSERT_NE(copy, nullptr);
    for (const auto& sub : {label->subLabel(), copy, extra}) {
        EXPECT_TRUE(NSObjectsEqual(sub->textColor(), red));
        EXPECT_EQ(sub->shadowOffset(), CGSizeMake(2, 3));
        EXPECT_FALSE(sub->isEnabled());
        EXPECT_TRUE(NSObjectsEqual(sub->backgroundColor(), UIColor::whiteColor()));
    }
    EXPECT_EQ(label->UILabel::backgroundColor()->alpha(), 0); // the label's own stays clear

    label->setMarqueeType(MarqueeTypeContinuousRight);
    const auto newCopy = as<UILabel>(copyOf(label));
    ASSERT_NE(newCopy, nullptr);
    EXPECT_NE(newCopy, copy);
    EXPECT_TRUE(NSObjectsEqual(newCopy->textColor(), red));
    label->setMarqueeType(MarqueeTypeLeftAndBack);
    EXPECT_EQ(label->allSubLabels()->count(), 1u);
}

TEST_F(ConfigurationTest, InterfaceFileLabelScrollsWithItsTextAndFont) {
    auto coder = alloc<NSCoder>()->initForReadingWithDictionary(NSDictionary::dictionaryWithEntries({
        {"frame", NSStr("{{0, 0}, {200, 20}}")},
        {"text", textOfWidth(300)},
        {"font", NSDictionary::dictionaryWithEntries({{"size", NSNumber::numberWithDouble(16)}})},
    }));
    auto label = alloc<MarqueeLabel>()->initWithCoder(coder);
    ASSERT_NE(label, nullptr);
    label->awakeFromNib();
    label->setAnimationCurve(UIViewAnimationOptionCurveLinear);
    _controller->view()->addSubview(label);
    // No fade, 7-second legs from 0 to -100.
    expectTimeline(label, {{1.0 + 3.5, -50}});
}

} // namespace
