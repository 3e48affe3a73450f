// Labels draw the text their measurement promised, and a label that shows its text
// through a sublabel draws nothing of its own.
#include "RenderTestSupport.h"
#include "UIKit/UIFont.h"
#include "UIKit/UILabel.h"

namespace {

Ptr<UILabel> makeLabel(const char* text, CGRect frame) {
    auto label = alloc<UILabel>()->initWithFrame(frame);
    label->setText(NSStr(text));
    label->setFont(UIFont::systemFontOfSize(16));
    return label;
}

// Reports the background and text of its sublabel as its own, as a scrolling label does.
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
    void drawRect(CGRect) override {}
    Ptr<UILabel> _inner;
};

using TextDrawingTest = RenderTest;

TEST_F(TextDrawingTest, LabelSizedToItsMeasuredWidthDrawsTheWholeTextAtEveryScale) {
    auto label = makeLabel("Song Title - Artist", CGRectZero);
    label->sizeToFit();
    // With room to spare, nothing is cut: a tail-truncating label must draw the same.
    auto roomy = makeLabel("Song Title - Artist", label->frame());
    roomy->setLineBreakMode(NSLineBreakByClipping);
    for (double scale : {1.0, 2.0, 3.0}) {
        EXPECT_TRUE(samePixels(render::snapshot(label, scale), render::snapshot(roomy, scale))) << scale;
    }
    // One point narrower, the text is cut short with an ellipsis.
    const CGSize measured = label->frame().size;
    label->setFrame(CGRectMake(0, 0, measured.width - 1, measured.height));
    roomy->setFrame(label->frame());
    EXPECT_FALSE(samePixels(render::snapshot(label, 2), render::snapshot(roomy, 2)));
}

TEST_F(TextDrawingTest, ViewThatDrawsNothingShowsOnlyItsSubviews) {
    auto outer = alloc<ForwardingLabel>()->initWithFrame(CGRectMake(0, 0, 80, 20));
    // Neither the background its getter reports nor the text a second time.
    EXPECT_TRUE(samePixels(render::snapshot(outer, 1), render::snapshot(outer->_inner, 1)));
}

} // namespace
