#include <gtest/gtest.h>

#include "UIKit/UILongPressGestureRecognizer.h"
#include "UIKit/UITapGestureRecognizer.h"
#include "platform/UIKit/InputTestSupport.h"

namespace {

// A view that logs the touches it gets as "view began", "view moved"...
class TouchRecordingView : public UIView {
public:
    void touchesBegan(const Ptr<NSSet>&, const Ptr<UIEvent>&) override { log->push_back("view began"); }
    void touchesMoved(const Ptr<NSSet>&, const Ptr<UIEvent>&) override { log->push_back("view moved"); }
    void touchesEnded(const Ptr<NSSet>&, const Ptr<UIEvent>&) override { log->push_back("view ended"); }
    void touchesCancelled(const Ptr<NSSet>&, const Ptr<UIEvent>&) override {
        log->push_back("view cancelled");
    }
    Names* log = nullptr;
};

// The artwork's set-up: a double tap, a single tap waiting for the double tap to
// fail and a long press, on a view at (10, 10)-(95, 95) whose plain subview covers
// (10, 10)-(20, 20); the window has a long press of its own. Actions log the
// seconds since `start`, a long press's with its state.
class GestureTest : public InputTest {
protected:
    void SetUp() override {
        InputTest::SetUp();
        artwork = alloc<TouchRecordingView>();
        artwork->initWithFrame(CGRectMake(10, 10, 85, 85));
        artwork->log = &log;
        artwork->addSubview(alloc<UIView>()->initWithFrame(CGRectMake(0, 0, 10, 10)));
        window->addSubview(artwork);
        doubleTap = attach<UITapGestureRecognizer>("double", artwork);
        doubleTap->setNumberOfTapsRequired(2);
        singleTap = attach<UITapGestureRecognizer>("single", artwork);
        singleTap->requireGestureRecognizerToFail(doubleTap);
        longPress = attach<UILongPressGestureRecognizer>("press", artwork);
        attach<UILongPressGestureRecognizer>("outer press", window);
    }

    // A new recognizer on `view` whose actions are logged under `name`.
    template <class Recognizer> Ptr<Recognizer> attach(const char* name, const Ptr<UIView>& view) {
        const auto describe = [this](const Ptr<NSObject>& sender) {
            static const char* const kStates[] = {"", " began", " changed", " ended", " cancelled", ""};
            const auto press = as<UILongPressGestureRecognizer>(sender);
            return (press ? kStates[press->state()] : "") + twoDecimals(now() - start);
        };
        auto recognizer =
            alloc<Recognizer>()->initWithTarget(recorder(name, describe), &ActionRecorder::fire);
        view->addGestureRecognizer(recognizer);
        return recognizer;
    }

    // Plays `script` from a clear log, lets every pending gesture settle, and answers the log.
    std::string run(const char* script) {
        log.clear();
        start = now();
        play(script);
        advance(2);
        return logLine();
    }

    Ptr<TouchRecordingView> artwork;
    Ptr<UITapGestureRecognizer> doubleTap;
    Ptr<UITapGestureRecognizer> singleTap;
    Ptr<UILongPressGestureRecognizer> longPress;
    double start = 0;
};

TEST_F(GestureTest, TapsAndPressesKeepTheirTimingWindowsAndExcludeEachOther) {
    const std::vector<std::tuple<const char*, const char*, const char*>> cases = {
        {"a single tap fires when the 0.35 s double-tap window closes", "down 50 50, +0.05, up 50 50",
         "view began, view ended, single 0.40"},
        {"a second tap within 0.35 s and 10 pt makes a double tap and no single tap",
         "down 50 50, +0.05, up 50 50, +0.3, down 52 49, +0.05, up 52 49",
         "view began, view ended, view began, view cancelled, double 0.40"},
        {"a second tap 0.4 s later makes two single taps",
         "down 50 50, +0.05, up 50 50, +0.4, down 50 50, +0.05, up 50 50",
         "view began, view ended, single 0.40, view began, view ended, single 0.85"},
        {"a second tap 11 pt away fails the double tap at once",
         "down 20 50, +0.05, up 20 50, +0.1, down 31 50, +0.05, up 31 50",
         "view began, view ended, single 0.15, view began, view cancelled, single 0.20"},
        {"a tap held 0.45 s is a tap and no press", "down 50 50, +0.45, up 50 50",
         "view began, view ended, single 0.80"},
        {"a press held 0.5 s begins, wins over the window's, and its release ends it",
         "down 50 50, +1, up 50 50", "view began, view cancelled, press began 0.50, press ended 1.00"},
        {"a press may move 10 pt before it begins", "down 50 50, +0.2, move 60 50, +0.8, up 60 50",
         "view began, view moved, view cancelled, press began 0.50, press ended 1.00"},
        {"moving 11 pt before 0.5 s fails the press and the taps",
         "down 50 50, +0.2, move 61 50, +1, up 61 50", "view began, view moved, view ended"},
        {"a begun press follows the finger anywhere", "down 50 50, +0.6, move 90 90, up 90 90",
         "view began, view cancelled, press began 0.50, press changed 0.60, press ended 0.60"},
        {"touches of a plain subview reach the view and its recognizers", "down 15 15, +0.05, up 15 15",
         "view began, view ended, single 0.40"},
        {"a touch from outside the window reaches nothing, even moving in",
         "down -40 -40, move 50 50, +1, up 50 50", ""},
        {"moves and releases with no touch down are ignored", "move 50 50, up 50 50", ""},
    };
    for (const auto& [name, script, expected] : cases) {
        SCOPED_TRACE(name);
        EXPECT_EQ(run(script), expected);
    }
}

TEST_F(GestureTest, WithoutRivalsATapIsRecognizedOnReleaseAndCancelsTheViewsTouch) {
    artwork->removeGestureRecognizer(doubleTap);
    artwork->removeGestureRecognizer(longPress);
    EXPECT_EQ(run("down 50 50, +0.05, up 50 50"), "view began, view cancelled, single 0.05");
    singleTap->setCancelsTouchesInView(false);
    EXPECT_EQ(run("down 50 50, +0.05, up 50 50"), "view began, single 0.05, view ended");
    // Held past 0.5 s it is no tap; the window's press takes it.
    EXPECT_EQ(run("down 50 50, +0.55, up 50 50"),
              "view began, view cancelled, outer press began 0.50, outer press ended 0.55");
}

TEST_F(GestureTest, ARecognizerRemovedMidGestureSendsNothing) {
    play("down 50 50, +0.2");
    artwork->removeGestureRecognizer(longPress);
    EXPECT_EQ(longPress->view(), nullptr);
    play("+1, up 50 50, +1");
    EXPECT_EQ(logLine(), "view began, view cancelled, outer press began 0.50, outer press ended 1.20");
}

} // namespace
