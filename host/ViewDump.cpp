#include "host/ViewDump.h"

#include <filesystem>

#include "UIKit/UIButton.h"
#include "UIKit/UIImage.h"
#include "UIKit/UIImageView.h"
#include "UIKit/UILabel.h"
#include "UIKit/UISlider.h"
#include "UIKit/UIView.h"
#include "host/MediaBackEnd.h"

namespace host {
namespace {

namespace fs = std::filesystem;

void writeRect(JsonWriter& json, CGRect rect) {
    json.beginArray()
        .number(rect.origin.x)
        .number(rect.origin.y)
        .number(rect.size.width)
        .number(rect.size.height)
        .endArray();
}

// "play@2x.png" -> "play".
std::string resourceName(const fs::path& file) {
    std::string stem = file.stem().string();
    for (const char* suffix : {"@2x", "@3x"}) {
        if (stem.size() > 3 && stem.ends_with(suffix)) {
            stem.resize(stem.size() - 3);
        }
    }
    return stem;
}

void writeImage(JsonWriter& json, const Ptr<UIImage>& image, const std::string& bundlePath) {
    json.key("image");
    if (const auto name = as<NSString>(imageNameForDump(image, bundlePath))) {
        json.string(name->UTF8String());
    } else {
        json.null();
    }
}

} // namespace

Ptr<NSObject> imageNameForDump(const Ptr<UIImage>& image, const std::string& bundlePath) {
    if (!image) {
        return nullptr;
    }
    if (!image->path()) {
        cairo_surface_t* pixels = image->cairoSurface();
        return NSStr("artwork " + std::to_string(pixels ? cairo_image_surface_get_width(pixels) : 0) + "x" +
                     std::to_string(pixels ? cairo_image_surface_get_height(pixels) : 0));
    }
    const fs::path file = fs::path(image->path()->UTF8String()).lexically_normal();
    if (!bundlePath.empty() && file.parent_path() == fs::path(bundlePath).lexically_normal()) {
        return NSStr(resourceName(file));
    }
    return NSStr(file.string());
}

void writeViewJson(JsonWriter& json, const UIView& view, const std::string& bundlePath) {
    json.beginObject();
    json.key("class").string(view.className());
    json.key("frame");
    writeRect(json, view.frame());
    json.key("presentationFrame");
    writeRect(json, view.presentationFrame());
    json.key("hidden").boolean(view.isHidden());
    json.key("alpha").number(view.alpha());
    json.key("tag").number(static_cast<double>(view.tag()));
    json.key("userInteractionEnabled").boolean(view.isUserInteractionEnabled());

    if (const auto* label = dynamic_cast<const UILabel*>(&view)) {
        json.key("text");
        if (const auto text = label->text()) {
            json.string(text->UTF8String());
        } else {
            json.null();
        }
    }
    if (const auto* imageView = dynamic_cast<const UIImageView*>(&view)) {
        writeImage(json, imageView->image(), bundlePath);
    }
    if (const auto* button = dynamic_cast<const UIButton*>(&view)) {
        writeImage(json, button->currentImage(), bundlePath);
    }
    if (const auto* slider = dynamic_cast<const UISlider*>(&view)) {
        json.key("value").number(slider->value());
        json.key("minimumValue").number(slider->minimumValue());
        json.key("maximumValue").number(slider->maximumValue());
    }
    if (const auto& layer = view.layer(); layer && (layer->cornerRadius() != 0 || layer->masksToBounds())) {
        json.key("cornerRadius").number(layer->cornerRadius());
        json.key("masksToBounds").boolean(layer->masksToBounds());
    }

    json.key("subviews").beginArray();
    for (const auto& subview : view.subviews()) {
        if (subview) {
            writeViewJson(json, *subview, bundlePath);
        }
    }
    json.endArray();
    json.endObject();
}

void writePlayersJson(JsonWriter& json, const MediaBackEnd& backEnd) {
    if (backEnd.demoPlayer()) {
        return;
    }
    json.key("players").beginArray();
    for (const PlayerListing& player : backEnd.players()) {
        json.beginObject();
        json.key("name").string(player.name);
        json.key("identity").string(player.identity);
        json.key("status").string(player.status);
        json.key("followed").boolean(player.followed);
        json.endObject();
    }
    json.endArray();
}

} // namespace host
