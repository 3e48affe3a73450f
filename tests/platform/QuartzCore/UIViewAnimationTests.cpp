#include <gtest/gtest.h>

#include <cmath>

#include "Foundation/NSNumber.h"
#include "QuartzCore/CAAnimationEngine.h"
#include "QuartzCore/CAMediaTimingFunction.h"
#include "QuartzCore/CATransaction.h"
#include "platform/QuartzCore/QuartzTestSupport.h"

namespace {

using Entries = CompletionLog::Entries;

class ViewAnimationTest : public QuartzTest {
protected:
    // The usual leg: a 2.8 s move 140 points to the left after a 1 s delay.
    void startLeg() {
        animate(2.8, 1.0, log.recorder(), [&] { view->setFrame(CGRectMake(-120, 0, 300, 20)); });
    }
};

TEST_F(ViewAnimationTest, MoveAfterDelayShowsOldValueThenMovesAndCompletesOnce) {
    startLeg();
    // The model is final at once; the completion never runs inside the call.
    EXPECT_EQ(view->frame().origin.x, -120);
    EXPECT_TRUE(log.entries.empty());
    advance(1.0);
    EXPECT_EQ(shownX(), 20);
    advanceTo(2.4);
    EXPECT_NEAR(shownX(), -50, 1e-9);
    advanceTo(3.79);
    EXPECT_TRUE(log.entries.empty());
    advanceTo(3.8);
    EXPECT_EQ(shownX(), -120);
    advance(100);
    EXPECT_EQ(log.entries, (Entries{{true, 3.8}}));
    EXPECT_TRUE(view->layer()->animationKeys().empty());
}

TEST_F(ViewAnimationTest, NewerAnimationOfSamePropertyReplacesAndStartsFromWhatShows) {
    startLeg();
    advanceTo(2.4);
    animate(1.0, 0, log.recorder(), [&] { view->setFrame(CGRectMake(100, 0, 300, 20)); });
    // It carries on from the halfway point, not from the old model value.
    advanceTo(2.9);
    EXPECT_NEAR(shownX(), 25, 1e-9);
    advance(10);
    EXPECT_EQ(log.entries, (Entries{{false, 2.4}, {true, 3.4}}));
}

TEST_F(ViewAnimationTest, RemovingOneViewsAnimationsReportsNoOnceWhileTheOthersPlayOut) {
    animate(2.0, 0, log.recorder(), [&] {
        view->setFrame(CGRectMake(0, 0, 200, 40));
        other->setFrame(CGRectMake(100, 40, 50, 50));
        other->setAlpha(0);
    });
    advanceTo(1.0);
    EXPECT_NEAR(view->layer()->presentationBounds().size.height, 30, 1e-9);
    EXPECT_NEAR(other->layer()->presentationOpacity(), 0.5, 1e-6);
    view->layer()->removeAllAnimations();
    EXPECT_EQ(view->presentationFrame().size.width, 200);
    EXPECT_TRUE(log.entries.empty()) << "reported inside removeAllAnimations";
    advance(0.001);
    EXPECT_EQ(log.entries, (Entries{{false, 1.0}}));
    EXPECT_NEAR(other->presentationFrame().origin.x, 50.05, 1e-9);
    advanceTo(2.0);
    EXPECT_FALSE(root->layer()->hasRunningAnimations());
    advance(10);
    EXPECT_EQ(log.entries.size(), 1u);
}

TEST_F(ViewAnimationTest, BlocksWithNothingToAnimateCompleteOnceOnTheirOwnTime) {
    auto standalone = CALayer::layer();
    view->layer()->addSublayer(standalone);
    const struct {
        const char* name;
        double duration, delay;
        std::function<void()> changes;
        double end;
    } cases[] = {
        {"no block", 2.0, 0.5, nullptr, 2.5},
        {"an unchanged value", 1.0, 0, [&] { view->setFrame(view->frame()); }, 1.0},
        {"a value set back", 1.0, 0, [&] { view->setAlpha(0.5), view->setAlpha(1); }, 1.0},
        // Only the layers of views animate.
        {"a standalone layer", 1.0, 0, [&] { standalone->setOpacity(0); }, 1.0},
        {"negative and NaN times", -3.0, std::nan(""), [&] { view->setAlpha(0.5); }, 0},
        {"NaN and negative times", std::nan(""), -1.0, nullptr, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CompletionLog done;
        const double start = now();
        animate(c.duration, c.delay, done.recorder(), c.changes);
        EXPECT_FALSE(root->layer()->hasRunningAnimations());
        EXPECT_TRUE(done.entries.empty());
        advance(10);
        EXPECT_EQ(done.entries, (Entries{{true, start + c.end}}));
    }
}

TEST_F(ViewAnimationTest, CompletionsDueAtOneInstantRunInTheOrderScheduled) {
    std::vector<int> order;
    const auto note = [&](int number) { return [&order, number](BOOL) { order.push_back(number); }; };
    animate(1.0, 0, note(1), [&] { view->setAlpha(0.5); });
    animate(1.0, 0, note(2));
    animate(0.5, 0.5, note(3), [&] { other->setAlpha(0.5); });
    advanceTo(0.5);
    // Two removals at one instant report in the order they happened.
    animate(5, 0, note(5), [&] { other->setCenter({1, 1}); });
    other->layer()->removeAllAnimations();
    view->layer()->removeAllAnimations();
    advanceTo(0.6);
    EXPECT_EQ(order, (std::vector<int>{3, 5, 1}));
    animate(1.0, 0, note(1), [&] { view->setAlpha(1); });
    animate(1.0, 0, note(2));
    animate(1.0, 0, note(3), [&] { other->setAlpha(1); });
    advance(1.0);
    EXPECT_EQ(order, (std::vector<int>{3, 5, 1, 2, 1, 2, 3}));
}

TEST_F(ViewAnimationTest, CurveOptionsPaceTheMove) {
    const std::pair<UIViewAnimationOptions, std::string_view> cases[] = {
        {0, kCAMediaTimingFunctionEaseInEaseOut},
        {UIViewAnimationOptionCurveEaseIn, kCAMediaTimingFunctionEaseIn},
        {UIViewAnimationOptionCurveEaseOut, kCAMediaTimingFunctionEaseOut},
        // Other option bits do not change the curve.
        {UIViewAnimationOptionCurveLinear | UIViewAnimationOptionBeginFromCurrentState,
         kCAMediaTimingFunctionLinear}};
    for (const auto& [options, name] : cases) {
        view->setFrame(CGRectMake(0, 0, 300, 20));
        UIView::animateWithDuration(
            4.0, 0, options, [&] { view->setFrame(CGRectMake(400, 0, 300, 20)); }, nullptr);
        advance(1.0);
        EXPECT_NEAR(shownX(), 400 * CAMediaTimingFunction::functionWithName(name)->evaluate(0.25), 1e-6)
            << name;
        advance(3.0);
    }
}

TEST_F(ViewAnimationTest, NoPerFrameWorkWhileAnimating) {
    startLeg();
    auto* loop = NSRunLoop::mainRunLoop();
    EXPECT_EQ(loop->pendingTaskCount(), 2u); // the completion, and a wake-up when the move begins
    advanceTo(1.0);
    const auto generation = CADisplayGeneration();
    for (int frame = 0; frame < 160; ++frame) {
        advance(1.0 / 60);
        EXPECT_TRUE(root->layer()->hasRunningAnimations());
    }
    // Nothing was marked, scheduled or run on the way: the window only learns of
    // the movement by asking whether anything runs.
    EXPECT_EQ(CADisplayGeneration(), generation);
    EXPECT_EQ(loop->pendingTaskCount(), 1u);
    advanceTo(3.8);
    EXPECT_FALSE(root->layer()->hasRunningAnimations());
    EXPECT_NE(CADisplayGeneration(), generation);
    EXPECT_EQ(loop->pendingTaskCount(), 0u);
}

TEST_F(ViewAnimationTest, ChainOfLegsKeepsMemoryAndStackFlat) {
    // Counts the objects each leg captures that are still alive.
    struct Token {
        int* alive;
        explicit Token(int* counter) : alive(counter) { ++*alive; }
        ~Token() { --*alive; }
    };
    constexpr int kLegs = 100'000;
    const std::size_t groupsBefore = CACompletionGroup::liveCount();
    int legs = 0, failures = 0, aliveTokens = 0, mostTokens = 0;
    std::size_t mostGroups = 0, mostTasks = 0;
    std::uintptr_t lowestStack = UINTPTR_MAX, highestStack = 0;
    std::function<void()> leg = [&] {
        auto token = std::make_shared<Token>(&aliveTokens);
        const double x = legs % 2 == 0 ? -120 : 20;
        const auto completion = [&, token](BOOL finished) {
            const auto stack = reinterpret_cast<std::uintptr_t>(&finished);
            lowestStack = std::min(lowestStack, stack);
            highestStack = std::max(highestStack, stack);
            mostTokens = std::max(mostTokens, aliveTokens);
            mostGroups = std::max(mostGroups, CACompletionGroup::liveCount());
            mostTasks = std::max(mostTasks, NSRunLoop::mainRunLoop()->pendingTaskCount());
            if (!finished) {
                ++failures;
            } else if (++legs < kLegs) {
                leg();
            }
        };
        animate(0.01, 0, completion, [this, x] { view->setFrame(CGRectMake(x, 0, 300, 20)); });
    };
    leg();
    advance(kLegs * 0.01 + 1);
    EXPECT_EQ(legs, kLegs);
    EXPECT_EQ(failures, 0);
    EXPECT_LE(mostTokens, 2);
    EXPECT_LE(mostGroups, groupsBefore + 2);
    EXPECT_LE(mostTasks, 1u);
    EXPECT_LT(highestStack - lowestStack, 4096u);
    EXPECT_EQ(aliveTokens, 0);
    EXPECT_EQ(CACompletionGroup::liveCount(), groupsBefore);
}

TEST_F(ViewAnimationTest, CompletionHoldsWhatItCapturesAndAViewGoneEarlyReportsNo) {
    WeakPtr<UIView> weakView = view;
    auto holdingView = [captured = std::exchange(view, nullptr), recorder = log.recorder()](BOOL finished) {
        recorder(finished);
    };
    animate(1.0, 0, std::move(holdingView), [&] { weakView.lock()->setAlpha(0); });
    animate(1.0, 0, log.recorder(), [&] { other->setAlpha(0); });
    other->removeFromSuperview();
    other.reset();
    root.reset();
    label.reset();
    advance(0.5);
    EXPECT_FALSE(weakView.expired());
    advance(0.5);
    EXPECT_TRUE(weakView.expired());
    // The captured view lived to the end; the dropped one did not.
    EXPECT_EQ(log.entries, (Entries{{true, 1.0}, {false, 1.0}}));
}

TEST_F(ViewAnimationTest, ChangesWithActionsDisabledInsideABlockShowAtOnce) {
    animate(2.0, 0, log.recorder(), [&] {
        CATransaction::begin();
        CATransaction::setValue(NSNumber::numberWithBool(true), kCATransactionDisableActions);
        view->setAlpha(0);
        CATransaction::commit();
        view->setFrame(CGRectMake(-180, 0, 300, 20));
    });
    advanceTo(1.0);
    EXPECT_EQ(view->layer()->presentationOpacity(), 0);
    EXPECT_NEAR(shownX(), -80, 1e-9);
}

} // namespace
