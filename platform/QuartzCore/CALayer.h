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
// through the layer tree; animations run in their layer's local time.
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
    CGPoint anchorPoint() const { return {0.5, 0.5}; }
    // The frame in the superlayer's coordinates, derived from position and bounds.
    CGRect frame() const;
    void setFrame(CGRect frame);

    float opacity() const { return _opacity; }
    void setOpacity(float opacity);
    bool isHidden() const { return _hidden; }
    void setHidden(bool hidden);
    CGFloat cornerRadius() const { return _cornerRadius; }
    void setCornerRadius(CGFloat radius);
    bool masksToBounds() const { return _masksToBounds; }
    void setMasksToBounds(bool masks);
    // A layer whose alpha masks this layer's content; nil for none.
    const Ptr<CALayer>& mask() const { return _mask; }
    void setMask(const Ptr<CALayer>& mask);
    bool shouldRasterize() const { return _shouldRasterize; }
    void setShouldRasterize(bool rasterize);
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

    // Animations by key. Adding one under a key that is in use replaces (removes) the old one.
    void addAnimation(const Ptr<CAAnimation>& animation, std::string_view key);
    Ptr<CAAnimation> animationForKey(std::string_view key) const;
    std::vector<std::string> animationKeys() const;
    void removeAnimationForKey(std::string_view key);
    // Stops every animation at once; their completions run with finished NO.
    void removeAllAnimations();
    bool hasRunningAnimations() const;

    // Presentation values: the model values with running animations applied, at
    // the current media time.
    CGRect presentationBounds() const;
    CGPoint presentationPosition() const;
    CGRect presentationFrame() const;
    float presentationOpacity() const;

    void setNeedsDisplay();
    bool needsDisplay() const { return _needsDisplay; }
    void displayIfNeeded() { _needsDisplay = false; }

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
    bool _needsDisplay = false;

    WeakPtr<CALayer> _superlayer;
    std::vector<Ptr<CALayer>> _sublayers;
    WeakPtr<UIView> _delegate;

    // Animations in the order added, with their keys.
    std::vector<std::pair<std::string, Ptr<CAAnimation>>> _animations;
};
