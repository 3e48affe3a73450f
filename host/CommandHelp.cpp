#include "host/CommandHelp.h"

#include <string>

namespace host {
namespace {

constexpr std::string_view kSharedOptions = R"(Options for every command (before or after its name):
  --device-root DIR        where the device's files live (the settings file);
                           default: $XDG_DATA_HOME/trillbox/device
  --bundle PATH            Trillbox.bundle to load; default: the one installed
                           next to this program
  --playlist FILE          the demo player's playlist: a property-list array of
                           dictionaries with "title" and optionally "artist",
                           "duration" (seconds) and "artwork" (a PNG or JPEG,
                           relative to the file)
  --player demo|mpris[:NAME[,NAME...]]
                           the built-in demo player, or the MPRIS players of
                           the session bus; with names, the first of them
                           present is followed ("%any" stands for every other
                           player). Default: the session bus's players in the
                           window when a bus answers, the demo player otherwise
                           and in the headless commands; --playlist means demo
  --ignore-player NAME[,NAME...]
                           MPRIS players never to follow
  --legacy                 run the bundle as the older host does: a 70-point
                           strip that takes taps only
  --scale N                pixels per point (default 2)
)";

constexpr std::string_view kConfigFile = R"(
What a desktop entry cannot pass can stand in $XDG_CONFIG_HOME/trillbox/config
(~/.config/trillbox/config): "key = value" lines and '#' comments, with the keys
player, ignore-player and scale taking the options' values. Options given on
the command line override it; 'trillbox settings' does not read it.
)";

constexpr std::string_view kRunHelp = R"(Usage: trillbox [run] [--frame-stats]

Opens the widget in a window, on a dark panel that stands in for the
notification centre, following your music players over MPRIS ("Not Playing"
until one appears), or the demo player when no session bus answers (or with
--player demo), at twice the desktop's scale (GDK_SCALE, Xft.dpi or the
display's DPI) unless --scale is given, and where and at the scale it was last
closed. The mouse is a finger: click, double-click, hold, drag; the wheel over
the volume row turns the volume, which is the sound server's default output
(PULSE_SERVER is respected; the player's own volume while none answers). Keys:
space plays or pauses, left and right go to the previous and next track, Esc
or Ctrl+Q closes the window. Alerts and the share sheet appear over the
widget; "Copy" puts the shared message on the clipboard, "Save Artwork" writes
the artwork as a PNG in your pictures directory.

With the MPRIS players, a line under the widget names the player it follows
(and, say, "1 of 3" when there are others); Tab and Shift+Tab, or the wheel
over that line, follow the next or previous player until it goes away.

Minimising or hiding the window dismisses the widget, as closing the
notification centre does; showing it presents the widget again.

SDL_VIDEODRIVER and DISPLAY are respected. Without a display, use the
headless commands: snapshot, record and script.

  --frame-stats   when the window closes, print how many frames were drawn,
                  and how many a second (SIGUSR1 prints those since the last
                  report at any time)
)";

constexpr CommandHelp kCommands[] = {
    {"run", "open the widget in a window (the default)", kRunHelp},
    {"snapshot", "draw the widget into a PNG file",
     R"(Usage: trillbox snapshot OUT.png [--at SECONDS] [--transparent]

Presents the widget, lets SECONDS pass (default 1, at most 3600) and writes a
picture of it to OUT.png, over the notification centre's dark backdrop unless
--transparent.
)"},
    {"record", "draw numbered frames and an animated PNG",
     R"(Usage: trillbox record DIR --seconds S [--fps N] [--transparent]

Presents the widget and writes a frame every 1/N second (default 30 a second)
from 0 to S seconds: DIR/frame-0000.png, DIR/frame-0001.png, ... and all of
them as the animated PNG DIR/animation.png. DIR is created when missing.
)"},
    {"script", "run an automation script",
     R"(Usage: trillbox script FILE|-

Runs the commands of FILE (or standard input for -), one a line; '#' starts a
comment. Points are the widget's, times are seconds (a wait or gesture at most
3600); time passes only with wait and the gestures that take time. Lines are
at most 64 KiB.

  present                    the notification centre with the widget is shown
  dismiss                    ... and hidden
  wait SECONDS               time passes
  tap X Y                    a finger down and up (0.05 s)
  doubletap X Y              two taps 0.1 s apart
  longpress X Y [SECONDS]    a finger held (default 1 s)
  drag X1 Y1 X2 Y2 [SECONDS] a finger moved (default 0.5 s)
  player play|pause|toggle|next|previous|stop|seek SECONDS
                             what the music application itself does
  follow next|previous|auto|NAME
                             with --player mpris: follow the next or previous
                             player, the automatic choice again, or the one NAME
                             matches (as --player names do)
  rotate                     the window's 0.4 s rotation starts
  background                 the host application goes to the background
  foreground                 ... and returns
  snapshot FILE              a PNG of the widget
  dump                       one line of JSON: {"time", "presented", "view",
                             "shown" (alerts and share sheets since the last
                             dump), "log" (log lines since the last dump),
                             "players" (with MPRIS: [{"name", "identity",
                             "status", "followed"}])}

A line that cannot be run stops the script with an error naming its number.
)"},
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
                                         (showSeparators is taken as well)
  roundedCornersValue  POINTS            the artwork's corner radius

--reset removes the file, so that every setting has its default.
)"},
    {"players", "list the MPRIS players and the one the widget follows",
     R"(Usage: trillbox players [--json]

Lists the MPRIS players on the session bus as they are now: bus name,
Identity, status, capabilities, title, artist, length and artwork (a data: URL
as its type and size), then which one the widget would follow and why, after
--player, --ignore-player and the config file. Prints "no players" when there
are none; fails when there is no session bus.

  --json   the same as one JSON object: {"players": [{"busName", "identity",
           "status", "CanPlay", ..., "title", "artist", "length" (seconds or
           null), "artwork", "takesPart", "followed"}], "followed", "reason"}
)"},
    {"autostart", "open the window when you log in, or no longer",
     R"(Usage: trillbox autostart on|off

on writes the desktop session's autostart entry
$XDG_CONFIG_HOME/autostart/trillbox.desktop (~/.config/autostart without
XDG_CONFIG_HOME), which runs this program, by its full path, with run when you
log in; off removes it (and says so when there is none).
)"},
};

} // namespace

std::span<const CommandHelp> commandHelp() {
    return kCommands;
}

const CommandHelp* findCommandHelp(std::string_view name) {
    for (const auto& command : kCommands) {
        if (command.name == name) {
            return &command;
        }
    }
    return nullptr;
}

void printProgramHelp(std::ostream& out) {
    out << "Usage: trillbox [OPTIONS] COMMAND [ARGUMENTS]\n\n"
           "Runs the Trillbox now-playing widget as the notification centre does,\n"
           "on the built-in demo player or your MPRIS players.\n\nCommands:\n";
    for (const auto& command : kCommands) {
        out << "  " << command.name << std::string(12 - command.name.size(), ' ') << command.summary << '\n';
    }
    out << "\n"
        << kSharedOptions
        << "  --help, -h               this help; 'trillbox COMMAND --help' for a command's\n"
           "  --version                the program's version\n"
        << kConfigFile;
}

void printCommandHelp(const CommandHelp& command, std::ostream& out) {
    out << command.help
        << "\nThe options every command takes (--device-root, --player, --scale, ...) are\n"
           "in 'trillbox --help'.\n";
}

} // namespace host
