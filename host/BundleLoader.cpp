#include "host/BundleLoader.h"

#include <dlfcn.h>

#include <filesystem>
#include <system_error>
#include <utility>
#include <vector>

#include "Foundation/NSCollections.h"
#include "host/HostFailure.h"

namespace host {
namespace {

namespace fs = std::filesystem;

bool isDirectory(const fs::path& path) {
    std::error_code error;
    return fs::is_directory(path, error);
}

bool isRegularFile(const fs::path& path) {
    std::error_code error;
    return fs::is_regular_file(path, error);
}

std::string executableDirectory() {
    std::error_code error;
    const fs::path executable = fs::read_symlink("/proc/self/exe", error);
    return error ? std::string() : executable.parent_path().string();
}

std::string stringEntry(const Ptr<NSDictionary>& info, const char* key) {
    const auto value = as<NSString>(info->objectForKey(std::string_view(key)));
    return value ? value->UTF8String() : std::string();
}

} // namespace

SharedLibrary SharedLibrary::open(const std::string& path) {
    ::dlerror();
    // RTLD_NODELETE: classes registered by the library live as long as the process.
    void* handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
    if (!handle) {
        const char* reason = ::dlerror();
        throw HostFailure("cannot load the library " + path + ": " + (reason ? reason : "unknown error"));
    }
    return SharedLibrary(handle);
}

SharedLibrary& SharedLibrary::operator=(SharedLibrary&& other) noexcept {
    if (this != &other) {
        if (_handle) {
            ::dlclose(_handle);
        }
        _handle = std::exchange(other._handle, nullptr);
    }
    return *this;
}

SharedLibrary::~SharedLibrary() {
    if (_handle) {
        ::dlclose(_handle);
    }
}

LoadedBundle loadWidgetBundle(const std::string& bundlePath, const std::string& classKey,
                              const std::string& fallbackClass) {
    const fs::path directory = fs::absolute(fs::path(bundlePath)).lexically_normal();
    if (!isDirectory(directory)) {
        throw HostFailure("no bundle at " + directory.string() + ": not a directory");
    }
    const fs::path infoPath = directory / "Info.plist";
    if (!isRegularFile(infoPath)) {
        throw HostFailure("bundle " + directory.string() + " has no Info.plist");
    }
    const Ptr<NSDictionary> info = NSDictionary::dictionaryWithContentsOfFile(NSStr(infoPath.string()));
    if (!info) {
        throw HostFailure(infoPath.string() + " is not a property-list dictionary");
    }
    const std::string executable = stringEntry(info, "CFBundleExecutable");
    if (executable.empty() || executable.find('/') != std::string::npos) {
        throw HostFailure(infoPath.string() + " names no library file in CFBundleExecutable");
    }
    const fs::path libraryPath = directory / executable;
    if (!isRegularFile(libraryPath)) {
        throw HostFailure("the bundle's library " + libraryPath.string() + " is missing");
    }
    std::string wanted = stringEntry(info, classKey.c_str());
    if (wanted.empty()) {
        wanted = fallbackClass;
    }
    if (wanted.empty()) {
        throw HostFailure(infoPath.string() + " names no " + classKey);
    }

    LoadedBundle loaded;
    loaded.sharedLibrary = SharedLibrary::open(libraryPath.string());
    loaded.bundle = NSBundle::bundleWithPath(NSStr(directory.string()));
    loaded.controllerClass = NSClassFromString(wanted);
    if (!loaded.controllerClass) {
        throw HostFailure("the class " + wanted + " is not registered by " + libraryPath.string());
    }
    return loaded;
}

std::string findDefaultBundle() {
    const std::string base = executableDirectory();
    const std::vector<fs::path> candidates = {
        fs::path(base) / "Trillbox.bundle", fs::path(base) / ".." / "share" / "trillbox" / "Trillbox.bundle"};
    for (const auto& candidate : candidates) {
        if (isDirectory(candidate)) {
            return candidate.lexically_normal().string();
        }
    }
    throw HostFailure("cannot find Trillbox.bundle (looked in " + candidates[0].lexically_normal().string() +
                      " and " + candidates[1].lexically_normal().string() + "); give its path with --bundle");
}

std::string findDataDirectory(const std::string& name) {
    const std::string base = executableDirectory();
    for (const fs::path& candidate : {fs::path(base) / "share" / "trillbox" / name,
                                      fs::path(base) / ".." / "share" / "trillbox" / name}) {
        if (isDirectory(candidate)) {
            return candidate.lexically_normal().string();
        }
    }
    return {};
}

} // namespace host
