#include "marquee/MarqueeTestSupport.h"

namespace {

using GeometryTest = MarqueeTest;

// A 300-point label with fades of 20: one fade counts, two for the continuous left
// type, which shows its copy after the text.
TEST_F(GeometryTest, TextScrollsOnlyWhenItAndItsFadesDoNotFit) {
    const struct {
        int textWidth; // -1: no text
        NSUInteger type;
        bool labelize;
        bool scrolls;
    } cases[]{
        {290, 0, false, true},  {290, 1, false, true},  {290, 3, false, true}, {290, 2, false, true},
        {270, 0, false, false}, {270, 3, false, false}, {270, 2, false, true}, {280, 0, false, false},
        {5000, 2, true, false}, {0, 2, false, false},   {-1, 2, false, false},
    };
    for (const auto& test : cases) {
        auto label = makeLabel(test.type, CGRectMake(0, 0, 300, 20));
        label->setText(test.textWidth < 0 ? nullptr : textOfWidth(test.textWidth));
        label->setLabelize(test.labelize);
        EXPECT_EQ(label->labelShouldScroll(), test.scrolls) << test.textWidth << " type " << test.type;
    }
}

TEST_F(GeometryTest, ANewOriginNeitherRemasksNorRestarts) {
    auto label = showLabel(MarqueeTypeLeftAndBack);
    const auto mask = label->layer()->mask();
    advance(2.4);
    label->setBounds(CGRectMake(7, 3, 200, 20));
    EXPECT_EQ(label->layer()->mask(), mask);
    expectTimeline(label, {{0, -50}});
}

} // namespace
