#include "host/JpegImage.h"

#include <atomic>
#include <iostream>

#include "host/HostFailure.h"
#include "host/HostModules.h"

namespace host {

UICairoSurface decodeJpegImage(std::span<const unsigned char> bytes, int fitSide, std::int64_t maxPixels) {
    using Decode = cairo_surface_t*(const unsigned char*, std::size_t, int, std::int64_t);
    Decode* decode = nullptr;
    try {
        decode = hostModuleFunction<Decode>(HostModule::jpeg, "trillbox_jpeg_decode");
    } catch (const HostFailure& failure) {
        static std::atomic<bool> said{false};
        if (!said.exchange(true)) {
            std::cerr << "trillbox: " << failure.what() << '\n';
        }
        return {};
    }
    return UICairoSurface(decode(bytes.data(), bytes.size(), fitSide, maxPixels));
}

} // namespace host
