#include "QuartzCore/CALayer.h"

#include <algorithm>
#include <atomic>

#include "Foundation/NSRunLoop.h"

namespace {

std::atomic<std::uint64_t> displayGeneration{1};

} // namespace

CFTimeInterval CACurrentMediaTime() {
    return NSRunLoop::mainRunLoop()->now();
}

std::uint64_t CADisplayGeneration() {
    return displayGeneration.load(std::memory_order_relaxed);
}

void CAMarkDisplayChanged() {
    displayGeneration.fetch_add(1, std::memory_order_relaxed);
}

Ptr<CALayer> CALayer::layer() {
    return alloc<CALayer>()->init();
}

Ptr<CALayer> CALayer::init() {
    NSObject::init();
    return self<CALayer>();
}

void CALayer::setBounds(CGRect bounds) {
    if (CGRectEqualToRect(bounds, _bounds)) {
        return;
    }
    animatableValueWillChange("bounds", bounds);
    _bounds = bounds;
    CAMarkDisplayChanged();
}

void CALayer::setPosition(CGPoint position) {
    if (position == _position) {
        return;
    }
    animatableValueWillChange("position", position);
    _position = position;
    CAMarkDisplayChanged();
}

CGRect CALayer::frame() const {
    return CGRectMake(_position.x - _bounds.size.width / 2, _position.y - _bounds.size.height / 2,
                      _bounds.size.width, _bounds.size.height);
}

void CALayer::setFrame(CGRect frame) {
    frame = CGRectStandardize(frame);
    setPosition(CGPointMake(frame.origin.x + frame.size.width / 2, frame.origin.y + frame.size.height / 2));
    setBounds(CGRectMake(_bounds.origin.x, _bounds.origin.y, frame.size.width, frame.size.height));
}

void CALayer::setOpacity(float opacity) {
    if (opacity == _opacity) {
        return;
    }
    animatableValueWillChange("opacity", static_cast<double>(opacity));
    _opacity = opacity;
    CAMarkDisplayChanged();
}

void CALayer::setHidden(BOOL hidden) {
    if (hidden == _hidden) {
        return;
    }
    _hidden = hidden;
    CAMarkDisplayChanged();
}

void CALayer::setCornerRadius(CGFloat radius) {
    if (radius == _cornerRadius) {
        return;
    }
    _cornerRadius = radius;
    CAMarkDisplayChanged();
}

void CALayer::setMasksToBounds(BOOL masks) {
    if (masks == _masksToBounds) {
        return;
    }
    _masksToBounds = masks;
    CAMarkDisplayChanged();
}

void CALayer::setMask(const Ptr<CALayer>& mask) {
    if (mask == _mask) {
        return;
    }
    _mask = mask;
    CAMarkDisplayChanged();
}

void CALayer::setShouldRasterize(BOOL rasterize) {
    _shouldRasterize = rasterize;
}

void CALayer::setRasterizationScale(CGFloat scale) {
    _rasterizationScale = scale;
}

void CALayer::setSpeed(float speed) {
    if (speed == _speed) {
        return;
    }
    _speed = speed;
    timingDidChange();
    CAMarkDisplayChanged();
}

void CALayer::setTimeOffset(CFTimeInterval offset) {
    if (offset == _timeOffset) {
        return;
    }
    _timeOffset = offset;
    timingDidChange();
    CAMarkDisplayChanged();
}

void CALayer::setBeginTime(CFTimeInterval time) {
    if (time == _beginTime) {
        return;
    }
    _beginTime = time;
    timingDidChange();
    CAMarkDisplayChanged();
}

void CALayer::addSublayer(const Ptr<CALayer>& layer) {
    insertSublayer(layer, _sublayers.size());
}

void CALayer::insertSublayer(const Ptr<CALayer>& layer, std::size_t index) {
    if (!layer || layer.get() == this) {
        return;
    }
    auto keep = layer;
    keep->removeFromSuperlayer();
    index = std::min(index, _sublayers.size());
    _sublayers.insert(_sublayers.begin() + static_cast<std::ptrdiff_t>(index), keep);
    keep->_superlayer = self<CALayer>();
    // The layer's local time now depends on a new parent.
    keep->timingDidChange();
    CAMarkDisplayChanged();
}

void CALayer::removeFromSuperlayer() {
    auto parent = _superlayer.lock();
    if (!parent) {
        return;
    }
    auto keep = self<CALayer>();
    std::erase(parent->_sublayers, keep);
    _superlayer.reset();
    timingDidChange();
    CAMarkDisplayChanged();
}

void CALayer::setNeedsDisplay() {
    ++_contentGeneration;
    CAMarkDisplayChanged();
}

CAValue CALayer::modelValue(std::string_view keyPath) const {
    if (keyPath == "bounds") {
        return _bounds;
    }
    if (keyPath == "position") {
        return _position;
    }
    if (keyPath == "opacity") {
        return static_cast<double>(_opacity);
    }
    return 0.0;
}
