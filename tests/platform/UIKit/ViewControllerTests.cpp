#include <functional>
#include <vector>

#include "support/TestSupport.h"
#include "UIKit/UIScreen.h"
#include "UIKit/UIView.h"
#include "UIKit/UIViewController.h"
#include "UIKit/UIWindow.h"

namespace {

// Counts its lifecycle calls; its root view is a 320 x 105 container with one
// plain subview holding a leaf.
class CountingController : public UIViewController {
public:
    void loadView() override {
        ++loadViewCount;
        setView(alloc<UIView>()->initWithFrame(CGRectMake(0, 0, 320, 105)));
    }
    void viewDidLoad() override {
        UIViewController::viewDidLoad();
        ++viewDidLoadCount;
        container = alloc<UIView>()->initWithFrame(CGRectMake(10, 10, 100, 50));
        leaf = alloc<UIView>()->initWithFrame(CGRectMake(0, 0, 10, 10));
        container->addSubview(leaf);
        view()->addSubview(container);
    }

    int loadViewCount = 0;
    int viewDidLoadCount = 0;
    Ptr<UIView> container;
    Ptr<UIView> leaf;
};

// A host presenter that records what it is asked to do.
class RecordingPresenter : public UIViewControllerPresenter {
public:
    struct Call {
        Ptr<UIViewController> presenting;
        Ptr<UIViewController> presented;
        bool animated;
        std::function<void()> completion;
    };
    void presentViewController(const Ptr<UIViewController>& presenting,
                               const Ptr<UIViewController>& presented, bool animated,
                               std::function<void()> completion) override {
        presentations.push_back({presenting, presented, animated, std::move(completion)});
    }
    void dismissViewController(const Ptr<UIViewController>& presenting,
                               const Ptr<UIViewController>& presented, bool animated,
                               std::function<void()> completion) override {
        dismissals.push_back({presenting, presented, animated, std::move(completion)});
    }
    std::vector<Call> presentations;
    std::vector<Call> dismissals;
};

Ptr<UIViewController> firstViewController(const Ptr<UIView>& view) {
    for (auto responder = view->nextResponder(); responder; responder = responder->nextResponder()) {
        if (auto controller = as<UIViewController>(responder)) {
            return controller;
        }
    }
    return nullptr;
}

class ViewControllerTest : public PlatformTest {
protected:
    void TearDown() override {
        UIViewController::setPresenter(nullptr);
        PlatformTest::TearDown();
    }
};

TEST_F(ViewControllerTest, TheViewIsLoadedLazilyAndOnce) {
    auto controller = alloc<CountingController>();
    controller->init();
    EXPECT_FALSE(controller->isViewLoaded());
    EXPECT_EQ(controller->viewIfLoaded(), nullptr);

    const auto view = controller->view();
    EXPECT_TRUE(controller->isViewLoaded());
    EXPECT_EQ(controller->view(), view);
    EXPECT_EQ(controller->loadViewCount, 1);
    EXPECT_EQ(controller->viewDidLoadCount, 1);
    EXPECT_EQ(view->subviews().size(), 1u);
}

TEST_F(ViewControllerTest, AHostThatLoadsExplicitlyBuildsTheViewOnce) {
    auto controller = alloc<CountingController>();
    controller->init();
    controller->loadView();
    controller->viewDidLoad();
    controller->view();
    controller->view();
    EXPECT_EQ(controller->loadViewCount, 1);
    EXPECT_EQ(controller->viewDidLoadCount, 1);
    EXPECT_EQ(controller->viewIfLoaded()->subviews().size(), 1u);
}

TEST_F(ViewControllerTest, TheDefaultViewIsAPlainScreenSizedView) {
    auto controller = alloc<UIViewController>()->init();
    const auto view = controller->view();
    ASSERT_NE(view, nullptr);
    EXPECT_TRUE(CGRectEqualToRect(view->frame(), UIScreen::mainScreen()->bounds()));
    EXPECT_EQ(view->viewDelegate(), controller);
}

TEST_F(ViewControllerTest, TheResponderChainPassesThroughTheController) {
    auto window = alloc<UIWindow>()->initWithFrame(CGRectMake(0, 0, 320, 480));
    auto controller = alloc<CountingController>();
    controller->init();
    window->addSubview(controller->view());

    EXPECT_EQ(controller->leaf->nextResponder(), controller->container);
    EXPECT_EQ(controller->container->nextResponder(), controller->view());
    EXPECT_EQ(controller->view()->nextResponder(), controller);
    EXPECT_EQ(controller->nextResponder(), window);
    EXPECT_EQ(window->nextResponder(), nullptr);
    // A view inside a plain subview of the root view finds the controller.
    EXPECT_EQ(firstViewController(controller->leaf), controller);

    // Views outside any controller find none.
    auto loose = alloc<UIView>()->initWithFrame(CGRectZero);
    auto looseChild = alloc<UIView>()->initWithFrame(CGRectZero);
    loose->addSubview(looseChild);
    window->addSubview(loose);
    EXPECT_EQ(firstViewController(looseChild), nullptr);
    EXPECT_EQ(firstViewController(alloc<UIView>()->init()), nullptr);
}

TEST_F(ViewControllerTest, ReplacingTheViewReleasesTheOldViewsLinkToTheController) {
    auto controller = alloc<UIViewController>()->init();
    auto first = alloc<UIView>()->init();
    auto second = alloc<UIView>()->init();
    controller->setView(first);
    controller->setView(second);
    EXPECT_EQ(first->viewDelegate(), nullptr);
    EXPECT_EQ(first->nextResponder(), nullptr);
    EXPECT_EQ(second->nextResponder(), controller);
}

TEST_F(ViewControllerTest, AReleasedControllerIsDestroyedWithItsViews) {
    WeakPtr<UIViewController> weakController;
    WeakPtr<UIView> weakView;
    WeakPtr<UIView> weakLeaf;
    auto window = alloc<UIWindow>()->initWithFrame(CGRectMake(0, 0, 320, 480));
    {
        auto controller = alloc<CountingController>();
        controller->init();
        window->addSubview(controller->view());
        weakController = controller;
        weakView = controller->view();
        weakLeaf = controller->leaf;
    }
    // The window still shows the view, but nothing keeps the controller.
    EXPECT_TRUE(weakController.expired());
    ASSERT_FALSE(weakView.expired());
    EXPECT_EQ(weakView.lock()->nextResponder(), window);

    weakView.lock()->removeFromSuperview();
    EXPECT_TRUE(weakView.expired());
    EXPECT_TRUE(weakLeaf.expired());

    // The same as a window's root view controller.
    {
        auto controller = alloc<CountingController>();
        controller->init();
        window->setRootViewController(controller);
        weakController = controller;
        weakView = controller->viewIfLoaded();
        EXPECT_TRUE(CGRectEqualToRect(weakView.lock()->frame(), window->bounds()));
    }
    EXPECT_FALSE(weakController.expired());
    window.reset();
    EXPECT_TRUE(weakController.expired());
    EXPECT_TRUE(weakView.expired());
}

TEST_F(ViewControllerTest, PresentationIsHandedToTheHostPresenter) {
    auto presenter = std::make_shared<RecordingPresenter>();
    auto controller = alloc<UIViewController>()->init();
    auto sheet = alloc<UIViewController>()->init();
    sheet->setModalTransitionStyle(UIModalTransitionStyleCrossDissolve);

    // Without a presenter nothing is presented.
    bool completed = false;
    controller->presentViewController(sheet, true, [&] { completed = true; });
    EXPECT_EQ(controller->presentedViewController(), nullptr);

    UIViewController::setPresenter(presenter);
    controller->presentViewController(sheet, true, [&] { completed = true; });
    ASSERT_EQ(presenter->presentations.size(), 1u);
    EXPECT_EQ(presenter->presentations[0].presenting, controller);
    EXPECT_EQ(presenter->presentations[0].presented, sheet);
    EXPECT_TRUE(presenter->presentations[0].animated);
    EXPECT_EQ(presenter->presentations[0].presented->modalTransitionStyle(),
              UIModalTransitionStyleCrossDissolve);
    EXPECT_EQ(controller->presentedViewController(), sheet);
    EXPECT_EQ(sheet->presentingViewController(), controller);
    EXPECT_FALSE(completed); // the presenter runs it
    presenter->presentations[0].completion();
    EXPECT_TRUE(completed);

    // One presentation at a time.
    controller->presentViewController(alloc<UIViewController>()->init(), false, nullptr);
    EXPECT_EQ(presenter->presentations.size(), 1u);

    // The presented controller dismisses itself through its presenter.
    sheet->dismissViewControllerAnimated(true, nullptr);
    ASSERT_EQ(presenter->dismissals.size(), 1u);
    EXPECT_EQ(presenter->dismissals[0].presented, sheet);
    EXPECT_EQ(controller->presentedViewController(), nullptr);
    EXPECT_EQ(sheet->presentingViewController(), nullptr);
    sheet->dismissViewControllerAnimated(true, nullptr);
    EXPECT_EQ(presenter->dismissals.size(), 1u);
}

TEST_F(ViewControllerTest, TheModalTransitionStyleDefaultsToCoverVertical) {
    auto controller = alloc<UIViewController>()->init();
    EXPECT_EQ(controller->modalTransitionStyle(), UIModalTransitionStyleCoverVertical);
    EXPECT_EQ(UIModalTransitionStyleCoverVertical, 0);
}

} // namespace
