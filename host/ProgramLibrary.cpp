#include "host/ProgramLibrary.h"

#include <dlfcn.h>

#include "host/HostFailure.h"

namespace host {
namespace {

// The system libraries the pieces need, with the Debian packages that have them.
struct SystemLibrary {
    std::string_view soname;
    std::string_view package;
};

constexpr SystemLibrary kSystemLibraries[] = {
    {"libSDL2-2.0.so.0", "libsdl2-2.0-0"},
    {"libsdbus-c++.so.1", "libsdbus-c++1"},
    {"libsystemd.so.0", "libsystemd0"},
    {"libturbojpeg.so.0", "libturbojpeg0"},
    {"libpulse.so.0", "libpulse0"},
    {"libcurl.so.4", "libcurl4"},
    {"libpangocairo-1.0.so.0", "libpangocairo-1.0-0"},
    {"libpango-1.0.so.0", "libpango-1.0-0"},
    {"libcairo.so.2", "libcairo2"},
    {"libplist-2.0.so.3", "libplist3"},
};

} // namespace

std::string describeLoadFailure(std::string_view path, std::string_view purpose, std::string_view reason) {
    // The loader names the library it could not use first: "libSDL2-2.0.so.0:
    // cannot open shared object file: ..." or "/some/dir/libSDL2-2.0.so.0: file too short".
    const std::string_view failed = reason.substr(0, reason.find(": "));
    const bool pieceItself = failed == path;
    if (pieceItself && reason.find("No such file or directory") != std::string_view::npos) {
        return std::string(purpose) + " is not installed: " + std::string(path) + " is missing";
    }
    for (const auto& library : kSystemLibraries) {
        if (!pieceItself && failed.ends_with(library.soname)) {
            return std::string(purpose) + " needs " + std::string(library.soname) + ": install " +
                   std::string(library.package);
        }
    }
    return "cannot load " + std::string(purpose) + ": " + std::string(reason);
}

void* openProgramLibrary(const std::string& directory, std::string_view file, std::string_view purpose) {
    const std::string path = directory + "/" + std::string(file);
    ::dlerror();
    // RTLD_LAZY: the pieces are built together, so a function is looked up when
    // first called rather than all of them at start-up. RTLD_NODELETE: classes and
    // objects the piece registers live as long as the process.
    void* library = ::dlopen(path.c_str(), RTLD_LAZY | RTLD_LOCAL | RTLD_NODELETE);
    if (!library) {
        const char* reason = ::dlerror();
        throw HostFailure(describeLoadFailure(path, purpose, reason ? reason : "unknown error"));
    }
    return library;
}

void* programLibrarySymbol(void* library, const char* symbol, std::string_view file) {
    void* address = ::dlsym(library, symbol);
    if (!address) {
        throw HostFailure(std::string(file) + " has no " + symbol + ": it belongs to another build");
    }
    return address;
}

} // namespace host
