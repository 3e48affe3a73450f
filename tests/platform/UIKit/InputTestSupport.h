#pragma once

#include <algorithm>
#include <cstdio>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "UIKit/UITouchInjector.h"
#include "UIKit/UIWindow.h"
#include "support/TestSupport.h"

using Names = std::vector<std::string>;

// " 1.25": a time or a value as the logs below show it.
inline std::string twoDecimals(double value) {
    char text[32];
    std::snprintf(text, sizeof text, " %.2f", value);
    return text;
}

// An action target that logs its name and what `describe` says of the sender.
class ActionRecorder : public NSObject {
public:
    void fire(const Ptr<NSObject>& sender) { log->push_back(name + (describe ? describe(sender) : "")); }
    Names* log = nullptr;
    std::string name;
    std::function<std::string(const Ptr<NSObject>&)> describe;
};

// A 320 x 105 window with a pointer injector, on the manual clock.
class InputTest : public PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        window = alloc<UIWindow>()->initWithFrame(CGRectMake(0, 0, 320, 105));
        pointer = alloc<UITouchInjector>()->initWithWindow(window);
    }

    // A target logging to `log`, kept by the test (targets are held weakly).
    Ptr<ActionRecorder> recorder(std::string name, decltype(ActionRecorder::describe) describe = {}) {
        auto target = alloc<ActionRecorder>();
        target->init();
        target->log = &log;
        target->name = std::move(name);
        target->describe = std::move(describe);
        return recorders.emplace_back(target);
    }

    // Plays a pointer script: "down x y", "move x y", "up x y" and "cancel x y"
    // change the pointer at a window point; "+s" lets s seconds pass.
    void play(std::string script) {
        static const std::map<std::string, UITouchPhase> phases = {{"down", UITouchPhaseBegan},
                                                                   {"move", UITouchPhaseMoved},
                                                                   {"up", UITouchPhaseEnded},
                                                                   {"cancel", UITouchPhaseCancelled}};
        std::replace(script.begin(), script.end(), ',', ' ');
        std::istringstream steps(script);
        for (std::string word; steps >> word;) {
            CGPoint point;
            if (word.front() == '+') {
                advance(std::stod(word.substr(1)));
            } else if (steps >> point.x >> point.y) {
                pointer->injectTouch(phases.at(word), point, now());
            }
        }
    }

    // The log so far as one line, "first, second".
    std::string logLine() const {
        std::string line;
        for (const auto& entry : log) {
            line += (line.empty() ? "" : ", ") + entry;
        }
        return line;
    }

    Ptr<UIWindow> window;
    Ptr<UITouchInjector> pointer;
    Names log;
    std::vector<Ptr<ActionRecorder>> recorders;
};
