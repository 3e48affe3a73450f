#pragma once

#include <string>

namespace host {

// The pieces of the program the host loads when a run first needs them, from
// the directory the host library itself was loaded from.
enum class HostModule {
    // The desktop window (SDL2 and the display libraries it pulls in).
    window,
    // The MPRIS players on the session bus (sd-bus).
    mpris,
    // The JPEG decoder (libjpeg-turbo).
    jpeg,
    // The system volume of the sound server (libpulse).
    pulse,
};

// `symbol` of `module`, loading the module on first use; thread-safe. Throws
// HostFailure with one line naming what is missing and the package that has it.
void* hostModuleSymbol(HostModule module, const char* symbol);

template <class Function> Function* hostModuleFunction(HostModule module, const char* symbol) {
    return reinterpret_cast<Function*>(hostModuleSymbol(module, symbol));
}

// The directory the host library was loaded from (where the modules are).
std::string hostLibraryDirectory();

} // namespace host
