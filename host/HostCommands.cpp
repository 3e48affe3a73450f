// The host library's entry: the commands the launcher hands over once it has
// read the command line.
#include <cstdlib>
#include <iostream>
#include <string_view>

#include "Foundation/NSPathUtilities.h"
#include "host/AutostartCommand.h"
#include "host/CommandLine.h"
#include "host/Headless.h"
#include "host/HostConfigFile.h"
#include "host/HostFailure.h"
#include "host/HostModules.h"
#include "host/SettingsCommand.h"

namespace {

using host::CommandLine;

int runWindow(const CommandLine& line, std::ostream& out) {
    using Entry = int(const CommandLine&, std::ostream&);
    return host::hostModuleFunction<Entry>(host::HostModule::window, "trillbox_window_run")(line, out);
}

// The MPRIS module (and sd-bus with it) loads only for the players command.
int runPlayers(const CommandLine& line, std::ostream& out) {
    using Entry = int(const CommandLine&, std::ostream&);
    return host::hostModuleFunction<Entry>(host::HostModule::mpris, "trillbox_mpris_players")(line, out);
}

struct HostCommand {
    std::string_view name;
    int (*run)(const CommandLine& line, std::ostream& out);
    // The command shows the widget, which reads the settings file, in a session
    // that the host's config file sets up.
    bool showsWidget = false;
    // The command chooses among the players as the host's config file says.
    bool choosesPlayers = false;
};

constexpr HostCommand kHostCommands[] = {
    {"", runWindow, true},
    {"run", runWindow, true},
    {"snapshot", host::runSnapshotCommand, true},
    {"record", host::runRecordCommand, true},
    {"script", host::runScriptCommand, true},
    {"settings", host::runSettingsCommand},
    {"players", runPlayers, false, true},
    {"autostart", host::runAutostartCommand},
};

} // namespace

// Runs `line`'s command (the launcher has checked that it names one) and answers
// the program's exit status; failures are reported here, as one line.
extern "C" int trillbox_host_main(const CommandLine& line) {
    try {
        for (const auto& command : kHostCommands) {
            if (command.name == line.command) {
                CommandLine configured = line;
                // What the command line leaves open comes from the host's configuration file.
                if (command.showsWidget || command.choosesPlayers) {
                    host::applyHostConfigFile(host::hostConfigFilePath(std::getenv), configured, std::cerr);
                }
                if (command.showsWidget) {
                    if (!line.host.deviceRoot.empty()) {
                        NSSetDeviceRoot(line.host.deviceRoot);
                    }
                    // The widget quietly falls back to its defaults; the user hears why here.
                    host::warnAboutDamagedSettings(std::cerr);
                }
                return command.run(configured, std::cout);
            }
        }
        throw host::UsageFailure("unknown command \"" + line.command + "\"");
    } catch (const std::exception& failure) {
        return host::reportFailure(failure, std::cerr, line.command);
    }
}
