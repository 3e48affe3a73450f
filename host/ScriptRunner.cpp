#include "host/ScriptRunner.h"

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <sstream>
#include <vector>

#include "host/CommandLine.h"
#include "host/DemoPlayer.h"
#include "host/HostFailure.h"
#include "host/HostSession.h"
#include "host/MediaBackEnd.h"

namespace host {
namespace {

constexpr double kDefaultLongPress = 1;
constexpr double kDefaultDrag = 0.5;
// A script line may be this long; a longer one is refused, not read on (a file of
// zero bytes has no line end at all).
constexpr std::size_t kLongestLine = 64 * 1024;
// An error quotes at most this many characters of a bad word.
constexpr std::size_t kLongestQuote = 80;

// `text` with C0 and C1 control characters (the latter as UTF-8, C2 80 to C2 9F)
// written as \xNN, so that none reaches the terminal raw, and cut after `limit`
// characters.
std::string escapedScriptText(std::string_view text, std::size_t limit = std::string_view::npos) {
    std::string escaped;
    std::size_t shown = 0;
    for (std::size_t at = 0; at < text.size(); ++at) {
        const auto byte = static_cast<unsigned char>(text[at]);
        // Counted in characters: UTF-8 continuation bytes go with their lead byte.
        if ((byte & 0xC0) != 0x80 && shown++ == limit) {
            escaped += "...";
            break;
        }
        const auto next = at + 1 < text.size() ? static_cast<unsigned char>(text[at + 1]) : 0;
        const bool c1 = byte == 0xC2 && next >= 0x80 && next < 0xA0;
        if (byte < 0x20 || byte == 0x7F || c1) {
            char code[8];
            std::snprintf(code, sizeof code, "\\x%02X", c1 ? next : byte);
            escaped += code;
            at += c1 ? 1 : 0;
        } else {
            escaped += static_cast<char>(byte);
        }
    }
    return escaped;
}

// "FILE:LINE: ", or "standard input:LINE: ".
std::string whereInScript(const std::string& source, int number) {
    const std::string name = source == "-" ? std::string("standard input") : escapedScriptText(source);
    return name + ":" + std::to_string(number) + ": ";
}

std::vector<std::string> splitWords(std::string_view line) {
    std::vector<std::string> words;
    std::istringstream stream{std::string(line)};
    for (std::string word; stream >> word;) {
        words.push_back(std::move(word));
    }
    return words;
}

// Reads one line into `line` without its end: false at the end of the input.
// Throws UsageFailure, naming `where`, once a line grows past kLongestLine.
bool readScriptLine(std::istream& input, std::string& line, const std::string& where) {
    line.clear();
    std::streambuf* buffer = input.rdbuf();
    for (;;) {
        const int character = buffer ? buffer->sbumpc() : std::char_traits<char>::eof();
        if (character == std::char_traits<char>::eof()) {
            input.setstate(std::ios::eofbit);
            return !line.empty();
        }
        if (character == '\n') {
            return true;
        }
        if (line.size() == kLongestLine) {
            throw UsageFailure(where + "the line is longer than " + std::to_string(kLongestLine) + " bytes");
        }
        line.push_back(static_cast<char>(character));
    }
}

void expectArguments(const std::vector<std::string>& words, std::size_t minimum, std::size_t maximum,
                     const char* usage) {
    const std::size_t given = words.size() - 1;
    if (given < minimum || given > maximum) {
        throw UsageFailure(std::string(given < minimum ? "too few" : "too many") +
                           " arguments; usage: " + usage);
    }
}

double parseScriptNumber(const std::string& word, const char* what) {
    try {
        return parseNumber(word, what);
    } catch (const UsageFailure&) {
        throw UsageFailure(std::string(what) + " must be a number, not " + quotedScriptText(word));
    }
}

CGPoint parsePoint(const std::vector<std::string>& words, std::size_t first) {
    // X is read (and named in an error) before Y.
    const double x = parseScriptNumber(words[first], "X");
    return CGPointMake(x, parseScriptNumber(words[first + 1], "Y"));
}

// A time: 0 or more and, for one that passes on the clock (simulated time costs
// real time too), at most `longest` seconds.
double parseSeconds(const std::string& word, double longest = HUGE_VAL) {
    const double seconds = parseScriptNumber(word, "SECONDS");
    if (seconds < 0) {
        throw UsageFailure("SECONDS must be 0 or more, not " + escapedScriptText(word, kLongestQuote));
    }
    if (seconds > longest) {
        throw UsageFailure("SECONDS must be at most " + std::to_string(static_cast<long long>(longest)) +
                           ", not " + escapedScriptText(word, kLongestQuote));
    }
    return seconds;
}

} // namespace

std::string quotedScriptText(std::string_view text) {
    return "\"" + escapedScriptText(text, kLongestQuote) + "\"";
}

ScriptRunner::ScriptRunner(HostSession& session, std::ostream& output, SnapshotWriter writeSnapshot,
                           double longestWait)
    : _session(session), _output(output), _writeSnapshot(std::move(writeSnapshot)),
      _longestWait(longestWait) {}

void ScriptRunner::run(std::istream& input, const std::string& source) {
    int number = 0;
    for (std::string line; readScriptLine(input, line, whereInScript(source, number + 1));) {
        runLine(line, ++number, source);
    }
    if (input.bad()) {
        throw HostFailure("cannot read the script " + escapedScriptText(source));
    }
}

void ScriptRunner::runLine(std::string_view line, int number, const std::string& source) {
    if (const auto comment = line.find('#'); comment != std::string_view::npos) {
        line = line.substr(0, comment);
    }
    const std::vector<std::string> words = splitWords(line);
    if (words.empty()) {
        return;
    }
    const std::string where = whereInScript(source, number);
    try {
        execute(words);
    } catch (const UsageFailure& failure) {
        throw UsageFailure(where + escapedScriptText(failure.what()));
    } catch (const HostFailure& failure) {
        throw HostFailure(where + escapedScriptText(failure.what()));
    }
    // A write that failed while the line ran left its errno; a failing flush leaves its own.
    if (_output) {
        errno = 0;
        _output.flush();
    }
    if (!_output) {
        throw HostFailure("cannot write standard output: " +
                          std::string(std::strerror(errno != 0 ? errno : EIO)));
    }
}

void ScriptRunner::execute(const std::vector<std::string>& words) {
    const std::string& command = words.front();
    if (command == "present") {
        expectArguments(words, 0, 0, "present");
        _session.present();
    } else if (command == "dismiss") {
        expectArguments(words, 0, 0, "dismiss");
        _session.dismiss();
    } else if (command == "wait") {
        expectArguments(words, 1, 1, "wait SECONDS");
        _session.wait(parseSeconds(words[1], _longestWait));
    } else if (command == "tap") {
        expectArguments(words, 2, 2, "tap X Y");
        _session.tap(parsePoint(words, 1));
    } else if (command == "doubletap") {
        expectArguments(words, 2, 2, "doubletap X Y");
        _session.doubleTap(parsePoint(words, 1));
    } else if (command == "longpress") {
        expectArguments(words, 2, 3, "longpress X Y [SECONDS]");
        const CGPoint point = parsePoint(words, 1);
        _session.longPress(point,
                           words.size() > 3 ? parseSeconds(words[3], _longestWait) : kDefaultLongPress);
    } else if (command == "drag") {
        expectArguments(words, 4, 5, "drag X1 Y1 X2 Y2 [SECONDS]");
        const CGPoint from = parsePoint(words, 1);
        const CGPoint to = parsePoint(words, 3);
        _session.drag(from, to, words.size() > 5 ? parseSeconds(words[5], _longestWait) : kDefaultDrag);
    } else if (command == "player") {
        runPlayerCommand(words);
    } else if (command == "follow") {
        runFollowCommand(words);
    } else if (command == "rotate") {
        expectArguments(words, 0, 0, "rotate");
        _session.rotate();
    } else if (command == "background") {
        expectArguments(words, 0, 0, "background");
        _session.enterBackground();
    } else if (command == "foreground") {
        expectArguments(words, 0, 0, "foreground");
        _session.enterForeground();
    } else if (command == "snapshot") {
        expectArguments(words, 1, 1, "snapshot FILE");
        _writeSnapshot(_session, words[1]);
    } else if (command == "dump") {
        expectArguments(words, 0, 0, "dump");
        _output << _session.dump() << '\n';
    } else {
        throw UsageFailure("unknown command " + quotedScriptText(command));
    }
}

void ScriptRunner::runPlayerCommand(const std::vector<std::string>& words) {
    static constexpr const char* kUsage = "player play|pause|toggle|next|previous|stop|seek SECONDS";
    expectArguments(words, 1, 2, kUsage);
    const std::string& action = words[1];
    const bool isSeek = action == "seek";
    if (isSeek != (words.size() == 3)) {
        throw UsageFailure(std::string(isSeek ? "too few" : "too many") + " arguments; usage: " + kUsage);
    }
    const double seconds = isSeek ? parseSeconds(words[2]) : 0;
    const auto player = _session.mediaBackEnd().demoPlayer();
    const bool known = action == "play" || action == "pause" || action == "toggle" || action == "next" ||
                       action == "previous" || action == "stop" || isSeek;
    if (!known) {
        throw UsageFailure("unknown player command " + quotedScriptText(action) + "; usage: " + kUsage);
    }
    if (!player) {
        throw HostFailure("player commands need the demo player");
    }
    if (action == "play") {
        player->play();
    } else if (action == "pause") {
        player->pause();
    } else if (action == "toggle") {
        player->isPlaying() ? player->pause() : player->play();
    } else if (action == "next") {
        player->skip(1);
    } else if (action == "previous") {
        player->skip(-1);
    } else if (action == "stop") {
        player->stop();
    } else {
        player->seek(seconds);
    }
    _session.settle();
}

void ScriptRunner::runFollowCommand(const std::vector<std::string>& words) {
    expectArguments(words, 1, 1, "follow next|previous|auto|NAME");
    MediaBackEnd& backEnd = _session.mediaBackEnd();
    if (backEnd.demoPlayer()) {
        throw HostFailure("follow needs the MPRIS players (--player mpris), not the demo player");
    }
    const std::string& which = words[1];
    if (which == "next" || which == "previous" || which == "auto") {
        const PlayerMove move = which == "next"       ? PlayerMove::next
                                : which == "previous" ? PlayerMove::previous
                                                      : PlayerMove::automatic;
        if (!backEnd.movePlayer(move)) {
            throw HostFailure("no player to follow");
        }
    } else if (!backEnd.followPlayer(which)) {
        throw HostFailure("no player called " + quotedScriptText(which) + " to follow");
    }
    _session.settle();
}

} // namespace host
