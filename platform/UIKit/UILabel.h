#pragma once

#include "UIKit/NSStringDrawing.h"
#include "UIKit/UIColor.h"
#include "UIKit/UIFont.h"
#include "UIKit/UITextLayout.h"
#include "UIKit/UIView.h"

// A view that shows one or more lines of read-only text.
//
// Defaults, as the platform has them: system font of size 17, black text, no
// background colour, no shadow colour, shadow offset (0, -1), alignment left (0),
// line break mode truncate tail (4), one line, enabled, not highlighted, baseline
// adjustment align baselines (0), user interaction off. The text is centred
// vertically in the bounds.
//
// Every property is also reachable by key ("text", "font", "textColor",
// "backgroundColor", "shadowColor", "shadowOffset", "highlightedTextColor",
// "highlighted", "enabled", "baselineAdjustment", "numberOfLines",
// "adjustsFontSizeToFitWidth", "minimumFontSize", "textAlignment",
// "lineBreakMode", "userInteractionEnabled"); key reads go through the getters
// below, overrides included.
class UILabel : public UIView {
public:
    Ptr<UILabel> init();
    Ptr<UILabel> initWithFrame(CGRect frame);
    // Reads the view's keys and the label's keys above from the coder; values are
    // stored directly, without calling overridable setters.
    Ptr<UILabel> initWithCoder(const Ptr<NSCoder>& coder);

    virtual Ptr<NSString> text() const { return _text; }
    virtual void setText(const Ptr<NSString>& text);
    // Setting nil restores the default font.
    virtual Ptr<UIFont> font() const { return _font; }
    virtual void setFont(const Ptr<UIFont>& font);
    // Setting nil restores black.
    virtual Ptr<UIColor> textColor() const { return _textColor; }
    virtual void setTextColor(const Ptr<UIColor>& color);
    virtual Ptr<UIColor> shadowColor() const { return _shadowColor; }
    virtual void setShadowColor(const Ptr<UIColor>& color);
    virtual CGSize shadowOffset() const { return _shadowOffset; }
    virtual void setShadowOffset(CGSize offset);
    virtual Ptr<UIColor> highlightedTextColor() const { return _highlightedTextColor; }
    virtual void setHighlightedTextColor(const Ptr<UIColor>& color);
    virtual BOOL isHighlighted() const { return _highlighted; }
    virtual void setHighlighted(BOOL highlighted);
    virtual BOOL isEnabled() const { return _enabled; }
    virtual void setEnabled(BOOL enabled);
    virtual UIBaselineAdjustment baselineAdjustment() const { return _baselineAdjustment; }
    virtual void setBaselineAdjustment(UIBaselineAdjustment adjustment);
    // 0 means as many lines as the bounds hold.
    virtual NSInteger numberOfLines() const { return _numberOfLines; }
    virtual void setNumberOfLines(NSInteger lines);
    virtual BOOL adjustsFontSizeToFitWidth() const { return _adjustsFontSizeToFitWidth; }
    virtual void setAdjustsFontSizeToFitWidth(BOOL adjusts);
    virtual CGFloat minimumFontSize() const { return _minimumFontSize; }
    virtual void setMinimumFontSize(CGFloat size);
    virtual NSTextAlignment textAlignment() const { return _textAlignment; }
    virtual void setTextAlignment(NSTextAlignment alignment);
    virtual NSLineBreakMode lineBreakMode() const { return _lineBreakMode; }
    virtual void setLineBreakMode(NSLineBreakMode mode);

    // The rectangle the text takes inside `bounds` with at most `numberOfLines`
    // lines (0: no limit): as wide as the text (at most the bounds), as high as its
    // lines, centred vertically, placed horizontally by the alignment.
    virtual CGRect textRectForBounds(CGRect bounds, NSInteger numberOfLines) const;
    // The text's size for at most `size` (width and height; zero or CGFLOAT_MAX
    // extents mean no limit).
    CGSize sizeThatFits(CGSize size) const override;
    CGSize intrinsicContentSize() const override;
    // Draws the text as measured: font, colour, alignment, line breaks and shadow.
    void drawRect(CGRect rect) override;

    const NSKeyValueTable& keyValueTable() const override;

protected:
    // Text, font or line settings changed: size and drawing are stale.
    void textLayoutDidChange();

    Ptr<NSString> _text;
    Ptr<UIFont> _font;
    Ptr<UIColor> _textColor;
    Ptr<UIColor> _shadowColor;
    CGSize _shadowOffset{0, -1};
    Ptr<UIColor> _highlightedTextColor;
    bool _highlighted = false;
    bool _enabled = true;
    UIBaselineAdjustment _baselineAdjustment = UIBaselineAdjustmentAlignBaselines;
    NSInteger _numberOfLines = 1;
    bool _adjustsFontSizeToFitWidth = false;
    CGFloat _minimumFontSize = 0;
    NSTextAlignment _textAlignment = NSTextAlignmentLeft;
    NSLineBreakMode _lineBreakMode = NSLineBreakByTruncatingTail;

private:
    void setUpLabelDefaults();

    // The text as drawn, and on one line without limit when the font shrinks to
    // fit: kept between draws until the text, font, width or line settings change.
    UITextLayout _drawnText;
    UITextLayout _naturalText;
};
