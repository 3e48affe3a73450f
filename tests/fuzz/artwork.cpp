// Player artwork, decoded to an image within the size limit or to nothing: PNG or JPEG bytes (first byte 0
// mod 4), a data: URL (odd) or an HTTP answer (2 mod 4: a 16-bit cap, a byte choosing the body's piece sizes,
// header lines, an empty line, the body), which keeps at most the cap, nothing once refused, or all the body.
#include "fuzz/FuzzTarget.h"
#include "mpris/MprisArtwork.h"
#include "mpris/MprisArtworkFetch.h"

static std::vector<unsigned char> keptArtworkBody(std::string_view input) {
    const std::size_t cap = std::size_t(std::uint8_t(input[0])) << 8 | std::uint8_t(input[1]),
                      step = std::uint8_t(input[2]);
    const auto end = std::min(input.find("\r\n\r\n", 3), input.size());
    const auto head = input.substr(3, end - 3), body = input.substr(std::min(end + 4, input.size()));
    mpris::ArtworkResponse response(cap);
    const auto check = [&](bool going) {
        if (going == response.refused() || response.keptBytes() > (going ? cap : 0)) {
            std::abort();
        }
    };
    for (std::size_t at = 0, newline = 0; at < head.size(); at = newline + 1) {
        newline = std::min(head.find('\n', at), head.size());
        check(response.header(head.substr(at, newline + 1 - at)));
    }
    const auto* bytes = reinterpret_cast<const unsigned char*>(body.data());
    for (std::size_t at = 0, piece = 1; at < body.size(); at += piece, piece = 1 + step * piece % 97) {
        check(response.receive({bytes + at, std::min(piece, body.size() - at)}));
    }
    auto result = response.finish();
    const std::string kept(result.bytes.begin(), result.bytes.end());
    if (result.error.empty() ? kept != body : !kept.empty() || (!response.refused() && !body.empty())) {
        std::abort();
    }
    return std::move(result.bytes);
}

TRILLBOX_FUZZ_TARGET {
    const std::string rest(reinterpret_cast<const char*>(data), size);
    const UICairoSurface image =
        size > 0 && data[0] % 2 == 1 ? mpris::loadArtwork("data:" + rest.substr(1))
        : size > 3 && data[0] % 4 == 2
            ? mpris::decodeArtwork(keptArtworkBody(rest.substr(1)))
            : mpris::decodeArtwork({data + std::min<std::size_t>(size, 1), data + size});
    if (image && std::max(cairo_image_surface_get_width(image.get()),
                          cairo_image_surface_get_height(image.get())) > mpris::kMaxArtworkSide) {
        std::abort();
    }
    return 0;
}
