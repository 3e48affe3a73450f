#pragma once

#include <vector>

#include "Foundation/NSCollections.h"
#include "QuartzCore/CALayer.h"

// A layer that draws an axial gradient over its bounds: from the start point to
// the end point (unit coordinates of the bounds: (0, 0) the top left, (1, 1) the
// bottom right), through `colors` at `locations`. As a mask it lends its opacity.
class CAGradientLayer : public CALayer {
public:
    static Ptr<CAGradientLayer> layer();
    Ptr<CAGradientLayer> init();

    // The colours of the stops (the platform's colour objects), in order; nil draws nothing.
    const Ptr<NSArray>& colors() const { return _colors; }
    void setColors(const Ptr<NSArray>& colors);
    // The stop positions (numbers from 0 to 1), one per colour; nil spreads the
    // stops evenly.
    const Ptr<NSArray>& locations() const { return _locations; }
    void setLocations(const Ptr<NSArray>& locations);
    // Default (0.5, 0).
    CGPoint startPoint() const { return _startPoint; }
    void setStartPoint(CGPoint point);
    // Default (0.5, 1).
    CGPoint endPoint() const { return _endPoint; }
    void setEndPoint(CGPoint point);

    // The position of each stop for drawing, one per colour: the given locations
    // when there is one number per colour, otherwise evenly spread from 0 to 1.
    // A location that is not a number (NaN, from a zero-width layout) falls back to
    // its evenly spread position; the others are clamped to [0, 1].
    std::vector<double> stopLocations() const;

    std::string description() const override;

private:
    Ptr<NSArray> _colors;
    Ptr<NSArray> _locations;
    CGPoint _startPoint{0.5, 0};
    CGPoint _endPoint{0.5, 1};
};
