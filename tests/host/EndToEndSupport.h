#pragma once

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <sstream>
#include <string>
#include <vector>

#include "support/Process.h"
#include "support/TemporaryDirectory.h"

using Json = nlohmann::json;

// The real trillbox program with the real bundle, run in a working directory of
// its own that is also its device root and its home.
struct TrillboxRun {
    ProcessResult operator()(std::vector<std::string> arguments, const std::string& input = "") const {
        arguments.insert(arguments.begin(), {"--device-root", work.path()});
        return runTrillbox(arguments, {work.path(), input, {{"HOME", work.path()}, {"XDG_DATA_HOME", ""}}});
    }
    // Runs a script from standard input; each line the program printed is one dump.
    std::vector<Json> script(const std::string& text, std::vector<std::string> options = {}) const {
        options.insert(options.end(), {"script", "-"});
        const ProcessResult result = (*this)(options, text);
        EXPECT_EQ(result.exitStatus, 0) << result.err;
        std::vector<Json> dumps;
        std::istringstream lines(result.out);
        for (std::string line; std::getline(lines, line);) {
            dumps.push_back(Json::parse(line));
        }
        return dumps;
    }

    TemporaryDirectory work;
};

// The first view of class `className` whose frame starts at (x, y) in the tree
// under `view` (itself included), or in a dump's tree; null when there is none.
inline Json control(const Json& view, const std::string& className, double x, double y) {
    if (view.contains("view")) {
        return control(view.at("view"), className, x, y);
    }
    if (view.at("class") == className && view.at("frame")[0] == x && view.at("frame")[1] == y) {
        return view;
    }
    for (const Json& subview : view.at("subviews")) {
        if (Json found = control(subview, className, x, y); !found.is_null()) {
            return found;
        }
    }
    return nullptr;
}
