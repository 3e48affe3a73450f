#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "CoreGraphics/CGGeometry.h"
#include "Foundation/NSObject.h"

class CAAnimation;
class CACompletionGroup;
class UIView;
using CFTimeInterval = double;

// A value of an animatable layer property.
using CAValue = std::variant<double, CGPoint, CGSize, CGRect>;

// The media time, in seconds, read from the main run loop's clock.
CFTimeInterval CACurrentMediaTime();

// A number that grows whenever anything visible changes (a model value, a
// redraw request, an animation added or removed). A front-end that saw the same
// number and no running animation has nothing new to draw.
std::uint64_t CADisplayGeneration();
void CAMarkDisplayChanged();

// The layer behind every view. It holds the view's geometry (bounds and position,
// with the anchor point at the centre), opacity, visibility, corner radius,
// masking, media timing and animations. Its sublayers mirror the view tree.
//
// Media timing: local time = (parent time - beginTime) x speed + timeOffset,
// through the layer tree (a layer without a superlayer has the global media time
// as its parent time); animations run in their layer's local time, so speed 0 on
// a layer freezes its animations and those of every sublayer, delays included.
//
// Property changes are never animated implicitly on this platform, for layers that
// back views and standalone layers alike: a setter changes the model value and the
// display at once. Changes of a view-backing layer's bounds, position and opacity
// made inside a UIView animation block are animated by that block, unless a
// CATransaction with kCATransactionDisableActions is open. Explicit animations
// (addAnimation) work on every layer.
class CALayer : public NSObject {
public:
    static Ptr<CALayer> layer();
    Ptr<CALayer> init();
    ~CALayer() override;

    // Geometry, model values.
    CGRect bounds() const { return _bounds; }
    void setBounds(CGRect bounds);
    CGPoint position() const { return _position; }
    void setPosition(CGPoint position);
    // The frame in the superlayer's coordinates, derived from position and bounds.
    CGRect frame() const;
    void setFrame(CGRect frame);

    float opacity() const { return _opacity; }
    void setOpacity(float opacity);
    BOOL isHidden() const { return _hidden; }
    void setHidden(BOOL hidden);
    CGFloat cornerRadius() const { return _cornerRadius; }
    void setCornerRadius(CGFloat radius);
    BOOL masksToBounds() const { return _masksToBounds; }
    void setMasksToBounds(BOOL masks);
    // A layer whose alpha masks this layer's content; nil for none.
    const Ptr<CALayer>& mask() const { return _mask; }
    void setMask(const Ptr<CALayer>& mask);
    BOOL shouldRasterize() const { return _shouldRasterize; }
    void setShouldRasterize(BOOL rasterize);
    CGFloat rasterizationScale() const { return _rasterizationScale; }
    void setRasterizationScale(CGFloat scale);

    // Media timing.
    float speed() const { return _speed; }
    void setSpeed(float speed);
    CFTimeInterval timeOffset() const { return _timeOffset; }
    void setTimeOffset(CFTimeInterval offset);
    CFTimeInterval beginTime() const { return _beginTime; }
    void setBeginTime(CFTimeInterval time);
    // Converts a time from `layer`'s local time (nil: the global media time) into this layer's.
    CFTimeInterval convertTime(CFTimeInterval time, const CALayer* layer) const;
    // This layer's local time now.
    CFTimeInterval localTime() const { return convertTime(CACurrentMediaTime(), nullptr); }

    // Tree.
    Ptr<CALayer> superlayer() const { return _superlayer.lock(); }
    const std::vector<Ptr<CALayer>>& sublayers() const { return _sublayers; }
    void addSublayer(const Ptr<CALayer>& layer);
    void insertSublayer(const Ptr<CALayer>& layer, std::size_t index);
    void removeFromSuperlayer();
    // The view this layer backs, or nil.
    Ptr<UIView> delegate() const { return _delegate.lock(); }
    void setDelegate(const WeakPtr<UIView>& view) { _delegate = view; }

