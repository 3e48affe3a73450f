#include "QuartzCore/CAGradientLayer.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "Foundation/NSNumber.h"

Ptr<CAGradientLayer> CAGradientLayer::layer() {
    return alloc<CAGradientLayer>()->init();
}

Ptr<CAGradientLayer> CAGradientLayer::init() {
    CALayer::init();
    return self<CAGradientLayer>();
}

void CAGradientLayer::setColors(const Ptr<NSArray>& colors) {
    if (colors == _colors) {
        return;
    }
    _colors = colors;
    setNeedsDisplay();
}

void CAGradientLayer::setLocations(const Ptr<NSArray>& locations) {
    if (locations == _locations) {
        return;
    }
    _locations = locations;
    setNeedsDisplay();
}

void CAGradientLayer::setStartPoint(CGPoint point) {
    if (point == _startPoint) {
        return;
    }
    _startPoint = point;
    setNeedsDisplay();
}

void CAGradientLayer::setEndPoint(CGPoint point) {
    if (point == _endPoint) {
        return;
    }
    _endPoint = point;
    setNeedsDisplay();
}

std::vector<double> CAGradientLayer::stopLocations() const {
    const std::size_t count = _colors ? _colors->count() : 0;
    std::vector<double> stops(count);
    for (std::size_t i = 0; i < count; ++i) {
        stops[i] = count == 1 ? 0.0 : static_cast<double>(i) / static_cast<double>(count - 1);
    }
    if (!_locations || _locations->count() != count) {
        return stops;
    }
    for (std::size_t i = 0; i < count; ++i) {
        const double location = NSDoubleValue(_locations->objectAtIndex(i));
        if (!std::isnan(location)) {
            stops[i] = std::clamp(location, 0.0, 1.0);
        }
    }
    return stops;
}

std::string CAGradientLayer::description() const {
    char text[160];
    std::snprintf(text, sizeof text, "<CAGradientLayer: %p; start (%g, %g); end (%g, %g); %zu colours>",
                  static_cast<const void*>(this), _startPoint.x, _startPoint.y, _endPoint.x, _endPoint.y,
                  static_cast<std::size_t>(_colors ? _colors->count() : 0));
    return text;
}
