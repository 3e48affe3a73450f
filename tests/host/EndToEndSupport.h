#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "JsonReader.h"
#include "support/TestSupport.h"
#include "support/Process.h"

// The real trillbox program with the real bundle, each run with a device root,
// a working directory and a data home of its own.
class TrillboxRunTest : public ::testing::Test {
protected:
    ProcessResult run(std::vector<std::string> arguments, const std::string& input = "") const {
        arguments.insert(arguments.begin(), {"--device-root", deviceRoot.path()});
        return runTrillbox(
            arguments, {work.path(), input, {{"XDG_DATA_HOME", dataHome.path()}, {"HOME", dataHome.path()}}});
    }
    // Runs a script from standard input; each line the program printed is one dump.
    std::vector<JsonValue> script(const std::string& text, std::vector<std::string> extra = {}) const {
        extra.insert(extra.end(), {"script", "-"});
        const ProcessResult result = run(extra, text);
        EXPECT_EQ(result.exitStatus, 0) << result.err;
        std::vector<JsonValue> dumps;
        std::istringstream lines(result.out);
        for (std::string line; std::getline(lines, line);) {
            dumps.push_back(JsonValue::parse(line));
        }
        return dumps;
    }

    TemporaryDirectory deviceRoot;
    TemporaryDirectory work;
    TemporaryDirectory dataHome;
};

// The first view of the tree (the root included) that `matches`; a null value
// when there is none.
inline const JsonValue& findView(const JsonValue& view,
                                 const std::function<bool(const JsonValue&)>& matches) {
    static const JsonValue none;
    if (matches(view)) {
        return view;
    }
    for (const auto& subview : view["subviews"].items()) {
        const JsonValue& found = findView(subview, matches);
        if (!found.isNull()) {
            return found;
        }
    }
    return none;
}

// The widget's control of class `className` whose frame starts at (x, y).
inline const JsonValue& control(const JsonValue& dump, const std::string& className, double x, double y) {
    return findView(dump["view"], [&](const JsonValue& view) {
        return view["class"].string() == className && view["frame"][0].number() == x &&
               view["frame"][1].number() == y;
    });
}
