// The host library's entry: the commands the launcher hands over once it has
// read the command line.
#include <iostream>
#include <string_view>

#include "host/AutostartCommand.h"
#include "host/CommandLine.h"
#include "host/Headless.h"
#include "host/HostFailure.h"
#include "host/HostModules.h"

namespace {

using host::CommandLine;

int runWindow(const CommandLine& line, std::ostream& out) {
    using Entry = int(const CommandLine&, std::ostream&);
    return host::hostModuleFunction<Entry>(host::HostModule::window, "trillbox_window_run")(line, out);
}

struct HostCommand {
    std::string_view name;
    int (*run)(const CommandLine& line, std::ostream& out);
};

constexpr HostCommand kHostCommands[] = {
    {"", runWindow},
    {"run", runWindow},
    {"snapshot", host::runSnapshotCommand},
    {"record", host::runRecordCommand},
    {"script", host::runScriptCommand},
    {"settings", host::runSettingsCommand},
    {"autostart", host::runAutostartCommand},
};

} // namespace

// Runs `line`'s command (the launcher has checked that it names one) and answers
// the program's exit status; failures are reported here, as one line.
extern "C" int trillbox_host_main(const CommandLine& line) {
    try {
        for (const auto& command : kHostCommands) {
            if (command.name == line.command) {
                return command.run(line, std::cout);
            }
        }
        throw host::UsageFailure("unknown command \"" + line.command + "\"");
    } catch (const std::exception& failure) {
        return host::reportFailure(failure, std::cerr, line.command);
    }
}