    // Animations by key. The layer adds a copy of `animation` (a beginTime of 0 becomes
    // the layer's local time now). Adding one under a key that is in use replaces
    // (removes) the old one; an empty key is never replaced. The animation leaves
    // the layer when its stop is reported.
    void addAnimation(const Ptr<CAAnimation>& animation, std::string_view key);
    // The animation under `key`, or nil.
    Ptr<CAAnimation> animationForKey(std::string_view key) const;
    // The keys of the animations on the layer, in the order they were added.
    std::vector<std::string> animationKeys() const;
    void removeAnimationForKey(std::string_view key);
    // Stops every animation at once; the presentation shows the model values and
    // their completions are queued with finished NO (they run from the run loop,
    // also when the layer is frozen).
    void removeAllAnimations();
    // Whether this layer, its mask or a sublayer has an animation that changes what
    // shows now: its clock runs, its active time has begun and not ended, and it
    // goes between different values. A delay, a frozen animation and one to the
    // value it starts from are not running; the run loop is woken (and the display
    // marked changed) when a waiting one begins. Cheap enough to ask for every frame.
    BOOL hasRunningAnimations() const;

    // Presentation values: the model values with running animations applied, at
    // the current media time.
    CGRect presentationBounds() const;
    CGPoint presentationPosition() const;
    CGRect presentationFrame() const;
    float presentationOpacity() const;

    // Asks for the display to be drawn again, this layer's content included.
    void setNeedsDisplay();
    // A number that changes whenever the layer's content must be drawn again
    // (setNeedsDisplay): pixels kept from another number are out of date.
    std::uint64_t contentGeneration() const { return _contentGeneration; }

protected:
    // Called by every animatable setter before the model value changes; the
    // animation system records an implicit or block animation here.
    void animatableValueWillChange(std::string_view keyPath, const CAValue& newValue);
    // The current presentation value of an animatable property.
    CAValue presentationValue(std::string_view keyPath) const;
    CAValue modelValue(std::string_view keyPath) const;
    // The media timing changed: pending completions are rescheduled.
    void timingDidChange();

private:
    friend class CAAnimationEngine;
    friend class CACompletionGroup;

    // Local time as an affine function of the global media time.
    struct TimeMapping {
        double scale = 1;
        double offset = 0;
        double localTime(double globalTime) const { return scale * globalTime + offset; }
    };
    TimeMapping timeMappingFromGlobal() const;
    BOOL hasRunningAnimations(TimeMapping parentMapping, double globalNow) const;
    // Puts `animation` on the layer under `key` for `group`, replacing the
    // animation under that key.
    void attachAnimation(const Ptr<CAAnimation>& animation, std::string_view key,
                         const Ptr<CACompletionGroup>& group);
    // Takes `animation` off the layer without reporting anything.
    void detachAnimation(const CAAnimation* animation);
    // Takes the animation at `index` off the layer; its group learns that it was
    // removed (by `replacement`'s group when it was replaced).
    void removeAnimationAt(std::size_t index, const CACompletionGroup* replacement);
    // The groups of the animations on this layer and its sublayers.
    void collectCompletionGroups(std::vector<Ptr<CACompletionGroup>>& groups) const;

    CGRect _bounds{};
    CGPoint _position{};
    float _opacity = 1;
    bool _hidden = false;
    CGFloat _cornerRadius = 0;
    bool _masksToBounds = false;
    Ptr<CALayer> _mask;
    bool _shouldRasterize = false;
    CGFloat _rasterizationScale = 1;
    float _speed = 1;
    CFTimeInterval _timeOffset = 0;
    CFTimeInterval _beginTime = 0;

    WeakPtr<CALayer> _superlayer;
    std::vector<Ptr<CALayer>> _sublayers;
    WeakPtr<UIView> _delegate;

    std::uint64_t _contentGeneration = 0;

    // Animations in the order added, with their keys.
    std::vector<std::pair<std::string, Ptr<CAAnimation>>> _animations;
};
