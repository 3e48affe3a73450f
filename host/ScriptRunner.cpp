#include "host/ScriptRunner.h"

#include <charconv>
#include <cmath>
#include <sstream>
#include <vector>

#include "host/CommandLine.h"
#include "host/DemoPlayer.h"
#include "host/HostFailure.h"
#include "host/HostSession.h"

namespace host {
namespace {

constexpr double kDefaultLongPress = 1;
constexpr double kDefaultDrag = 0.5;

std::vector<std::string> splitWords(std::string_view line) {
    std::vector<std::string> words;
    std::istringstream stream{std::string(line)};
    for (std::string word; stream >> word;) {
        words.push_back(std::move(word));
    }
    return words;
}

void expectArguments(const std::vector<std::string>& words, std::size_t minimum, std::size_t maximum,
                     const char* usage) {
    const std::size_t given = words.size() - 1;
    if (given < minimum || given > maximum) {
        throw UsageFailure(std::string(given < minimum ? "too few" : "too many") +
                           " arguments; usage: " + usage);
    }
}

CGPoint parsePoint(const std::vector<std::string>& words, std::size_t first) {
    return CGPointMake(parseNumber(words[first], "X"), parseNumber(words[first + 1], "Y"));
}

double parseSeconds(std::string_view word) {
    const double seconds = parseNumber(word, "SECONDS");
    if (seconds < 0) {
        throw UsageFailure("SECONDS must be 0 or more, not " + std::string(word));
    }
    return seconds;
}

} // namespace

ScriptRunner::ScriptRunner(HostSession& session, std::ostream& output, SnapshotWriter writeSnapshot)
    : _session(session), _output(output), _writeSnapshot(std::move(writeSnapshot)) {}

void ScriptRunner::run(std::istream& input, const std::string& source) {
    int number = 0;
    for (std::string line; std::getline(input, line);) {
        runLine(line, ++number, source);
    }
    if (input.bad()) {
        throw HostFailure("cannot read the script " + source);
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
    const std::string where =
        (source == "-" ? std::string("standard input") : source) + ":" + std::to_string(number) + ": ";
    try {
        execute(words);
    } catch (const UsageFailure& failure) {
        throw UsageFailure(where + failure.what());
    } catch (const HostFailure& failure) {
        throw HostFailure(where + failure.what());
    }
    _output.flush();
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
        _session.wait(parseSeconds(words[1]));
    } else if (command == "tap") {
        expectArguments(words, 2, 2, "tap X Y");
        _session.tap(parsePoint(words, 1));
    } else if (command == "doubletap") {
        expectArguments(words, 2, 2, "doubletap X Y");
        _session.doubleTap(parsePoint(words, 1));
    } else if (command == "longpress") {
        expectArguments(words, 2, 3, "longpress X Y [SECONDS]");
        const CGPoint point = parsePoint(words, 1);
        _session.longPress(point, words.size() > 3 ? parseSeconds(words[3]) : kDefaultLongPress);
    } else if (command == "drag") {
        expectArguments(words, 4, 5, "drag X1 Y1 X2 Y2 [SECONDS]");
        const CGPoint from = parsePoint(words, 1);
        const CGPoint to = parsePoint(words, 3);
        _session.drag(from, to, words.size() > 5 ? parseSeconds(words[5]) : kDefaultDrag);
    } else if (command == "player") {
        runPlayerCommand(words);
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
        throw UsageFailure("unknown command \"" + command + "\"");
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
        throw UsageFailure("unknown player command \"" + action + "\"; usage: " + kUsage);
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

} // namespace host
