#pragma once

#include <string>

#include "CoreGraphics/CGGeometry.h"
#include "Foundation/NSObject.h"
#include "Foundation/NSString.h"

class NSCoder;

// A font: a family, a weight and a size in points. The system font is DejaVu Sans.
// Two fonts are equal when family, weight and size are.
class UIFont : public NSObject {
public:
    static Ptr<UIFont> systemFontOfSize(CGFloat fontSize);
    // The label's default font: the system font of size 17.
    static CGFloat labelFontSize() { return 17; }

    // A font of `family` ("DejaVu Sans"), bold or not. A size that is not positive
    // and finite becomes 12 points, here and in every factory that takes a size.
    Ptr<UIFont> initWithFamily(const std::string& family, BOOL bold, CGFloat fontSize);
    // Reads "name" (the system font when missing), "size" (17 when missing) and "bold".
    Ptr<UIFont> initWithCoder(const Ptr<NSCoder>& coder);

    // The same family and weight at another size.
    Ptr<UIFont> fontWithSize(CGFloat fontSize) const;

    // The family and weight: "DejaVu Sans" or "DejaVu Sans Bold".
    Ptr<NSString> fontName() const;
    const std::string& family() const { return _familyName; }
    BOOL isBold() const { return _bold; }
    CGFloat pointSize() const { return _pointSize; }

    // Metrics from the current text measurement (see UITextMeasurement).
    CGFloat ascender() const;
    CGFloat descender() const;
    CGFloat lineHeight() const;

    BOOL isEqual(const NSObject* other) const override;
    std::size_t hash() const override;
    std::string description() const override;

private:
    std::string _familyName;
    bool _bold = false;
    CGFloat _pointSize = 0;
};

// The family of the system font.
inline constexpr const char* UIFontSystemFamilyName = "DejaVu Sans";
