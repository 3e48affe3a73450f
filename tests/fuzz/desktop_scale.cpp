// The desktop scale from GDK_SCALE (the input's first line) and X resources (the
// rest): always between 1 and the largest scale.
#include "fuzz/FuzzTarget.h"
#include "window/DesktopScale.h"

TRILLBOX_FUZZ_TARGET {
    const std::string input(reinterpret_cast<const char*>(data), size);
    const std::size_t end = std::min(input.find('\n'), size);
    const CGFloat scale =
        host::desktopScale({input.substr(0, end), input.substr(std::min(end + 1, size)), 0});
    if (!(scale >= 1 && scale <= host::kLargestDesktopScale)) {
        std::abort();
    }
    return 0;
}
