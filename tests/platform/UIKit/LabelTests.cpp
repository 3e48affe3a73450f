#include <string>
#include <vector>

#include "support/TestSupport.h"
#include "Foundation/NSCoder.h"
#include "Foundation/NSNumber.h"
#include "QuartzCore/CALayer.h"
#include "UIKit/UILabel.h"
#include "UIKit/UITextMeasurement.h"

namespace {

// A label that keeps its text and colour in an inner label, as a scrolling label
// does, and counts its overridable setters.
class ForwardingLabel : public UILabel {
public:
    Ptr<NSString> text() const override { return inner ? inner->text() : nullptr; }
    void setText(const Ptr<NSString>& text) override {
        ++setTextCalls;
        if (inner) {
            inner->setText(text);
        }
    }
    Ptr<UIColor> textColor() const override { return inner ? inner->textColor() : nullptr; }
    void setBackgroundColor(const Ptr<UIColor>& color) override {
        ++setBackgroundColorCalls;
        UILabel::setBackgroundColor(color);
    }
    void setBounds(CGRect bounds) override {
        ++setBoundsCalls;
        UILabel::setBounds(bounds);
    }

    Ptr<UILabel> inner;
    int setTextCalls = 0;
    int setBackgroundColorCalls = 0;
    int setBoundsCalls = 0;
};

const std::vector<std::string> kForwardedKeys = {"baselineAdjustment",
                                                 "enabled",
                                                 "font",
                                                 "highlighted",
                                                 "highlightedTextColor",
                                                 "minimumFontSize",
                                                 "shadowColor",
                                                 "shadowOffset",
                                                 "textAlignment",
                                                 "textColor",
                                                 "userInteractionEnabled",
                                                 "text",
                                                 "adjustsFontSizeToFitWidth",
                                                 "lineBreakMode",
                                                 "numberOfLines",
                                                 "backgroundColor"};

class LabelTest : public PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        UITextMeasurement::setCurrent(std::make_shared<UIFixedAdvanceTextMeasurement>());
    }
    void TearDown() override {
        UITextMeasurement::setCurrent(nullptr);
        PlatformTest::TearDown();
    }
};

TEST_F(LabelTest, DefaultsAreThePlatforms) {
    auto label = alloc<UILabel>()->initWithFrame(CGRectMake(0, 0, 100, 20));
    EXPECT_EQ(label->text(), nullptr);
    EXPECT_TRUE(NSObjectsEqual(label->font(), UIFont::systemFontOfSize(17)));
    EXPECT_TRUE(NSObjectsEqual(label->textColor(), UIColor::blackColor()));
    EXPECT_EQ(label->backgroundColor(), nullptr);
    EXPECT_EQ(label->shadowColor(), nullptr);
    EXPECT_EQ(label->shadowOffset(), CGSizeMake(0, -1));
    EXPECT_EQ(label->highlightedTextColor(), nullptr);
    EXPECT_FALSE(label->isHighlighted());
    EXPECT_TRUE(label->isEnabled());
    EXPECT_EQ(label->baselineAdjustment(), 0);
    EXPECT_EQ(label->numberOfLines(), 1);
    EXPECT_FALSE(label->adjustsFontSizeToFitWidth());
    EXPECT_EQ(label->minimumFontSize(), 0);
    EXPECT_EQ(label->textAlignment(), 0);
    EXPECT_EQ(label->lineBreakMode(), 4);
    EXPECT_FALSE(label->isUserInteractionEnabled());
    EXPECT_EQ(alloc<UILabel>()->init()->frame().size, CGSizeZero);
}

