#include "host/Headless.h"

#include <cairo.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <system_error>

#include "Foundation/NSData.h"
#include "Foundation/NSPathUtilities.h"
#include "UIKit/UIGraphicsHandles.h"
#include "host/AnimatedPng.h"
#include "host/HostFailure.h"
#include "host/HostSession.h"
#include "host/ScriptRunner.h"
#include "host/SettingsCommand.h"
#include "render/Snapshot.h"

namespace host {
namespace {

namespace fs = std::filesystem;

constexpr double kDefaultSnapshotTime = 1;
constexpr double kDefaultFramesPerSecond = 30;
constexpr double kLargestFramesPerSecond = 120;
// Ten minutes of frames at most: a typo should not fill the disk.
constexpr double kLongestRecording = 600;
// The notification centre's dark backdrop behind the widget's white text.
constexpr double kBackdropRed = 0x1C / 255.0;
constexpr double kBackdropGreen = 0x1C / 255.0;
constexpr double kBackdropBlue = 0x21 / 255.0;

// `surface` drawn over the backdrop, in a new image of the same size.
UICairoSurface overBackdrop(const UICairoSurface& surface) {
    cairo_surface_t* source = surface.get();
    const int width = cairo_image_surface_get_width(source);
    const int height = cairo_image_surface_get_height(source);
    UICairoSurface result(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height));
    {
        const UICairoContextPtr context = UICairoContextCreate(result.get());
        cairo_set_source_rgb(context.get(), kBackdropRed, kBackdropGreen, kBackdropBlue);
        cairo_paint(context.get());
        cairo_set_source_surface(context.get(), source, 0, 0);
        cairo_paint(context.get());
    }
    cairo_surface_flush(result.get());
    return result;
}

UICairoSurface widgetPicture(HostSession& session, CGFloat scale, bool transparent) {
    UICairoSurface picture = session.snapshot(scale);
    if (!picture) {
        throw HostFailure("the widget has nothing to draw at this size and scale");
    }
    return transparent ? picture : overBackdrop(picture);
}

void writeFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    // Written beside the target and renamed over it: a failed write leaves no half picture.
    errno = 0;
    if (!NSData::dataWithBytes(bytes.data(), bytes.size())->writeToFile(NSStr(path), YES)) {
        throw HostFailure("cannot write " + path + ": " + std::strerror(errno != 0 ? errno : EIO));
    }
}

double secondsOption(const CommandArguments& arguments, const std::string& option, double fallback) {
    if (!arguments.has(option)) {
        return fallback;
    }
    const std::string text = arguments.value(option);
    const double seconds = parseNumber(text, option);
    if (seconds < 0) {
        throw UsageFailure(option + " must be 0 or more, not " + text);
    }
    return seconds;
}

void expectPositional(const CommandArguments& arguments, std::size_t count, const char* usage) {
    if (arguments.positional().size() != count) {
        throw UsageFailure(std::string(arguments.positional().size() < count ? "missing" : "unexpected") +
                           " argument; usage: " + usage);
    }
}

} // namespace

HostOptions headlessOptions(HostOptions options) {
    options.manualClock = !mediaBackEndNeedsSystemClock(options.player);
    options.closePresentationsAutomatically = true;
    return options;
}

void writeWidgetPng(HostSession& session, const std::string& path, CGFloat scale, bool transparent) {
    if (path.empty()) {
        throw UsageFailure("the picture needs a file name");
    }
    const std::vector<unsigned char> png = render::encodePNG(widgetPicture(session, scale, transparent));
    if (png.empty()) {
        throw HostFailure("cannot encode the picture for " + path);
    }
    writeFile(path, png);
}

int runSnapshotCommand(const CommandLine& line, std::ostream&) {
    const CommandArguments arguments(line.arguments, {"--at"}, {"--transparent"});
    expectPositional(arguments, 1, "trillbox snapshot OUT.png [--at SECONDS] [--transparent]");
    const double at = secondsOption(arguments, "--at", kDefaultSnapshotTime);

    HostSession session(headlessOptions(line.host));
    session.present();
    session.wait(at);
    writeWidgetPng(session, arguments.positional().front(), line.host.scale, arguments.has("--transparent"));
    return 0;
}

