#include "UIKit/UITouch.h"

#include "Foundation/NSRunLoop.h"
#include "UIKit/UIGestureRecognizer.h"
#include "UIKit/UIWindow.h"

Ptr<UITouch> UITouch::init() {
    if (!NSObject::init()) {
        return nullptr;
    }
    _tapCount = 1;
    _phase = UITouchPhaseBegan;
    _timestamp = NSRunLoop::mainRunLoop()->now();
    return self<UITouch>();
}

CGPoint UITouch::locationInView(const Ptr<UIView>& view) const {
    return view ? view->convertPointFromView(_locationInWindow, nullptr) : _locationInWindow;
}

CGPoint UITouch::previousLocationInView(const Ptr<UIView>& view) const {
    return view ? view->convertPointFromView(_previousLocationInWindow, nullptr) : _previousLocationInWindow;
}

std::vector<Ptr<UIGestureRecognizer>> UITouch::gestureRecognizers() const {
    std::vector<Ptr<UIGestureRecognizer>> recognizers;
    for (const auto& weak : _gestureRecognizers) {
        if (auto recognizer = weak.lock()) {
            recognizers.push_back(recognizer);
        }
    }
    return recognizers;
}
