#pragma once

#include <memory>

#include "Foundation/NSCollections.h"
#include "Foundation/NSNotificationCenter.h"
#include "UIKit/UILabel.h"
#include "marquee/UIView+MarqueeLabelHelpers.h"

class NSCoder;
class UIGestureRecognizer;
class UITapGestureRecognizer;
class UIViewController;

// How the text of a MarqueeLabel moves when it does not fit.
enum MarqueeType : NSUInteger {
    // Rests left-aligned, scrolls left until its end shows, then back.
    MarqueeTypeLeftAndBack = 0,
    // Rests right-aligned, scrolls right until its start shows, then back.
    MarqueeTypeRightAndBack = 1,
    // The text and one copy move left in an endless loop.
    MarqueeTypeContinuousLeft = 2,
    // The text and one copy move right in an endless loop.
    MarqueeTypeContinuousRight = 3,
};

// A one-line label that scrolls its text horizontally when the text is wider than
// the label, with faded edges. The label draws nothing itself: an inner label
// (`subLabel`, tag 700) and, for the continuous types, one copy (tag 701) show the
// text and are moved by chains of view animations inside the label's clipped
// bounds. The label reacts by itself to its view controller's notifications, to
// the application's state and to rotations.
//
// Every scroll leg is one platform view animation started from the completion of
// the one before; the label keeps no timer and does no per-frame work.
class MarqueeLabel : public UILabel {
public:
    // --- Creation ---------------------------------------------------------------

    // A label that scrolls each leg in 7 seconds, without fade.
    Ptr<MarqueeLabel> initWithFrame(CGRect frame);
    // A label whose legs take `lengthOfScroll` seconds; the fade is clamped to half
    // the frame's width.
    Ptr<MarqueeLabel> initWithFrameDurationAndFadeLength(CGRect frame, NSTimeInterval lengthOfScroll,
                                                         CGFloat fadeLength);
    // A label that scrolls at `rate` points per second; the fade is clamped to half
    // the frame's width.
    Ptr<MarqueeLabel> initWithFrameRateAndFadeLength(CGRect frame, CGFloat rate, CGFloat fadeLength);
    // A label read from an interface file: the label properties come from the coder,
    // the marquee settings are the defaults (7-second legs).
    Ptr<MarqueeLabel> initWithCoder(const Ptr<NSCoder>& coder);
    // Hands the interface file's label properties, text and font to the sublabel.
    void awakeFromNib() override;
    ~MarqueeLabel() override;

    // --- Marquee configuration --------------------------------------------------

    // Scroll speed in points per second; non-zero makes `lengthOfScroll` 0.
    CGFloat rate() const { return _rate; }
    void setRate(CGFloat rate);
    // Duration of one leg in seconds, used while `rate` is 0; non-zero makes `rate` 0.
    NSTimeInterval lengthOfScroll() const { return _lengthOfScroll; }
    void setLengthOfScroll(NSTimeInterval lengthOfScroll);
    // The curve of every scroll animation: one of the four UIViewAnimationOptionCurve
    // values; other values are ignored.
    NSUInteger animationCurve() const { return _animationCurve; }
    void setAnimationCurve(NSUInteger animationCurve);
    // Extra gap between the text and its copy in the continuous types; stored as its
    // absolute value.
    CGFloat continuousMarqueeExtraBuffer() const { return _continuousMarqueeExtraBuffer; }
    void setContinuousMarqueeExtraBuffer(CGFloat buffer);
    // Width of the faded zone at each side, and the inset of the text from the edge.
    CGFloat fadeLength() const { return _fadeLength; }
    void setFadeLength(CGFloat fadeLength);
    // Pause in seconds before each scroll leg starts.
    CGFloat animationDelay() const { return _animationDelay; }
    void setAnimationDelay(CGFloat delay) { _animationDelay = delay; }
    // The scroll pattern (a MarqueeType; other values behave as MarqueeTypeLeftAndBack).
    NSUInteger marqueeType() const { return _marqueeType; }
    void setMarqueeType(NSUInteger marqueeType);
    // YES: scrolling starts only when the label is tapped, one period per tap.
    BOOL tapToScroll() const { return _tapToScroll; }
    void setTapToScroll(BOOL tapToScroll);
    // YES: the label behaves like a plain label and never scrolls.
    BOOL labelize() const { return _labelize; }
    void setLabelize(BOOL labelize);
    // YES: the running leg or cycle ends and no new one starts; NO while the text is
    // at home starts one.
    BOOL holdScrolling() const { return _holdScrolling; }
    void setHoldScrolling(BOOL holdScrolling);

