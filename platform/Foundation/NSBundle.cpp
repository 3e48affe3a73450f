#include "Foundation/NSBundle.h"

#include <algorithm>
#include <cmath>
#include <dlfcn.h>
#include <filesystem>
#include <link.h>
#include <mutex>
#include <system_error>

#include "Foundation/NSPathUtilities.h"

namespace {

namespace fs = std::filesystem;

struct BundleSettings {
    std::mutex mutex;
    std::string pathOverride;
    CGFloat preferredScale = 1;
};

BundleSettings& settings() {
    static BundleSettings state;
    return state;
}

std::string executableFile() {
    std::error_code error;
    const fs::path executable = fs::read_symlink("/proc/self/exe", error);
    return error ? std::string() : executable.string();
}

// The file of the shared object or executable that contains `address`.
std::string objectFileContaining(const void* address) {
    Dl_info info{};
    link_map* object = nullptr;
    if (address && ::dladdr1(address, &info, reinterpret_cast<void**>(&object), RTLD_DL_LINKMAP) != 0 &&
        object && object->l_name && object->l_name[0] != '\0') {
        std::error_code error;
        const fs::path file = fs::absolute(object->l_name, error);
        if (!error) {
            return file.lexically_normal().string();
        }
    }
    // The main program has an empty name in the link map.
    return executableFile();
}

std::string normalisedDirectory(const std::string& path) {
    std::error_code error;
    std::string normal = fs::absolute(path, error).lexically_normal().string();
    while (normal.size() > 1 && normal.back() == '/') {
        normal.pop_back();
    }
    return normal;
}

bool isRegularFile(const fs::path& path) {
    std::error_code error;
    return fs::is_regular_file(path, error);
}

} // namespace

Ptr<NSBundle> NSBundle::bundleAtDirectory(const std::string& directory) {
    std::error_code error;
    if (directory.empty() || !fs::is_directory(directory, error)) {
        return nullptr;
    }
    auto bundle = alloc<NSBundle>();
    bundle->_path = normalisedDirectory(directory);
    bundle->_infoDictionary =
        NSDictionary::dictionaryWithContentsOfFile(NSStr(bundle->_path + "/Info.plist"));
    if (!bundle->_infoDictionary) {
        bundle->_infoDictionary = NSDictionary::dictionary();
    }
    return bundle;
}

Ptr<NSBundle> NSBundle::bundleWithPath(const Ptr<NSString>& path) {
    if (!path || path->length() == 0) {
        return nullptr;
    }
    return bundleAtDirectory(NSResolveDevicePath(path));
}

Ptr<NSBundle> NSBundle::mainBundle() {
    static const Ptr<NSBundle> main = [] {
        auto bundle = bundleAtDirectory(fs::path(executableFile()).parent_path().string());
        if (!bundle) {
            bundle = alloc<NSBundle>();
            bundle->_path = "/";
            bundle->_infoDictionary = NSDictionary::dictionary();
        }
        return bundle;
    }();
    return main;
}

Ptr<NSBundle> NSBundle::bundleForClass(Class cls) {
    if (!cls) {
        return mainBundle();
    }
    const fs::path directory = fs::path(objectFileContaining(cls->codeAddress)).parent_path();
    if (!isRegularFile(directory / "Info.plist")) {
        std::string pathOverride;
        {
            auto& state = settings();
            std::lock_guard lock(state.mutex);
            pathOverride = state.pathOverride;
        }
        if (!pathOverride.empty()) {
            return bundleAtDirectory(NSResolveDevicePath(pathOverride));
        }
    }
    if (normalisedDirectory(directory.string()) == mainBundle()->_path) {
        return mainBundle();
    }
    return bundleAtDirectory(directory.string());
}

void NSBundle::setBundlePathOverride(std::string_view path) {
    auto& state = settings();
    std::lock_guard lock(state.mutex);
    state.pathOverride.assign(path);
}

void NSBundle::setPreferredImageScale(CGFloat scale) {
    auto& state = settings();
    std::lock_guard lock(state.mutex);
    state.preferredScale = scale > 0 ? scale : 1;
}

CGFloat NSBundle::preferredImageScale() {
    auto& state = settings();
    std::lock_guard lock(state.mutex);
    return state.preferredScale;
}

std::vector<int> NSBundle::imageScalesPreferredAt(CGFloat scale) {
    constexpr int kLargestImageScale = 3;
    // A little below a whole number still counts as it: scales arrive as the
    // quotient of two sizes.
    const int first = std::isfinite(scale) && scale > 1
                          ? std::min(kLargestImageScale, static_cast<int>(std::ceil(scale - 1e-6)))
                          : 1;
    std::vector<int> scales;
    for (int smaller = first; smaller >= 1; --smaller) {
        scales.push_back(smaller);
    }
    for (int larger = first + 1; larger <= kLargestImageScale; ++larger) {
        scales.push_back(larger);
    }
    return scales;
}

Ptr<NSString> NSBundle::pathForResource(const Ptr<NSString>& name, const Ptr<NSString>& type) const {
    if (!name || name->length() == 0) {
        return nullptr;
    }
    std::string extension = NSStringText(type);
    if (!extension.empty() && extension.front() == '.') {
        extension.erase(0, 1);
    }
    const std::string suffix = extension.empty() ? std::string() : "." + extension;
    std::string base = name->UTF8String();
    if (extension.empty()) {
        // "play.png" with no type: the scale marker goes before the extension.
        const fs::path named(base);
        if (named.has_extension()) {
            return isRegularFile(fs::path(_path) / base) ? NSStr(_path + "/" + base) : nullptr;
        }
    }
    std::vector<std::string> candidates;
    for (const int scale : imageScalesPreferredAt(preferredImageScale())) {
        candidates.push_back(scale == 1 ? base : base + "@" + std::to_string(scale) + "x");
    }
    for (const auto& candidate : candidates) {
        const std::string path = _path + "/" + candidate + suffix;
        if (isRegularFile(path)) {
            return NSStr(path);
        }
    }
    return nullptr;
}

Ptr<NSObject> NSBundle::objectForInfoDictionaryKey(std::string_view key) const {
    return _infoDictionary ? _infoDictionary->objectForKey(key) : nullptr;
}

std::string NSBundle::description() const {
    return "NSBundle <" + _path + ">";
}
