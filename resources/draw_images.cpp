// Draws Trillbox's images: the bundle's PNGs at scales 1, 2 and 3, the application
// icon and the demo player's artwork. Run at build time; the same inputs always
// give byte-identical files.
//
//   trillbox_draw_images [--bundle DIR] [--icons DIR] [--demo DIR] [--contact-sheet FILE]
//
// --icons writes DIR/hicolor/<N>x<N>/apps/trillbox.png; --contact-sheet draws every
// image on a dark panel for a person to look at.

#include <cairo.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "resources/CairoCanvas.h"
#include "resources/ContactSheet.h"
#include "resources/ImageDesigns.h"

namespace fs = std::filesystem;

namespace {

struct Options {
    fs::path bundleDirectory;
    fs::path iconDirectory;
    fs::path demoDirectory;
    fs::path contactSheet;
};

// Empty on success, otherwise what went wrong.
std::string ensureDirectory(const fs::path& directory) {
    std::error_code error;
    fs::create_directories(directory, error);
    if (error) {
        return directory.string() + ": " + error.message();
    }
    return {};
}

std::string writeDesign(const ImageDesign& design, double scale, const fs::path& path) {
    CairoCanvas canvas(design.width, design.height, scale);
    design.draw(canvas.context(), design.width, design.height);
    return canvas.writePng(path);
}

std::string writeBundleImages(const fs::path& directory) {
    if (auto failure = ensureDirectory(directory); !failure.empty()) {
        return failure;
    }
    for (const ImageDesign& design : bundleImageDesigns()) {
        for (const int scale : kBundleImageScales) {
            const std::string suffix = scale == 1 ? "" : "@" + std::to_string(scale) + "x";
            if (auto failure = writeDesign(design, scale, directory / (design.name + suffix + ".png"));
                !failure.empty()) {
                return failure;
            }
        }
    }
    return {};
}

std::string writeIcons(const fs::path& directory) {
    for (int size : kAppIconSizes) {
        const std::string dimensions = std::to_string(size) + "x" + std::to_string(size);
        const fs::path appsDirectory = directory / "hicolor" / dimensions / "apps";
        if (auto failure = ensureDirectory(appsDirectory); !failure.empty()) {
            return failure;
        }
        CairoCanvas canvas(size, size, 1);
        drawAppIcon(canvas.context(), size);
        if (auto failure = canvas.writePng(appsDirectory / "trillbox.png"); !failure.empty()) {
            return failure;
        }
    }
    return {};
}

std::string writeDemoArtwork(const fs::path& directory) {
    if (auto failure = ensureDirectory(directory); !failure.empty()) {
        return failure;
    }
    for (const ImageDesign& design : demoArtworkDesigns()) {
        if (auto failure = writeDesign(design, 1, directory / (design.name + ".png")); !failure.empty()) {
            return failure;
        }
    }
    return {};
}

int usage(const char* program) {
    std::fprintf(stderr, "usage: %s [--bundle DIR] [--icons DIR] [--demo DIR] [--contact-sheet FILE]\n",
                 program);
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    Options options;
    for (int index = 1; index < argc; ++index) {
        const std::string_view argument = argv[index];
        if (index + 1 >= argc) {
            return usage(argv[0]);
        }
        const fs::path value = argv[++index];
        if (argument == "--bundle") {
            options.bundleDirectory = value;
        } else if (argument == "--icons") {
            options.iconDirectory = value;
        } else if (argument == "--demo") {
            options.demoDirectory = value;
        } else if (argument == "--contact-sheet") {
            options.contactSheet = value;
        } else {
            return usage(argv[0]);
        }
    }
    if (options.bundleDirectory.empty() && options.iconDirectory.empty() && options.demoDirectory.empty() &&
        options.contactSheet.empty()) {
        return usage(argv[0]);
    }

    std::string failure;
    if (failure.empty() && !options.bundleDirectory.empty()) {
        failure = writeBundleImages(options.bundleDirectory);
    }
    if (failure.empty() && !options.iconDirectory.empty()) {
        failure = writeIcons(options.iconDirectory);
    }
    if (failure.empty() && !options.demoDirectory.empty()) {
        failure = writeDemoArtwork(options.demoDirectory);
    }
    if (failure.empty() && !options.contactSheet.empty()) {
        failure = writeContactSheet(options.contactSheet);
    }
    // Cairo keeps caches for the life of the process; dropping them keeps leak checkers quiet.
    cairo_debug_reset_static_data();
    if (!failure.empty()) {
        std::fprintf(stderr, "trillbox_draw_images: %s\n", failure.c_str());
        return 1;
    }
    return 0;
}
