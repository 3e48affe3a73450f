#include "UIKit/UIColor.h"
#include "marquee/MarqueeTestSupport.h"

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
    };
    for (const auto& test : cases) {
        auto label = makeLabel(MarqueeTypeLeftAndBack);
        test.set(*label);
        EXPECT_DOUBLE_EQ(test.read(*label), test.expected) << test.name;
    }
}

TEST_F(ConfigurationTest, AnEqualTextOrFontKeepsTheScrollGoingANewTextStartsAFreshChain) {
    auto label = showLabel(MarqueeTypeLeftAndBack);
    expectTimeline(label, {{2.4, -50}});
    label->setText(textOfWidth(300)); // equal text, another object
    label->setFont(UIFont::systemFontOfSize(16));
    expectTimeline(label, {{0, -50}});
    label->setText(textOfWidth(400)); // away is now -220, over 4.8 s
    expectTimeline(label, {{0, 20}, {0.9, 20}, {2.5, -100}});
}

TEST_F(ConfigurationTest, TheLookReachesEverySublabelAndANewCopy) {
    auto label = showLabel(MarqueeTypeContinuousLeft);
    auto extra = alloc<UILabel>()->initWithFrame(CGRectMake(0, 0, 10, 10));
    extra->setTag(750); // tagged by a caller as a sublabel
    label->addSubview(extra);
    label->setTextColor(UIColor::grayColor());
    label->setBackgroundColor(UIColor::whiteColor());
    EXPECT_EQ(label->UILabel::backgroundColor()->alpha(), 0); // the label's own stays clear
    const auto copy = copyOf(label);
    label->setMarqueeType(MarqueeTypeContinuousRight); // a new copy
    EXPECT_NE(copyOf(label), copy);
    for (const auto& sub : {label->subLabel(), as<UILabel>(copy), as<UILabel>(copyOf(label)), extra}) {
        EXPECT_TRUE(sub && NSObjectsEqual(sub->textColor(), UIColor::grayColor()));
        EXPECT_TRUE(sub && NSObjectsEqual(sub->backgroundColor(), UIColor::whiteColor()));
    }
}

} // namespace
