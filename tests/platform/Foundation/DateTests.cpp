#include <gtest/gtest.h>

#include <ctime>

#include "Foundation/NSDate.h"
#include "support/TestSupport.h"

namespace {

class DateTest : public PlatformTest {};

TEST_F(DateTest, WallClockCountsFromTheReferenceDate) {
    const double expected = static_cast<double>(std::time(nullptr)) - 978307200.0;
    const double interval = NSDate::timeIntervalSinceReferenceDate();
    EXPECT_NEAR(interval, expected, 5.0);
    // Not the run loop's clock, which this fixture holds at 0.
    EXPECT_GT(interval, 7e8);
    advance(100);
    EXPECT_NEAR(NSDate::timeIntervalSinceReferenceDate(), expected, 5.0);
}

TEST_F(DateTest, AWallClockOfItsOwnGivesFixedDates) {
    auto wall = std::make_shared<ManualClock>(NanosecondsFromSeconds(86400.5));
    NSDate::setClock(wall);
    EXPECT_DOUBLE_EQ(NSDate::timeIntervalSinceReferenceDate(), 86400.5);
    const auto date = NSDate::date();
    EXPECT_EQ(date->description(), "2001-01-02 00:00:00 +0000");
    EXPECT_DOUBLE_EQ(date->timeIntervalSince1970(), 978307200.0 + 86400.5);
    wall->set(NanosecondsFromSeconds(86410.5));
    EXPECT_DOUBLE_EQ(NSDate::date()->timeIntervalSinceDate(date), 10.0);
    NSDate::setClock(nullptr);
    EXPECT_GT(NSDate::timeIntervalSinceReferenceDate(), 7e8);
}

TEST_F(DateTest, DatesCompareByTime) {
    const auto reference = NSDate::dateWithTimeIntervalSinceReferenceDate(0);
    EXPECT_EQ(reference->description(), "2001-01-01 00:00:00 +0000");
    EXPECT_TRUE(NSObjectsEqual(reference, NSDate::dateWithTimeIntervalSince1970(978307200.0)));
    EXPECT_FALSE(NSObjectsEqual(reference, reference->dateByAddingTimeInterval(1)));
    EXPECT_EQ(NSDate::dateWithTimeIntervalSinceReferenceDate(-1)->description(), "2000-12-31 23:59:59 +0000");
    EXPECT_EQ(NSDate::dateWithTimeIntervalSinceReferenceDate(1e300)->description(), "(invalid date)");
    EXPECT_EQ(reference->timeIntervalSinceDate(nullptr), 0);
}

} // namespace
