#pragma once

#include "Foundation/NSCollections.h"
#include "Foundation/NSObject.h"

class UIEvent;

// An object in the responder chain. Touches a responder does not handle go on to
// its next responder.
class UIResponder : public NSObject {
public:
    // A view's next responder is its view controller when it is that controller's
    // root view, otherwise its superview; a controller's is its view's superview.
    virtual Ptr<UIResponder> nextResponder() const { return nullptr; }

    // Each default passes the touches on to the next responder.
    virtual void touchesBegan(const Ptr<NSSet>& touches, const Ptr<UIEvent>& event);
    virtual void touchesMoved(const Ptr<NSSet>& touches, const Ptr<UIEvent>& event);
    virtual void touchesEnded(const Ptr<NSSet>& touches, const Ptr<UIEvent>& event);
    virtual void touchesCancelled(const Ptr<NSSet>& touches, const Ptr<UIEvent>& event);
};
