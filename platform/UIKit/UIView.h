#pragma once

#include <functional>
#include <vector>

#include "CoreGraphics/CGGeometry.h"
#include "Foundation/NSKeyValueCoding.h"
#include "QuartzCore/CALayer.h"
#include "UIKit/UIResponder.h"

class NSCoder;
class UIColor;
class UIEvent;
class UIGestureRecognizer;
class UIViewController;
class UIWindow;

enum UIViewContentMode : NSInteger {
    UIViewContentModeScaleToFill = 0,
    UIViewContentModeScaleAspectFit = 1,
    UIViewContentModeScaleAspectFill = 2,
    UIViewContentModeRedraw = 3,
    UIViewContentModeCenter = 4,
    UIViewContentModeTop = 5,
    UIViewContentModeBottom = 6,
    UIViewContentModeLeft = 7,
    UIViewContentModeRight = 8,
    UIViewContentModeTopLeft = 9,
    UIViewContentModeTopRight = 10,
    UIViewContentModeBottomLeft = 11,
    UIViewContentModeBottomRight = 12,
};

using UIViewAutoresizing = NSUInteger;
inline constexpr UIViewAutoresizing UIViewAutoresizingNone = 0;
inline constexpr UIViewAutoresizing UIViewAutoresizingFlexibleLeftMargin = 1 << 0;
inline constexpr UIViewAutoresizing UIViewAutoresizingFlexibleWidth = 1 << 1;
inline constexpr UIViewAutoresizing UIViewAutoresizingFlexibleRightMargin = 1 << 2;
inline constexpr UIViewAutoresizing UIViewAutoresizingFlexibleTopMargin = 1 << 3;
inline constexpr UIViewAutoresizing UIViewAutoresizingFlexibleHeight = 1 << 4;
inline constexpr UIViewAutoresizing UIViewAutoresizingFlexibleBottomMargin = 1 << 5;

using UIViewAnimationOptions = NSUInteger;
inline constexpr UIViewAnimationOptions UIViewAnimationOptionBeginFromCurrentState = 1 << 2;
inline constexpr UIViewAnimationOptions UIViewAnimationOptionCurveEaseInOut = 0 << 16;
inline constexpr UIViewAnimationOptions UIViewAnimationOptionCurveEaseIn = 1 << 16;
inline constexpr UIViewAnimationOptions UIViewAnimationOptionCurveEaseOut = 2 << 16;
inline constexpr UIViewAnimationOptions UIViewAnimationOptionCurveLinear = 3 << 16;

// "No intrinsic size" along an axis.
inline constexpr CGFloat UIViewNoIntrinsicMetric = -1;

// A rectangle of the window with its own layer, subviews, appearance, layout,
// hit testing and gesture recognizers.
//
// Keys: "frame", "bounds", "center", "hidden", "alpha", "backgroundColor",
// "clipsToBounds", "contentMode", "autoresizingMask", "tag",
// "userInteractionEnabled", "multipleTouchEnabled".
class UIView : public UIResponder, public NSKeyValueCoding {
public:
    Ptr<UIView> init();
    Ptr<UIView> initWithFrame(CGRect frame);
    // Reads the view's properties from an interface-file coder: the keys above,
    // "frame" as "{{x, y}, {width, height}}", "backgroundColor" as a nested colour.
    // Values are stored directly, without calling overridable setters.
    Ptr<UIView> initWithCoder(const Ptr<NSCoder>& coder);
    virtual void awakeFromNib() {}
    ~UIView() override;

    // Geometry. Frame, bounds and centre stay consistent; each lives in the layer.
    // setFrame (and autoresizing) reaches setBounds whenever the size changes.
    CGRect frame() const;
    virtual void setFrame(CGRect frame);
    CGRect bounds() const;
    virtual void setBounds(CGRect bounds);
    CGPoint center() const;
    virtual void setCenter(CGPoint center);
    // The frame shown now, with running animations applied.
    CGRect presentationFrame() const;

    // Hierarchy.
    Ptr<UIView> superview() const { return _superview.lock(); }
    const std::vector<Ptr<UIView>>& subviews() const { return _subviews; }
    void addSubview(const Ptr<UIView>& view);
    void insertSubview(const Ptr<UIView>& view, NSInteger index);
    void bringSubviewToFront(const Ptr<UIView>& view);
    void removeFromSuperview();
    BOOL isDescendantOfView(const UIView* view) const;
    Ptr<UIView> viewWithTag(NSInteger tag);
    virtual Ptr<UIWindow> window() const;
    virtual void willMoveToSuperview(const Ptr<UIView>& newSuperview) {}
    virtual void didMoveToSuperview() {}
    virtual void willMoveToWindow(const Ptr<UIWindow>& newWindow) {}
    virtual void didMoveToWindow() {}
    virtual void didAddSubview(const Ptr<UIView>& subview) {}
    virtual void willRemoveSubview(const Ptr<UIView>& subview) {}

    NSInteger tag() const { return _tag; }
    void setTag(NSInteger tag) { _tag = tag; }

