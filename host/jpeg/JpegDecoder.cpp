// The JPEG module: libjpeg-turbo behind one C entry, so that only the runs that
// meet a JPEG load it.
#include <cairo.h>
#include <turbojpeg.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <utility>

namespace {

struct JpegDecompressor {
    tjhandle handle = tjInitDecompress();
    JpegDecompressor() = default;
    JpegDecompressor(const JpegDecompressor&) = delete;
    JpegDecompressor& operator=(const JpegDecompressor&) = delete;
    ~JpegDecompressor() {
        if (handle) {
            tjDestroy(handle);
        }
    }
};

struct JpegSurface {
    cairo_surface_t* surface;
    explicit JpegSurface(cairo_surface_t* created) : surface(created) {}
    JpegSurface(const JpegSurface&) = delete;
    JpegSurface& operator=(const JpegSurface&) = delete;
    ~JpegSurface() {
        if (surface) {
            cairo_surface_destroy(surface);
        }
    }
    cairo_surface_t* release() { return std::exchange(surface, nullptr); }
};

} // namespace

// Decodes the JPEG `bytes` into a new ARGB32 image surface the caller owns. The
// decoder scales the image down by the smallest of its factors that keeps the
// longer side at least `fitSide` pixels (or the whole image, when it is smaller).
// NULL for data it cannot decode and for an image with a side over 65535 pixels
// or more than `maxPixels` pixels; a warning (a truncated or slightly damaged
// file) still gives what could be decoded.
extern "C" cairo_surface_t* trillbox_jpeg_decode(const unsigned char* bytes, std::size_t size, int fitSide,
                                                 std::int64_t maxPixels) {
    JpegDecompressor decoder;
    if (!decoder.handle || !bytes) {
        return nullptr;
    }
    int width = 0;
    int height = 0;
    int subsampling = 0;
    int colorspace = 0;
    if (tjDecompressHeader3(decoder.handle, bytes, static_cast<unsigned long>(size), &width, &height,
                            &subsampling, &colorspace) != 0) {
        return nullptr;
    }
    if (width <= 0 || height <= 0 || width > 65535 || height > 65535 ||
        static_cast<std::int64_t>(width) * height > maxPixels) {
        return nullptr;
    }
    int factorCount = 0;
    const tjscalingfactor* factors = tjGetScalingFactors(&factorCount);
    int scaledWidth = width;
    int scaledHeight = height;
    for (int i = 0; factors && i < factorCount; ++i) {
        const int candidateWidth = TJSCALED(width, factors[i]);
        const int candidateHeight = TJSCALED(height, factors[i]);
        if (std::max(candidateWidth, candidateHeight) >= std::min(fitSide, std::max(width, height)) &&
            candidateWidth * static_cast<std::int64_t>(candidateHeight) <
                scaledWidth * static_cast<std::int64_t>(scaledHeight)) {
            scaledWidth = candidateWidth;
            scaledHeight = candidateHeight;
        }
    }
    JpegSurface image{cairo_image_surface_create(CAIRO_FORMAT_ARGB32, scaledWidth, scaledHeight)};
    if (cairo_surface_status(image.surface) != CAIRO_STATUS_SUCCESS) {
        return nullptr;
    }
    cairo_surface_flush(image.surface);
#if __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
    constexpr int pixelFormat = TJPF_BGRA;
#else
    constexpr int pixelFormat = TJPF_ARGB;
#endif
    const int result = tjDecompress2(
        decoder.handle, bytes, static_cast<unsigned long>(size), cairo_image_surface_get_data(image.surface),
        scaledWidth, cairo_image_surface_get_stride(image.surface), scaledHeight, pixelFormat, 0);
    if (result != 0 && tjGetErrorCode(decoder.handle) != TJERR_WARNING) {
        return nullptr;
    }
    cairo_surface_mark_dirty(image.surface);
    return image.release();
}
