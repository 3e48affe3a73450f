#include "UIKit/UIFont.h"

#include <cmath>
#include <cstdio>
#include <functional>

#include "Foundation/NSCoder.h"
#include "UIKit/UITextMeasurement.h"

namespace {

// The size the platform falls back to for a size it cannot use.
constexpr CGFloat kFallbackFontSize = 12;

bool isUsableSize(CGFloat size) {
    return std::isfinite(size) && size > 0;
}

Ptr<UIFont> makeFont(const std::string& family, bool bold, CGFloat size) {
    return alloc<UIFont>()->initWithFamily(family, bold, size);
}

// Splits a trailing weight off a font name: "DejaVu Sans Bold" is the bold DejaVu Sans.
std::pair<std::string, bool> familyAndWeight(std::string name) {
    for (const std::string suffix : {" Bold", "-Bold"}) {
        if (name.size() > suffix.size() && name.ends_with(suffix)) {
            name.resize(name.size() - suffix.size());
            return {name, true};
        }
    }
    return {name, false};
}

} // namespace

Ptr<UIFont> UIFont::initWithFamily(const std::string& family, BOOL bold, CGFloat fontSize) {
    NSObject::init();
    _familyName = family.empty() ? std::string(UIFontSystemFamilyName) : family;
    _bold = bold;
    _pointSize = isUsableSize(fontSize) ? fontSize : kFallbackFontSize;
    return self<UIFont>();
}

Ptr<UIFont> UIFont::systemFontOfSize(CGFloat fontSize) {
    return makeFont(UIFontSystemFamilyName, false, fontSize);
}

Ptr<UIFont> UIFont::initWithCoder(const Ptr<NSCoder>& coder) {
    if (!coder) {
        return nullptr;
    }
    const auto name = std::dynamic_pointer_cast<NSString>(coder->decodeObjectForKey("name"));
    const auto [family, bold] = familyAndWeight(NSStringText(name));
    const CGFloat size =
        coder->containsValueForKey("size") ? coder->decodeDoubleForKey("size") : labelFontSize();
    return initWithFamily(family, bold || coder->decodeBoolForKey("bold"), size);
}

Ptr<UIFont> UIFont::fontWithSize(CGFloat fontSize) const {
    return makeFont(_familyName, _bold, fontSize);
}

Ptr<NSString> UIFont::fontName() const {
    return NSStr(_bold ? _familyName + " Bold" : _familyName);
}

CGFloat UIFont::ascender() const {
    return UITextMeasurement::current().metrics(*this).ascender;
}

CGFloat UIFont::descender() const {
    return UITextMeasurement::current().metrics(*this).descender;
}

CGFloat UIFont::lineHeight() const {
    return UITextMeasurement::current().metrics(*this).lineHeight;
}

BOOL UIFont::isEqual(const NSObject* other) const {
    const auto* font = dynamic_cast<const UIFont*>(other);
    return font && font->_familyName == _familyName && font->_bold == _bold && font->_pointSize == _pointSize;
}

std::size_t UIFont::hash() const {
    return std::hash<std::string>{}(_familyName)*31 + std::hash<CGFloat>{}(_pointSize) + (_bold ? 1 : 0);
}

std::string UIFont::description() const {
    char text[256];
    std::snprintf(text, sizeof text, "<UIFont: %p> font-family: \"%s\"; font-weight: %s; font-size: %.2fpt",
                  static_cast<const void*>(this), _familyName.c_str(), _bold ? "bold" : "normal", _pointSize);
    return text;
}
