#pragma once

#include <string>

#include "Foundation/NSBundle.h"
#include "Foundation/NSRuntime.h"

namespace host {

// A shared library opened with dlopen. The handle is released with the object,
// but the code stays mapped for the rest of the process: the runtime registry
// and objects created by the library keep pointing into it.
class SharedLibrary {
public:
    SharedLibrary() = default;
    // Opens `path`; throws HostFailure naming the library and the loader's reason.
    static SharedLibrary open(const std::string& path);
    SharedLibrary(SharedLibrary&& other) noexcept : _handle(std::exchange(other._handle, nullptr)) {}
    SharedLibrary& operator=(SharedLibrary&& other) noexcept;
    SharedLibrary(const SharedLibrary&) = delete;
    SharedLibrary& operator=(const SharedLibrary&) = delete;
    ~SharedLibrary();

    bool isOpen() const { return _handle != nullptr; }

private:
    explicit SharedLibrary(void* handle) : _handle(handle) {}
    void* _handle = nullptr;
};

// Trillbox.bundle loaded as the notification centre loads a widget bundle.
struct LoadedBundle {
    Ptr<NSBundle> bundle;
    SharedLibrary sharedLibrary;
    // The controller class found by name after the library registered its classes.
    Class controllerClass = nullptr;
};

// Reads `bundlePath`/Info.plist, opens the library named by CFBundleExecutable and
// finds the class named by the Info.plist key `classKey` (or `fallbackClass` when
// the key is absent and a fallback is given) in the runtime registry. Throws
// HostFailure naming what failed and where: a missing directory, a missing or
// corrupt Info.plist, a missing key, a library that does not load, a class that
// is not registered.
LoadedBundle loadWidgetBundle(const std::string& bundlePath, const std::string& classKey = "NSPrincipalClass",
                              const std::string& fallbackClass = "");

// Where Trillbox.bundle is when no path is given: next to the executable (the
// build tree) or in ../share/trillbox (the install tree). Throws HostFailure
// listing the places looked at when neither holds one.
std::string findDefaultBundle();

// The first existing directory among the data directories next to the executable
// (`share/trillbox/<name>` in the build tree, `../share/trillbox/<name>` in the
// install tree); empty when there is none.
std::string findDataDirectory(const std::string& name);

} // namespace host