int runRecordCommand(const CommandLine& line, std::ostream& out) {
    const CommandArguments arguments(line.arguments, {"--seconds", "--fps"}, {"--transparent"});
    static constexpr const char* kUsage = "trillbox record DIR --seconds S [--fps N] [--transparent]";
    expectPositional(arguments, 1, kUsage);
    if (!arguments.has("--seconds")) {
        throw UsageFailure(std::string("--seconds is required; usage: ") + kUsage);
    }
    const double seconds = secondsOption(arguments, "--seconds", 0);
    if (seconds > kLongestRecording) {
        throw UsageFailure("--seconds must be at most 600");
    }
    const double fps =
        arguments.has("--fps") ? parseNumber(arguments.value("--fps"), "--fps") : kDefaultFramesPerSecond;
    if (fps < 1 || fps > kLargestFramesPerSecond || fps != std::floor(fps)) {
        throw UsageFailure("--fps must be a whole number from 1 to 120");
    }

    const fs::path directory(arguments.positional().front());
    std::error_code error;
    fs::create_directories(directory, error);
    if (error || !fs::is_directory(directory)) {
        throw HostFailure("cannot create the directory " + directory.string() +
                          (error ? ": " + error.message() : std::string(": a file is in the way")));
    }

    HostSession session(headlessOptions(line.host));
    session.present();
    const int frameCount = static_cast<int>(std::floor(seconds * fps + 1e-9)) + 1;
    std::vector<std::vector<std::uint8_t>> frames;
    frames.reserve(static_cast<std::size_t>(frameCount));
    for (int frame = 0; frame < frameCount; ++frame) {
        if (frame > 0) {
            // Each frame's time is computed, not summed, so that the last one lands on S.
            session.wait(std::max(0.0, frame / fps - session.time()));
        }
        std::vector<std::uint8_t> png =
            render::encodePNG(widgetPicture(session, line.host.scale, arguments.has("--transparent")));
        char name[32];
        std::snprintf(name, sizeof name, "frame-%04d.png", frame);
        writeFile((directory / name).string(), png);
        frames.push_back(std::move(png));
    }
    const fs::path animation = directory / "animation.png";
    const std::vector<std::uint8_t> animated = assembleAnimatedPng(frames, static_cast<int>(fps));
    if (animated.empty()) {
        throw HostFailure("cannot assemble the frames into " + animation.string());
    }
    writeFile(animation.string(), animated);
    out << frameCount << (frameCount == 1 ? " frame in " : " frames in ") << directory.string()
        << ", animated: " << animation.string() << '\n';
    return 0;
}

int runScriptCommand(const CommandLine& line, std::ostream& out) {
    const CommandArguments arguments(line.arguments, {}, {"--transparent"});
    expectPositional(arguments, 1, "trillbox script FILE|-");
    const std::string source = arguments.positional().front();
    std::ifstream file;
    if (source != "-") {
        std::error_code error;
        if (fs::is_directory(source, error)) {
            throw HostFailure("cannot read the script " + source + ": it is a directory");
        }
        errno = 0;
        file.open(source);
        if (!file) {
            throw HostFailure("cannot read the script " + source + ": " +
                              std::strerror(errno != 0 ? errno : EIO));
        }
    }
    const bool transparent = arguments.has("--transparent");
    const CGFloat scale = line.host.scale;
    HostSession session(headlessOptions(line.host));
    ScriptRunner runner(session, out, [scale, transparent](HostSession& target, const std::string& path) {
        writeWidgetPng(target, path, scale, transparent);
    });
    runner.run(source == "-" ? std::cin : file, source);
    return 0;
}

int runSettingsCommand(const CommandLine& line, std::ostream& out) {
    const CommandArguments arguments(line.arguments, {}, {"--reset"});
    if (!line.host.deviceRoot.empty()) {
        NSSetDeviceRoot(line.host.deviceRoot);
    }
    if (arguments.has("--reset")) {
        expectPositional(arguments, 0, "trillbox settings --reset");
        out << (resetSettings() ? "removed " : "no settings file at ") << settingsFilePath() << '\n';
        return 0;
    }
    if (arguments.positional().empty()) {
        printSettings(out);
        return 0;
    }
    expectPositional(arguments, 2, "trillbox settings [KEY VALUE | --reset]");
    const std::string& key = arguments.positional()[0];
    const std::string written = writeSetting(key, arguments.positional()[1]);
    out << "wrote " << written << (written == key ? "" : " (the key the widget reads for " + key + ")")
        << " = " << arguments.positional()[1] << '\n';
    printSettings(out);
    return 0;
}

} // namespace host
