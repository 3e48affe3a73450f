#include <vector>

#include "UIKit/UIView.h"
#include "UIKit/UIViewController.h"
#include "UIKit/UIWindow.h"
#include "support/TestSupport.h"

namespace {

// Counts its view loads; its root view holds a leaf.
class CountingController : public UIViewController {
public:
    void loadView() override {
        ++loads;
        setView(alloc<UIView>()->initWithFrame(CGRectMake(0, 0, 320, 105)));
    }
    void viewDidLoad() override {
        UIViewController::viewDidLoad();
        ++loads;
        leaf = alloc<UIView>()->init();
        view()->addSubview(leaf);
    }
    int loads = 0;
    Ptr<UIView> leaf;
};

Ptr<CountingController> makeController() {
    auto controller = alloc<CountingController>();
    controller->init();
    return controller;
}

class ViewControllerTest : public PlatformTest {};

TEST_F(ViewControllerTest, TheViewIsBuiltOnceWhetherLoadedLazilyOrByTheHost) {
    auto lazy = makeController();
    EXPECT_EQ(lazy->viewIfLoaded(), nullptr);
    EXPECT_EQ(lazy->view(), lazy->view());
    auto byHost = makeController();
    byHost->loadView();
    byHost->viewDidLoad();
    byHost->view();
    for (const auto& controller : {lazy, byHost}) {
        EXPECT_EQ(controller->loads, 2);
        EXPECT_EQ(controller->viewIfLoaded()->subviews().size(), 1u);
    }
}

TEST_F(ViewControllerTest, TheResponderChainPassesThroughTheControllerWhileItOwnsTheView) {
    auto window = alloc<UIWindow>()->initWithFrame(CGRectMake(0, 0, 320, 480));
    auto controller = makeController();
    const auto root = controller->view();
    window->addSubview(root);
    const std::vector<Ptr<UIResponder>> chain = {controller->leaf, root, controller, window, nullptr};
    for (std::size_t i = 0; i + 1 < chain.size(); ++i) {
        EXPECT_EQ(chain[i]->nextResponder(), chain[i + 1]) << i;
    }
    controller->setView(alloc<UIView>()->init());
    EXPECT_EQ(root->nextResponder(), window);
    EXPECT_EQ(controller->view()->nextResponder(), controller);
}

TEST_F(ViewControllerTest, AReleasedControllerGoesAndItsViewsGoWithTheirSuperview) {
    auto window = alloc<UIWindow>()->initWithFrame(CGRectMake(0, 0, 320, 480));
    auto controller = makeController();
    window->addSubview(controller->view());
    WeakPtr<UIViewController> weakController = controller;
    WeakPtr<UIView> weakView = controller->view(), weakLeaf = controller->leaf;
    controller.reset();
    EXPECT_TRUE(weakController.expired());
    ASSERT_FALSE(weakView.expired());
    weakView.lock()->removeFromSuperview();
    EXPECT_TRUE(weakLeaf.expired());
}

} // namespace
