#include <cmath>

#include <gtest/gtest.h>

#include "Foundation/NSCoder.h"
#include "Foundation/NSKeyValueCoding.h"
#include "Foundation/NSNumber.h"
#include "UIKit/UIColor.h"
#include "UIKit/UIFont.h"
#include "UIKit/UIView.h"

namespace {

Ptr<NSCoder> coderFor(NSDictionary::Entries entries) {
    return alloc<NSCoder>()->initForReadingWithDictionary(
        NSDictionary::dictionaryWithEntries(std::move(entries)));
}

TEST(KeyValueCodingTest, KeyPathsWalkObjectsAndDictionaries) {
    auto view = alloc<UIView>()->initWithFrame(CGRectMake(1, 2, 3, 4));
    auto inner = NSMutableDictionary::dictionary();
    inner->setObject(view, "view");
    auto outer = NSMutableDictionary::dictionary();
    outer->setObject(inner, "inner");

    EXPECT_TRUE(
        NSObjectsEqual(NSObjectValueForKeyPath(outer, "inner.view.tag"), NSNumber::numberWithInteger(0)));
    EXPECT_TRUE(NSObjectSetValueForKeyPath(outer, NSNumber::numberWithInteger(9), "inner.view.tag"));
    EXPECT_EQ(view->tag(), 9);
    EXPECT_TRUE(NSObjectSetValueForKeyPath(outer, NSStr("x"), "inner.note"));
    EXPECT_TRUE(NSObjectsEqual(inner->objectForKey("note"), NSStr("x")));
    // A nil step or an unsupported key stops the walk.
    EXPECT_FALSE(NSObjectSetValueForKeyPath(outer, NSStr("x"), "missing.view.tag"));
    EXPECT_FALSE(NSObjectSetValueForKeyPath(NSStr("plain"), NSStr("x"), "length"));
    EXPECT_EQ(NSObjectValueForKeyPath(outer, "inner.view.nothing"), nullptr);
    EXPECT_EQ(NSObjectValueForKeyPath(nullptr, "a.b"), nullptr);

    // Geometry crosses as boxed values.
    EXPECT_TRUE(view->setValue(NSValue::valueWithCGRect(CGRectMake(5, 5, 10, 10)), "frame"));
    EXPECT_TRUE(CGRectEqualToRect(view->frame(), CGRectMake(5, 5, 10, 10)));
    const auto center = std::dynamic_pointer_cast<NSValue>(view->valueForKey("center"));
    ASSERT_NE(center, nullptr);
    EXPECT_EQ(center->CGPointValue(), CGPointMake(10, 10));

    view->setValuesForKeysWithDictionary(NSDictionary::dictionaryWithEntries(
        {{"hidden", NSNumber::numberWithBool(true)}, {"alpha", NSStr("0.5")}}));
    EXPECT_TRUE(view->isHidden());
    EXPECT_EQ(view->alpha(), 0.5);
}

TEST(CoderTest, GeometryReadsFromStringsArraysAndValues) {
    auto coder = coderFor({
        {"rect", NSStr("{{1.5, -2}, {30, 40}}")},
        {"size", NSStr("{3, 4}")},
        {"point", NSArray::arrayWithObjects({NSNumber::numberWithDouble(7), NSNumber::numberWithDouble(8)})},
        {"boxed", NSValue::valueWithCGSize(CGSizeMake(9, 10))},
        {"short", NSStr("{1, 2, 3}")},
        {"nan", NSStr("{{nan, 0}, {1, 1}}")},
        {"count", NSStr("12 apples")},
        {"flag", NSStr("YES")},
    });
    ASSERT_NE(coder, nullptr);
    EXPECT_TRUE(CGRectEqualToRect(coder->decodeCGRectForKey("rect"), CGRectMake(1.5, -2, 30, 40)));
    EXPECT_EQ(coder->decodeCGSizeForKey("size"), CGSizeMake(3, 4));
    EXPECT_EQ(coder->decodeCGPointForKey("point"), CGPointMake(7, 8));
    EXPECT_EQ(coder->decodeCGSizeForKey("boxed"), CGSizeMake(9, 10));
    EXPECT_TRUE(CGRectEqualToRect(coder->decodeCGRectForKey("short"), CGRectZero));
    EXPECT_TRUE(CGRectEqualToRect(coder->decodeCGRectForKey("nan"), CGRectZero));
    EXPECT_TRUE(CGRectEqualToRect(coder->decodeCGRectForKey("missing"), CGRectZero));
    EXPECT_EQ(coder->decodeIntegerForKey("count"), 12);
    EXPECT_TRUE(coder->decodeBoolForKey("flag"));
    EXPECT_FALSE(coder->decodeBoolForKey("missing"));
    EXPECT_TRUE(coder->containsValueForKey("rect"));
    EXPECT_FALSE(coder->containsValueForKey("missing"));
    EXPECT_EQ(alloc<NSCoder>()->initForReadingWithDictionary(nullptr), nullptr);
}

TEST(CoderTest, NestedDictionariesDecodeAsObjects) {
    auto coder = coderFor({
        {"color", NSDictionary::dictionaryWithEntries(
                      {{"red", NSNumber::numberWithDouble(2)}, {"blue", NSNumber::numberWithDouble(0.5)}})},
        {"font", NSDictionary::dictionaryWithEntries(
                     {{"name", NSStr("DejaVu Serif Bold")}, {"size", NSNumber::numberWithDouble(-1)}})},
        {"notADictionary", NSStr("white")},
    });
    const auto color = coder->decodeObjectOfClass<UIColor>("color");
    ASSERT_NE(color, nullptr);
    EXPECT_TRUE(NSObjectsEqual(color, UIColor::colorWithRed(1, 0, 0.5, 1))); // clamped, alpha 1
    const auto font = coder->decodeObjectOfClass<UIFont>("font");
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(font->family(), "DejaVu Serif");
    EXPECT_TRUE(font->isBold());
    EXPECT_EQ(font->pointSize(), 12); // an unusable size falls back
    EXPECT_EQ(coder->decodeObjectOfClass<UIColor>("notADictionary"), nullptr);
    EXPECT_EQ(coder->decodeObjectOfClass<UIColor>("missing"), nullptr);
}

TEST(ColorAndFontTest, NamedColoursHaveThePlatformsValues) {
    CGFloat red, green, blue, alpha;
    UIColor::clearColor()->getRed(&red, &green, &blue, &alpha);
    EXPECT_EQ(std::make_tuple(red, green, blue, alpha), std::make_tuple(0.0, 0.0, 0.0, 0.0));
    EXPECT_TRUE(NSObjectsEqual(UIColor::grayColor(), UIColor::colorWithWhite(0.5, 1)));
    EXPECT_TRUE(NSObjectsEqual(UIColor::whiteColor(), UIColor::colorWithRed(1, 1, 1, 1)));
    EXPECT_FALSE(NSObjectsEqual(UIColor::blackColor(), UIColor::clearColor()));
    const auto cgColor = UIColor::grayColor()->CGColor();
    EXPECT_EQ(cgColor->red(), 0.5);
    EXPECT_EQ(cgColor->alpha(), 1);
    EXPECT_TRUE(NSObjectsEqual(UIColor::blackColor()->colorWithAlphaComponent(0.25),
                               UIColor::colorWithWhite(0, 0.25)));
    EXPECT_EQ(UIColor::whiteColor()->description(), "UIDeviceRGBColorSpace 1 1 1 1");
}

TEST(ColorAndFontTest, FontsAreEqualByFamilyWeightAndSize) {
    EXPECT_TRUE(NSObjectsEqual(UIFont::systemFontOfSize(16), UIFont::systemFontOfSize(16)));
    EXPECT_EQ(UIFont::systemFontOfSize(16)->hash(), UIFont::systemFontOfSize(16)->hash());
    EXPECT_FALSE(NSObjectsEqual(UIFont::systemFontOfSize(16), UIFont::systemFontOfSize(8)));
    EXPECT_FALSE(NSObjectsEqual(UIFont::systemFontOfSize(16), UIFont::boldSystemFontOfSize(16)));
    EXPECT_TRUE(NSObjectsEqual(UIFont::fontWithName(NSStr("DejaVu Sans"), 16), UIFont::systemFontOfSize(16)));
    EXPECT_TRUE(NSObjectsEqual(UIFont::fontWithName(NSStr("DejaVu Sans Bold"), 16),
                               UIFont::boldSystemFontOfSize(16)));
    EXPECT_EQ(UIFont::systemFontOfSize(16)->familyName()->UTF8String(), "DejaVu Sans");
    EXPECT_EQ(UIFont::fontWithName(nullptr, 16), nullptr);
    EXPECT_EQ(UIFont::fontWithName(NSStr("DejaVu Sans"), 0), nullptr);
    EXPECT_EQ(UIFont::systemFontOfSize(NAN)->pointSize(), 12);
    EXPECT_TRUE(NSObjectsEqual(UIFont::systemFontOfSize(16)->fontWithSize(8), UIFont::systemFontOfSize(8)));
}

} // namespace
