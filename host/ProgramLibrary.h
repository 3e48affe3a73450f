#pragma once

#include <string>
#include <string_view>

namespace host {

// The program is a small launcher and pieces loaded when a run needs them: the
// host (platform, drawing, the headless commands), the window, the MPRIS players,
// the JPEG decoder. Each is a shared library in one directory next to the program.

// The piece `file` (for example "libtrillbox_window.so") opened for `purpose` ("the
// window"), kept loaded for the life of the process. Throws HostFailure with one
// line a user can act on: the system library that is missing and the Debian
// package that has it, or the missing piece itself.
void* openProgramLibrary(const std::string& directory, std::string_view file, std::string_view purpose);

// The line openProgramLibrary throws for the loader's `reason`, exposed for tests.
std::string describeLoadFailure(std::string_view path, std::string_view purpose, std::string_view reason);

// `symbol` of a library openProgramLibrary opened; throws HostFailure when it is
// missing (a piece from another build).
void* programLibrarySymbol(void* library, const char* symbol, std::string_view file);

} // namespace host
