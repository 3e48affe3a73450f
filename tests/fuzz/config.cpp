// The host configuration file: any text applies what it can and warns of the rest.
#include "fuzz/FuzzTarget.h"
#include "host/CommandLine.h"
#include "host/HostConfigFile.h"

TRILLBOX_FUZZ_TARGET {
    host::CommandLine line;
    std::ostringstream warnings;
    host::applyHostConfig({reinterpret_cast<const char*>(data), size}, line, warnings);
    return 0;
}