    // --- State --------------------------------------------------------------------

    BOOL isPaused() const { return _isPaused; }
    void setIsPaused(BOOL paused) { _isPaused = paused; }
    // YES while the text is away from its home position.
    BOOL awayFromHome() const { return _awayFromHome; }
    void setAwayFromHome(BOOL away) { _awayFromHome = away; }
    // YES from a rotation's announcement until the window's rotation animation ends.
    BOOL orientationWillChange() const { return _orientationWillChange; }
    void setOrientationWillChange(BOOL willChange) { _orientationWillChange = willChange; }
    // Duration of one leg, computed by the layout from `rate` or `lengthOfScroll`.
    NSTimeInterval animationDuration() const { return _animationDuration; }
    void setAnimationDuration(NSTimeInterval duration) { _animationDuration = duration; }
    // The primary sublabel (tag 700).
    const Ptr<UILabel>& subLabel() const { return _subLabel; }
    void setSubLabel(const Ptr<UILabel>& subLabel) { _subLabel = subLabel; }
    // The notification centre's token for the rotation-start observer.
    const Ptr<NSObject>& orientationObserver() const { return _orientationObserver; }
    void setOrientationObserver(const Ptr<NSObject>& token) { _orientationObserver = token; }
    // The tap recognizer installed while `tapToScroll` is YES (owned by the view).
    Ptr<UITapGestureRecognizer> tapRecognizer() const { return _tapRecognizer.lock(); }
    void setTapRecognizer(const Ptr<UITapGestureRecognizer>& recognizer) { _tapRecognizer = recognizer; }

    // --- Geometry -----------------------------------------------------------------

    // The width the text needs on one line, rounded up to a whole point, and the
    // label's height.
    CGSize subLabelSize() const;
    // The sublabel's answer with twice the fade length added to the width.
    CGSize sizeThatFits(CGSize size) const override;
    // The sublabel's intrinsic size.
    CGSize intrinsicContentSize() const override;
    // Resizes the label to its text plus the fades, within `maximumSize` (the zero
    // size: unbounded); the height changes only when `adjustHeight` is YES.
    void minimizeLabelFrameWithMaximumSize(CGSize maximumSize, BOOL adjustHeight);
    // Whether the text is too wide for the label and must scroll.
    BOOL labelShouldScroll() const;
    // The sublabel's frame at rest; computed from the text and bounds when null.
    CGRect homeLabelFrame();
    void setHomeLabelFrame(CGRect frame) { _homeLabelFrame = frame; }
    // The sublabel's frame at the far end of a leg; computed when null.
    CGRect awayLabelFrame();
    void setAwayLabelFrame(CGRect frame) { _awayLabelFrame = frame; }
    // A new size rebuilds the fade mask and lays the text out again.
    void setBounds(CGRect bounds) override;

    // --- Fade mask ----------------------------------------------------------------

    // applyGradientMaskForFadeLength(fadeLength, YES).
    void applyGradientMaskForFadeLength(CGFloat fadeLength);
    // Installs a horizontal fade mask on the label's layer (none for a zero fade).
    // Animated: the text first returns home and scrolling starts again if due.
    void applyGradientMaskForFadeLength(CGFloat fadeLength, BOOL animated);
    // The mask's colours (clear, black, black, clear), built on first read.
    Ptr<NSArray> gradientColors();
    void setGradientColors(const Ptr<NSArray>& colors) { _gradientColors = colors; }

