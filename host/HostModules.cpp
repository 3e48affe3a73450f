#include "host/HostModules.h"

#include <dlfcn.h>

#include <array>
#include <filesystem>
#include <mutex>
#include <string_view>

#include "host/ProgramLibrary.h"

namespace host {
namespace {

struct ModuleFile {
    std::string_view file;
    std::string_view purpose;
};

constexpr std::array<ModuleFile, 4> kModuleFiles = {{
    {"libtrillbox_window.so", "the window"},
    {"libtrillbox_mpris.so", "MPRIS support"},
    {"libtrillbox_jpeg.so", "JPEG artwork"},
    {"libtrillbox_pulse.so", "the system volume"},
}};

} // namespace

std::string hostLibraryDirectory() {
    Dl_info info{};
    if (::dladdr(reinterpret_cast<void*>(&hostLibraryDirectory), &info) == 0 || !info.dli_fname) {
        return ".";
    }
    return std::filesystem::path(info.dli_fname).parent_path().string();
}

void* hostModuleSymbol(HostModule module, const char* symbol) {
    static std::mutex mutex;
    static std::array<void*, kModuleFiles.size()> loaded{};
    const auto index = static_cast<std::size_t>(module);
    const ModuleFile& file = kModuleFiles[index];
    const std::lock_guard lock(mutex);
    if (!loaded[index]) {
        loaded[index] = openProgramLibrary(hostLibraryDirectory(), file.file, file.purpose);
    }
    return programLibrarySymbol(loaded[index], symbol, file.file);
}

} // namespace host
