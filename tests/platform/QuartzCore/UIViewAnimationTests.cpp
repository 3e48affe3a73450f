#include <gtest/gtest.h>

#include <cmath>

#include "QuartzCore/CAAnimationEngine.h"
#include "QuartzCore/CAMediaTimingFunction.h"
#include "QuartzCore/CATransaction.h"
#include "QuartzTestSupport.h"

namespace {

class ViewAnimationTest : public QuartzTest {
protected:
    void SetUp() override {
        QuartzTest::SetUp();
        root = makeView(CGRectMake(0, 0, 320, 105));
        view = makeView(CGRectMake(20, 0, 300, 20));
        root->addSubview(view);
        // Let the layout pass the new views asked for run, so that only our work is pending.
        NSRunLoop::mainRunLoop()->runPass();
    }

    // The usual leg: a 2.8 s linear move 140 points to the left after a 1 s delay.
    void startLeg() {
        UIView::animateWithDuration(
            2.8, 1.0, UIViewAnimationOptionCurveLinear, [&] { view->setFrame(CGRectMake(-120, 0, 300, 20)); },
            log.recorder());
    }

    double shownX() const { return view->presentationFrame().origin.x; }

    Ptr<UIView> root;
    Ptr<UIView> view;
    CompletionLog log;
};

TEST_F(ViewAnimationTest, MoveAfterDelayShowsOldValueThenMovesAndCompletesOnce) {
    startLeg();
    // The model is final at once; the completion never runs inside the call.
    EXPECT_EQ(view->frame().origin.x, -120);
    EXPECT_EQ(log.count(), 0u);
    EXPECT_EQ(shownX(), 20);

    advance(1.0);
    EXPECT_EQ(shownX(), 20);
    advanceTo(2.4);
    EXPECT_NEAR(shownX(), -50, 1e-9);
    EXPECT_EQ(view->presentationFrame().size.width, 300);
    advanceTo(3.79);
    EXPECT_EQ(log.count(), 0u);
    advanceTo(3.8);
    EXPECT_EQ(shownX(), -120);
    ASSERT_EQ(log.count(), 1u);
    EXPECT_TRUE(log.entries[0].finished);
    EXPECT_DOUBLE_EQ(log.entries[0].time, 3.8);
    EXPECT_TRUE(view->layer()->animationKeys().empty());
    advance(100);
    EXPECT_EQ(log.count(), 1u);
}

TEST_F(ViewAnimationTest, RemoveAllAnimationsJumpsToModelAndReportsNoOnce) {
    startLeg();
    advanceTo(2.0);
    EXPECT_NEAR(shownX(), 20 - 140.0 / 2.8, 1e-9);
    view->layer()->removeAllAnimations();
    EXPECT_EQ(shownX(), -120);
    EXPECT_EQ(log.count(), 0u) << "reported inside removeAllAnimations";
    NSRunLoop::mainRunLoop()->runPass();
    ASSERT_EQ(log.count(), 1u);
    EXPECT_FALSE(log.entries[0].finished);
    EXPECT_DOUBLE_EQ(log.entries[0].time, 2.0);
    advance(10);
    EXPECT_EQ(log.count(), 1u);
}

TEST_F(ViewAnimationTest, NewerAnimationOfSamePropertyReplacesAndStartsFromWhatShows) {
    startLeg();
    CompletionLog second;
    advanceTo(2.4);
    UIView::animateWithDuration(
        1.0, 0, UIViewAnimationOptionCurveLinear, [&] { view->setFrame(CGRectMake(100, 0, 300, 20)); },
        second.recorder());
    // It carries on from the halfway point, not from the old model value.
    EXPECT_NEAR(shownX(), -50, 1e-9);
    advanceTo(2.9);
    EXPECT_NEAR(shownX(), 25, 1e-9);
    ASSERT_EQ(log.count(), 1u);
    EXPECT_FALSE(log.entries[0].finished);
    EXPECT_DOUBLE_EQ(log.entries[0].time, 2.4);
    advanceTo(3.4);
    ASSERT_EQ(second.count(), 1u);
    EXPECT_TRUE(second.entries[0].finished);
    advance(5);
    EXPECT_EQ(log.count(), 1u);
}

TEST_F(ViewAnimationTest, SettingAValueTwiceInOneBlockAnimatesToTheLastAndFinishes) {
    UIView::animateWithDuration(
        1.0, 0, UIViewAnimationOptionCurveLinear,
        [&] {
            view->setFrame(CGRectMake(0, 0, 300, 20));
            view->setFrame(CGRectMake(-80, 0, 300, 20));
        },
        log.recorder());
    advanceTo(0.5);
    EXPECT_NEAR(shownX(), -30, 1e-9);
    advanceTo(1.0);
    ASSERT_EQ(log.count(), 1u);
    EXPECT_TRUE(log.entries[0].finished);
}

TEST_F(ViewAnimationTest, OneCompletionForSeveralPropertiesAndViews) {
    auto other = makeView(CGRectMake(0, 40, 50, 50));
    root->addSubview(other);
    UIView::animateWithDuration(
        2.0, 0, UIViewAnimationOptionCurveLinear,
        [&] {
            view->setFrame(CGRectMake(0, 0, 200, 40));
            other->setAlpha(0);
        },
        log.recorder());
    advanceTo(1.0);
    EXPECT_NEAR(view->presentationFrame().size.width, 250, 1e-9);
    EXPECT_NEAR(view->layer()->presentationBounds().size.height, 30, 1e-9);
    EXPECT_NEAR(other->layer()->presentationOpacity(), 0.5, 1e-6);
    EXPECT_EQ(other->alpha(), 0);
    advanceTo(2.0);
    ASSERT_EQ(log.count(), 1u);
    EXPECT_TRUE(log.entries[0].finished);
    EXPECT_EQ(other->layer()->presentationOpacity(), 0);
}

TEST_F(ViewAnimationTest, RemovingOneAnimationOfABlockReportsNoWhileTheOthersPlayOut) {
    auto other = makeView(CGRectMake(0, 40, 50, 50));
    root->addSubview(other);
    UIView::animateWithDuration(
        2.0, 0, UIViewAnimationOptionCurveLinear,
        [&] {
            view->setFrame(CGRectMake(0, 0, 300, 20));
            other->setFrame(CGRectMake(100, 40, 50, 50));
        },
        log.recorder());
    advanceTo(1.0);
    view->layer()->removeAllAnimations();
    advance(0.001);
    ASSERT_EQ(log.count(), 1u);
    EXPECT_FALSE(log.entries[0].finished);
    EXPECT_NEAR(other->presentationFrame().origin.x, 50.05, 1e-9);
    EXPECT_TRUE(root->layer()->hasRunningAnimations());
    advanceTo(2.0);
    EXPECT_EQ(log.count(), 1u);
    EXPECT_TRUE(other->layer()->animationKeys().empty());
    EXPECT_FALSE(root->layer()->hasRunningAnimations());
}

TEST_F(ViewAnimationTest, BlockThatChangesNothingCompletesAfterDelayAndDuration) {
    UIView::animateWithDuration(2.0, 0.5, UIViewAnimationOptionCurveLinear, nullptr, log.recorder());
    UIView::animateWithDuration(
        1.0, 0, 0, [&] { view->setFrame(view->frame()); }, log.recorder());
    advanceTo(0.999);
    EXPECT_EQ(log.count(), 0u);
    advanceTo(1.0);
    ASSERT_EQ(log.count(), 1u);
    advanceTo(2.5);
    ASSERT_EQ(log.count(), 2u);
    EXPECT_TRUE(log.entries[1].finished);
    EXPECT_DOUBLE_EQ(log.entries[1].time, 2.5);
}

TEST_F(ViewAnimationTest, NegativeAndNaNTimesCountAsZero) {
    UIView::animateWithDuration(
        -3.0, std::nan(""), UIViewAnimationOptionCurveLinear,
        [&] { view->setFrame(CGRectMake(0, 0, 10, 10)); }, log.recorder());
    UIView::animateWithDuration(std::nan(""), -1.0, 0, nullptr, log.recorder());
    EXPECT_EQ(log.count(), 0u);
    EXPECT_EQ(view->presentationFrame().size.width, 10);
    NSRunLoop::mainRunLoop()->runPass();
    ASSERT_EQ(log.count(), 2u);
    EXPECT_TRUE(log.entries[0].finished);
    EXPECT_TRUE(log.entries[1].finished);
    EXPECT_EQ(log.entries[1].time, 0);
}

TEST_F(ViewAnimationTest, CompletionsDueAtOneInstantRunInTheOrderScheduled) {
    std::vector<int> order;
    auto other = makeView(CGRectMake(0, 0, 10, 10));
    root->addSubview(other);
    UIView::animateWithDuration(
        1.0, 0, 0, [&] { view->setAlpha(0.5); }, [&](BOOL) { order.push_back(1); });
    UIView::animateWithDuration(1.0, 0, 0, nullptr, [&](BOOL) { order.push_back(2); });
    UIView::animateWithDuration(
        0.5, 0.5, 0, [&] { other->setAlpha(0.5); }, [&](BOOL) { order.push_back(3); });
    advanceTo(0.5);
    // Two removals at one instant report in the order they happened.
    UIView::animateWithDuration(
        5, 0, 0,
        [&] {
            other->setCenter({1, 1});
        },
        [&](BOOL) { order.push_back(5); });
    other->layer()->removeAllAnimations();
    view->layer()->removeAllAnimations();
    advanceTo(0.6);
    EXPECT_EQ(order, (std::vector<int>{3, 5, 1}));
    order.clear();
    UIView::animateWithDuration(
        1.0, 0, 0, [&] { view->setAlpha(1); }, [&](BOOL) { order.push_back(1); });
    UIView::animateWithDuration(1.0, 0, 0, nullptr, [&](BOOL) { order.push_back(2); });
    UIView::animateWithDuration(
        1.0, 0, 0, [&] { other->setAlpha(1); }, [&](BOOL) { order.push_back(3); });
    advance(1.0);
    EXPECT_EQ(order, (std::vector<int>{2, 1, 2, 3}));
}

TEST_F(ViewAnimationTest, CurveOptionsPaceTheMove) {
    struct Case {
        UIViewAnimationOptions options;
        std::string_view curve;
    };
    const Case cases[] = {
        {0x00000, kCAMediaTimingFunctionEaseInEaseOut},
        {0x10000, kCAMediaTimingFunctionEaseIn},
        {0x20000, kCAMediaTimingFunctionEaseOut},
        {0x30000, kCAMediaTimingFunctionLinear},
        // Other option bits do not change the curve.
        {0x30000 | UIViewAnimationOptionBeginFromCurrentState, kCAMediaTimingFunctionLinear}};
    for (const auto& [options, name] : cases) {
        SCOPED_TRACE(std::string(name));
        const double start = now();
        view->setFrame(CGRectMake(0, 0, 300, 20));
        UIView::animateWithDuration(
            4.0, 0, options, [&] { view->setFrame(CGRectMake(400, 0, 300, 20)); }, nullptr);
        const auto curve = CAMediaTimingFunction::functionWithName(name);
        for (double share : {0.1, 0.25, 0.6, 0.9}) {
            advanceTo(start + 4.0 * share);
            EXPECT_NEAR(shownX(), 400 * curve->evaluate(share), 1e-6) << "at " << share;
        }
        advanceTo(start + 4.0);
        EXPECT_EQ(shownX(), 400);
    }
}

TEST_F(ViewAnimationTest, AnimateWithoutDelayUsesEaseInAndOut) {
    UIView::animateWithDuration(
        1.0, [&] { view->setFrame(CGRectMake(120, 0, 300, 20)); }, log.recorder());
    advanceTo(0.25);
    const auto easeInOut = CAMediaTimingFunction::functionWithName(kCAMediaTimingFunctionEaseInEaseOut);
    EXPECT_NEAR(shownX(), 20 + 100 * easeInOut->evaluate(0.25), 1e-6);
    advanceTo(1.0);
    EXPECT_EQ(log.count(), 1u);
    // A completion may be left out.
    UIView::animateWithDuration(1.0, [&] { view->setAlpha(0); });
    advance(2);
}

TEST_F(ViewAnimationTest, NoPerFrameWorkWhileAnimating) {
    startLeg();
    auto* loop = NSRunLoop::mainRunLoop();
    EXPECT_EQ(loop->pendingTaskCount(), 1u);
    ASSERT_TRUE(loop->nextDeadline());
    EXPECT_EQ(*loop->nextDeadline(), NanosecondsFromSeconds(3.8));
    const auto generation = CADisplayGeneration();
    for (int frame = 0; frame < 200; ++frame) {
        advance(1.0 / 60);
        EXPECT_TRUE(root->layer()->hasRunningAnimations());
    }
    // Nothing was marked, scheduled or run on the way: the window only learns of
    // the movement by asking whether anything runs.
    EXPECT_EQ(CADisplayGeneration(), generation);
    EXPECT_EQ(loop->pendingTaskCount(), 1u);
    EXPECT_EQ(log.count(), 0u);
    advanceTo(3.8);
    EXPECT_FALSE(root->layer()->hasRunningAnimations());
    EXPECT_NE(CADisplayGeneration(), generation);
    EXPECT_EQ(loop->pendingTaskCount(), 0u);
}

TEST_F(ViewAnimationTest, ChainOfLegsKeepsMemoryAndStackFlat) {
    struct Chain {
        Ptr<UIView> view;
        int legs = 0;
        int failures = 0;
        std::uintptr_t lowestStack = UINTPTR_MAX;
        std::uintptr_t highestStack = 0;
    };
    // Counts the objects each leg captures that are still alive.
    struct Token {
        int* alive;
        explicit Token(int* counter) : alive(counter) { ++*alive; }
        ~Token() { --*alive; }
    };
    constexpr int kLegs = 100'000;
    const std::size_t groupsBefore = CACompletionGroup::liveCount();
    int aliveTokens = 0;
    int mostTokens = 0;
    std::size_t mostGroups = 0;
    std::size_t mostTasks = 0;
    auto chain = std::make_shared<Chain>();
    chain->view = view;
    std::function<void()> leg = [&] {
        auto token = std::make_shared<Token>(&aliveTokens);
        const double x = chain->legs % 2 == 0 ? -120 : 20;
        UIView::animateWithDuration(
            0.01, 0, UIViewAnimationOptionCurveLinear,
            [chain, x] { chain->view->setFrame(CGRectMake(x, 0, 300, 20)); },
            [chain, token, &leg, &aliveTokens, &mostTokens, &mostGroups, &mostTasks](BOOL finished) {
                int marker = 0;
                const auto address = reinterpret_cast<std::uintptr_t>(&marker);
                chain->lowestStack = std::min(chain->lowestStack, address);
                chain->highestStack = std::max(chain->highestStack, address);
                mostTokens = std::max(mostTokens, aliveTokens);
                mostGroups = std::max(mostGroups, CACompletionGroup::liveCount());
                mostTasks = std::max(mostTasks, NSRunLoop::mainRunLoop()->pendingTaskCount());
                if (!finished) {
                    ++chain->failures;
                    return;
                }
                if (++chain->legs < kLegs) {
                    leg();
                }
            });
    };
    leg();
    advance(kLegs * 0.01 + 1);
    EXPECT_EQ(chain->legs, kLegs);
    EXPECT_EQ(chain->failures, 0);
    EXPECT_LE(mostTokens, 2);
    EXPECT_LE(mostGroups, groupsBefore + 2);
    EXPECT_LE(mostTasks, 1u);
    EXPECT_LT(chain->highestStack - chain->lowestStack, 4096u);
    EXPECT_EQ(aliveTokens, 0);
    EXPECT_EQ(CACompletionGroup::liveCount(), groupsBefore);
    EXPECT_TRUE(view->layer()->animationKeys().empty());
}

TEST_F(ViewAnimationTest, CompletionHoldsWhatItCapturesUntilItRuns) {
    WeakPtr<UIView> weakView = view;
    auto captured = view;
    UIView::animateWithDuration(
        1.0, 0, 0, [&] { captured->setAlpha(0); },
        [captured, this](BOOL finished) {
            log.entries.push_back({finished, CACurrentMediaTime()});
        });
    captured.reset();
    root.reset();
    view.reset();
    advance(0.5);
    EXPECT_FALSE(weakView.expired());
    advance(0.5);
    ASSERT_EQ(log.count(), 1u);
    EXPECT_TRUE(log.entries[0].finished);
    EXPECT_TRUE(weakView.expired());
}

TEST_F(ViewAnimationTest, ViewGoneBeforeTheEndReportsNo) {
    UIView::animateWithDuration(
        1.0, 0, 0, [&] { view->setAlpha(0); }, log.recorder());
    view->removeFromSuperview();
    view.reset();
    advance(1.0);
    ASSERT_EQ(log.count(), 1u);
    EXPECT_FALSE(log.entries[0].finished);
}

TEST_F(ViewAnimationTest, DisabledAnimationsChangeAtOnceAndStillComplete) {
    UIView::setAnimationsEnabled(false);
    EXPECT_FALSE(UIView::areAnimationsEnabled());
    startLeg();
    EXPECT_EQ(shownX(), -120);
    EXPECT_FALSE(root->layer()->hasRunningAnimations());
    advanceTo(3.8);
    ASSERT_EQ(log.count(), 1u);
    EXPECT_TRUE(log.entries[0].finished);
}

TEST_F(ViewAnimationTest, TransactionWithDisabledActionsIsNotAnimatedInsideABlock) {
    UIView::animateWithDuration(
        2.0, 0, UIViewAnimationOptionCurveLinear,
        [&] {
            CATransaction::begin();
            CATransaction::setValue(NSNumber::numberWithBool(true), kCATransactionDisableActions);
            view->setAlpha(0);
            CATransaction::commit();
            view->setFrame(CGRectMake(-180, 0, 300, 20));
        },
        log.recorder());
    advanceTo(1.0);
    EXPECT_EQ(view->layer()->presentationOpacity(), 0);
    EXPECT_NEAR(shownX(), -80, 1e-9);
}

TEST_F(ViewAnimationTest, NestedBlocksKeepTheirOwnTiming) {
    CompletionLog inner;
    UIView::animateWithDuration(
        2.0, 0, UIViewAnimationOptionCurveLinear,
        [&] {
            UIView::animateWithDuration(
                1.0, 0, UIViewAnimationOptionCurveLinear, [&] { view->setAlpha(0); }, inner.recorder());
            view->setFrame(CGRectMake(-180, 0, 300, 20));
        },
        log.recorder());
    advanceTo(0.5);
    EXPECT_NEAR(view->layer()->presentationOpacity(), 0.5, 1e-6);
    EXPECT_NEAR(shownX(), -30, 1e-9);
    advanceTo(1.0);
    EXPECT_EQ(inner.count(), 1u);
    EXPECT_EQ(log.count(), 0u);
    advanceTo(2.0);
    EXPECT_EQ(log.count(), 1u);
}

TEST_F(ViewAnimationTest, LayersChangeAtOnceOutsideBlocksAndStandaloneLayersNeverAnimate) {
    view->setFrame(CGRectMake(0, 0, 10, 10));
    EXPECT_EQ(view->presentationFrame().size.width, 10);
    auto standalone = CALayer::layer();
    view->layer()->addSublayer(standalone);
    UIView::animateWithDuration(
        1.0, 0, 0,
        [&] {
            standalone->setOpacity(0);
            standalone->setFrame(CGRectMake(5, 5, 5, 5));
        },
        log.recorder());
    EXPECT_EQ(standalone->presentationOpacity(), 0);
    EXPECT_TRUE(CGRectEqualToRect(standalone->presentationFrame(), CGRectMake(5, 5, 5, 5)));
    EXPECT_FALSE(root->layer()->hasRunningAnimations());
    // The block had nothing to animate and completes on its own time.
    advance(1.0);
    EXPECT_EQ(log.count(), 1u);
}

} // namespace
