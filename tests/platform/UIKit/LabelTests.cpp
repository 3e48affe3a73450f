#include <string>
#include <vector>

#include "Foundation/NSCoder.h"
#include "Foundation/NSNumber.h"
#include "UIKit/UILabel.h"
#include "support/TestSupport.h"

namespace {

// A label that keeps its text in an inner label, as a scrolling label does, and
// counts the calls of its overridable setters.
class ForwardingLabel : public UILabel {
public:
    Ptr<NSString> text() const override { return inner->text(); }
    void setText(const Ptr<NSString>& text) override {
        ++setterCalls;
        inner->setText(text);
    }
    void setBounds(CGRect bounds) override {
        ++setterCalls;
        UILabel::setBounds(bounds);
    }
    Ptr<UILabel> inner = alloc<UILabel>()->initWithFrame(CGRectZero);
    int setterCalls = 0;
};

class LabelTest : public PlatformTest {};

TEST_F(LabelTest, KeyedValuesGoThroughTheOverridesButAnInterfaceFileDoesNot) {
    auto label = alloc<ForwardingLabel>();
    label->initWithFrame(CGRectZero);
    label->setterCalls = 0;
    EXPECT_TRUE(label->setValue(NSStr("routed"), "text"));
    EXPECT_TRUE(NSObjectsEqual(label->valueForKey("text"), NSStr("routed")));
    EXPECT_EQ(label->UILabel::text(), nullptr);
    EXPECT_EQ(label->setterCalls, 1);
    // A value of the wrong kind reads as nil or zero; unknown keys change nothing.
    EXPECT_TRUE(label->inner->setValue(NSNumber::numberWithInteger(5), "text"));
    EXPECT_EQ(label->inner->text(), nullptr);
    EXPECT_TRUE(label->setValue(nullptr, "numberOfLines"));
    EXPECT_EQ(label->numberOfLines(), 0);
    EXPECT_FALSE(label->setValue(NSStr("x"), "marqueeType"));

    auto decoded = alloc<ForwardingLabel>();
    ASSERT_NE(decoded->initWithCoder(
                  alloc<NSCoder>()->initForReadingWithDictionary(NSDictionary::dictionaryWithEntries({
                      {"frame", NSStr("{{110, 10}, {200, 20}}")},
                      {"text", NSStr("From the file")},
                      {"shadowOffset", NSStr("{1, 2}")},
                      {"textAlignment", NSNumber::numberWithInteger(NSTextAlignmentCenter)},
                  }))),
              nullptr);
    EXPECT_EQ(decoded->setterCalls, 0);
    EXPECT_TRUE(CGRectEqualToRect(decoded->frame(), CGRectMake(110, 10, 200, 20)));
    EXPECT_EQ(NSStringText(decoded->UILabel::text()), "From the file");
    EXPECT_EQ(decoded->shadowOffset(), CGSizeMake(1, 2));
    EXPECT_EQ(decoded->textAlignment(), NSTextAlignmentCenter);
    // Missing keys leave it as a new label.
    const auto fresh = alloc<UILabel>()->initWithFrame(CGRectZero);
    for (const char* key : {"font", "textColor", "lineBreakMode", "numberOfLines", "enabled"}) {
        EXPECT_TRUE(NSObjectsEqual(decoded->valueForKey(key), fresh->valueForKey(key))) << key;
    }
    EXPECT_EQ(alloc<UILabel>()->initWithCoder(nullptr), nullptr);
}

} // namespace
