#include <gtest/gtest.h>

#include "Foundation/NSCoder.h"
#include "Foundation/NSKeyValueCoding.h"
#include "Foundation/NSNumber.h"
#include "UIKit/UIColor.h"
#include "UIKit/UIFont.h"
#include "UIKit/UIView.h"

namespace {

TEST(KeyValueCodingTest, KeyPathsWalkObjectsAndDictionariesAndStopAtAMissingStep) {
    auto view = alloc<UIView>()->initWithFrame(CGRectMake(1, 2, 3, 4));
    auto holder = NSMutableDictionary::dictionary();
    holder->setObject(view, "view");
    EXPECT_TRUE(NSObjectSetValueForKeyPath(holder, NSValue::valueWithCGPoint({10, 10}), "view.center"));
    EXPECT_TRUE(CGRectEqualToRect(view->frame(), CGRectMake(8.5, 8, 3, 4)));
    // Numbers may come as strings.
    EXPECT_TRUE(NSObjectSetValueForKeyPath(holder, NSStr("0.5"), "view.alpha"));
    EXPECT_EQ(view->alpha(), 0.5);
    EXPECT_FALSE(NSObjectSetValueForKeyPath(holder, NSStr("x"), "missing.tag"));
    EXPECT_FALSE(NSObjectSetValueForKeyPath(NSStr("plain"), NSStr("x"), "length"));
    EXPECT_EQ(NSObjectValueForKeyPath(holder, "view.nothing"), nullptr);
    EXPECT_EQ(NSObjectValueForKeyPath(nullptr, "a.b"), nullptr);
}

TEST(CoderTest, EntriesDecodeFromStringsArraysAndValuesAndBadOnesReadAsZeroOrNil) {
    auto coder = alloc<NSCoder>()->initForReadingWithDictionary(NSDictionary::dictionaryWithEntries({
        {"rect", NSStr("{{1.5, -2}, {30, 40}}")},
        {"point", NSArray::arrayWithObjects({NSNumber::numberWithDouble(7), NSNumber::numberWithDouble(8)})},
        {"boxed", NSValue::valueWithCGRect(CGRectMake(1, 2, 9, 10))},
        {"short", NSStr("{1, 2, 3}")},
        {"nan", NSStr("{{nan, 0}, {1, 1}}")},
        {"count", NSStr("12 apples")},
        {"flag", NSStr("YES")},
        {"color", NSDictionary::dictionaryWithEntries(
                      {{"red", NSNumber::numberWithDouble(2)}, {"blue", NSNumber::numberWithDouble(0.5)}})},
        {"font", NSDictionary::dictionaryWithEntries(
                     {{"name", NSStr("DejaVu Serif Bold")}, {"size", NSNumber::numberWithDouble(-1)}})},
    }));
    ASSERT_NE(coder, nullptr);
    for (const auto& [key, expected] :
         std::vector<std::pair<const char*, CGRect>>{{"rect", CGRectMake(1.5, -2, 30, 40)},
                                                     {"boxed", CGRectMake(1, 2, 9, 10)},
                                                     {"short", CGRectZero},
                                                     {"nan", CGRectZero},
                                                     {"missing", CGRectZero}}) {
        EXPECT_TRUE(CGRectEqualToRect(coder->decodeCGRectForKey(key), expected)) << key;
    }
    EXPECT_EQ(coder->decodeCGPointForKey("point"), CGPointMake(7, 8));
    EXPECT_EQ(coder->decodeIntegerForKey("count"), 12);
    EXPECT_TRUE(coder->decodeBoolForKey("flag"));
    EXPECT_FALSE(coder->decodeBoolForKey("missing"));
    // Colours are clamped; an unusable font size falls back to 12 points.
    EXPECT_TRUE(
        NSObjectsEqual(coder->decodeObjectOfClass<UIColor>("color"), UIColor::colorWithRed(1, 0, 0.5, 1)));
    const auto font = coder->decodeObjectOfClass<UIFont>("font");
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(font->family(), "DejaVu Serif");
    EXPECT_TRUE(font->isBold());
    EXPECT_EQ(font->pointSize(), 12);
    EXPECT_EQ(coder->decodeObjectOfClass<UIColor>("flag"), nullptr);
    EXPECT_EQ(coder->decodeObjectOfClass<UIColor>("missing"), nullptr);
    EXPECT_EQ(alloc<NSCoder>()->initForReadingWithDictionary(nullptr), nullptr);
}

} // namespace