TEST_F(LabelTest, SettersMarkTheDisplayOnlyWhenSomethingChanges) {
    auto label = alloc<UILabel>()->initWithFrame(CGRectMake(0, 0, 100, 20));
    auto changes = [&](const auto& change) {
        const auto before = CADisplayGeneration();
        change();
        return CADisplayGeneration() != before;
    };
    EXPECT_TRUE(changes([&] { label->setText(NSStr("a")); }));
    EXPECT_FALSE(changes([&] { label->setText(NSStr("a")); })); // equal string, other object
    EXPECT_TRUE(changes([&] { label->setFont(UIFont::systemFontOfSize(16)); }));
    EXPECT_FALSE(changes([&] { label->setFont(UIFont::systemFontOfSize(16)); }));
    EXPECT_TRUE(changes([&] { label->setTextColor(UIColor::whiteColor()); }));
    EXPECT_TRUE(changes([&] { label->setShadowColor(UIColor::grayColor()); }));
    EXPECT_TRUE(changes([&] { label->setShadowOffset(CGSizeMake(1, 1)); }));
    EXPECT_TRUE(changes([&] { label->setHighlightedTextColor(UIColor::grayColor()); }));
    EXPECT_TRUE(changes([&] { label->setHighlighted(true); }));
    EXPECT_TRUE(changes([&] { label->setEnabled(false); }));
    EXPECT_TRUE(changes([&] { label->setBaselineAdjustment(UIBaselineAdjustmentNone); }));
    EXPECT_TRUE(changes([&] { label->setNumberOfLines(2); }));
    EXPECT_TRUE(changes([&] { label->setAdjustsFontSizeToFitWidth(true); }));
    EXPECT_TRUE(changes([&] { label->setMinimumFontSize(8); }));
    EXPECT_TRUE(changes([&] { label->setTextAlignment(NSTextAlignmentCenter); }));
    EXPECT_TRUE(changes([&] { label->setLineBreakMode(NSLineBreakByClipping); }));
    EXPECT_FALSE(changes([&] { label->setLineBreakMode(NSLineBreakByClipping); }));

    // nil restores the default font and colour.
    label->setFont(nullptr);
    label->setTextColor(nullptr);
    EXPECT_TRUE(NSObjectsEqual(label->font(), UIFont::systemFontOfSize(17)));
    EXPECT_TRUE(NSObjectsEqual(label->textColor(), UIColor::blackColor()));
}

TEST_F(LabelTest, SizeQueriesMeasureTheTextWithTheLabelsSettings) {
    auto label = alloc<UILabel>()->initWithFrame(CGRectMake(0, 0, 100, 40));
    EXPECT_EQ(label->sizeThatFits(CGSizeMake(100, 40)), CGSizeZero);
    label->setFont(UIFont::systemFontOfSize(16)); // 10 points a character, 20-point lines
    label->setText(NSStr("twelve chars"));
    EXPECT_EQ(label->intrinsicContentSize(), CGSizeMake(120, 20));
    EXPECT_EQ(label->sizeThatFits(CGSizeZero), CGSizeMake(120, 20));
    EXPECT_EQ(label->sizeThatFits(CGSizeMake(CGFLOAT_MAX, CGFLOAT_MAX)), CGSizeMake(120, 20));
    EXPECT_EQ(label->sizeThatFits(CGSizeMake(50, 100)), CGSizeMake(50, 20));

    label->setNumberOfLines(0);
    label->setLineBreakMode(NSLineBreakByWordWrapping);
    EXPECT_EQ(label->sizeThatFits(CGSizeMake(70, 100)), CGSizeMake(60, 40)); // "twelve" / "chars"

    // The text rectangle is centred vertically and placed by the alignment.
    label->setNumberOfLines(1);
    auto rect = label->textRectForBounds(CGRectMake(0, 0, 200, 40), 1);
    EXPECT_TRUE(CGRectEqualToRect(rect, CGRectMake(0, 10, 120, 20)));
    label->setTextAlignment(NSTextAlignmentCenter);
    rect = label->textRectForBounds(CGRectMake(0, 0, 200, 40), 1);
    EXPECT_TRUE(CGRectEqualToRect(rect, CGRectMake(40, 10, 120, 20)));
    label->setTextAlignment(NSTextAlignmentRight);
    rect = label->textRectForBounds(CGRectMake(0, 0, 200, 40), 1);
    EXPECT_TRUE(CGRectEqualToRect(rect, CGRectMake(80, 10, 120, 20)));
}

