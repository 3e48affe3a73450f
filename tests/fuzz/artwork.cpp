// Player artwork: PNG or JPEG bytes (first byte even) or a data: URL (odd), decoded
// to an image within the size limit or to nothing.
#include "fuzz/FuzzTarget.h"
#include "mpris/MprisArtwork.h"

TRILLBOX_FUZZ_TARGET {
    const std::string rest(reinterpret_cast<const char*>(data), size);
    const UICairoSurface image =
        size > 0 && data[0] % 2 == 1
            ? mpris::loadArtwork("data:" + rest.substr(1))
            : mpris::decodeArtwork({data + std::min<std::size_t>(size, 1), data + size});
    if (image && std::max(cairo_image_surface_get_width(image.get()),
                          cairo_image_surface_get_height(image.get())) > mpris::kMaxArtworkSide) {
        std::abort();
    }
    return 0;
}
