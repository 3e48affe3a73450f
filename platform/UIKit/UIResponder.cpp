#include "UIKit/UIResponder.h"

void UIResponder::touchesBegan(const Ptr<NSSet>& touches, const Ptr<UIEvent>& event) {
    if (auto next = nextResponder()) {
        next->touchesBegan(touches, event);
    }
}

void UIResponder::touchesMoved(const Ptr<NSSet>& touches, const Ptr<UIEvent>& event) {
    if (auto next = nextResponder()) {
        next->touchesMoved(touches, event);
    }
}

void UIResponder::touchesEnded(const Ptr<NSSet>& touches, const Ptr<UIEvent>& event) {
    if (auto next = nextResponder()) {
        next->touchesEnded(touches, event);
    }
}

void UIResponder::touchesCancelled(const Ptr<NSSet>& touches, const Ptr<UIEvent>& event) {
    if (auto next = nextResponder()) {
        next->touchesCancelled(touches, event);
    }
}