TEST_F(LabelTest, EveryForwardedKeyRoundTripsThroughKeyValueCoding) {
    auto source = alloc<UILabel>()->initWithFrame(CGRectZero);
    source->setBaselineAdjustment(UIBaselineAdjustmentAlignCenters);
    source->setEnabled(false);
    source->setFont(UIFont::boldSystemFontOfSize(12));
    source->setHighlighted(true);
    source->setHighlightedTextColor(UIColor::grayColor());
    source->setMinimumFontSize(9);
    source->setShadowColor(UIColor::darkGrayColor());
    source->setShadowOffset(CGSizeMake(2, 3));
    source->setTextAlignment(NSTextAlignmentRight);
    source->setTextColor(UIColor::whiteColor());
    source->setUserInteractionEnabled(true);
    source->setText(NSStr("Song - Band"));
    source->setAdjustsFontSizeToFitWidth(true);
    source->setLineBreakMode(NSLineBreakByClipping);
    source->setNumberOfLines(3);
    source->setBackgroundColor(UIColor::clearColor());

    auto target = alloc<UILabel>()->initWithFrame(CGRectZero);
    for (const auto& key : kForwardedKeys) {
        ASSERT_TRUE(source->keyValueTable().contains(key)) << key;
        EXPECT_TRUE(target->setValue(source->valueForKey(key), key)) << key;
        EXPECT_TRUE(NSObjectsEqual(target->valueForKey(key), source->valueForKey(key))) << key;
    }
    EXPECT_EQ(target->baselineAdjustment(), UIBaselineAdjustmentAlignCenters);
    EXPECT_FALSE(target->isEnabled());
    EXPECT_TRUE(NSObjectsEqual(target->font(), UIFont::boldSystemFontOfSize(12)));
    EXPECT_EQ(target->shadowOffset(), CGSizeMake(2, 3));
    EXPECT_EQ(target->numberOfLines(), 3);
    EXPECT_EQ(target->text()->UTF8String(), "Song - Band");
    EXPECT_TRUE(target->isUserInteractionEnabled());
    EXPECT_TRUE(NSObjectsEqual(target->backgroundColor(), UIColor::clearColor()));

    // Unknown keys and wrongly typed objects change nothing harmful.
    EXPECT_FALSE(target->setValue(NSStr("x"), "marqueeType"));
    EXPECT_EQ(target->valueForKey("marqueeType"), nullptr);
    EXPECT_TRUE(target->setValue(NSNumber::numberWithInteger(5), "text"));
    EXPECT_EQ(target->text(), nullptr);
    EXPECT_TRUE(target->setValue(nullptr, "numberOfLines"));
    EXPECT_EQ(target->numberOfLines(), 0);
}

TEST_F(LabelTest, KeyReadsAndWritesDispatchThroughOverrides) {
    auto label = alloc<ForwardingLabel>();
    label->initWithFrame(CGRectZero);
    label->inner = alloc<UILabel>()->initWithFrame(CGRectZero);
    label->inner->setText(NSStr("inner"));
    label->inner->setTextColor(UIColor::whiteColor());

    EXPECT_TRUE(NSObjectsEqual(label->valueForKey("text"), NSStr("inner")));
    EXPECT_TRUE(NSObjectsEqual(label->valueForKey("textColor"), UIColor::whiteColor()));
    label->setValue(NSStr("routed"), "text");
    EXPECT_EQ(label->setTextCalls, 1);
    EXPECT_EQ(label->inner->text()->UTF8String(), "routed");
    // The label's own storage is untouched; the base implementation reads it.
    EXPECT_EQ(label->UILabel::text(), nullptr);
    label->setValueForKeyPath(UIColor::grayColor(), "backgroundColor");
    EXPECT_EQ(label->setBackgroundColorCalls, 1);
}

