// Labels: text drawn with the measurement's settings, alignment, colour and shadow,
// and a label subclass that leaves its text to its subviews.
#include "RenderTestSupport.h"
#include "UIKit/UIColor.h"
#include "UIKit/UIFont.h"
#include "UIKit/UILabel.h"

namespace {

// The columns that hold any ink: [first, last], or (-1, -1) for none.
std::pair<int, int> inkColumns(const UICairoSurface& surface) {
    int first = -1;
    int last = -1;
    const int width = cairo_image_surface_get_width(surface.get());
    const int height = cairo_image_surface_get_height(surface.get());
    for (int x = 0; x < width; ++x) {
        for (int y = 0; y < height; ++y) {
            if (pixelAt(surface, x, y).alpha > 0) {
                first = first < 0 ? x : first;
                last = x;
                break;
            }
        }
    }
    return {first, last};
}

bool isBlank(const UICairoSurface& surface) {
    return inkColumns(surface).first < 0;
}

Ptr<UILabel> makeLabel(const char* text, CGRect frame) {
    auto label = alloc<UILabel>()->initWithFrame(frame);
    label->setText(NSStr(text));
    label->setFont(UIFont::systemFontOfSize(16));
    return label;
}

// A label that shows its text through a sublabel and reports the sublabel's
// properties as its own, as a scrolling label does.
class ForwardingLabel : public UILabel {
public:
    Ptr<ForwardingLabel> initWithFrame(CGRect frame) {
        UILabel::initWithFrame(frame);
        _inner = makeLabel("Inner", CGRectMake(0, 0, frame.size.width, frame.size.height));
        addSubview(_inner);
        return self<ForwardingLabel>();
    }
    Ptr<NSString> text() const override { return _inner->text(); }
    Ptr<UIColor> backgroundColor() const override { return UIColor::colorWithRed(1, 0, 0, 1); }
    void drawRect(CGRect rect) override {}
    Ptr<UILabel> _inner;
};

using TextDrawingTest = RenderTest;

TEST_F(TextDrawingTest, AlignmentColourAndShadowMatchStoredImage) {
    auto canvas = alloc<UIView>()->initWithFrame(CGRectMake(0, 0, 160, 84));
    canvas->setBackgroundColor(UIColor::whiteColor());
    const NSTextAlignment alignments[] = {NSTextAlignmentLeft, NSTextAlignmentCenter, NSTextAlignmentRight};
    for (int row = 0; row < 3; ++row) {
        auto label = makeLabel("Song - Artist", CGRectMake(4, 4 + 20 * row, 152, 18));
        label->setTextAlignment(alignments[row]);
        label->setTextColor(UIColor::colorWithRed(0.1, 0.2, 0.6, 1));
        canvas->addSubview(label);
    }
    auto shadowed = makeLabel("Shadowed and truncated text", CGRectMake(4, 64, 152, 18));
    shadowed->setTextColor(UIColor::whiteColor());
    shadowed->setShadowColor(UIColor::blackColor());
    shadowed->setShadowOffset(CGSizeMake(1, 1));
    canvas->addSubview(shadowed);
    EXPECT_TRUE(matchesGolden(render::snapshot(canvas, 2), "label-alignment-shadow"));
}

TEST_F(TextDrawingTest, MeasuredWidthIsDrawnWidthAtEveryScale) {
    auto label = makeLabel("Song Title - Artist", CGRectZero);
    label->sizeToFit();
    const CGSize measured = label->frame().size;
    ASSERT_GT(measured.width, 100);
    // Sized to its measured width, a tail-truncating label draws the whole text: the
    // same pixels as with room to spare.
    auto roomy = makeLabel("Song Title - Artist", CGRectMake(0, 0, measured.width, measured.height));
    roomy->setLineBreakMode(NSLineBreakByClipping);
    for (double scale : {1.0, 2.0, 3.0}) {
        const auto exact = render::snapshot(label, scale);
        EXPECT_TRUE(samePixels(exact, render::snapshot(roomy, scale))) << scale;
        const auto [first, last] = inkColumns(exact);
        EXPECT_LE(first, static_cast<int>(2 * scale)) << scale;
        // The last glyph's ink ends close to the measured advance.
        EXPECT_GE(last, static_cast<int>((measured.width - 3) * scale)) << scale;
    }

    // One point narrower, the text no longer fits and is cut short with an ellipsis.
    label->setFrame(CGRectMake(0, 0, measured.width - 1, measured.height));
    roomy->setFrame(label->frame());
    EXPECT_FALSE(samePixels(render::snapshot(label, 2), render::snapshot(roomy, 2)));
}

TEST_F(TextDrawingTest, WrappedLinesStopAtTheLineLimitAndTheBoundsHeight) {
    auto canvas = alloc<UIView>()->initWithFrame(CGRectMake(0, 0, 150, 44));
    canvas->setBackgroundColor(UIColor::whiteColor());
    auto wrapped = makeLabel("one two three four five six seven eight nine", CGRectMake(2, 2, 70, 40));
    wrapped->setNumberOfLines(0);
    wrapped->setLineBreakMode(NSLineBreakByWordWrapping);
    canvas->addSubview(wrapped);
    auto limited = makeLabel("one two three four five six seven eight nine", CGRectMake(78, 2, 70, 40));
    limited->setNumberOfLines(1);
    limited->setLineBreakMode(NSLineBreakByWordWrapping);
    canvas->addSubview(limited);
    EXPECT_TRUE(matchesGolden(render::snapshot(canvas, 2), "label-wrapping"));
    // Two 16-point lines fit in 40 points: the wrapped label is as high as they are.
    const CGSize twoLines = wrapped->sizeThatFits(CGSizeMake(70, 40));
    wrapped->setBackgroundColor(nullptr);
    canvas->setBackgroundColor(nullptr);
    limited->setHidden(true);
    const auto drawn = render::snapshot(canvas, 1);
    int top = -1;
    int bottom = -1;
    for (int y = 0; y < 44; ++y) {
        for (int x = 0; x < 150; ++x) {
            if (pixelAt(drawn, x, y).alpha > 0) {
                top = top < 0 ? y : top;
                bottom = y;
                break;
            }
        }
    }
    EXPECT_NEAR(bottom - top, twoLines.height, 8);
    EXPECT_GT(bottom - top, twoLines.height / 2 + 4) << "more than one line drawn";
}

TEST_F(TextDrawingTest, LabelWithoutTextOrSizeDrawsNothing) {
    auto label = makeLabel("", CGRectMake(0, 0, 50, 20));
    EXPECT_TRUE(isBlank(render::snapshot(label, 1)));
    label->setText(nullptr);
    EXPECT_TRUE(isBlank(render::snapshot(label, 1)));
    label->setText(NSStr("Text"));
    label->setTextColor(UIColor::clearColor());
    EXPECT_TRUE(isBlank(render::snapshot(label, 1)));
}

TEST_F(TextDrawingTest, TextThatIsNotUTF8StillDraws) {
    auto label = makeLabel("", CGRectMake(0, 0, 80, 20));
    label->setText(NSStr(std::string_view("Bad \xff\xfe bytes", 12)));
    EXPECT_FALSE(isBlank(render::snapshot(label, 1)));
}

TEST_F(TextDrawingTest, ViewThatDrawsNothingShowsOnlyItsSubviews) {
    auto outer = alloc<ForwardingLabel>()->initWithFrame(CGRectMake(0, 0, 80, 20));
    const auto drawn = render::snapshot(outer, 1);
    // The outer view neither paints the background its getter reports nor draws the
    // text a second time: the only ink is the sublabel's, on a transparent ground.
    EXPECT_EQ(pixelAt(drawn, 79, 0).alpha, 0);
    EXPECT_TRUE(samePixels(drawn, render::snapshot(outer->_inner, 1)));
}

} // namespace
