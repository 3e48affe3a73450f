// trillbox: runs the now-playing widget the way the notification centre does,
// in a desktop window or headless: pictures, recordings, automation scripts and settings.
#include <exception>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "host/CommandLine.h"
#include "host/Headless.h"
#include "host/HostFailure.h"
#include "window/WindowCommand.h"

#ifndef TRILLBOX_VERSION
#define TRILLBOX_VERSION "unknown"
#endif

namespace {

using host::CommandLine;

struct Command {
    std::string_view name;
    std::string_view summary;
    std::string_view help;
    int (*run)(const CommandLine& line, std::ostream& out);
};

constexpr std::string_view kSharedOptions = R"(Options for every command (before or after its name):
  --device-root DIR        where the device's files live (the settings file);
                           default: $XDG_DATA_HOME/trillbox/device
  --bundle PATH            Trillbox.bundle to load; default: the one installed
                           next to this program
  --playlist FILE          the demo player's playlist: a property-list array of
                           dictionaries with "title" and optionally "artist",
                           "duration" (seconds) and "artwork" (a PNG, relative
                           to the file)
  --player demo|mpris[:NAME]
                           the built-in demo player (default), or the MPRIS
                           players of the session bus (only NAME's with :NAME)
  --legacy                 run the bundle as the older host does: a 70-point
                           strip that takes taps only
  --scale N                pixels per point (default 2)
)";

const Command kCommands[] = {
    {"run", "open the widget in a window (the default)", host::kRunCommandHelp, host::runWindowCommand},
    {"snapshot", "draw the widget into a PNG file",
     R"(Usage: trillbox snapshot OUT.png [--at SECONDS] [--scale N] [--transparent]

Presents the widget, lets SECONDS pass (default 1) and writes a picture of it
to OUT.png, over the notification centre's dark backdrop unless --transparent.
)",
     host::runSnapshotCommand},
    {"record", "draw numbered frames and an animated PNG",
     R"(Usage: trillbox record DIR --seconds S [--fps N] [--scale N] [--transparent]

Presents the widget and writes a frame every 1/N second (default 30 a second)
from 0 to S seconds: DIR/frame-0000.png, DIR/frame-0001.png, ... and all of
them as the animated PNG DIR/animation.png. DIR is created when missing.
)",
     host::runRecordCommand},
    {"script", "run an automation script",
     R"(Usage: trillbox script FILE|-

Runs the commands of FILE (or standard input for -), one a line; '#' starts a
comment. Points are the widget's, times are seconds; time passes only with
wait and the gestures that take time.

  present                    the notification centre with the widget is shown
  dismiss                    ... and hidden
  wait SECONDS               time passes
  tap X Y                    a finger down and up (0.05 s)
  doubletap X Y              two taps 0.1 s apart
  longpress X Y [SECONDS]    a finger held (default 1 s)
  drag X1 Y1 X2 Y2 [SECONDS] a finger moved (default 0.5 s)
  player play|pause|toggle|next|previous|stop|seek SECONDS
                             what the music application itself does
  rotate                     the window's 0.4 s rotation starts
  background                 the host application goes to the background
  foreground                 ... and returns
  snapshot FILE              a PNG of the widget
  dump                       one line of JSON: {"time", "presented", "view",
                             "shown" (alerts and share sheets since the last
                             dump), "log" (log lines since the last dump)}

A line that cannot be run stops the script with an error naming its number.
)",
     host::runScriptCommand},
    {"settings", "show or change the widget's settings",
     R"(Usage: trillbox settings
       trillbox settings KEY VALUE
       trillbox settings --reset

Without arguments, prints the settings file's path and its values. With KEY
and VALUE, writes one setting (creating the file); the widget reads the file
each time it builds its view.

  startView            volume | time     which bottom row the widget starts with
  shareArtwork         true | false      a shared message carries the artwork
  showSeperators       true | false      thin lines at the top and bottom
  roundedCornersValue  POINTS            the artwork's corner radius

--reset removes the file, so that every setting has its default.
)",
     host::runSettingsCommand},
};

const Command* findCommand(std::string_view name) {
    for (const auto& command : kCommands) {
        if (command.name == name) {
            return &command;
        }
    }
    return nullptr;
}

void printHelp(std::ostream& out) {
    out << "Usage: trillbox [OPTIONS] COMMAND [ARGUMENTS]\n\n"
           "Runs the Trillbox now-playing widget as the notification centre does,\n"
           "on the built-in demo player or your MPRIS players.\n\nCommands:\n";
    for (const auto& command : kCommands) {
        out << "  " << command.name << std::string(10 - command.name.size(), ' ') << command.summary << '\n';
    }
    out << "\n"
        << kSharedOptions
        << "  --help, -h               this help; 'trillbox COMMAND --help' for a command's\n"
           "  --version                the program's version\n";
}

int fail(const std::exception& failure, bool usage) {
    std::cerr << "trillbox: " << failure.what() << '\n';
    if (usage) {
        std::cerr << "Try 'trillbox --help'.\n";
    }
    return usage ? 2 : 1;
}

} // namespace

int main(int argc, char** argv) {
    try {
        const CommandLine line = host::parseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
        const Command* command = line.command.empty() ? nullptr : findCommand(line.command);
        if (!line.command.empty() && !command) {
            throw host::UsageFailure("unknown command \"" + line.command + "\"");
        }
        if (line.help) {
            if (command) {
                std::cout << command->help << '\n' << kSharedOptions;
            } else {
                printHelp(std::cout);
            }
            return 0;
        }
        if (line.version) {
            std::cout << "trillbox " << TRILLBOX_VERSION << '\n';
            return 0;
        }
        if (!command) {
            return host::runWindowCommand(line, std::cout);
        }
        return command->run(line, std::cout);
    } catch (const host::UsageFailure& failure) {
        return fail(failure, true);
    } catch (const host::HostFailure& failure) {
        return fail(failure, false);
    } catch (const std::exception& failure) {
        return fail(failure, false);
    }
}