    // --- Scroll engine ------------------------------------------------------------

    // Lays the sublabels out for the current text, size and type and, when
    // `beginScroll` is YES and nothing holds it back, starts scrolling.
    void updateSublabelAndLocationsAndBeginScroll(BOOL beginScroll);
    void updateSublabelAndLocations() { updateSublabelAndLocationsAndBeginScroll(YES); }
    void didMoveToSuperview() override;
    // beginScrollWithDelay(YES).
    void beginScroll() { beginScrollWithDelay(YES); }
    // Starts the animation chain for the current type; the continuous types skip the
    // first delay when `delay` is NO.
    void beginScrollWithDelay(BOOL delay);
    // The interval of one chain step: twice the leg duration for
    // MarqueeTypeContinuousLeft, the duration itself otherwise.
    NSTimeInterval durationForInterval(NSTimeInterval interval) const;
    // The away leg after `animationDelay`.
    void scrollAwayWithInterval(NSTimeInterval interval) { scrollAwayWithInterval(interval, YES); }
    void scrollAwayWithInterval(NSTimeInterval interval, BOOL delay);
    // The away leg: moves the sublabel to its away frame, then runs the home leg.
    void scrollAwayWithIntervalDelayAmount(NSTimeInterval interval, NSTimeInterval delayAmount);
    void scrollHomeWithInterval(NSTimeInterval interval) { scrollHomeWithInterval(interval, YES); }
    void scrollHomeWithInterval(NSTimeInterval interval, BOOL delay);
    // The home leg: moves the sublabel home, then (unless held or tap-to-scroll)
    // starts the next away leg.
    void scrollHomeWithIntervalDelayAmount(NSTimeInterval interval, NSTimeInterval delayAmount);
    // One continuous cycle: every sublabel moves one text-and-gap further, then
    // (unless held or tap-to-scroll) the next cycle starts.
    void scrollContinuousWithInterval(NSTimeInterval interval, NSTimeInterval delayAmount);
    // Stops every sublabel animation and puts every sublabel at its rest position.
    void returnLabelToOriginImmediately();

    // --- Scroll control -----------------------------------------------------------

    // Stops, returns to rest and starts again if the text must scroll and
    // tap-to-scroll is off.
    void restartLabel();
    // Stops, returns to rest and forgets the home and away frames.
    void resetLabel();
    // Stops and returns to rest.
    void shutdownLabel();
    // Freezes every sublabel where it is, delays included.
    void pauseLabel();
    // Lets frozen sublabels go on from where they stopped.
    void unpauseLabel();
    // The tap recognizer's action: one period at once if the text must scroll.
    void labelWasTapped(const Ptr<UIGestureRecognizer>& recognizer);

    // --- Sublabels ----------------------------------------------------------------

    // The subviews with a tag of 700 or more, in subview order.
    Ptr<NSArray> allSubLabels() const;
    // Sets `value` by key path on every sublabel.
    void updateSubLabelsForKey(const Ptr<NSString>& key, const Ptr<NSObject>& value);
    // Sets every value of `values` by its key on every sublabel.
    void updateSubLabelsForKeysWithValues(const Ptr<NSDictionary>& values);
    // Gives each label of `labels` the text, font, colours and shadow of `subLabel`,
    // aligned left.
    void refreshSubLabels(const Ptr<NSArray>& labels);
    // Copies the interface file's label properties to the sublabel.
    void forwardPropertiesToSubLabel();

    // --- Label properties, routed to the sublabels --------------------------------

