#include <gtest/gtest.h>

#include <cmath>

#include "Foundation/NSCollections.h"
#include "Foundation/NSNumber.h"
#include "Foundation/NSString.h"

namespace {

std::string format(std::string_view text, const auto&... arguments) {
    return NSString::stringWithFormat(text, arguments...)->UTF8String();
}

class Named : public NSObject {
public:
    std::string description() const override { return "Named"; }
};

TEST(StringFormatTest, ObjectsAndNil) {
    const Ptr<NSString> nothing;
    EXPECT_EQ(format("%@ - %@", NSStr("Song"), NSStr("Band")), "Song - Band");
    EXPECT_EQ(format("%@ - %@", NSStr("Song"), nothing), "Song - (null)");
    EXPECT_EQ(format("%@ - %@", NSStr("Song"), NSStr("")), "Song - ");
    EXPECT_EQ(format("%@", nullptr), "(null)");
    EXPECT_EQ(format("%@"), "(null)");
    EXPECT_EQ(
        format("#np %@ %@via Trillbox", NSStr("Song"), NSString::stringWithFormat("by %@ ", NSStr("Band"))),
        "#np Song by Band via Trillbox");
    EXPECT_EQ(format("#np %@ %@via Trillbox", NSStr("Song"), " "), "#np Song  via Trillbox");
    EXPECT_EQ(format("********************* [Trillbox] nowPlayingApplication -> %@", nothing),
              "********************* [Trillbox] nowPlayingApplication -> (null)");
    EXPECT_EQ(format("%@", alloc<Named>()), "Named");
    EXPECT_EQ(format("%@", NSNumber::numberWithInteger(42)), "42");
    EXPECT_EQ(format("[%-6@]", NSStr("ab")), "[ab    ]");
}

TEST(StringFormatTest, IntegersFollowCPrintf) {
    EXPECT_EQ(format("%.2d:%.2d", 1, 5), "01:05");
    EXPECT_EQ(format("%.2d:%.2d", 0, 0), "00:00");
    EXPECT_EQ(format("%.2d", -1), "-01");
    EXPECT_EQ(format("%.2d:%.2d", -1, -5), "-01:-05");
    EXPECT_EQ(format("%.2d", 123), "123");
    EXPECT_EQ(format("tag >= %i", 700), "tag >= 700");
    EXPECT_EQ(format("%ld|%lld|%zu", NSInteger{-7}, 1LL << 40, std::size_t{9}), "-7|1099511627776|9");
    EXPECT_EQ(format("%5d|%-5d|%05d", 42, 42, 42), "   42|42   |00042");
    EXPECT_EQ(format("%x %X %o", 255, 255, 8), "ff FF 10");
    // A negative int printed unsigned shows its 32 bits, with l its 64.
    EXPECT_EQ(format("%u %x", -1, -1), "4294967295 ffffffff");
    EXPECT_EQ(format("%lx", NSInteger{-1}), "ffffffffffffffff");
    // Doubles given to %d truncate toward zero and saturate instead of misbehaving.
    EXPECT_EQ(format("%d %d", 59.9, -65.5), "59 -65");
    EXPECT_EQ(format("%d", 1e300), "9223372036854775807");
    EXPECT_EQ(format("%d", std::nan("")), "0");
    EXPECT_EQ(format("%d"), "0");
}

TEST(StringFormatTest, FloatsStringsAndLiterals) {
    EXPECT_EQ(format("%.1f%%", 12.345), "12.3%");
    EXPECT_EQ(format("%g %e", 0.5, 1000.0), "0.5 1.000000e+03");
    EXPECT_EQ(format("%s|%s", "text", static_cast<const char*>(nullptr)), "text|(null)");
    EXPECT_EQ(format("%c", 'x'), "x");
    // Width and precision from the argument list.
    EXPECT_EQ(format("[%*d] [%.*f]", 4, 7, 2, 3.14159), "[   7] [3.14]");
    // Unknown conversions are written as they stand and consume nothing.
    EXPECT_EQ(format("100%! %d", 5), "100%! 5");
    EXPECT_EQ(format("trailing %"), "trailing %");
    // No length limit on the result.
    const std::string longText(5000, 'a');
    EXPECT_EQ(format("<%s>", longText.c_str()).size(), 5002u);
    EXPECT_EQ(format("%@", NSStr(longText)).size(), 5000u);
    EXPECT_EQ(format("%600d", 1).size(), 600u);
}

TEST(StringTest, NumericReadingsOfStrings) {
    EXPECT_TRUE(NSStr("YES")->boolValue());
    EXPECT_TRUE(NSStr("  true")->boolValue());
    EXPECT_TRUE(NSStr("-0003")->boolValue());
    EXPECT_FALSE(NSStr("0")->boolValue());
    EXPECT_FALSE(NSStr("NO")->boolValue());
    EXPECT_FALSE(NSStr("false")->boolValue());
    EXPECT_FALSE(NSStr("")->boolValue());
    EXPECT_FLOAT_EQ(NSStr(" 12.5pt")->floatValue(), 12.5f);
    EXPECT_DOUBLE_EQ(NSStr("-.5e1")->doubleValue(), -5.0);
    EXPECT_DOUBLE_EQ(NSStr("abc")->doubleValue(), 0.0);
    // Decimal only: no hexadecimal, infinity or NaN.
    EXPECT_DOUBLE_EQ(NSStr("0x10")->doubleValue(), 0.0);
    EXPECT_DOUBLE_EQ(NSStr("inf")->doubleValue(), 0.0);
    EXPECT_DOUBLE_EQ(NSStr("1e")->doubleValue(), 1.0);
    EXPECT_EQ(NSStr("42 apples")->integerValue(), 42);
    EXPECT_EQ(NSStr("12.9")->integerValue(), 12);
    EXPECT_EQ(NSStr("x1")->integerValue(), 0);
    EXPECT_EQ(NSStr("99999999999999999999")->integerValue(), INT64_MAX);
    EXPECT_EQ(NSStr("99999999999")->intValue(), INT32_MAX);
    EXPECT_EQ(NSStr("-99999999999")->intValue(), INT32_MIN);
}

TEST(StringTest, LengthCountsUtf16Units) {
    EXPECT_EQ(NSStr("")->length(), 0u);
    EXPECT_EQ(NSStr("Song")->length(), 4u);
    EXPECT_EQ(NSStr("Café")->length(), 4u);
    EXPECT_EQ(NSStr("♫")->length(), 1u);
    EXPECT_EQ(NSStr("🎵")->length(), 2u);
}

TEST(StringTest, EqualityIsByValue) {
    EXPECT_TRUE(NSStr("volume")->isEqualToString(NSStr("volume")));
    EXPECT_FALSE(NSStr("volume")->isEqualToString(NSStr("Volume")));
    EXPECT_FALSE(NSStr("volume")->isEqualToString(nullptr));
    EXPECT_TRUE(NSObjectsEqual(NSStr("a"), NSStr("a")));
    EXPECT_FALSE(NSObjectsEqual(NSStr("1"), NSNumber::numberWithInteger(1)));
    EXPECT_EQ(NSStr("a")->hash(), NSStr("a")->hash());
    EXPECT_EQ(NSStringText(nullptr), "");
}

} // namespace
