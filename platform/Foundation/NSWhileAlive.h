#pragma once

#include <functional>
#include <utility>

#include "Foundation/NSObject.h"

// A callable for work posted, scheduled or handed out as a callback on behalf of
// `owner` that must not keep it alive: each call runs `body(owner, arguments...)` while
// the owner lives and does nothing once it is gone. `body` may be a member function of
// T. The result of `body` is dropped.
template <class T, class F> auto NSWhileAlive(const WeakPtr<T>& owner, F body) {
    return [owner, body = std::move(body)](auto&&... arguments) {
        if (const Ptr<T> alive = owner.lock()) {
            std::invoke(body, alive, std::forward<decltype(arguments)>(arguments)...);
        }
    };
}

template <class T, class F> auto NSWhileAlive(const Ptr<T>& owner, F body) {
    return NSWhileAlive(WeakPtr<T>(owner), std::move(body));
}
