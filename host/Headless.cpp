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

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include "Foundation/NSData.h"
#include "Foundation/NSFileDescriptor.h"
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

double secondsOption(const CommandArguments& arguments, const std::string& option, double fallback,
                     double longest) {
    if (!arguments.has(option)) {
        return fallback;
    }
    const std::string text = arguments.value(option);
    const double seconds = parseNumber(text, option);
    if (seconds < 0) {
        throw UsageFailure(option + " must be 0 or more, not " + text);
    }
    if (seconds > longest) {
        throw UsageFailure(option + " must be at most " + std::to_string(static_cast<int>(longest)) +
                           ", not " + text);
    }
    return seconds;
}

// A file written under a temporary name beside `target` and renamed over it only
// when complete; otherwise removed when this goes.
class FileBeingWritten {
public:
    explicit FileBeingWritten(const fs::path& target)
        : _target(target),
          _temporary((target.parent_path() / ("." + target.filename().string() + ".XXXXXX")).string()) {
        _file = NSFileDescriptor(::mkstemp(_temporary.data()));
        if (!_file.valid() || ::fchmod(_file.get(), 0644) != 0) {
            throw HostFailure("cannot write " + _target.string() + ": " + std::strerror(errno));
        }
    }
    FileBeingWritten(const FileBeingWritten&) = delete;
    FileBeingWritten& operator=(const FileBeingWritten&) = delete;
    ~FileBeingWritten() {
        if (!_committed) {
            ::unlink(_temporary.c_str());
        }
    }
    bool write(const std::uint8_t* bytes, std::size_t length) {
        if (!_file.writeAll(bytes, length)) {
            _error = errno;
            return false;
        }
        return true;
    }
    // Throws HostFailure with the reason when a write failed.
    void check() const {
        if (_error != 0) {
            throw HostFailure("cannot write " + _target.string() + ": " + std::strerror(_error));
        }
    }
    // Puts the file in place; throws HostFailure when it cannot.
    void commit() {
        if (_error == 0 && !_file.close()) {
            _error = errno;
        }
        if (_error == 0 && ::rename(_temporary.c_str(), _target.c_str()) != 0) {
            _error = errno;
        }
        check();
        _committed = true;
    }

private:
    fs::path _target;
    std::string _temporary;
    NSFileDescriptor _file;
    int _error = 0;
    bool _committed = false;
};

void expectPositional(const CommandArguments& arguments, std::size_t count, const char* usage) {
    if (arguments.positional().size() != count) {
        throw UsageFailure(std::string(arguments.positional().size() < count ? "missing" : "unexpected") +
                           " argument; usage: " + usage);
    }
}

} // namespace

std::uint64_t recordingBytesNeeded(double pixelWidth, double pixelHeight, int frameCount) {
    // A PNG of pixels that do not compress: every row of four-byte pixels and its
    // filter byte, stored, plus a chunk header every 8 KiB and a block header every
    // 64 KiB (well within 1%), plus the file's fixed chunks. Each frame is in its
    // own file and in the animation; one more may be on its way to its file.
    const double rows = std::ceil(std::max(pixelHeight, 1.0));
    const double raw = rows * (1 + 4 * std::ceil(std::max(pixelWidth, 1.0)));
    const double frame = raw * 1.01 + 1024;
    return static_cast<std::uint64_t>(std::ceil(frame * (2.0 * frameCount + 1)));
}

void requireFreeSpace(const fs::path& directory, std::uint64_t bytes) {
    // The directory may not exist yet: its nearest existing ancestor holds it.
    fs::path existing = fs::absolute(directory);
    std::error_code error;
    while (!fs::exists(existing, error) && existing.has_parent_path() && existing != existing.parent_path()) {
        existing = existing.parent_path();
    }
    struct statvfs disk {};
    if (::statvfs(existing.c_str(), &disk) != 0) {
        return; // Nothing to measure by: creating the directory says what is wrong.
    }
    const auto available = static_cast<std::uint64_t>(disk.f_bavail) * disk.f_frsize;
    if (bytes > available) {
        constexpr double kMegabyte = 1024.0 * 1024.0;
        char amounts[96];
        std::snprintf(amounts, sizeof amounts, "%.0f MB, and only %.0f MB", std::ceil(bytes / kMegabyte),
                      std::floor(available / kMegabyte));
        throw HostFailure("the recording may need up to " + std::string(amounts) + " are free in " +
                          existing.string() + "; record fewer seconds or frames, or at a smaller scale");
    }
}

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
    const double at = secondsOption(arguments, "--at", kDefaultSnapshotTime, kLongestWait);

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
    const double seconds = secondsOption(arguments, "--seconds", 0, kLongestRecording);
    const double fps =
        arguments.has("--fps") ? parseNumber(arguments.value("--fps"), "--fps") : kDefaultFramesPerSecond;
    if (fps < 1 || fps > kLargestFramesPerSecond || fps != std::floor(fps)) {
        throw UsageFailure("--fps must be a whole number from 1 to 120");
    }

    const fs::path directory(arguments.positional().front());
    HostSession session(headlessOptions(line.host));
    const int frameCount = static_cast<int>(std::floor(seconds * fps + 1e-9)) + 1;
    const CGSize size = session.widgetSize();
    requireFreeSpace(directory, recordingBytesNeeded(size.width * line.host.scale,
                                                     size.height * line.host.scale, frameCount));
    std::error_code error;
    fs::create_directories(directory, error);
    if (error || !fs::is_directory(directory)) {
        throw HostFailure("cannot create the directory " + directory.string() +
                          (error ? ": " + error.message() : std::string(": a file is in the way")));
    }

    session.present();
    const fs::path animation = directory / "animation.png";
    // Each frame goes to its file and into the animation as it is drawn, so that
    // memory holds one frame however long the recording.
    FileBeingWritten animationFile(animation);
    AnimatedPngWriter animated(static_cast<std::uint32_t>(frameCount), static_cast<int>(fps),
                               [&animationFile](const std::uint8_t* bytes, std::size_t length) {
                                   return animationFile.write(bytes, length);
                               });
    for (int frame = 0; frame < frameCount; ++frame) {
        if (frame > 0) {
            // Each frame's time is computed, not summed, so that the last one lands on S.
            session.wait(std::max(0.0, frame / fps - session.time()));
        }
        const std::vector<std::uint8_t> png =
            render::encodePNG(widgetPicture(session, line.host.scale, arguments.has("--transparent")));
        char name[32];
        std::snprintf(name, sizeof name, "frame-%04d.png", frame);
        writeFile((directory / name).string(), png);
        if (!animated.addFrame(png)) {
            animationFile.check();
            throw HostFailure("cannot assemble the frames into " + animation.string());
        }
    }
    if (!animated.finish()) {
        animationFile.check();
        throw HostFailure("cannot assemble the frames into " + animation.string());
    }
    animationFile.commit();
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
