#pragma once

#include <functional>
#include <istream>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "CoreGraphics/CGGeometry.h"

namespace host {

class HostSession;

// The longest time one command lets pass, in seconds.
inline constexpr double kLongestWait = 3600;

// `text` for an error message: in double quotes, control characters written as
// \xNN, cut after 80 characters.
std::string quotedScriptText(std::string_view text);

// Runs automation scripts against a session: one command a line, '#' starts a
// comment, blank lines are skipped. Commands (points are the widget's, times
// seconds):
//
//   present | dismiss              the centre is shown / hidden
//   wait SECONDS                   time passes
//   tap X Y | doubletap X Y
//   longpress X Y [SECONDS]        held 1 s unless given
//   drag X1 Y1 X2 Y2 [SECONDS]     over 0.5 s unless given
//   player play|pause|toggle|next|previous|stop|seek SECONDS
//                                  what the music application itself does
//   follow next|previous|auto|NAME the next or previous MPRIS player, the
//                                  automatic choice, or the one NAME matches
//   rotate                         the window's 0.4 s rotation starts
//   background | foreground        the host application leaves / returns
//   snapshot FILE                  a PNG of the widget
//   dump                           one line of JSON on the output
//
// Each command runs as soon as its line is read. A line that cannot be run
// stops the script: UsageFailure (a line that is not understood) or HostFailure
// (one that failed), either naming the source and line number.
//
// A time that passes (wait, longpress, drag) is at most `longestWait` seconds
// (kLongestWait unless the runner is given less): simulated time costs real time
// too. Lines are at most 64 KiB. Errors quote
// script text with control characters escaped and at most 80 characters of a
// word. Output that cannot be written stops the script (HostFailure).
class ScriptRunner {
public:
    // `writeSnapshot` draws the session's widget into a PNG file, throwing
    // HostFailure when it cannot.
    using SnapshotWriter = std::function<void(HostSession& session, const std::string& path)>;
    ScriptRunner(HostSession& session, std::ostream& output, SnapshotWriter writeSnapshot,
                 double longestWait = kLongestWait);

    // Runs every line of `input`; `source` names it in errors ("-" for standard input).
    void run(std::istream& input, const std::string& source);
    // Runs one line.
    void runLine(std::string_view line, int number, const std::string& source);

private:
    void execute(const std::vector<std::string>& words);
    void runPlayerCommand(const std::vector<std::string>& words);
    void runFollowCommand(const std::vector<std::string>& words);

    HostSession& _session;
    std::ostream& _output;
    SnapshotWriter _writeSnapshot;
    double _longestWait;
};

} // namespace host