    Ptr<NSString> text() const override;
    void setText(const Ptr<NSString>& text) override;
    Ptr<UIFont> font() const override;
    void setFont(const Ptr<UIFont>& font) override;
    Ptr<UIColor> textColor() const override;
    void setTextColor(const Ptr<UIColor>& color) override;
    Ptr<UIColor> backgroundColor() const override;
    void setBackgroundColor(const Ptr<UIColor>& color) override;
    Ptr<UIColor> shadowColor() const override;
    void setShadowColor(const Ptr<UIColor>& color) override;
    CGSize shadowOffset() const override;
    void setShadowOffset(CGSize offset) override;
    Ptr<UIColor> highlightedTextColor() const override;
    void setHighlightedTextColor(const Ptr<UIColor>& color) override;
    BOOL isHighlighted() const override;
    void setHighlighted(BOOL highlighted) override;
    BOOL isEnabled() const override;
    void setEnabled(BOOL enabled) override;
    UIBaselineAdjustment baselineAdjustment() const override;
    void setBaselineAdjustment(UIBaselineAdjustment adjustment) override;
    // The label keeps one line, never shrinks its font and has no minimum font size,
    // whatever is asked.
    void setNumberOfLines(NSInteger lines) override;
    void setAdjustsFontSizeToFitWidth(BOOL adjusts) override;
    void setMinimumFontSize(CGFloat size) override;
    // The sublabels draw the text; the label itself draws nothing.
    void drawRect(CGRect rect) override {}

    // --- Controller notifications -------------------------------------------------

    // Restarts every label shown by `controller`.
    static void restartLabelsOfController(const Ptr<UIViewController>& controller);
    static void controllerViewWillAppear(const Ptr<UIViewController>& controller);
    static void controllerViewDidAppear(const Ptr<UIViewController>& controller);
    static void controllerViewAppearing(const Ptr<UIViewController>& controller);
    // Makes every label shown by `controller` static.
    static void controllerLabelsShouldLabelize(const Ptr<UIViewController>& controller);
    // Lets every label shown by `controller` scroll again.
    static void controllerLabelsShouldAnimate(const Ptr<UIViewController>& controller);
    // Posts `message` with userInfo {"controller": controller}; nothing for nil.
    static void notifyController(const Ptr<UIViewController>& controller, const Ptr<NSString>& message);

    // Observer handlers.
    void viewControllerShouldRestart(const Ptr<NSNotification>& notification);
    void labelsShouldLabelize(const Ptr<NSNotification>& notification);
    void labelsShouldAnimate(const Ptr<NSNotification>& notification);
    void observedViewControllerChange(const Ptr<NSNotification>& notification);

private:
    // Sublabel, defaults and observers; run by every initialiser first.
    void setupLabel();
    void registerObservers();
    void orientationWillChangeStarted();
    void rotationAnimationDidStop(const Ptr<NSNotification>& notification);
    // The sublabels as views (a copy of the list, safe to change the subviews while walking it).
    std::vector<Ptr<UIView>> subLabelViews() const;
    // The step between a sublabel's rest frame and the next one's.
    CGFloat sublabelSpacing(CGFloat fadeCount);
    CGFloat scrollDirection() const;

    NSUInteger _animationCurve = 0;
    BOOL _labelize = NO;
    BOOL _holdScrolling = NO;
    NSUInteger _marqueeType = 0;
    NSTimeInterval _lengthOfScroll = 0;
    CGFloat _rate = 0;
    CGFloat _continuousMarqueeExtraBuffer = 0;
    CGFloat _fadeLength = 0;
    CGFloat _animationDelay = 0;
    BOOL _tapToScroll = NO;
    BOOL _isPaused = NO;
    BOOL _awayFromHome = NO;
    Ptr<UILabel> _subLabel;
    BOOL _orientationWillChange = NO;
    Ptr<NSObject> _orientationObserver;
    NSTimeInterval _animationDuration = 0;
    WeakPtr<UITapGestureRecognizer> _tapRecognizer;
    CGRect _homeLabelFrame{};
    CGRect _awayLabelFrame{};
    Ptr<NSArray> _gradientColors;
    // The token of the pending one-shot rotation-end observer, shared with the
    // observer blocks.
    std::shared_ptr<Ptr<NSObject>> _rotationEndObserver = std::make_shared<Ptr<NSObject>>();
};
