// Placeholder until the animation engine lands: no animations, presentation
// values are model values.
#include "QuartzCore/CALayer.h"
#include "QuartzCore/CAAnimation.h"

CFTimeInterval CALayer::convertTime(CFTimeInterval time, const CALayer*) const { return time; }
void CALayer::addAnimation(const Ptr<CAAnimation>&, std::string_view) {}
Ptr<CAAnimation> CALayer::animationForKey(std::string_view) const { return nullptr; }
std::vector<std::string> CALayer::animationKeys() const { return {}; }
void CALayer::removeAnimationForKey(std::string_view) {}
void CALayer::removeAllAnimations() {}
bool CALayer::hasRunningAnimations() const { return false; }
CGRect CALayer::presentationBounds() const { return _bounds; }
CGPoint CALayer::presentationPosition() const { return _position; }
CGRect CALayer::presentationFrame() const { return frame(); }
float CALayer::presentationOpacity() const { return _opacity; }
void CALayer::animatableValueWillChange(std::string_view, const CAValue&) {}
CAValue CALayer::presentationValue(std::string_view keyPath) const { return modelValue(keyPath); }
void CALayer::timingDidChange() {}
