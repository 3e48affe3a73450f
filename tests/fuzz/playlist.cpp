// A demo playlist file: its tracks, or a HostFailure saying what is wrong.
#include <fstream>

#include "fuzz/FuzzTarget.h"
#include "host/DemoPlaylist.h"
#include "host/HostFailure.h"

TRILLBOX_FUZZ_TARGET {
    static const std::string path = fuzzScratchDirectory() + "/playlist";
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(data), size);
    try {
        host::loadPlaylist(path);
    } catch (const host::HostFailure&) {
    }
    return 0;
}