    // Appearance.
    BOOL isHidden() const;
    virtual void setHidden(BOOL hidden);
    CGFloat alpha() const;
    virtual void setAlpha(CGFloat alpha);
    virtual Ptr<UIColor> backgroundColor() const { return _backgroundColor; }
    virtual void setBackgroundColor(const Ptr<UIColor>& color);
    BOOL clipsToBounds() const;
    void setClipsToBounds(BOOL clips);
    UIViewContentMode contentMode() const { return _contentMode; }
    virtual void setContentMode(UIViewContentMode mode);
    UIViewAutoresizing autoresizingMask() const { return _autoresizingMask; }
    void setAutoresizingMask(UIViewAutoresizing mask) { _autoresizingMask = mask; }
    BOOL isUserInteractionEnabled() const { return _userInteractionEnabled; }
    virtual void setUserInteractionEnabled(BOOL enabled) { _userInteractionEnabled = enabled; }
    BOOL isMultipleTouchEnabled() const { return _multipleTouchEnabled; }
    void setMultipleTouchEnabled(BOOL enabled) { _multipleTouchEnabled = enabled; }
    const Ptr<CALayer>& layer() const { return _layer; }

    // Layout and display. A view in a window that needs layout is laid out at the
    // next run-loop pass (or earlier by layoutIfNeeded); a size change needs layout.
    void setNeedsLayout();
    // Runs layoutSubviews on this view and then its descendants wherever needed.
    void layoutIfNeeded();
    virtual void layoutSubviews() {}
    void setNeedsDisplay();
    // Draws the view's own content into the current graphics context, in the
    // view's bounds coordinates. The default draws nothing.
    virtual void drawRect(CGRect rect) {}
    // The default answers the current size.
    virtual CGSize sizeThatFits(CGSize size) const;
    // Resizes the view to sizeThatFits(its current size), keeping the origin.
    void sizeToFit();
    // The default has no intrinsic size: (UIViewNoIntrinsicMetric, UIViewNoIntrinsicMetric).
    virtual CGSize intrinsicContentSize() const;
    virtual void invalidateIntrinsicContentSize() {}

    // Hit testing, in the view's bounds coordinates. Hidden views, views with
    // alpha below 0.01 and views with user interaction off are never hit.
    virtual Ptr<UIView> hitTest(CGPoint point, const Ptr<UIEvent>& event);
    virtual BOOL pointInside(CGPoint point, const Ptr<UIEvent>& event) const;
    // Conversion between this view's coordinates and `view`'s (nil: the window's).
    CGPoint convertPointToView(CGPoint point, const UIView* view) const;
    CGPoint convertPointFromView(CGPoint point, const UIView* view) const;
    CGRect convertRectToView(CGRect rect, const UIView* view) const;
    CGRect convertRectFromView(CGRect rect, const UIView* view) const;

    // Gesture recognizers, owned by the view.
    void addGestureRecognizer(const Ptr<UIGestureRecognizer>& recognizer);
    void removeGestureRecognizer(const Ptr<UIGestureRecognizer>& recognizer);
    const std::vector<Ptr<UIGestureRecognizer>>& gestureRecognizers() const { return _gestureRecognizers; }

    // Animations. The block runs at once and sets final model values; the
    // presentation moves from the current to the new values over `duration` after
    // `delay`. The completion runs exactly once, from the run loop: finished YES
    // when every animation of the block reached its end, NO when one was removed
    // or replaced.
    static void animateWithDuration(NSTimeInterval duration, NSTimeInterval delay,
                                    UIViewAnimationOptions options, const std::function<void()>& animations,
                                    const std::function<void(BOOL finished)>& completion);
    static void animateWithDuration(NSTimeInterval duration, const std::function<void()>& animations,
                                    const std::function<void(BOOL finished)>& completion = nullptr);
    static void setAnimationsEnabled(BOOL enabled);
    static BOOL areAnimationsEnabled();

    const NSKeyValueTable& keyValueTable() const override;

    // Responder chain.
    Ptr<UIResponder> nextResponder() const override;
    // The controller whose root view this is, or nil. Set by the controller.
    Ptr<UIViewController> viewDelegate() const { return _viewDelegate.lock(); }
    void setViewDelegate(const WeakPtr<UIViewController>& controller) { _viewDelegate = controller; }

protected:
    // The layer the view creates for itself; subclasses may answer a layer subclass.
    virtual Ptr<CALayer> makeLayer() const { return CALayer::layer(); }
    // Called when the superview's bounds size changed from `oldSize`; applies the
    // autoresizing mask.
    void resizeWithOldSuperviewSize(CGSize oldSize);
    void resizeSubviewsWithOldSize(CGSize oldSize);
    void setWindowDidChange(const Ptr<UIWindow>& oldWindow, const Ptr<UIWindow>& newWindow);

    WeakPtr<UIView> _superview;
    std::vector<Ptr<UIView>> _subviews;
    std::vector<Ptr<UIGestureRecognizer>> _gestureRecognizers;
    Ptr<CALayer> _layer;
    Ptr<UIColor> _backgroundColor;
    WeakPtr<UIViewController> _viewDelegate;
    NSInteger _tag = 0;
    UIViewContentMode _contentMode = UIViewContentModeScaleToFill;
    UIViewAutoresizing _autoresizingMask = UIViewAutoresizingNone;
    bool _autoresizesSubviews = true;
    bool _userInteractionEnabled = true;
    bool _multipleTouchEnabled = false;
    bool _needsLayout = false;

private:
    // Creates the layer (once) and makes this view its delegate.
    void setUpLayer();
    void notifyWillMoveToWindow(const Ptr<UIWindow>& newWindow);
    // Takes `view` out of the subviews and its layer out of the layer tree, quietly.
    void detachSubview(UIView* view);
    // Puts the layer of the subview at `index` into the layer tree at the matching place.
    void insertLayerOfSubviewAt(std::size_t index);
    // The topmost ancestor and `point` (in this view) converted into its bounds space.
    std::pair<const UIView*, CGPoint> pointInRoot(CGPoint point) const;
    CGPoint pointFromRoot(CGPoint point) const;
};
