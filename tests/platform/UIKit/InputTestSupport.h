#pragma once

#include <string>
#include <vector>

#include "support/TestSupport.h"
#include "UIKit/UIEvent.h"
#include "UIKit/UITouch.h"
#include "UIKit/UITouchInjector.h"
#include "UIKit/UIView.h"
#include "UIKit/UIWindow.h"

// Creates a T with its base's initialiser, typed as T.
template <class T> Ptr<T> makeObject() {
    auto object = alloc<T>();
    object->init();
    return object;
}
template <class T> Ptr<T> makeView(CGRect frame) {
    auto view = alloc<T>();
    view->initWithFrame(frame);
    return view;
}

// A view that records the touch deliveries it gets, as "began", "moved"...
class RecordingView : public UIView {
public:
    void touchesBegan(const Ptr<NSSet>& touches, const Ptr<UIEvent>& event) override {
        calls.push_back("began");
    }
    void touchesMoved(const Ptr<NSSet>& touches, const Ptr<UIEvent>& event) override {
        calls.push_back("moved");
    }
    void touchesEnded(const Ptr<NSSet>& touches, const Ptr<UIEvent>& event) override {
        calls.push_back("ended");
    }
    void touchesCancelled(const Ptr<NSSet>& touches, const Ptr<UIEvent>& event) override {
        calls.push_back("cancelled");
    }
    std::vector<std::string> calls;
};

// A 320 x 105 window with a pointer injector, on the manual clock.
class InputTest : public PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        window = alloc<UIWindow>()->initWithFrame(CGRectMake(0, 0, 320, 105));
        pointer = alloc<UITouchInjector>()->initWithWindow(window);
    }

    Ptr<UITouch> down(CGFloat x, CGFloat y) { return pointer->injectTouch(UITouchPhaseBegan, {x, y}, now()); }
    Ptr<UITouch> move(CGFloat x, CGFloat y) { return pointer->injectTouch(UITouchPhaseMoved, {x, y}, now()); }
    Ptr<UITouch> up(CGFloat x, CGFloat y) { return pointer->injectTouch(UITouchPhaseEnded, {x, y}, now()); }
    // Down, held for `seconds`, up, at one point.
    void tap(CGFloat x, CGFloat y, double seconds = 0.05) {
        down(x, y);
        advance(seconds);
        up(x, y);
    }

    Ptr<UIWindow> window;
    Ptr<UITouchInjector> pointer;
};
