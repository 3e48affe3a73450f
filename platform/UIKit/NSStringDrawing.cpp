#include "UIKit/NSStringDrawing.h"

#include "UIKit/UIFont.h"
#include "UIKit/UITextMeasurement.h"

CGSize sizeWithFont(const Ptr<NSString>& string, const Ptr<UIFont>& font, CGSize size,
                    NSLineBreakMode lineBreakMode) {
    if (!string) {
        return CGSizeZero;
    }
    return UITextMeasurement::current().sizeOfText(string->UTF8String(), font.get(), size, lineBreakMode);
}

CGSize sizeWithFont(const Ptr<NSString>& string, const Ptr<UIFont>& font) {
    return sizeWithFont(string, font, CGSizeMake(CGFLOAT_MAX, CGFLOAT_MAX), NSLineBreakByWordWrapping);
}
