#include <gtest/gtest.h>

#include <cmath>

#include "Foundation/NSCollections.h"
#include "Foundation/NSNumber.h"
#include "Foundation/NSString.h"

namespace {

std::string format(std::string_view text, const auto&... arguments) {
    return NSString::stringWithFormat(text, arguments...)->UTF8String();
}

TEST(StringFormatTest, FormatsLikeCPrintfAndSurvivesWhatCPrintfWouldNot) {
    const std::pair<std::string, std::string> cases[] = {
        {format("%@ - %@", NSStr("Song"), Ptr<NSString>()), "Song - (null)"},
        {format("%@|%@", NSNumber::numberWithInteger(42), NSStr("")), "42|"},
        {format("[%-6@]", NSStr("ab")), "[ab    ]"},
        {format("%.2d:%.2d", -1, -5), "-01:-05"},
        {format("%ld [%*d] [%.*f]", NSInteger{-7}, 4, 7, 2, 3.14159), "-7 [   7] [3.14]"},
        // Doubles given to %d truncate toward zero and saturate.
        {format("%d %d %d %d", 59.9, -65.5, 1e300, std::nan("")), "59 -65 9223372036854775807 0"},
        // Missing arguments, nil C strings and unknown conversions.
        {format("%@ %d %s", Ptr<NSString>(), 1, static_cast<const char*>(nullptr)), "(null) 1 (null)"},
        {format("%@ %d"), "(null) 0"},
        {format("100%! %d, trailing %", 5), "100%! 5, trailing %"},
        // No length limit on the result.
        {format("%600d", 1), std::string(599, ' ') + "1"},
        {format("%@", NSStr(std::string(5000, 'a'))), std::string(5000, 'a')},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        EXPECT_EQ(cases[i].first, cases[i].second) << "case " << i;
    }
}

TEST(ValueTest, ReadingsOfStringsAndNumbers) {
    const struct {
        Ptr<NSObject> value;
        bool boolean;
        NSInteger integer;
        double real;
    } cases[] = {
        {NSStr("YES"), true, 0, 0},
        {NSStr("no"), false, 0, 0},
        {NSStr("-0003"), true, -3, -3},
        {NSStr(" 12.5pt"), true, 12, 12.5},
        // Decimal only: no hexadecimal, infinity or NaN.
        {NSStr("0x10"), false, 0, 0},
        {NSStr("inf"), false, 0, 0},
        {NSStr("99999999999999999999"), true, INT64_MAX, 1e20},
        {NSNumber::numberWithDouble(-65.9), true, -65, -65.9},
        {NSNumber::numberWithDouble(1e300), true, INT64_MAX, 1e300},
        {nullptr, false, 0, 0},
        {NSArray::array(), false, 0, 0},
    };
    for (const auto& [value, boolean, integer, real] : cases) {
        SCOPED_TRACE(value ? value->description() : "nil");
        EXPECT_EQ(NSBoolValue(value), boolean);
        EXPECT_EQ(NSIntegerValue(value), integer);
        EXPECT_DOUBLE_EQ(NSDoubleValue(value), real);
    }
    EXPECT_EQ(NSNumber::numberWithDouble(std::nan(""))->integerValue(), 0);
    // Equality compares integers exactly, not through doubles.
    EXPECT_FALSE(
        NSObjectsEqual(NSNumber::numberWithInteger(INT64_MAX), NSNumber::numberWithInteger(INT64_MAX - 1)));
}

} // namespace
