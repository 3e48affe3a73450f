// Automation scripts on the demo player, a session per input: a line runs or stops
// the script with a HostFailure. Waits are at most 2 s and scripts 16 lines long.
#include "fuzz/FuzzTarget.h"
#include "host/HostFailure.h"
#include "host/HostSession.h"
#include "host/ScriptRunner.h"

TRILLBOX_FUZZ_TARGET {
    static host::HostOptions options{.bundlePath = TRILLBOX_BUNDLE_DIR, .deviceRoot = fuzzScratchDirectory()};
    std::istringstream script(std::string(reinterpret_cast<const char*>(data), size));
    if (std::count(data, data + size, '\n') > 16) {
        return -1;
    }
    host::HostSession session(options);
    std::ostringstream output;
    try {
        host::ScriptRunner(
            session, output, [](host::HostSession&, const std::string&) {}, 2)
            .run(script, "fuzz");
    } catch (const host::HostFailure&) {
    }
    return 0;
}
