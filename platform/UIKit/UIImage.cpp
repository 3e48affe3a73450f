#include "UIKit/UIImage.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "Foundation/NSBundle.h"
#include "UIKit/UIScreen.h"

namespace {

// "name@2x.png" -> 2; 0 when the name carries no scale.
CGFloat scaleInFileName(const std::filesystem::path& path) {
    const std::string stem = path.stem().string();
    for (const int scale : {2, 3}) {
        const std::string suffix = "@" + std::to_string(scale) + "x";
        if (stem.size() > suffix.size() && stem.ends_with(suffix)) {
            return scale;
        }
    }
    return 0;
}

bool isRegularImageFile(const std::filesystem::path& path) {
    std::error_code error;
    return std::filesystem::is_regular_file(path, error);
}

UICairoSurface loadPNG(const std::filesystem::path& path) {
    // Cairo answers an error surface (never null) for a missing or malformed file.
    UICairoSurface surface(cairo_image_surface_create_from_png(path.c_str()));
    if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS) {
        return {};
    }
    return surface;
}

} // namespace

Ptr<UIImage> UIImage::imageWithContentsOfFile(const Ptr<NSString>& path) {
    return alloc<UIImage>()->initWithContentsOfFile(path);
}

Ptr<UIImage> UIImage::imageWithSurface(UICairoSurface surface, CGFloat scale) {
    if (!surface || cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS ||
        cairo_surface_get_type(surface.get()) != CAIRO_SURFACE_TYPE_IMAGE || !std::isfinite(scale) ||
        scale <= 0) {
        return nullptr;
    }
    auto image = alloc<UIImage>();
    image->NSObject::init();
    image->_surface = std::move(surface);
    image->_scale = scale;
    return image;
}

Ptr<UIImage> UIImage::initWithContentsOfFile(const Ptr<NSString>& path) {
    NSObject::init();
    if (!path || path->UTF8String().empty()) {
        return nullptr;
    }
    std::filesystem::path file(path->UTF8String());
    CGFloat scale = scaleInFileName(file);
    if (scale == 0) {
        scale = 1;
        // The screen's scale picks among the named file and its sharper variants.
        for (const int variant : NSBundle::imageScalesPreferredAt(UIScreen::mainScreen()->scale())) {
            auto candidate = file;
            if (variant != 1) {
                candidate.replace_filename(file.stem().string() + "@" + std::to_string(variant) + "x" +
                                           file.extension().string());
            }
            if (isRegularImageFile(candidate)) {
                file = candidate;
                scale = variant;
                break;
            }
        }
    }
    if (!isRegularImageFile(file)) {
        return nullptr;
    }
    _surface = loadPNG(file);
    if (!_surface) {
        return nullptr;
    }
    _scale = scale;
    _path = NSStr(file.string());
    return self<UIImage>();
}

CGSize UIImage::size() const {
    if (!_surface) {
        return CGSizeZero;
    }
    return CGSizeMake(cairo_image_surface_get_width(_surface.get()) / _scale,
                      cairo_image_surface_get_height(_surface.get()) / _scale);
}

Ptr<UIImage> UIImage::stretchableImageWithLeftCapWidth(NSInteger leftCapWidth, NSInteger topCapHeight) const {
    auto image = alloc<UIImage>();
    image->NSObject::init();
    image->_surface = _surface;
    image->_scale = _scale;
    image->_path = _path;
    image->_stretchable = true;
    const CGSize size = this->size();
    image->_leftCapWidth = std::clamp<NSInteger>(leftCapWidth, 0, static_cast<NSInteger>(size.width));
    image->_topCapHeight = std::clamp<NSInteger>(topCapHeight, 0, static_cast<NSInteger>(size.height));
    return image;
}

UIEdgeInsets UIImage::capInsets() const {
    if (!_stretchable) {
        return {};
    }
    const CGSize size = this->size();
    UIEdgeInsets insets;
    if (_leftCapWidth > 0) {
        insets.left = static_cast<CGFloat>(_leftCapWidth);
        insets.right = std::max(0.0, size.width - insets.left - 1);
    }
    if (_topCapHeight > 0) {
        insets.top = static_cast<CGFloat>(_topCapHeight);
        insets.bottom = std::max(0.0, size.height - insets.top - 1);
    }
    return insets;
}

std::string UIImage::description() const {
    char text[128];
    const CGSize size = this->size();
    std::snprintf(text, sizeof text, "<UIImage: %p>, {%g, %g}", static_cast<const void*>(this), size.width,
                  size.height);
    return text;
}
