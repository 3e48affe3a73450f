#include <gtest/gtest.h>

#include <cmath>

#include "Foundation/NSCollections.h"
#include "Foundation/NSData.h"
#include "Foundation/NSNumber.h"

namespace {

TEST(NumberTest, ReadingsConvertAsThePlatformDoes) {
    EXPECT_TRUE(NSNumber::numberWithInteger(-3)->boolValue());
    EXPECT_FALSE(NSNumber::numberWithDouble(0.0)->boolValue());
    EXPECT_TRUE(NSNumber::numberWithDouble(0.25)->boolValue());
    EXPECT_EQ(NSNumber::numberWithBool(true)->integerValue(), 1);
    EXPECT_EQ(NSNumber::numberWithDouble(-65.9)->integerValue(), -65);
    EXPECT_EQ(NSNumber::numberWithDouble(1e300)->integerValue(), INT64_MAX);
    EXPECT_EQ(NSNumber::numberWithDouble(std::nan(""))->integerValue(), 0);
    EXPECT_FLOAT_EQ(NSNumber::numberWithInteger(12)->floatValue(), 12.0f);
    // The free readings take strings as well, and anything else as zero.
    EXPECT_TRUE(NSBoolValue(NSStr("YES")));
    EXPECT_FALSE(NSBoolValue(NSStr("no")));
    EXPECT_FALSE(NSBoolValue(nullptr));
    EXPECT_FALSE(NSBoolValue(NSArray::array()));
    EXPECT_FLOAT_EQ(NSFloatValue(NSStr("12")), 12.0f);
    EXPECT_EQ(NSIntegerValue(NSStr("-4")), -4);
    EXPECT_DOUBLE_EQ(NSDoubleValue(NSNumber::numberWithBool(true)), 1.0);
}

TEST(NumberTest, EqualityAndDescription) {
    EXPECT_TRUE(NSObjectsEqual(NSNumber::numberWithInteger(1), NSNumber::numberWithDouble(1.0)));
    EXPECT_TRUE(NSObjectsEqual(NSNumber::numberWithBool(true), NSNumber::numberWithInteger(1)));
    EXPECT_FALSE(
        NSObjectsEqual(NSNumber::numberWithInteger(INT64_MAX), NSNumber::numberWithInteger(INT64_MAX - 1)));
    EXPECT_EQ(NSNumber::numberWithInteger(1)->hash(), NSNumber::numberWithDouble(1.0)->hash());
    EXPECT_EQ(NSNumber::numberWithDouble(0.1)->description(), "0.1");
    EXPECT_EQ(NSNumber::numberWithDouble(3.0)->description(), "3");
    EXPECT_EQ(NSNumber::numberWithDouble(-2.5)->description(), "-2.5");
    EXPECT_EQ(NSNumber::numberWithInteger(-5)->description(), "-5");
    EXPECT_EQ(NSNumber::numberWithBool(false)->description(), "0");
}

TEST(ValueTest, GeometryValuesCompareTheirFields) {
    const auto size = NSValue::valueWithCGSize(CGSizeMake(0, -1));
    EXPECT_TRUE(NSObjectsEqual(size, NSValue::valueWithCGSize(CGSizeMake(0, -1))));
    EXPECT_FALSE(NSObjectsEqual(size, NSValue::valueWithCGSize(CGSizeMake(0, 1))));
    // Same numbers, different kinds.
    EXPECT_FALSE(NSObjectsEqual(NSValue::valueWithCGPoint(CGPointMake(1, 2)),
                                NSValue::valueWithCGSize(CGSizeMake(1, 2))));
    // A rectangle of negative size is not the same value as its standardised form.
    EXPECT_FALSE(NSObjectsEqual(NSValue::valueWithCGRect(CGRectMake(10, 0, -5, 1)),
                                NSValue::valueWithCGRect(CGRectMake(5, 0, 5, 1))));
    EXPECT_EQ(size->CGSizeValue(), CGSizeMake(0, -1));
    EXPECT_EQ(size->description(), "NSSize: {0, -1}");
}

TEST(CollectionTest, ArraysAndDictionariesCompareByContents) {
    const auto array = NSArray::arrayWithObjects({NSStr("a"), nullptr, NSNumber::numberWithInteger(2)});
    EXPECT_EQ(array->count(), 2u);
    EXPECT_EQ(array->objectAtIndex(5), nullptr);
    EXPECT_TRUE(array->containsObject(NSNumber::numberWithDouble(2.0)));
    EXPECT_TRUE(
        NSObjectsEqual(array, NSArray::arrayWithObjects({NSStr("a"), NSNumber::numberWithInteger(2)})));
    EXPECT_FALSE(
        NSObjectsEqual(array, NSArray::arrayWithObjects({NSNumber::numberWithInteger(2), NSStr("a")})));

    const auto dictionary = NSDictionary::dictionaryWithEntries(
        {{"title", NSStr("Song")}, {"artist", nullptr}, {"title", NSStr("Later")}});
    EXPECT_EQ(dictionary->count(), 1u);
    EXPECT_TRUE(NSObjectsEqual(dictionary->objectForKey("title"), NSStr("Later")));
    EXPECT_EQ(dictionary->objectForKey("artist"), nullptr);
    EXPECT_EQ(dictionary->objectForKey(Ptr<NSString>()), nullptr);
    // Order does not matter for equality.
    const auto one = NSDictionary::dictionaryWithEntries({{"a", NSStr("1")}, {"b", NSStr("2")}});
    const auto other = NSDictionary::dictionaryWithEntries({{"b", NSStr("2")}, {"a", NSStr("1")}});
    EXPECT_TRUE(NSObjectsEqual(one, other));
    EXPECT_FALSE(NSObjectsEqual(one, NSDictionary::dictionaryWithObject(NSStr("1"), "a")));
    EXPECT_TRUE(NSObjectsEqual(one->allKeys(), NSArray::arrayWithObjects({NSStr("a"), NSStr("b")})));
    EXPECT_EQ(NSDictionary::dictionaryWithObject(nullptr, "controller")->count(), 0u);

    auto mutableCopy = NSMutableDictionary::dictionaryWithDictionary(one);
    mutableCopy->setObject(NSStr("3"), "c");
    mutableCopy->setObject(nullptr, "a");
    EXPECT_EQ(one->count(), 2u);
    EXPECT_TRUE(NSObjectsEqual(mutableCopy,
                               NSDictionary::dictionaryWithEntries({{"b", NSStr("2")}, {"c", NSStr("3")}})));

    const auto set = NSSet::setWithObjects({NSStr("x"), NSStr("x"), NSStr("y")});
    EXPECT_EQ(set->count(), 2u);
    EXPECT_TRUE(NSObjectsEqual(set, NSSet::setWithObjects({NSStr("y"), NSStr("x")})));
}

TEST(DataTest, BytesEqualityAndDescription) {
    const std::uint8_t bytes[] = {0x01, 0x02, 0xab, 0xff, 0x10};
    const auto data = NSData::dataWithBytes(bytes, sizeof bytes);
    EXPECT_EQ(data->length(), 5u);
    EXPECT_TRUE(NSObjectsEqual(data, NSData::dataWithVector({0x01, 0x02, 0xab, 0xff, 0x10})));
    EXPECT_FALSE(NSObjectsEqual(data, NSData::data()));
    EXPECT_EQ(data->description(), "<0102abff 10>");
    EXPECT_EQ(NSData::dataWithBytes(nullptr, 4)->length(), 0u);
}

} // namespace