TEST_F(LabelTest, AnInterfaceFileStoresTheLabelsValuesWithoutOverridableSetters) {
    auto plist = NSDictionary::dictionaryWithEntries({
        {"frame", NSStr("{{110, 10}, {200, 20}}")},
        {"tag", NSNumber::numberWithInteger(4)},
        {"text", NSStr("From the file")},
        {"font", NSDictionary::dictionaryWithEntries({{"size", NSNumber::numberWithDouble(16)}})},
        {"textColor", NSDictionary::dictionaryWithEntries({{"white", NSNumber::numberWithDouble(1)}})},
        {"backgroundColor",
         NSDictionary::dictionaryWithEntries(
             {{"red", NSNumber::numberWithDouble(1)}, {"alpha", NSNumber::numberWithDouble(0.5)}})},
        {"shadowOffset", NSStr("{1, 2}")},
        {"textAlignment", NSNumber::numberWithInteger(1)},
        {"lineBreakMode", NSNumber::numberWithInteger(2)},
        {"numberOfLines", NSNumber::numberWithInteger(2)},
        {"minimumFontSize", NSNumber::numberWithDouble(10)},
        {"adjustsFontSizeToFitWidth", NSNumber::numberWithBool(true)},
        {"enabled", NSNumber::numberWithBool(false)},
        {"highlighted", NSNumber::numberWithBool(true)},
    });
    auto coder = alloc<NSCoder>()->initForReadingWithDictionary(plist);
    auto label = alloc<ForwardingLabel>();
    ASSERT_NE(label->initWithCoder(coder), nullptr);

    EXPECT_EQ(label->setTextCalls, 0);
    EXPECT_EQ(label->setBackgroundColorCalls, 0);
    EXPECT_EQ(label->setBoundsCalls, 0);
    EXPECT_TRUE(CGRectEqualToRect(label->frame(), CGRectMake(110, 10, 200, 20)));
    EXPECT_EQ(label->tag(), 4);
    EXPECT_EQ(label->UILabel::text()->UTF8String(), "From the file");
    EXPECT_TRUE(NSObjectsEqual(label->UILabel::font(), UIFont::systemFontOfSize(16)));
    EXPECT_TRUE(NSObjectsEqual(label->UILabel::textColor(), UIColor::whiteColor()));
    EXPECT_TRUE(NSObjectsEqual(label->backgroundColor(), UIColor::colorWithRed(1, 0, 0, 0.5)));
    EXPECT_EQ(label->shadowOffset(), CGSizeMake(1, 2));
    EXPECT_EQ(label->textAlignment(), NSTextAlignmentCenter);
    EXPECT_EQ(label->lineBreakMode(), NSLineBreakByClipping);
    EXPECT_EQ(label->numberOfLines(), 2);
    EXPECT_EQ(label->minimumFontSize(), 10);
    EXPECT_TRUE(label->adjustsFontSizeToFitWidth());
    EXPECT_FALSE(label->isEnabled());
    EXPECT_TRUE(label->isHighlighted());
    EXPECT_FALSE(label->isUserInteractionEnabled());

    // Missing keys give the defaults; a nil coder gives nil.
    auto empty = alloc<UILabel>()->initWithCoder(
        alloc<NSCoder>()->initForReadingWithDictionary(NSDictionary::dictionary()));
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(empty->lineBreakMode(), NSLineBreakByTruncatingTail);
    EXPECT_EQ(empty->numberOfLines(), 1);
    EXPECT_TRUE(empty->isEnabled());
    EXPECT_EQ(empty->shadowOffset(), CGSizeMake(0, -1));
    EXPECT_TRUE(NSObjectsEqual(empty->font(), UIFont::systemFontOfSize(17)));
    EXPECT_EQ(alloc<UILabel>()->initWithCoder(nullptr), nullptr);
}

} // namespace
